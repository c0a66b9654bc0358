// Every effect and generator on fixed signals in every frame format, hashed
// (bytes, selection, texts, messages, events). A changed hash is a changed result.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "document/busy.h"
#include "document/params.h"
#include "editing/clip_wave_block.h"
#include "effects/amplitude.h"
#include "effects/delay.h"
#include "effects/dynamics.h"
#include "effects/effect_test_util.h"
#include "effects/envelope.h"
#include "effects/equalizers.h"
#include "effects/loudness.h"
#include "effects/modulation.h"
#include "effects/pitch_time.h"
#include "effects/texts.h"
#include "generators/generators.h"
#include "generators/texts.h"

namespace kelvora {
namespace {

// ----- Signals -------------------------------------------------------------

// Quiet noise, a loud tone, silence, then full-scale noise with both
// extremes: every branch of the gate and the compressor gets its turn.
void Mixed(const SoundFormat& f) {
  std::mt19937 rng(f.nBlockAlign * 31 + f.wBitsPerSample);
  std::vector<int32_t> v;
  for (int k = 0; k < 10100; ++k)
    for (int ch = 0; ch < f.nChannels; ++ch) {
      const int32_t noise = int32_t(rng() % 65536) - 32768;
      if (k < 2000)
        v.push_back(noise / 100);
      else if (k < 5000)
        v.push_back(int32_t(20000 * std::sin(k * 0.05 + ch)) + noise / 20);
      else if (k < 5600)
        v.push_back(0);
      else
        v.push_back(k % 97 == 0 ? (ch ? 32767 : -32768) : noise);
    }
  SetSamples(f, v);
}

// A tone, so that the overlap search has a best match to find, with noise
// and both extremes sprinkled in.
void Tone(const SoundFormat& f) {
  std::vector<int32_t> v;
  std::mt19937 rng(5);
  for (int64_t i = 0; i < 6100; ++i)
    for (int ch = 0; ch < f.nChannels; ++ch)
      v.push_back(static_cast<int32_t>(14000 * std::sin(i * 0.17 + ch)) +
                  static_cast<int32_t>(rng() % 6001) - 3000);
  for (size_t i = 3; i < v.size(); i += 101) v[i] = -32768;
  for (size_t i = 7; i < v.size(); i += 89) v[i] = 32767;
  SetSamples(f, v);
}

template <int kFrames, int kSeed>
void Noise(const SoundFormat& f) {
  SetDocument(f, NoiseBytes(kFrames * f.nBlockAlign, f.nBlockAlign * kSeed + f.wBitsPerSample));
}

void Empty(const SoundFormat& f) { SetDocument(f, {}); }

// Noise 36 dB down for half a second at 44.1 kHz: long enough to measure.
void QuietNoise(const SoundFormat& f) {
  std::mt19937 rng(f.nBlockAlign);
  std::vector<int32_t> v;
  for (int k = 0; k < 22100 * f.nChannels; ++k) v.push_back(int32_t(rng() % 65536) / 64 - 512);
  SetSamples(f, v);
}

// ----- Cases ---------------------------------------------------------------

const Envelope kVolumeCurve = Curve({{0, 40}, {60, 250}, {61, 3}, {200, 128}, {256, 256}});
const Envelope kPanCurve = Curve({{0, 0}, {100, 200}, {255, 9}, {256, 70}});
const Envelope kPitchCurve = Curve({{0, 0}, {90, 256}, {91, 77}, {180, 30}, {256, 200}});

const EqPositions kBands = {0, 10, 30, 50, 70, 90, 100, 20, 60};
const std::array<EqModule, 3> kModules = {EqModule{1, 1000, 12, 24}, EqModule{1, 1500, -9, 12},
                                          EqModule{1, 8000, 18, 48}};

// Tone run `run` of a row: 440 Hz, 1000 Hz, then 10 kHz.
void SetTone(int run, int32_t wave, int32_t fm) {
  const int32_t freq[] = {440, 1000, 10000};
  Params<ToneParams>() = {90, freq[run], 50, wave, fm, 100, 100};
}

// A clip of a rising ramp in the sound's format and a melody of every kind
// of token.
void SetMelody(int) {
  SoundDocument& doc = Doc();
  std::vector<uint8_t> clip;
  for (int i = 0; i < 3000 * doc.format.nBlockAlign; ++i) clip.push_back(uint8_t(i * 7 + i / 3));
  MemoryBlock block;
  BuildClipWaveBlock(doc.format, clip.data(), static_cast<int32_t>(clip.size()), block);
  Services().clipboard->SetWave(block.data(), block.size());
  Params<MelodyParams>() = {200, 2, "o5C8d+16.e-r8>c2o3b"};
}

struct Golden {
  const char* label;
  int command;
  const char* progress;  // the progress name whose texts count
  void (*signal)(const SoundFormat&);
  int32_t first, end;  // selection in frames
  void (*set)(int run);
  uint32_t hash[5];  // per format of kMatrixFormats
  uint32_t mask = 3;
  int32_t counter = 0;  // the progress counter at the start
  int runs = 1;         // runs, each on a fresh signal, hashed in a row
};

using namespace texts;

void Keep(int) {}
void SetBands(int) { Params<GraphicEqParams>().positions = kBands; }
void SetModules(int) { Params<ParametricEqParams>().modules = kModules; }

// Generated once from a build whose results matched the plain renderings;
// print the actual values with KELVORA_PRINT_GOLDEN=1 only after finding
// out why they changed.
// clang-format off
const Golden kGolden[] = {
    // Amplitude, on noise.
    {"VolumeLimited", kCmdVolume, kNameVolume, Noise<10100, 31>, 7, 10007, [](int) { Params<VolumeParams>() = {200, 30, 1}; }, {0x26364d77, 0xc026f8f0, 0x58651773, 0xbc8ef19c, 0xa9ff6922}},
    {"VolumeClipped", kCmdVolume, kNameVolume, Noise<10100, 31>, 7, 10007, [](int) { Params<VolumeParams>() = {150, 50, 0}; }, {0x40947f91, 0x3830f757, 0x24d245cd, 0x6e1b4ff2, 0xe633beb6}},
    {"VolumeLeftOnly", kCmdVolume, kNameVolume, Noise<10100, 31>, 7, 10007, [](int) { Params<VolumeParams>() = {60, 0, 1}; }, {0x43d5fac5, 0x032ddda5, 0x0eb8f80e, 0x1b41bfed, 0x6f679d74}, 1},
    {"FadeIn", kCmdFadeIn, kNameFadeIn, Noise<10100, 31>, 7, 10007, Keep, {0x88486e7f, 0x49f71342, 0x65b371cf, 0xded6c684, 0xd5a291aa}},
    {"FadeOut", kCmdFadeOut, kNameFadeOut, Noise<10100, 31>, 7, 10007, Keep, {0x97fe33fa, 0x8d41377e, 0xe4465504, 0x65df678f, 0x197235df}},
    {"Normalize", kCmdNormalize, kNameNormalize, Noise<10100, 31>, 7, 10007, Keep, {0x2314ab77, 0x424c8305, 0x474dc8b1, 0x48693d20, 0x33b9de2c}},
    {"Reverse", kCmdReverse, kNameReverse, Noise<10100, 31>, 7, 10007, Keep, {0x3836a5a1, 0x73e3f0ba, 0xc623d890, 0xc7fa8ea4, 0x68e12aca}},
    {"Invert", kCmdInvertPhase, kNameInvertPhase, Noise<10100, 31>, 7, 10007, Keep, {0x7e25f687, 0xa6a4bc53, 0x8dd32654, 0x03e12ae9, 0xd49b08c8}},
    {"RemoveDc", kCmdRemoveDc, kNameRemoveDc, Noise<10100, 31>, 7, 10007, Keep, {0xa2c48e11, 0x39308844, 0x2f3e36c7, 0x850d66aa, 0x92ede822}},
    {"SilenceSecond", kCmdSilenceSelection, nullptr, Noise<10100, 31>, 7, 10007, Keep, {0x79de8240, 0x6901ab29, 0xbb5141e6, 0xa7c34543, 0x1bf4e15d}, 2},
    // Dynamics, delays and modulation, on the mixed signal.
    {"GateCloses", kCmdNoiseGate, kNameNoiseGate, Mixed, 7, 10007, [](int) { Params<NoiseGateParams>() = {60, 2, 3}; }, {0x4bdb7528, 0xa8d5ca03, 0x3eaa3258, 0x59acc24f, 0x27dfd8cf}},
    {"GateAtStart", kCmdNoiseGate, kNameNoiseGate, Mixed, 0, 6000, Keep, {0xfe4fe0be, 0x1597a9c2, 0xd4bcff4e, 0x351f530c, 0xdd79c547}},
    {"Compressor", kCmdCompressor, nullptr, Mixed, 7, 10007, [](int) { Params<CompressorParams>() = {60, 40}; }, {0xedc7a1b0, 0xeee121de, 0xcb51db81, 0x478ec4b1, 0x6547f43f}},
    {"CompressorAtEnd", kCmdCompressor, nullptr, Mixed, 4100, 10100, [](int) { Params<CompressorParams>() = {100, 1}; }, {0x1065805a, 0x981c62e4, 0x261c8ebe, 0xf58b89ca, 0xb4a3ea72}},
    {"Overdrive", kCmdDistortion, kNameDistortion, Mixed, 7, 10007, [](int) { Params<DistortionParams>() = {70, kOverdrive}; }, {0xadcf3682, 0x336f59e7, 0x14329836, 0x1e60cb84, 0x76d28992}},
    {"FuzzAtEnd", kCmdDistortion, kNameDistortion, Mixed, 100, 10100, [](int) { Params<DistortionParams>() = {100, kFuzz}; }, {0xd95106a1, 0x7c7e61fe, 0x0bf79844, 0xbf23c7b4, 0x023420c7}},
    {"NoiseRemovalAtStart", kCmdNoiseRemoval, kNameNoiseRemoval, Mixed, 0, 9000, [](int) { Params<NoiseRemovalParams>() = {40, 3}; }, {0x5e78b63f, 0x35519d69, 0x83aca305, 0x6422f429, 0xe20e156d}},
    {"NoiseRemovalAtEnd", kCmdNoiseRemoval, kNameNoiseRemoval, Mixed, 1000, 10100, [](int) { Params<NoiseRemovalParams>() = {100, 10}; }, {0x243c6a2c, 0x29745b09, 0x231981b8, 0x424ae3f2, 0x66cd519f}},
    {"Echo", kCmdEcho, kNameEcho, Mixed, 7, 10007, [](int) { Params<EchoParams>() = {9, 60, 70}; }, {0x1571bb05, 0x55643db0, 0xe454085c, 0xf018d525, 0x3a166d44}},
    {"EchoNoDelay", kCmdEcho, kNameEcho, Mixed, 0, 10000, [](int) { Params<EchoParams>() = {0, 70, 50}; }, {0x26b54d8f, 0x0232e0b1, 0x778c01ad, 0x8e1480f0, 0x5b3f9e4f}},
    {"ReverbAtStart", kCmdReverb, kNameReverb, Mixed, 0, 10000, [](int) { Params<ReverbParams>() = {30, 80, 50}; }, {0x9fb49f71, 0xc521ea3b, 0x8d737a09, 0x2ad6f1b2, 0xda771d26}},
    {"ReverbAtEnd", kCmdReverb, kNameReverb, Mixed, 700, 10100, [](int) { Params<ReverbParams>() = {120, 100, 90}; }, {0x3101a905, 0x187401c4, 0x27a952b9, 0xb1135497, 0x76623ea5}},
    {"FlangerAtStart", kCmdFlanger, kNameFlanger, Mixed, 0, 10000, [](int) { Params<FlangerParams>() = {70, 30, 100, 0}; }, {0x886a3ee7, 0x556cf6ae, 0xb3826e78, 0xede7db4b, 0x2c5fe2d6}},
    {"StereoFlangeAtEnd", kCmdFlanger, kNameFlanger, Mixed, 100, 10100, [](int) { Params<FlangerParams>() = {40, 100, 37, 1}; }, {0x305af7ef, 0x7cfff62c, 0x3091526e, 0x337bcd69, 0x677de12a}},
    {"Vibrato", kCmdVibrato, kNameVibrato, Mixed, 7, 10007, [](int) { Params<VibratoParams>() = {50, 200, 1}; }, {0x24239b0a, 0x40533e73, 0xfd2dc71d, 0x662ae2f1, 0x8041b254}},
    {"VibratoAtEnd", kCmdVibrato, kNameVibrato, Mixed, 100, 10100, [](int) { Params<VibratoParams>() = {100, 3, 0}; }, {0x3378876f, 0xafb6258e, 0x90abad50, 0x11afc288, 0x465ba17c}},
    {"AutoPan", kCmdTremolo, kNameTremolo, Mixed, 7, 10007, [](int) { Params<TremoloParams>() = {80, 77, 1}; }, {0x0bcbbfcd, 0xa9fd7efa, 0x3dddc056, 0x6a9b04f0, 0x93845c27}},
    {"TremoloAtStart", kCmdTremolo, kNameTremolo, Mixed, 0, 10000, [](int) { Params<TremoloParams>() = {100, 100, 0}; }, {0x7adea62e, 0x70dacdd2, 0x3d4cbcaa, 0xdddec4df, 0x731dac04}},
    // Envelopes, on noise, inside the sound and to its end.
    {"VolumeEnvelopeInside", kCmdVolumeEnvelope, kNameVolumeEnvelope, Noise<10100, 37>, 7, 10007, [](int) { Params<VolumeEnvelopeParams>().curve = kVolumeCurve; }, {0x925b2f7e, 0xe88b48a0, 0xeee3270d, 0x82512080, 0x4b945138}},
    {"VolumeEnvelopeToEnd", kCmdVolumeEnvelope, kNameVolumeEnvelope, Noise<10100, 37>, 7, 10100, [](int) { Params<VolumeEnvelopeParams>().curve = kVolumeCurve; }, {0x21774dd1, 0x66ad9fc4, 0x1aeeb08f, 0x89a1a1ae, 0x2c9f83ed}},
    {"PanEnvelopeInside", kCmdPanEnvelope, kNamePanEnvelope, Noise<10100, 37>, 7, 10007, [](int) { Params<PanEnvelopeParams>().curve = kPanCurve; }, {0x58bc2f77, 0x7e0027d5, 0xeed3ae6d, 0xb71bcc47, 0xec6bbf83}},
    {"PanEnvelopeToEnd", kCmdPanEnvelope, kNamePanEnvelope, Noise<10100, 37>, 7, 10100, [](int) { Params<PanEnvelopeParams>().curve = kPanCurve; }, {0x6a6c1cf7, 0x45cd5ba7, 0xabcd35b8, 0x726d5ece, 0x6dcb001e}},
    {"PitchEnvelopeInside", kCmdPitchEnvelope, kNamePitchEnvelope, Noise<10100, 37>, 7, 10007, [](int) { Params<PitchEnvelopeParams>().curve = kPitchCurve; }, {0xfdb9b8eb, 0x344c5364, 0xf5fc115a, 0xbc23d993, 0xf36b7c88}},
    {"PitchEnvelopeToEnd", kCmdPitchEnvelope, kNamePitchEnvelope, Noise<10100, 37>, 7, 10100, [](int) { Params<PitchEnvelopeParams>().curve = kPitchCurve; }, {0x2cd1303d, 0x810e8f91, 0xd5fce38f, 0x6886faec, 0x1f97d6de}},
    // Pitch and time, on a tone.
    {"PitchUp", kCmdPitch, kNamePitch, Tone, 7, 6007, [](int) { Params<PitchParams>().pitch = 137; }, {0x13d2c303, 0x02b14e6a, 0x656254cc, 0xbcabfc36, 0x97b3a67e}},
    {"PitchDown", kCmdPitch, kNamePitch, Tone, 7, 6007, [](int) { Params<PitchParams>().pitch = 50; }, {0xb0def52c, 0x50b79470, 0x7f7f0473, 0x9b13e8ae, 0xc95c5fa2}},
    {"Faster", kCmdTimeStretch, kNameTimeStretch, Tone, 7, 6007, [](int) { Params<TimeStretchParams>().speed = 150; }, {0xd36c5098, 0xae8dbeb7, 0x8c4ceaf4, 0x1fc51324, 0x4669f55d}},
    {"Slower", kCmdTimeStretch, kNameTimeStretch, Tone, 7, 6007, [](int) { Params<TimeStretchParams>().speed = 70; }, {0x521711c8, 0x3fe18345, 0x2b0e6e0a, 0x343dfe81, 0xd07ff6e2}},
    {"TransposeUp", kCmdTranspose, kNameTranspose, Tone, 7, 6007, [](int) { Params<TransposeParams>() = {350, 0, 50}; }, {0xa62bf8d1, 0x1133c732, 0xc1d510d0, 0x4deff479, 0x42da6b95}},
    {"HarmonizeDown", kCmdTranspose, kNameTranspose, Tone, 7, 6007, [](int) { Params<TransposeParams>() = {-500, 1, 30}; }, {0xacfde989, 0x5ff52c27, 0x0a6370db, 0x84153bbc, 0xaaadec7f}},
    // Equalizers: one zero-padded block, a second that rewrites frames 768
    // onward, two blocks, six, and 65 shared with a second thread.
    {"Graphic500", kCmdGraphicEq, kProgressGraphicEq, Noise<600, 7>, 5, 505, SetBands, {0x4cec84b9, 0xe5e7a755, 0x3f332c68, 0x8bd9e626, 0xb3cdd08a}, 3, 197},
    {"Graphic800", kCmdGraphicEq, kProgressGraphicEq, Noise<900, 7>, 5, 805, SetBands, {0xf039015d, 0xf66626a3, 0x8f949d5f, 0x5d784ddd, 0x289031b8}, 3, 197},
    {"Graphic1024", kCmdGraphicEq, kProgressGraphicEq, Noise<1124, 7>, 5, 1029, SetBands, {0x03ec7716, 0x5dae87b9, 0x6d3a8311, 0xdccfd584, 0x0a5fddfe}, 3, 197},
    {"Graphic2600", kCmdGraphicEq, kProgressGraphicEq, Noise<2700, 7>, 5, 2605, SetBands, {0xe066f21d, 0xaee9e77e, 0xa3b16306, 0xc2c59b9e, 0x8010835d}, 3, 197},
    {"Graphic33068", kCmdGraphicEq, kProgressGraphicEq, Noise<33168, 7>, 5, 33073, SetBands, {0x6c315795, 0xb171aadc, 0xc33b4fb8, 0x2f83851b, 0xf6a95fa4}, 3, 197},
    {"Parametric500", kCmdParametricEq, kNameParametricEq, Noise<600, 7>, 5, 505, SetModules, {0xf029ac83, 0xc88c83d2, 0x0d4c70b4, 0x458c0bbd, 0x95481c04}, 3, 197},
    {"Parametric800", kCmdParametricEq, kNameParametricEq, Noise<900, 7>, 5, 805, SetModules, {0x21ad74ba, 0x1acd99f7, 0x2b243aaf, 0x585452e7, 0xbd818d65}, 3, 197},
    {"Parametric1024", kCmdParametricEq, kNameParametricEq, Noise<1124, 7>, 5, 1029, SetModules, {0x217555db, 0xbd95bc65, 0x034860a9, 0x77158581, 0x4917aedf}, 3, 197},
    {"Parametric2600", kCmdParametricEq, kNameParametricEq, Noise<2700, 7>, 5, 2605, SetModules, {0xbd5306b2, 0xac16e788, 0x8f740b57, 0x9d5f8184, 0xab3d15a3}, 3, 197},
    {"Parametric33068", kCmdParametricEq, kNameParametricEq, Noise<33168, 7>, 5, 33073, SetModules, {0xe749fb1b, 0xf904d3a9, 0x00411359, 0x65d1572d, 0x991b24ca}, 3, 197},
    // Generators at an insertion point inside noise; tones at three
    // frequencies each (a rate-limited period of 1 among them).
    {"Silence", kCmdInsertSilence, kCaptionGenerator, Noise<300, 3>, 100, 200, [](int) { Params<SilenceParams>().time = 7; }, {0x7bbff518, 0xc1fcf97b, 0x6c95ee04, 0xb78af137, 0x98d67711}},
    {"NoiseStereo", kCmdWhiteNoise, kProgressNoise, Noise<300, 3>, 100, 200, [](int) { Params<NoiseParams>() = {100, 300, 1, 11}; }, {0x251782d2, 0x90720bb3, 0xe767f55b, 0x4b1a51c4, 0x400c7064}},
    {"NoiseQuietMono", kCmdWhiteNoise, kProgressNoise, Noise<300, 3>, 100, 200, [](int) { Params<NoiseParams>() = {70, 200, 0, 12}; }, {0xe700e34f, 0xcc64c253, 0xaf68bbf6, 0x8a2d7367, 0xb3d073c6}},
    {"Square", kCmdTone, kProgressTone, Empty, 0, 0, [](int run) { SetTone(run, 0, 0); }, {0x2bac0b9e, 0x4e6faaa9, 0x98ac1f4b, 0xa83d36b2, 0xa013cd9d}, 3, 0, 3},
    {"SquareFm", kCmdTone, kProgressTone, Empty, 0, 0, [](int run) { SetTone(run, 0, 1); }, {0x610e25ae, 0xeb4cd664, 0xa57de607, 0x26b78cfd, 0xe3fedf44}, 3, 0, 3},
    {"Sine", kCmdTone, kProgressTone, Empty, 0, 0, [](int run) { SetTone(run, 1, 0); }, {0xe72f3c72, 0xc4254577, 0xbe061b09, 0x88617c2b, 0xc87bc713}, 3, 0, 3},
    {"SineFm", kCmdTone, kProgressTone, Empty, 0, 0, [](int run) { SetTone(run, 1, 1); }, {0xcd82354a, 0x102baeea, 0xc891b519, 0xac728a58, 0xd04037aa}, 3, 0, 3},
    {"Sawtooth", kCmdTone, kProgressTone, Empty, 0, 0, [](int run) { SetTone(run, 2, 0); }, {0x31dbc74e, 0x809fbf4d, 0xd33b3579, 0x4bfa34c1, 0x5f3ce0c9}, 3, 0, 3},
    {"SawtoothFm", kCmdTone, kProgressTone, Empty, 0, 0, [](int run) { SetTone(run, 2, 1); }, {0x2dd1280a, 0x7908056a, 0x32e4ed29, 0x489c2740, 0xe8a8a15e}, 3, 0, 3},
    // Loudness: raised to the target; lowered to the ceiling.
    {"LoudnessRaised", kCmdLoudnessNormalize, kNameLoudnessNormalize, QuietNoise, 7, 22007, [](int) { Params<LoudnessNormalizeParams>() = {-160, -10}; }, {0xd131c05f, 0x995f8ab1, 0xde88562d, 0xb2a89e0f, 0x874df16d}},
    {"LoudnessCeiling", kCmdLoudnessNormalize, kNameLoudnessNormalize, Noise<22100, 31>, 7, 22007, [](int) { Params<LoudnessNormalizeParams>() = {-50, -90}; }, {0x8d238adb, 0x35f384dc, 0x5413d7b2, 0x7fd77a4c, 0x93c8bbd8}},
    {"Melody", kCmdMelodyPaste, kProgressMelody, Noise<300, 3>, 100, 200, SetMelody, {0x8b1efd7b, 0xf51cc0b5, 0xd3de5fe9, 0xe026180a, 0x6868edfd}},
};
// clang-format on

uint32_t Fnv(uint32_t h, const void* data, size_t n) {
  for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<const uint8_t*>(data)[i]) * 16777619u;
  return h;
}
uint32_t Fnv(uint32_t h, const std::string& s) { return Fnv(h, s.data(), s.size() + 1); }
uint32_t Fnv(uint32_t h, int64_t v) { return Fnv(h, &v, sizeof v); }

uint32_t Outcome(const Golden& c, const SoundFormat& format) {
  EngineFixture fixture;
  uint32_t h = 2166136261u;
  for (int run = 0; run < c.runs; ++run) {
    fixture.ui().statusLog.clear();
    fixture.ui().messages.clear();
    c.signal(format);
    Select(c.first, c.end);
    Doc().channelMask = c.mask;
    c.set(run);
    Busy().progressCounter = c.counter;
    EXPECT_TRUE(RunCommand(c.command));
    SoundDocument& doc = Doc();
    h = Fnv(h, doc.bytes(), static_cast<size_t>(doc.length));
    for (int64_t v : {doc.selStart, doc.selEnd, doc.length, doc.modified ? 1 : 0}) h = Fnv(h, v);
    for (const std::string& s : fixture.ui().statusLog)
      if (s.rfind(std::string(c.progress != nullptr ? c.progress : "-") + ":", 0) == 0)
        h = Fnv(h, s);
    for (const ShownMessage& m : fixture.ui().messages) h = Fnv(Fnv(h, m.caption), m.text);
    h = Fnv(h, fixture.ui().eventsDispatched);
    h = Fnv(h, Busy().progressCounter);
  }
  return h;
}

class GoldenTable : public testing::Test {
protected:
  void TearDown() override { LimitVectorLevel(2); }
  // Every case in every format; with KELVORA_PRINT_GOLDEN set, the rows.
  void ExpectTable() {
    const bool print = std::getenv("KELVORA_PRINT_GOLDEN") != nullptr;
    for (const Golden& c : kGolden) {
      if (print) std::printf("%s {", c.label);
      for (size_t i = 0; i < std::size(kMatrixFormats); ++i) {
        const uint32_t h = Outcome(c, kMatrixFormats[i]);
        if (print) std::printf("0x%08x%s", h, i + 1 < std::size(kMatrixFormats) ? ", " : "}\n");
        if (!print) {
          EXPECT_EQ(h, c.hash[i]) << c.label << " format " << i;
        }
      }
    }
  }
};

TEST_F(GoldenTable, EveryEffectAndGeneratorInEveryFormat) { ExpectTable(); }

// The loops are compiled for several instruction sets: the narrower ones
// give the same results.
TEST_F(GoldenTable, NarrowerVectorVersionsAgree) {
  for (int level : {0, 1}) {
    LimitVectorLevel(level);
    ExpectTable();
  }
}

}  // namespace
}  // namespace kelvora
