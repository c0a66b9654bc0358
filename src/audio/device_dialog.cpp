#include "audio/device_dialog.h"

#include <cstdio>

#include "audio/texts.h"

namespace kelvora {

int32_t SelectedOutputDevice = 0;
int32_t SelectedInputDevice = 0;

namespace {

enum : int {
  kOutputList = 101,
  kInputList = 201,
  kPitch = 120,
  kPlaybackRate = 121,
  kOutputSync = 122,
  kVolume = 123,
  kLrVolume = 124,
  kInputSync = 220,
};

// A name cut to `limit` characters, never inside one.
std::string Truncated(const std::string& name, int limit) {
  size_t i = 0;
  for (int chars = 0; i < name.size() && chars < limit; ++chars) {
    ++i;
    while (i < name.size() && (static_cast<unsigned char>(name[i]) & 0xC0) == 0x80) ++i;
  }
  return name.substr(0, i);
}

void FillList(DialogWindow& dlg, int id, bool output, int selected) {
  dlg.ClearList(id);
  WaveDevices* devices = Services().waveDevices;
  const int count = output ? devices->OutputCount() : devices->InputCount();
  for (int position = 0; position <= count; ++position) {
    WaveDeviceCaps caps;
    DeviceListEntry(output, position, &caps);
    dlg.AddListItem(id, caps.name);
  }
  dlg.SetListSelection(id, selected <= count ? selected : -1);
}

// One panel: ids from `base` (102 .. 105 and 110 .. 113, or 202 ...).
void ShowPanel(DialogWindow& dlg, int base, const WaveDeviceCaps* caps) {
  auto number = [](unsigned v) { return std::to_string(v); };
  dlg.SetItemText(base + 2, caps ? number(caps->manufacturerId) : "");
  dlg.SetItemText(base + 3, caps ? number(caps->productId) : "");
  dlg.SetItemText(base + 4, caps ? DriverVersionText(caps->driverVersion) : "");
  dlg.SetItemText(base + 5, caps ? number(caps->channels) : "");
  for (int row = 0; row < 4; ++row)
    dlg.SetItemText(base + 10 + row, caps ? FormatSupportText(caps->formats, row) : "");
}

class DeviceChoice : public DialogHandler {
public:
  void Opened(DialogWindow& dlg) override {
    // Devices plugged in since the last look appear.
    Services().waveDevices->Refresh();
    FillList(dlg, kOutputList, true, SelectedOutputDevice);
    FillList(dlg, kInputList, false, SelectedInputDevice);
    ShowDeviceCaps(dlg, SelectedOutputDevice - 1, SelectedInputDevice - 1);
  }
  void Chosen(DialogWindow& dlg, int id) override {
    if (id == kOutputList || id == kInputList)
      ShowDeviceCaps(dlg, dlg.GetListSelection(kOutputList) - 1,
                     dlg.GetListSelection(kInputList) - 1);
  }
  void Clicked(DialogWindow& dlg, int id) override {
    if (id == 1) {
      Store(dlg);
      dlg.EndDialog(1);
    } else if (id == 2) {
      dlg.EndDialog(0);
    }
  }
  bool Closing(DialogWindow& dlg) override {
    Store(dlg);
    dlg.EndDialog(1);
    return true;
  }
  int Accept(const std::vector<DialogField>&) override { return 1; }

private:
  static void Store(DialogWindow& dlg) {
    // A list showing no entry (its stored device went away) keeps the choice.
    const int out = dlg.GetListSelection(kOutputList);
    const int in = dlg.GetListSelection(kInputList);
    if (out >= 0) SelectedOutputDevice = out;
    if (in >= 0) SelectedInputDevice = in;
  }
};

}  // namespace

void ResetDeviceSelection() { SelectedOutputDevice = SelectedInputDevice = 0; }

std::string FormatSupportText(uint32_t formats, int row) {
  // The rows' bits at 11 kHz; 22 and 44 kHz are 4 and 8 bits higher.
  static constexpr uint32_t kRowBit[4] = {kWaveFormat1S16, kWaveFormat1S08, kWaveFormat1M16,
                                          kWaveFormat1M08};
  static constexpr const char* kRates[3] = {"11K/", "22K/", "44K/"};
  std::string text;
  for (int i = 0; i < 3; ++i)
    if (formats & (kRowBit[row] << (4 * i))) text += kRates[i];
  if (text.empty()) return "Not Supported";
  text.pop_back();
  return text + "Hz";
}

const char* YesNo(uint32_t flag) { return flag != 0 ? "Yes" : "No"; }

std::string DriverVersionText(uint32_t version) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%02d", static_cast<int>((version >> 8) & 0xFF),
                static_cast<int>(version & 0xFF));
  return text;
}

bool DeviceListEntry(bool output, int position, WaveDeviceCaps* caps) {
  WaveDevices* devices = Services().waveDevices;
  const int device = position - 1;
  if (!(output ? devices->OutputCaps(device, caps) : devices->InputCaps(device, caps))) {
    *caps = WaveDeviceCaps{};
    if (device == -1) caps->name = texts::kDefaultDevice;
    return false;
  }
  if (device == -1) caps->name = std::string(texts::kDefaultDevice) + " (" + caps->name + ")";
  caps->name = Truncated(caps->name, 31);
  return true;
}

void ShowDeviceCaps(DialogWindow& dlg, int out, int in) {
  WaveDevices* devices = Services().waveDevices;
  WaveDeviceCaps caps;
  if (out < devices->OutputCount()) {
    const bool ok = devices->OutputCaps(out, &caps);
    ShowPanel(dlg, 100, ok ? &caps : nullptr);
    const uint32_t s = ok ? caps.support : 0;
    dlg.SetItemText(kPitch, ok ? YesNo(s & kWaveCapsPitch) : "");
    dlg.SetItemText(kPlaybackRate, ok ? YesNo(s & kWaveCapsPlaybackRate) : "");
    dlg.SetItemText(kOutputSync, ok ? YesNo(s & kWaveCapsSync) : "");
    dlg.SetItemText(kVolume, ok ? YesNo(s & kWaveCapsVolume) : "");
    dlg.SetItemText(kLrVolume, ok ? YesNo(s & kWaveCapsLrVolume) : "");
  }
  if (in < devices->InputCount()) {
    const bool ok = devices->InputCaps(in, &caps);
    ShowPanel(dlg, 200, ok ? &caps : nullptr);
    // Whether the input's driver is synchronous, from its own support flags.
    dlg.SetItemText(kInputSync, ok ? YesNo(caps.support & kWaveCapsSync) : "");
  }
}

int DeviceDialog() {
  DeviceChoice dialog;
  return Services().dialogs->RunDialog(kDeviceDialog, dialog);
}

void DeviceCommand() { DeviceDialog(); }

}  // namespace kelvora
