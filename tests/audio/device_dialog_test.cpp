// The device dialog: its texts, its lists and how the choice is kept.
#include "audio/device_dialog.h"

#include <gtest/gtest.h>

#include "audio/audio.h"
#include "test_support.h"

namespace kelvora {
namespace {

// The rest of the panel's texts are the dialog test's below.
TEST(FormatSupportText, RowsOfTheFormatBits) {
  for (int row = 0; row < 4; ++row) EXPECT_EQ(FormatSupportText(0x0FFF, row), "11K/22K/44KHz");
  EXPECT_EQ(FormatSupportText(kWaveFormat1S16 | kWaveFormat4S16, 0), "11K/44KHz");
  EXPECT_EQ(DriverVersionText(0x0A00), "10.00");
}

struct DeviceDialogTest : EngineFixture, ::testing::Test {
  HeadlessWaveDevices& dev() { return platform.waveDevices; }
  // Opens the dialog, records what it shows, does `act`, presses `button`.
  void Run(std::function<void(HeadlessDialogWindow&)> act, int button) {
    platform.dialogs.QueueActions(
        [&](HeadlessDialogWindow& w) {
          outputs = w.ListItems(101);
          inputs = w.ListItems(201);
          shownOut = w.GetListSelection(101);
          shownIn = w.GetListSelection(201);
          if (act) act(w);
        },
        button);
    ASSERT_TRUE(DispatchCommand(kCmdDevices, kCodeMenu));
  }
  std::vector<std::string> outputs, inputs;
  int shownOut = -2, shownIn = -2;
};

TEST_F(DeviceDialogTest, ShowsEveryDeviceAfterTheDefaultAndWhatEachReports) {
  WaveDeviceCaps usb;
  usb.name = "USB Audio Device with a rather long name";
  usb.manufacturerId = 65535;
  usb.productId = 7;
  usb.driverVersion = 0x0405;
  usb.channels = 1;
  usb.formats = 0x10;
  usb.support = kWaveCapsSync | kWaveCapsLrVolume;
  dev().outputs.push_back(usb);
  std::string panel;
  Run(
      [&](HeadlessDialogWindow& w) {
        w.ChooseListItem(101, 2);
        for (int id : {102, 103, 104, 105, 110, 111, 112, 113, 120, 121, 122, 123, 124, 220})
          panel += w.GetItemText(id) + "|";
      },
      2);
  EXPECT_EQ(outputs,
            (std::vector<std::string>{"既定のデバイス (Headless Output)", "Headless Output",
                                      "USB Audio Device with a rather "}));
  EXPECT_EQ(inputs,
            (std::vector<std::string>{"既定のデバイス (Headless Input)", "Headless Input"}));
  EXPECT_EQ(shownOut, 0);
  EXPECT_EQ(shownIn, 0);
  EXPECT_EQ(panel,
            "65535|7|4.05|1|Not Supported|Not Supported|Not Supported|22KHz|No|No|Yes|No|Yes|No|");
  EXPECT_EQ(SelectedOutputDevice, 0);  // cancelled
}

TEST_F(DeviceDialogTest, OkAndTheCloseBoxKeepTheChoiceCancelDoesNot) {
  Run([](HeadlessDialogWindow& w) { w.ChooseListItem(101, 1); }, 1);
  EXPECT_EQ(SelectedOutputDevice, 1);
  Run(
      [](HeadlessDialogWindow& w) {
        w.ChooseListItem(101, 0);
        w.ChooseListItem(201, 1);
      },
      2);
  EXPECT_EQ(shownOut, 1);
  EXPECT_EQ(SelectedOutputDevice, 1);
  EXPECT_EQ(SelectedInputDevice, 0);
  Run(
      [](HeadlessDialogWindow& w) {
        w.ChooseListItem(201, 1);
        w.Close();
      },
      0);
  EXPECT_EQ(SelectedInputDevice, 1);
  EXPECT_EQ(SelectedOutputDevice, 1);
}

TEST_F(DeviceDialogTest, TheListsAreReadAgainEachTimeTheDialogOpens) {
  Run(nullptr, 1);
  EXPECT_EQ(outputs.size(), 2u);
  dev().outputs.push_back(dev().outputs[0]);
  dev().outputs.back().name = "Plugged In";
  Run([](HeadlessDialogWindow& w) { w.ChooseListItem(101, 2); }, 1);
  EXPECT_EQ(outputs.back(), "Plugged In");
  EXPECT_EQ(dev().refreshes, 2);

  // Unplugged again: the list shows no entry, OK keeps the stored choice,
  // and opening it fails.
  dev().outputs.pop_back();
  Run(nullptr, 1);
  EXPECT_EQ(shownOut, -1);
  EXPECT_EQ(SelectedOutputDevice, 2);
  SetDocument(MakeFormat(8000, 8, 1), std::vector<uint8_t>(100));
  StartPlayback(kPlayAll);
  EXPECT_EQ(ShownMessages(ui()), (Shown{{"Kelvora", "デバイスIDが異常です", MsgIcon::kWarning}}));
  SelectedOutputDevice = 1;  // the list's second entry is device 0
  StartPlayback(kPlayAll);
  EXPECT_EQ(dev().outputDevice, 0);
}

}  // namespace
}  // namespace kelvora
