#include <gtest/gtest.h>

#include "document/sound_document.h"
#include "test_support.h"

namespace kelvora {
namespace {

TEST(SampleAccess, EightBitReadsOnTheSixteenBitScale) {
  EngineFixture f;
  SetDocumentFormat(MakeFormat(8000, 8, 1));
  uint8_t b[3] = {0, 128, 255};
  EXPECT_EQ(ReadSample(&b[0], 0), -32768);
  EXPECT_EQ(ReadSample(&b[1], 0), 0);
  EXPECT_EQ(ReadSample(&b[2], 0), 32512);
}

}  // namespace
}  // namespace kelvora
