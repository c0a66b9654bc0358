#include "files/sound_intake.h"

#include <bit>
#include <cstring>
#include <vector>

#include "document/busy.h"
#include "document/texts.h"
#include "files/intake_decoder.h"
#include "files/pcm_reduction.h"
#include "files/texts.h"

namespace kelvora {
namespace {

// Samples decoded per step, whatever the channel count.
constexpr size_t kBlockSamples = size_t{1} << 16;

// Decodes into the sound's block, which grows as the sound turns out
// longer; the header's length is a hint for the first size, never a limit.
class IntakeLoader {
public:
  IntakeLoader(FileReader& file, LoadedSound& sound) : file_(file), sound_(sound) {}
  int Run();

private:
  enum class Step { kOk, kOutOfMemory, kTooLarge };
  bool Room(uint64_t frames);
  Step Decode(IntakeDecoder& d);
  void Report(const IntakeDecoder& d, const Pcm16Reducer& reducer, bool mixed);

  FileReader& file_;
  LoadedSound& sound_;
  size_t frameBytes_ = 2;
  uint64_t frames_ = 0;
};

bool IntakeLoader::Room(uint64_t frames) {
  const uint64_t need = frames * frameBytes_;
  const uint64_t have = sound_.data.size() >= kSpareBytes ? sound_.data.size() - kSpareBytes : 0;
  if (need <= have) return true;
  // Grown blocks move by remapping, not copying: doubling costs little.
  const uint64_t grown =
      have * 2 > need && have * 2 <= static_cast<uint64_t>(kMaxSoundBytes) ? have * 2 : need;
  return PrepareLoadBlock(sound_, grown) || PrepareLoadBlock(sound_, need);
}

IntakeLoader::Step IntakeLoader::Decode(IntakeDecoder& d) {
  const int channels = d.channels();
  const Downmix mix = MakeDownmix(d.Positions());
  frameBytes_ = 2 * static_cast<size_t>(mix.outChannels);
  const uint64_t maxFrames = static_cast<uint64_t>(kMaxSoundBytes) / frameBytes_;
  const size_t block = kBlockSamples / static_cast<size_t>(channels) + 1;
  // Exact 16-bit samples in mono or stereo go straight into the block.
  const bool direct =
      d.ExactIn16Bits() && channels <= 2 && std::endian::native == std::endian::little;
  // The first size: the length the header gives, as far as a file of this
  // size could plausibly hold it.
  uint64_t hint = static_cast<uint64_t>(d.declaredFrames());
  const uint64_t plausible = 16 * file_.Size() + 4096;
  if (hint > plausible) hint = plausible;
  if (!Room(hint < maxFrames ? hint : maxFrames)) return Step::kOutOfMemory;
  std::vector<float> samples(block * static_cast<size_t>(channels));
  Pcm16Reducer reducer(mix, sound_.intake.ditherSeed);
  int shift = 0;
  while ((file_.Size() >> shift) > 0x7FFFFFFF) ++shift;
  for (;;) {
    const uint64_t want = maxFrames - frames_ < block ? maxFrames - frames_ : block;
    if (want == 0) {
      // Only a sound that really goes on past the limit is too large.
      if (d.ReadFloats(samples.data(), 1) > 0) return Step::kTooLarge;
      break;
    }
    if (!Room(frames_ + want)) return Step::kOutOfMemory;
    auto* out = reinterpret_cast<int16_t*>(sound_.data.data() + frames_ * frameBytes_);
    int64_t got;
    if (direct) {
      got = d.ReadShorts(out, static_cast<int64_t>(want));
    } else {
      got = d.ReadFloats(samples.data(), static_cast<int64_t>(want));
      if (got > 0) reducer.Reduce(samples.data(), static_cast<size_t>(got), out);
    }
    if (d.Faulted()) sound_.intake.truncated = true;
    if (got <= 0) break;
    frames_ += static_cast<uint64_t>(got);
    ShowProgressSpan(texts::kProgressLoadIntake, static_cast<int64_t>(file_.Position() >> shift), 0,
                     got, static_cast<int64_t>(file_.Size() >> shift));
  }
  Report(d, reducer, mix.outChannels != channels);
  return Step::kOk;
}

void IntakeLoader::Report(const IntakeDecoder& d, const Pcm16Reducer& reducer, bool mixed) {
  IntakeReport& r = sound_.intake;
  r.source = d.SourceName();
  r.sampleText = d.WideSampleText();
  r.channels = d.channels();
  r.rate = d.rate();
  r.lossy = d.Lossy();
  r.dithered = reducer.dithered();
  r.clipped = reducer.clipped();
  r.mixed = mixed;
  sound_.fileKind = d.SaveKind();
}

int IntakeLoader::Run() {
  IntakeDecoder d(file_);
  if (const char* refusal = d.Refusal()) return RejectLoad(sound_, refusal, nullptr);
  switch (Decode(d)) {
    case Step::kOutOfMemory:
      return RejectLoad(sound_, texts::kOutOfMemory, nullptr);
    case Step::kTooLarge:
      return RejectLoad(sound_, texts::kTooLarge, nullptr);
    case Step::kOk:
      break;
  }
  // Nothing decoded before a fault: there is no sound, only the fault.
  if (frames_ == 0 && sound_.intake.truncated) return RejectLoad(sound_, texts::kBadData, nullptr);
  const uint64_t bytes = frames_ * frameBytes_;
  if (!PrepareLoadBlock(sound_, bytes)) return RejectLoad(sound_, texts::kOutOfMemory, nullptr);
  std::memset(sound_.data.data() + bytes, 0, kSpareBytes);
  SoundFormat f;
  f.wFormatTag = 1;
  f.nChannels = static_cast<uint16_t>(frameBytes_ / 2);
  f.nSamplesPerSec = sound_.intake.rate;
  f.wBitsPerSample = 16;
  f.nBlockAlign = static_cast<uint16_t>(frameBytes_);
  f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
  f.cbSize = 0;
  return AcceptLoad(sound_, f, bytes);
}

int CheckIntake(FileReader& file, LoadedSound& sound) {
  IntakeDecoder d(file);
  if (const char* refusal = d.Refusal()) return RejectSignature(sound, refusal);
  return 1;
}

int ReadIntake(FileReader& file, LoadedSound& sound) {
  IntakeLoader loader(file, sound);
  return loader.Run();
}

}  // namespace

const SoundReader kIntakeReader{CheckIntake, ReadIntake, true};

}  // namespace kelvora
