#include "views/spectrogram.h"

#include <algorithm>
#include <array>
#include <bit>
#include <list>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>

#include "document/sound_document.h"
#include "views/colour_map.h"
#include "views/frequency_axis.h"
#include "views/spectrogram_settings.h"
#include "views/spectrogram_worker.h"
#include "views/view_state.h"

namespace kelvora {
namespace {

constexpr size_t kDefaultCacheBytes = size_t{64} << 20;
// A batch is a few milliseconds of work: long enough that handing it over
// costs little, short enough that the picture fills in steadily.
constexpr int kBatchColumns = 64;
constexpr int64_t kBatchBytes = int64_t{2} << 20;
// Batches submitted and not yet collected: enough to keep four threads
// busy while the UI thread collects, few enough to bound the copies.
constexpr int kMaxJobs = 8;
constexpr size_t kEntryOverhead = 96;  // list and index nodes, vector header
// Two screens of columns must fit in this, or nothing is drawn: a sound of
// very many channels would otherwise hold gigabytes of spectra.
constexpr size_t kMaxCacheBytes = size_t{256} << 20;

using Key = std::pair<int64_t, int64_t>;  // frames per pixel, column
struct KeyHash {
  size_t operator()(const Key& k) const {
    return std::hash<int64_t>()(k.second * 0x9E3779B97F4A7C15ll + k.first);
  }
};

struct Entry {
  Key key;
  uint64_t fingerprint = 0;
  uint64_t revision = 0;  // the sound's revision it was last found valid for
  std::vector<uint8_t> levels;
};

// What the cached columns were computed for; any change empties the cache.
struct Config {
  int window = 0;
  uint32_t rate = 0;
  int channels = 0;
  int bits = 0;
  bool operator==(const Config&) const = default;
};

struct State {
  // One per window size, planned on this thread while no worker runs, and
  // kept until the workers below have ended.
  std::array<std::unique_ptr<SpectrumAnalyser>, 6> analysers;
  const SpectrumAnalyser* analyser = nullptr;
  Config config;
  uint64_t epoch = 1;
  uint64_t revision = 1;
  std::list<Entry> lru;  // most recently drawn first
  std::unordered_map<Key, std::list<Entry>::iterator, KeyHash> index;
  size_t bytes = 0;
  size_t limit = kDefaultCacheBytes;
  size_t computed = 0;
  std::set<Key> wanted;    // missing columns in view, to be queued
  std::set<Key> inFlight;  // queued or being computed
  int jobs = 0;
  // Row sources of the last lane height drawn.
  FrequencyAxis rowsAxis;
  int rowsCount = -1;
  std::vector<RowSource> rows;
  SpectrogramWorkers workers;  // declared last: ended first
};

State& S() {
  static State state;
  return state;
}

int64_t SoundFrames() {
  const SoundDocument& doc = Doc();
  const int64_t readable = std::min<int64_t>(doc.length, static_cast<int64_t>(doc.data.size()));
  return readable / doc.format.nBlockAlign;
}

int64_t FramesPerPixel() { return std::max<int64_t>(1, View().framesPerPixel); }
int64_t BaseColumn() { return Doc().viewStart / Doc().format.nBlockAlign / FramesPerPixel(); }
int PlotColumns() { return std::max(0, CurrentWaveGeometry().plotRight - kPlotLeft); }

// Bytes of one cached column.
size_t EntryBytes(int channels, int window) {
  return static_cast<size_t>(channels) * (window / 2 + 1) + kEntryOverhead;
}

// Every sample read stays inside its frame, so a copy of whole frames is
// all a column reads.
bool Drawable() {
  if (!DrawableFormat()) return false;
  const SoundDocument& doc = Doc();
  const int bits = doc.format.wBitsPerSample;
  const bool readable = (bits == 8 && doc.bytesPerChannelSample >= 1) ||
                        (bits == 16 && doc.bytesPerChannelSample >= 2);
  const size_t screen = static_cast<size_t>(PlotColumns()) *
                        EntryBytes(doc.format.nChannels, SpectrogramOptions().window);
  return readable && doc.format.nSamplesPerSec >= 2 && doc.viewStart >= 0 && SoundFrames() > 0 &&
         2 * screen <= kMaxCacheBytes;
}

FrequencyAxis Axis() {
  const SpectrogramSettings& s = SpectrogramOptions();
  return FrequencyAxis{static_cast<double>(Doc().format.nSamplesPerSec), s.window, s.scale == 1};
}

void Clear() {
  State& s = S();
  s.lru.clear();
  s.index.clear();
  s.bytes = 0;
  s.wanted.clear();
  s.inFlight.clear();
}

// A new window size or format: the cached columns mean nothing any more,
// and the workers stop so that a plan can be made without them running.
void EnsureConfig() {
  State& s = S();
  const SoundFormat& f = Doc().format;
  const Config c{SpectrogramOptions().window, f.nSamplesPerSec, f.nChannels, f.wBitsPerSample};
  if (c == s.config && s.analyser != nullptr) return;
  s.workers.Stop();
  s.jobs = 0;
  Clear();
  s.config = c;
  s.workers.SetEpoch(++s.epoch);
  auto& slot = s.analysers[std::countr_zero(static_cast<unsigned>(c.window)) - 8];
  if (slot == nullptr) slot = std::make_unique<SpectrumAnalyser>(c.window);
  s.analyser = slot.get();
}

void Erase(std::list<Entry>::iterator it) {
  State& s = S();
  s.bytes -= it->levels.size() + kEntryOverhead;
  s.index.erase(it->key);
  s.lru.erase(it);
}

// The cached column, checked against the sound's bytes when the sound has
// changed since it was last found valid.
const Entry* Find(const Key& key, int64_t frames) {
  State& s = S();
  const auto found = s.index.find(key);
  if (found == s.index.end()) return nullptr;
  const auto it = found->second;
  if (it->revision != s.revision) {
    const int align = Doc().format.nBlockAlign;
    const FrameRange r = ClippedReach(key.second, key.first, s.config.window, frames);
    if (ColumnFingerprint(Doc().bytes() + r.first * align, r, align) != it->fingerprint) {
      Erase(it);
      return nullptr;
    }
    it->revision = s.revision;
  }
  s.lru.splice(s.lru.begin(), s.lru, it);
  return &*it;
}

void Insert(const Key& key, uint64_t fingerprint, uint64_t revision, const uint8_t* levels,
            size_t size) {
  State& s = S();
  if (const auto old = s.index.find(key); old != s.index.end()) Erase(old->second);
  s.lru.push_front(Entry{key, fingerprint, revision, std::vector<uint8_t>(levels, levels + size)});
  s.index.emplace(key, s.lru.begin());
  s.bytes += size + kEntryOverhead;
  // Never less than two screens, or a screen would drop its own columns.
  const size_t limit = std::max(s.limit, 2 * static_cast<size_t>(PlotColumns()) *
                                             EntryBytes(s.config.channels, s.config.window));
  while (s.bytes > limit && s.lru.size() > 1) Erase(std::prev(s.lru.end()));
}

const std::vector<RowSource>& Rows(int count) {
  State& s = S();
  const FrequencyAxis axis = Axis();
  if (count != s.rowsCount || axis.rate != s.rowsAxis.rate || axis.window != s.rowsAxis.window ||
      axis.log != s.rowsAxis.log) {
    s.rows = RowSources(axis, count);
    s.rowsCount = count;
    s.rowsAxis = axis;
  }
  return s.rows;
}

// Queues the wanted columns that are still in view, in runs of neighbours.
void Dispatch() {
  State& s = S();
  if (!Drawable() || s.analyser == nullptr) {
    s.wanted.clear();
    return;
  }
  const int64_t fpp = FramesPerPixel(), base = BaseColumn(), frames = SoundFrames();
  const int64_t end = std::min<int64_t>(base + PlotColumns(), (frames + fpp - 1) / fpp);
  std::erase_if(s.wanted,
                [&](const Key& k) { return k.first != fpp || k.second < base || k.second >= end; });
  const SoundDocument& doc = Doc();
  const int align = doc.format.nBlockAlign;
  while (s.jobs < kMaxJobs && !s.wanted.empty()) {
    auto job = std::make_unique<ColumnJob>();
    job->first = s.wanted.begin()->second;
    const FrameRange firstReach = ClippedReach(job->first, fpp, s.config.window, frames);
    FrameRange span = firstReach;
    for (auto it = s.wanted.begin(); it != s.wanted.end() && job->count < kBatchColumns; ++it) {
      if (it->second != job->first + job->count) break;
      const FrameRange r = ClippedReach(it->second, fpp, s.config.window, frames);
      if (job->count > 0 && (r.end - span.first) * align > kBatchBytes) break;
      span.end = r.end;
      ++job->count;
    }
    for (int i = 0; i < job->count; ++i) {
      s.wanted.erase({fpp, job->first + i});
      s.inFlight.insert({fpp, job->first + i});
    }
    job->epoch = s.epoch;
    job->revision = s.revision;
    job->fpp = fpp;
    job->soundFrames = frames;
    job->analyser = s.analyser;
    job->frames = span;
    job->access = Samples();
    const uint8_t* from = Doc().bytes() + span.first * align;
    job->bytes.assign(from, from + (span.end - span.first) * align);
    s.workers.Submit(std::move(job));
    ++s.jobs;
  }
}

}  // namespace

bool SpectrogramShown() { return SpectrogramOptions().on != 0; }

void RenderSpectrogram(const PixelBuffer& buffer, const WaveGeometry& g, const PixelRect& area,
                       int scale) {
  if (!Drawable()) return;
  EnsureConfig();
  State& s = S();
  scale = std::max(scale, 1);
  const int left = std::max(area.left, kPlotLeft * scale);
  const int right = std::min({area.right, g.plotRight * scale, buffer.width});
  const int top = std::max(area.top, 0), bottom = std::min(area.bottom, buffer.height);
  const int laneRows = (g.laneHeight - 4) * scale;
  if (left >= right || top >= bottom || laneRows <= 0) return;
  const std::vector<RowSource>& rows = Rows(laneRows);
  const LevelColours& colours =
      SpectrogramOptions().colours == 1 ? GreyColours() : PerceptualColours();
  const int64_t fpp = FramesPerPixel(), base = BaseColumn(), frames = SoundFrames();
  const int bins = s.analyser->Bins();
  for (int x = left / scale - kPlotLeft; (kPlotLeft + x) * scale < right; ++x) {
    const Key key{fpp, base + x};
    if (key.second * fpp >= frames) break;  // past the end: the plot's black
    const Entry* e = Find(key, frames);
    if (e == nullptr) {
      if (!s.inFlight.contains(key)) s.wanted.insert(key);
      continue;
    }
    const int x0 = std::max(left, (kPlotLeft + x) * scale);
    const int x1 = std::min(right, (kPlotLeft + x + 1) * scale);
    for (int ch = 0; ch < g.channels && ch < s.config.channels; ++ch) {
      const int laneTop = (g.LaneTop(ch) + 2) * scale;
      const uint8_t* levels = e->levels.data() + static_cast<ptrdiff_t>(ch) * bins;
      const int r0 = std::max(0, top - laneTop), r1 = std::min(laneRows, bottom - laneTop);
      for (int r = r0; r < r1; ++r) {
        const RowSource& src = rows[r];
        int level;
        if (src.count > 0) {
          level = *std::max_element(levels + src.first, levels + src.first + src.count);
        } else {
          level =
              (levels[src.first] * (256 - src.weight) + levels[src.first + 1] * src.weight + 128) >>
              8;
        }
        uint32_t* p = buffer.pixels + static_cast<ptrdiff_t>(laneTop + r) * buffer.stride;
        std::fill(p + x0, p + x1, colours[level]);
      }
    }
  }
  Dispatch();
}

std::vector<ColumnSpan> CollectSpectrogramColumns() {
  State& s = S();
  std::vector<ColumnSpan> spans;
  const int64_t fpp = FramesPerPixel(), base = BaseColumn(), columns = PlotColumns();
  for (const std::unique_ptr<ColumnJob>& job : s.workers.TakeFinished()) {
    --s.jobs;
    if (job->epoch != s.epoch) continue;
    for (int i = 0; i < job->count; ++i) s.inFlight.erase({job->fpp, job->first + i});
    const size_t perColumn = job->levels.size() / std::max(job->count, 1);
    if (perColumn == 0) continue;
    for (int i = 0; i < job->count; ++i) {
      const int64_t column = job->first + i;
      Insert({job->fpp, column}, job->fingerprints[i], job->revision,
             job->levels.data() + perColumn * i, perColumn);
      ++s.computed;
      if (job->fpp != fpp || column < base || column >= base + columns) continue;
      const int x = static_cast<int>(column - base);
      if (!spans.empty() && spans.back().right == x)
        spans.back().right = x + 1;
      else
        spans.push_back({x, x + 1});
    }
  }
  Dispatch();
  return spans;
}

void SetSpectrogramWakeup(std::function<void()> wakeup) {
  S().workers.SetWakeup(std::move(wakeup));
}

bool SpectrogramPending() { return S().jobs > 0 || !S().wanted.empty(); }

void WaitForSpectrogram() {
  if (S().jobs > 0) S().workers.Wait();
}

void SpectrogramSoundChanged() { ++S().revision; }

std::vector<RulerMark> SpectrogramRuler(const WaveGeometry& g, int spacing) {
  std::vector<RulerMark> marks;
  const int rows = g.laneHeight - 4;
  if (!Drawable() || rows <= 0) return marks;
  const std::vector<FrequencyMark> lane = FrequencyMarks(Axis(), rows, spacing);
  for (int ch = 0; ch < g.channels; ++ch)
    for (const FrequencyMark& m : lane) marks.push_back({g.LaneTop(ch) + 2 + m.row, m.label});
  return marks;
}

std::string SpectrogramPointerText(int y) {
  if (!SpectrogramShown() || !Drawable()) return std::string();
  const WaveGeometry g = CurrentWaveGeometry();
  const int rows = g.laneHeight - 4;
  for (int ch = 0; ch < g.channels && rows > 0; ++ch) {
    const int row = y - (g.LaneTop(ch) + 2);
    if (row < 0 || row >= rows) continue;
    return "  " + FrequencyText(Axis().FrequencyAt((rows - row - 0.5) / rows));
  }
  return std::string();
}

SpectrogramCacheStats SpectrogramStats() {
  const State& s = S();
  return {s.lru.size(), s.bytes, s.computed};
}

void SetSpectrogramCacheLimit(size_t bytes) { S().limit = bytes != 0 ? bytes : kDefaultCacheBytes; }

void ResetSpectrogramState() {
  State& s = S();
  s.workers.Stop();
  s.jobs = 0;
  Clear();
  s.config = Config{};
  s.analyser = nullptr;
  s.workers.SetEpoch(++s.epoch);
  ++s.revision;
  s.limit = kDefaultCacheBytes;
  s.computed = 0;
  s.rowsCount = -1;
  SpectrogramOptions() = SpectrogramSettings{};
}

}  // namespace kelvora
