#include "effects/fft_block_filter.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "document/busy.h"
#include "document/frame_format.h"

namespace kelvora {
namespace {

constexpr int kHop = kFftLength / 2;
constexpr int kKeepFrom = kFftLength / 4;  // later blocks rewrite from here on
// FFTW's inverse returns 1024 times the signal; a power of two, so the
// product rounds exactly as the packed pair's scaling does.
constexpr double kInverseScale = 1.0 / kFftLength;

// Whether any band scales a bin by anything but 1.
bool ChangesAnyBin(const std::vector<FftBand>& bands) {
  for (const FftBand& b : bands)
    if (b.hi - b.lo > 1 && b.gain != 1.0) return true;
  return false;
}

// Both parts of bins lo < i < hi; bin 0 and bin 512 are never scaled.
void ApplyGains(const std::vector<FftBand>& bands, double* spectrum) {
  for (const FftBand& b : bands) {
    const int from = std::max(b.lo, 0) + 1;
    const int to = std::min(b.hi, kFftLength / 2);
    const double g = b.gain;
    for (int i = 2 * from; i < 2 * to; ++i) spectrum[i] *= g;
  }
}

// trunc toward zero, then the sample range: clamping first gives the same
// value and keeps the conversion defined whatever the gains made of it.
inline int32_t ToSample(double v) {
  return static_cast<int32_t>(std::clamp(v * kInverseScale, -32768.0, 32767.0));
}

// One channel of packed frames to and from the block: every frame is
// loaded (and stored) as one word, so the loops run over contiguous memory
// and vectorise; the other channels' lanes are stored back as they were.
template <class Fmt>
struct ReadLane {
  using Raw = typename Fmt::Raw;
  const uint8_t* frames;
  double* x;
  int shift;
  void operator()(int64_t i) const KELVORA_ALWAYS_INLINE {
    const Raw word = LoadLittleEndian<Raw>(frames + i * sizeof(Raw));
    if constexpr (Fmt::kBits == 16)
      x[i] = static_cast<int16_t>(word >> shift);
    else
      x[i] = (static_cast<uint8_t>(word >> shift) - 128) * 256;
  }
};

template <class Fmt>
struct WriteLane {
  using Raw = typename Fmt::Raw;
  static constexpr uint32_t kLane = (1u << Fmt::kBits) - 1;
  uint8_t* frames;
  const double* x;
  int shift;
  void operator()(int64_t i) const KELVORA_ALWAYS_INLINE {
    const int32_t v = ToSample(x[i]);
    const uint32_t lane = Fmt::kBits == 16 ? static_cast<uint16_t>(v) : (v >> 8) + 128;
    uint8_t* p = frames + i * sizeof(Raw);
    const uint32_t word = LoadLittleEndian<Raw>(p);
    StoreLittleEndian(p, static_cast<Raw>((word & ~(kLane << shift)) | (lane << shift)));
  }
};

template <class Fmt>
void ReadBlock(Fmt fmt, const uint8_t* in, int ch, int count, double* x) {
  if constexpr (Fmt::kPacked) {
    VectorLoop(count, ReadLane<Fmt>{in, x, ch * Fmt::kBits});
  } else {
    for (int i = 0; i < count; ++i) x[i] = fmt.Read(in + i * fmt.Align(), ch);
  }
}

// Frames from..end-1 of the block's result.
template <class Fmt>
void WriteBlock(Fmt fmt, uint8_t* out, int ch, int from, int end, const double* x) {
  if constexpr (Fmt::kPacked) {
    VectorLoop(end - from, WriteLane<Fmt>{out + from * fmt.Align(), x + from, ch * Fmt::kBits});
  } else {
    for (int i = from; i < end; ++i) fmt.Write(out + i * fmt.Align(), ToSample(x[i]), ch);
  }
}

// The blocks of one channel. Block j covers frames 512 j .. 512 j + 1023
// and would write from its frame 256 (the first from 0) to its end; the
// next block, when it writes at all, writes again from its own frame 256.
// So each block keeps to frames up to 768 when more than 768 frames remain
// (the next one then writes), and every frame is written once: the blocks
// no longer depend on their order, and two threads can share them.
template <class Fmt>
struct ChannelPass {
  Fmt fmt;
  int ch;
  const std::vector<FftBand>& bands;
  const uint8_t* source;
  uint8_t* out;
  int64_t frames;

  int64_t Blocks() const { return (frames + kHop - 1) / kHop; }
  void Block(int64_t j, const FftWork& w) const {
    const int64_t start = j * kHop;
    const int64_t remaining = frames - start;
    const int count = static_cast<int>(std::min<int64_t>(remaining, kFftLength));
    const int from = j == 0 ? 0 : kKeepFrom;
    const int end = remaining > kFftLength - kKeepFrom ? kFftLength - kKeepFrom : count;
    if (end <= from) return;
    const int32_t align = fmt.Align();
    ReadBlock(fmt, source + start * align, ch, count, w.samples);
    std::fill(w.samples + count, w.samples + kFftLength, 0.0);
    FftForward1024(w);
    ApplyGains(bands, w.spectrum);
    FftInverse1024(w);
    WriteBlock(fmt, out + start * align, ch, from, end, w.samples);
  }
};

// Blocks per thread and round. After each round the progress of its blocks
// is reported, with the helper idle: events run while nothing else does.
constexpr int64_t kRoundBlocks = 128;
// Below this a second thread costs more than it saves.
constexpr int64_t kSharedBlocks = 64;

// A second thread that takes half of each round of blocks. Where there is
// one processor, or no thread to be had, Running() is false and the caller
// does everything itself. FFTW's execute calls may run on two threads at
// once; its planning may not, and is done before (FftWorkIn).
class FftHelper {
public:
  FftHelper() {
    if (std::thread::hardware_concurrency() < 2) return;
    try {
      thread_ = std::thread([this] { Serve(); });
    } catch (const std::system_error&) {
    }
  }
  ~FftHelper() {
    if (!thread_.joinable()) return;
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  FftHelper(const FftHelper&) = delete;
  FftHelper& operator=(const FftHelper&) = delete;

  bool Running() const { return thread_.joinable(); }
  // Runs `job` (which must outlive the next Wait) on the helper.
  void Post(const std::function<void()>* job) {
    {
      std::lock_guard lock(mutex_);
      job_ = job;
    }
    wake_.notify_all();
  }
  void Wait() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return job_ == nullptr; });
  }

private:
  void Serve() {
    std::unique_lock lock(mutex_);
    while (true) {
      wake_.wait(lock, [this] { return quit_ || job_ != nullptr; });
      if (quit_) return;
      lock.unlock();
      (*job_)();
      lock.lock();
      job_ = nullptr;
      done_.notify_all();
    }
  }

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  const std::function<void()>* job_ = nullptr;
  bool quit_ = false;
};

}  // namespace

size_t FftFilterWorkBytes() { return 2 * FftWorkBytes(); }

void FftBlockFilter(const SoundView& f, const std::vector<FftBand>& bands, const char* label,
                    uint8_t* work, const uint8_t* source, uint8_t* out, int64_t frames) {
  const FftWork mine = FftWorkIn(work), helpers = FftWorkIn(work + FftWorkBytes());
  std::optional<FftHelper> helper;
  f.WithFormat([&](auto fmt) {
    // Every gain 1: the transforms would give the sound back, at best (a
    // sample may lose a step toward zero), so it is given back as it is.
    const bool shaped = ChangesAnyBin(bands);
    if (!shaped) std::memcpy(out, source, static_cast<size_t>(frames * fmt.Align()));
    const int64_t calls = static_cast<int64_t>(bands.size());
    const int64_t total = frames * fmt.Count();
    for (int ch = 0; ch < fmt.Count(); ++ch) {
      const ChannelPass<decltype(fmt)> pass{fmt, ch, bands, source, out, frames};
      const int64_t blocks = pass.Blocks();
      const bool shared = shaped && blocks >= kSharedBlocks;
      if (shared && !helper) helper.emplace();
      const int64_t round = shared ? std::min(kRoundBlocks, (blocks + 1) / 2) : 1;
      int64_t middle = 0, last = 0;
      const std::function<void()> second = [&] {
        for (int64_t j = middle; j < last; ++j) pass.Block(j, helpers);
      };
      for (int64_t first = 0; first < blocks; first += 2 * round) {
        middle = std::min(first + round, blocks);
        last = std::min(first + 2 * round, blocks);
        if (shaped && helper && helper->Running()) {
          helper->Post(&second);
          for (int64_t j = first; j < middle; ++j) pass.Block(j, mine);
          helper->Wait();
        } else if (shaped) {
          for (int64_t j = first; j < last; ++j) pass.Block(j, mine);
        }
        for (int64_t j = first; j < last && label != nullptr; ++j)
          ShowProgressSpan(label, j * kHop + ch * frames, 0, calls, total);
      }
    }
  });
}

int EqualizerPass(const std::vector<FftBand>& bands, const SoundView& v, const Scratch& scratch) {
  MemoryBlock work;
  if (!scratch.Get(work, FftFilterWorkBytes(), true)) return 0;
  FftBlockFilter(v, bands, v.progress, work.data(), v.SourceRange(), v.out, v.frames);
  return 1;
}

}  // namespace kelvora
