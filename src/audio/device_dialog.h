// The choice of sound devices (40059, dialog 106), and what the device
// lists show of each device.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog_window.h"
#include "platform/platform.h"
#include "resources/dialogs.h"

namespace kelvora {

inline constexpr int kDeviceDialog = kDialogDevices;

// Positions in the dialog's lists: 0 the default device, i >= 1 device i - 1.
extern int32_t SelectedOutputDevice;
extern int32_t SelectedInputDevice;
void ResetDeviceSelection();

// Runs dialog 106; 1 after OK, 0 after Cancel.
int DeviceDialog();
void DeviceCommand();
// Fills both panels for device numbers `out` and `in` (-1 the default).
void ShowDeviceCaps(DialogWindow& dlg, int out, int in);
// "11K/22K/44KHz", "22KHz", ... or "Not Supported" for row 0..3 (16-bit
// stereo, 8-bit stereo, 16-bit mono, 8-bit mono).
std::string FormatSupportText(uint32_t formats, int row);
const char* YesNo(uint32_t flag);
// "%d.%02d" of the version's two low bytes.
std::string DriverVersionText(uint32_t version);

// The name a list shows at `position` (the default device's with its
// label), at most 31 characters. False when there is no such device.
bool DeviceListEntry(bool output, int position, WaveDeviceCaps* caps);

}  // namespace kelvora
