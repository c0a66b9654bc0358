// kelvora-cli --list-devices: one JSON line per entry of the device lists.
#include "cli/list_devices.h"

#include <gtest/gtest.h>

#include <sstream>

#include "test_support.h"

namespace kelvora {
namespace {

TEST(ListDevices, OneLinePerListEntryWithItsFormatBits) {
  EngineFixture engine;
  HeadlessWaveDevices devices;
  devices.inputs[0].name = "Mic \"A\"\\1";
  devices.inputs[0].formats = 0x10;
  devices.inputs[0].channels = 1;
  std::ostringstream out;
  ListDevices(devices, out);
  EXPECT_EQ(out.str(),
            "{\"direction\":\"output\",\"index\":0,\"name\":\"既定のデバイス (Headless "
            "Output)\",\"channels\":2,\"formats\":4095}\n"
            "{\"direction\":\"output\",\"index\":1,\"name\":\"Headless "
            "Output\",\"channels\":2,\"formats\":4095}\n"
            "{\"direction\":\"input\",\"index\":0,\"name\":\"既定のデバイス (Mic "
            "\\\"A\\\"\\\\1)\",\"channels\":1,\"formats\":16}\n"
            "{\"direction\":\"input\",\"index\":1,\"name\":\"Mic "
            "\\\"A\\\"\\\\1\",\"channels\":1,\"formats\":16}\n");
  EXPECT_EQ(Services().waveDevices, &engine.platform.waveDevices);  // put back
}

}  // namespace
}  // namespace kelvora
