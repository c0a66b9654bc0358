#include "editing/convert.h"

#include <gtest/gtest.h>

#include "document/busy.h"
#include "document/texts.h"
#include "document/undo.h"
#include "editing/texts.h"
#include "test_support.h"

namespace kelvora {
namespace {

std::vector<int16_t> Samples16(const uint8_t* p, size_t bytes) {
  std::vector<int16_t> s;
  for (size_t i = 0; i + 1 < bytes; i += 2) s.push_back(int16_t(p[i] | p[i + 1] << 8));
  return s;
}

std::vector<int16_t> Ramp(size_t n, int step) {
  std::vector<int16_t> v;
  for (size_t i = 0; i < n; ++i) v.push_back(int16_t(int(i) * step - 16000));
  return v;
}

struct Converted {
  int ok = 0;
  int32_t length = -1;
  std::vector<uint8_t> bytes;
};

Converted Convert(const SoundFormat& from, const std::vector<uint8_t>& data,
                  const SoundFormat& to) {
  Converted c;
  MemoryBlock out;
  c.ok = ConvertSamples(from, data.data(), int64_t(data.size()), to, out, &c.length);
  if (c.ok) {
    EXPECT_EQ(out.size(), size_t(c.length) + 16);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(out.data()[c.length + i], 0);
    c.bytes.assign(out.data(), out.data() + c.length);
  }
  return c;
}

struct Lengths {
  uint32_t from, to;
  int bits, channels, frames, outBytes;
};

class ConvertLength : public testing::TestWithParam<Lengths> {
protected:
  EngineFixture engine;
};

TEST_P(ConvertLength, OutputHoldsWholeFramesOfTheTarget) {
  const Lengths& p = GetParam();
  const SoundFormat from = MakeFormat(p.from, p.bits, p.channels);
  const SoundFormat to = MakeFormat(p.to, p.bits, p.channels);
  const Converted c =
      Convert(from, std::vector<uint8_t>(size_t(p.frames) * from.nBlockAlign, 0x80), to);
  ASSERT_EQ(c.ok, 1);
  EXPECT_EQ(c.length, p.outBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ConvertLength,
    testing::Values(Lengths{44100, 22050, 16, 1, 1000, 1000}, Lengths{11025, 8000, 8, 1, 101, 73},
                    Lengths{8000, 11025, 16, 2, 3, 16}, Lengths{11025, 8000, 16, 1, 1, 2},
                    Lengths{22050, 44100, 8, 2, 0, 0}, Lengths{8000, 96000, 8, 1, 10, 120}));

class ConvertTest : public testing::Test {
protected:
  EngineFixture engine;
};

TEST_F(ConvertTest, DownsamplingTakesEverySecondFrameExactly) {
  const std::vector<int16_t> in = Ramp(1000, 31);
  const Converted c = Convert(MakeFormat(44100, 16, 1), Pcm16(in), MakeFormat(22050, 16, 1));
  std::vector<int16_t> want;
  for (size_t m = 0; m < 500; ++m) want.push_back(in[2 * m]);
  EXPECT_EQ(Samples16(c.bytes.data(), c.bytes.size()), want);
}

TEST_F(ConvertTest, UpsamplingInterpolatesAndRepeatsTheLastFrame) {
  const Converted c =
      Convert(MakeFormat(22050, 16, 1), Pcm16({0, 3, -3, 100}), MakeFormat(44100, 16, 1));
  // Mid-points truncated toward zero; the last has no neighbour.
  EXPECT_EQ(Samples16(c.bytes.data(), c.bytes.size()),
            (std::vector<int16_t>{0, 1, 3, 0, -3, 48, 100, 100}));
  // Interpolating 8 kHz up to 11025 Hz, stereo.
  const Converted s = Convert(MakeFormat(8000, 16, 2), Pcm16({0, 1000, 800, -1000, 1600, 0}),
                              MakeFormat(11025, 16, 2));
  EXPECT_EQ(Samples16(s.bytes.data(), s.bytes.size()),
            (std::vector<int16_t>{0, 1000, 580, -451, 1160, -548, 1600, 0}));
}

TEST_F(ConvertTest, ChannelsAreAveragedTowardZeroOrDuplicated) {
  // (1 + -2) / 2 is 0, not -1.
  Converted c = Convert(MakeFormat(8000, 16, 2), Pcm16({1, -2, -7, 4}), MakeFormat(8000, 16, 1));
  EXPECT_EQ(Samples16(c.bytes.data(), c.bytes.size()), (std::vector<int16_t>{0, -1}));
  c = Convert(MakeFormat(8000, 8, 1), {0x00, 0xFF}, MakeFormat(8000, 16, 2));
  EXPECT_EQ(Samples16(c.bytes.data(), c.bytes.size()),
            (std::vector<int16_t>{-32768, -32768, 32512, 32512}));
  // 16 to 8 bits by the write rule.
  c = Convert(MakeFormat(8000, 16, 1), Pcm16({-32768, 32767, -1, 255}), MakeFormat(8000, 8, 1));
  EXPECT_EQ(c.bytes, (std::vector<uint8_t>{0, 255, 127, 128}));
  // 24 and 32-bit sources are read by their top 16 bits.
  c = Convert(MakeFormat(8000, 24, 1), {0x11, 0x34, 0x12, 0xFF, 0x00, 0x80},
              MakeFormat(8000, 16, 1));
  EXPECT_EQ(Samples16(c.bytes.data(), c.bytes.size()), (std::vector<int16_t>{0x1234, -32768}));
  c = Convert(MakeFormat(8000, 32, 2), {9, 9, 0x34, 0x12, 9, 9, 0xFE, 0xFF},
              MakeFormat(8000, 16, 2));
  EXPECT_EQ(Samples16(c.bytes.data(), c.bytes.size()), (std::vector<int16_t>{0x1234, -2}));
}

TEST_F(ConvertTest, UnsupportedFormatsAreRefusedWithTheMessage) {
  SoundFormat loose = MakeFormat(8000, 16, 2);
  loose.nBlockAlign = 2;  // two 16-bit samples cannot fit
  const struct {
    SoundFormat from, to;
  } cases[] = {
      {MakeFormat(48000, 16, 1), MakeFormat(44100, 16, 1)},
      {MakeFormat(44100, 16, 3), MakeFormat(44100, 16, 2)},
      {MakeFormat(44100, 12, 1), MakeFormat(44100, 16, 1)},
      {MakeFormat(44100, 16, 0), MakeFormat(44100, 16, 1)},
      {loose, MakeFormat(8000, 16, 1)},
      {MakeFormat(8000, 16, 1), MakeFormat(8000, 24, 1)},
      {MakeFormat(8000, 16, 1), loose},
  };
  for (const auto& c : cases) {
    engine.ui().messages.clear();
    const Converted r = Convert(c.from, Pcm16({1, 2, 3, 4}), c.to);
    EXPECT_EQ(r.ok, 0);
    EXPECT_EQ(r.length, -1);
    ASSERT_EQ(engine.ui().messages.size(), 1u);
    EXPECT_EQ(engine.ui().messages[0].caption, "フォーマット変換");
    EXPECT_EQ(engine.ui().messages[0].text, "このデータ形式からの変換はサポートされていません");
  }
}

TEST_F(ConvertTest, ShortageIsReportedUnderChangeFormat) {
  MemoryBlock::SetTestCap(100);
  const Converted c =
      Convert(MakeFormat(8000, 8, 1), std::vector<uint8_t>(50, 1), MakeFormat(44100, 16, 2));
  EXPECT_EQ(c.ok, 0);
  ASSERT_EQ(engine.ui().messages.size(), 1u);
  EXPECT_EQ(engine.ui().messages[0].caption, "Change Format");
  EXPECT_EQ(engine.ui().messages[0].text, texts::kOutOfMemory);
}

TEST_F(ConvertTest, ViewsSeeTheDocumentUnchangedAndCommandsStayOut) {
  SetDocument(MakeFormat(8000, 8, 1), std::vector<uint8_t>(100, 1));
  Doc().selEnd = 50;
  SoundFormat seen;
  bool delete_ran = true;
  engine.ui().pendingEvents.push_back([&] {
    seen = Doc().format;
    delete_ran = DispatchCommand(kCmdDelete, kCodeMenu);
  });
  const std::vector<uint8_t> in = Pcm16(Ramp(20000, 1));
  const Converted c = Convert(MakeFormat(44100, 16, 2), in, MakeFormat(22050, 16, 1));
  EXPECT_EQ(c.ok, 1);
  EXPECT_TRUE(engine.ui().pendingEvents.empty());
  EXPECT_EQ(seen, MakeFormat(8000, 8, 1));
  EXPECT_FALSE(delete_ran);
  EXPECT_FALSE(Busy().busy);
  EXPECT_EQ(Doc().length, 100);
}

// ----- The format conversion command -----------------------------------------

TEST_F(ConvertTest, CommandConvertsTheWholeSoundAndUndoRestoresIt) {
  SetDocument(MakeFormat(22050, 16, 2), Pcm16({100, 300, -100, -300, 50, 50}));
  Doc().selStart = Doc().anchor = 4;
  Doc().selEnd = Doc().movingEnd = Doc().viewStart = 8;
  engine.platform.dialogs.QueueFields({{"rate", "44100"}, {"bits", "8"}, {"channels", "1"}});
  EXPECT_TRUE(DispatchCommand(kCmdConvertFormat, kCodeMenu));
  EXPECT_EQ(engine.platform.dialogs.shown.back(), 111);
  EXPECT_EQ(Doc().format, MakeFormat(44100, 8, 1));
  EXPECT_EQ(Doc().bytesPerChannelSample, 1);
  // Averages 200, -200, 50 interpolated: 200, 0, -200, -75, 50, 50.
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{128, 128, 127, 127, 128, 128}));
  EXPECT_EQ(Doc().selStart + Doc().selEnd + Doc().anchor + Doc().movingEnd + Doc().viewStart, 0);
  EXPECT_TRUE(Doc().modified);
  EXPECT_EQ(engine.ui().status[0], "44100Hz 8Bits Mono");
  SwapUndo();
  EXPECT_EQ(Doc().format, MakeFormat(22050, 16, 2));
  EXPECT_EQ(Doc().bytesPerChannelSample, 2);
  EXPECT_EQ(DocumentBytes(), Pcm16({100, 300, -100, -300, 50, 50}));
  EXPECT_EQ(Doc().selEnd, 8);

  // The same format chosen still copies and counts as a change.
  Doc().modified = false;
  ConvertFormat();
  EXPECT_EQ(DocumentBytes(), Pcm16({100, 300, -100, -300, 50, 50}));
  EXPECT_TRUE(Doc().modified);
}

TEST_F(ConvertTest, RefusedOrShortCommandLeavesTheSound) {
  SetDocument(MakeFormat(48000, 16, 1), Pcm16({1, 2}));
  ConvertFormat();
  EXPECT_EQ(DocumentBytes(), Pcm16({1, 2}));
  EXPECT_EQ(Doc().format, MakeFormat(48000, 16, 1));
  ASSERT_EQ(engine.ui().messages.size(), 1u);
  SetDocument(MakeFormat(8000, 16, 1), Pcm16(Ramp(100, 1)));
  MemoryBlock::SetTestCap(300);
  engine.platform.dialogs.QueueFields({{"rate", "44100"}});
  ConvertFormat();
  EXPECT_EQ(engine.ui().messages.back().caption, "Change Format");
  EXPECT_EQ(DocumentBytes(), Pcm16(Ramp(100, 1)));
  EXPECT_EQ(Doc().format, MakeFormat(8000, 16, 1));
  // Cancel converts nothing.
  MemoryBlock::SetTestCap(0);
  engine.platform.dialogs.QueueFields({{"rate", "44100"}}, 2);
  ConvertFormat();
  EXPECT_EQ(Doc().format, MakeFormat(8000, 16, 1));
}

}  // namespace
}  // namespace kelvora
