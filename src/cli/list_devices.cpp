#include "cli/list_devices.h"

#include <cstdio>
#include <ostream>
#include <string>

#include "audio/device_dialog.h"

namespace kelvora {
namespace {

SoundDevicesFactory g_factory = nullptr;

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

void ListDevices(WaveDevices& devices, std::ostream& out) {
  Platform saved = Services();
  Services().waveDevices = &devices;
  devices.Refresh();
  for (bool output : {true, false}) {
    const int count = output ? devices.OutputCount() : devices.InputCount();
    for (int index = 0; index <= count; ++index) {
      WaveDeviceCaps caps;
      if (!DeviceListEntry(output, index, &caps)) continue;
      out << "{\"direction\":\"" << (output ? "output" : "input") << "\",\"index\":" << index
          << ",\"name\":" << JsonString(caps.name) << ",\"channels\":" << caps.channels
          << ",\"formats\":" << caps.formats << "}\n";
    }
  }
  Services() = saved;
}

void SetCliSoundDevices(SoundDevicesFactory factory) { g_factory = factory; }

int RunListDevices(std::ostream& out, std::ostream& err) {
  WaveDevices* devices = g_factory != nullptr ? g_factory() : nullptr;
  if (devices == nullptr) {
    err << "kelvora-cli: no sound devices can be reached from this build\n";
    return 1;
  }
  ListDevices(*devices, out);
  return 0;
}

}  // namespace kelvora
