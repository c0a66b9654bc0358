#include "editing/convert.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "document/busy.h"
#include "document/undo.h"
#include "test_support.h"

namespace kelvora {
namespace {

// The converted sound, or nothing when the conversion was refused.
std::optional<std::vector<uint8_t>> Convert(const SoundFormat& from,
                                            const std::vector<uint8_t>& data,
                                            const SoundFormat& to) {
  MemoryBlock out;
  int32_t length = -1;
  if (!ConvertSamples(from, data.data(), int64_t(data.size()), to, out, &length))
    return std::nullopt;
  EXPECT_EQ(out.size(), size_t(length) + 16);
  return std::vector<uint8_t>(out.data(), out.data() + length);
}

class ConvertTest : public testing::Test {
protected:
  EngineFixture engine;
};

TEST_F(ConvertTest, InterpolationAveragingWidthsAndLengths) {
  // Whole frames of the target, however the rates divide.
  for (auto [from, to, bits, channels, frames, bytes] :
       {std::tuple{44100u, 22050u, 16, 1, 1000, 1000},
        {11025u, 8000u, 8, 1, 101, 73},
        {8000u, 11025u, 16, 2, 3, 16},
        {11025u, 8000u, 16, 1, 1, 2}}) {
    const SoundFormat f = MakeFormat(from, bits, channels);
    const std::vector<uint8_t> in(size_t(frames) * f.nBlockAlign, 0x80);
    EXPECT_EQ(int(Convert(f, in, MakeFormat(to, bits, channels)).value().size()), bytes);
  }
  // Every second frame exactly; mid-points truncated, the last repeated.
  EXPECT_EQ(Convert(MakeFormat(44100, 16, 1), Pcm16({5, 6, 7, 8, 9}), MakeFormat(22050, 16, 1)),
            Pcm16({5, 7, 9}));
  EXPECT_EQ(Convert(MakeFormat(22050, 16, 1), Pcm16({0, 3, -3, 100}), MakeFormat(44100, 16, 1)),
            Pcm16({0, 1, 3, 0, -3, 48, 100, 100}));
  // (1 + -2) / 2 is 0, not -1; mono goes to both channels; 16 to 8 bits by
  // the write rule; 24-bit sources by their top 16 bits.
  EXPECT_EQ(Convert(MakeFormat(8000, 16, 2), Pcm16({1, -2, -7, 4}), MakeFormat(8000, 16, 1)),
            Pcm16({0, -1}));
  EXPECT_EQ(Convert(MakeFormat(8000, 8, 1), {0x00, 0xFF}, MakeFormat(8000, 16, 2)),
            Pcm16({-32768, -32768, 32512, 32512}));
  EXPECT_EQ(Convert(MakeFormat(8000, 16, 1), Pcm16({-32768, 32767, -1}), MakeFormat(8000, 8, 1)),
            (std::vector<uint8_t>{0, 255, 127}));
  EXPECT_EQ(Convert(MakeFormat(8000, 24, 1), {0x11, 0x34, 0x12}, MakeFormat(8000, 16, 1)),
            Pcm16({0x1234}));
}

TEST_F(ConvertTest, RefusalsAndShortage) {
  SoundFormat loose = MakeFormat(8000, 16, 2);
  loose.nBlockAlign = 2;  // two 16-bit samples cannot fit
  for (auto [from, to] : {std::pair{MakeFormat(48000, 16, 1), MakeFormat(44100, 16, 1)},
                          {MakeFormat(44100, 16, 3), MakeFormat(44100, 16, 2)},
                          {loose, MakeFormat(8000, 16, 1)},
                          {MakeFormat(8000, 16, 1), MakeFormat(8000, 24, 1)}})
    EXPECT_FALSE(Convert(from, Pcm16({1, 2, 3, 4}), to));
  MemoryBlock::SetTestCap(100);
  EXPECT_FALSE(
      Convert(MakeFormat(8000, 8, 1), std::vector<uint8_t>(50, 1), MakeFormat(44100, 16, 2)));
  std::vector<std::string> shown;
  for (const ShownMessage& m : engine.ui().messages) shown.push_back(m.caption + ":" + m.text);
  std::vector<std::string> want(
      4, "フォーマット変換:このデータ形式からの変換はサポートされていません");
  want.push_back("Change Format:メモリーが足りません");
  EXPECT_EQ(shown, want);
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
  EXPECT_TRUE(
      Convert(MakeFormat(44100, 16, 2), std::vector<uint8_t>(80000), MakeFormat(22050, 16, 1)));
  EXPECT_TRUE(engine.ui().pendingEvents.empty());
  EXPECT_EQ(seen, MakeFormat(8000, 8, 1));
  EXPECT_FALSE(delete_ran);
  EXPECT_FALSE(Busy().busy);
}

TEST_F(ConvertTest, CommandConvertsTheWholeSoundAndUndoRestoresIt) {
  SetDocument(MakeFormat(22050, 16, 2), Pcm16({100, 300, -100, -300, 50, 50}));
  Doc().selStart = Doc().anchor = 4;
  Doc().selEnd = Doc().movingEnd = Doc().viewStart = 8;
  engine.platform.dialogs.QueueFields({{"rate", "44100"}, {"bits", "8"}, {"channels", "1"}});
  EXPECT_TRUE(DispatchCommand(kCmdConvertFormat, kCodeMenu));
  EXPECT_EQ(engine.platform.dialogs.shown.back(), 111);
  EXPECT_EQ(Doc().format, MakeFormat(44100, 8, 1));
  // Averages 200, -200, 50, interpolated: 200, 0, -200, -75, 50, 50.
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{128, 128, 127, 127, 128, 128}));
  EXPECT_EQ(Doc().selStart + Doc().selEnd + Doc().anchor + Doc().movingEnd + Doc().viewStart, 0);
  EXPECT_TRUE(Doc().modified);
  SwapUndo();
  EXPECT_EQ(Doc().format, MakeFormat(22050, 16, 2));
  EXPECT_EQ(Doc().bytesPerChannelSample, 2);
  EXPECT_EQ(Doc().selEnd, 8);
  // Short of memory: the message, and the sound as it was.
  MemoryBlock::SetTestCap(30);
  engine.platform.dialogs.QueueFields({{"rate", "44100"}});
  ConvertFormat();
  EXPECT_EQ(engine.ui().messages.back().caption, "Change Format");
  EXPECT_EQ(DocumentBytes(), Pcm16({100, 300, -100, -300, 50, 50}));
}

}  // namespace
}  // namespace kelvora
