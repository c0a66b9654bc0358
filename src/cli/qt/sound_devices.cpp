// The real sound devices for kelvora-cli --list-devices, in a module the
// tool loads only for that, so that its other runs start without Qt.
#include <QCoreApplication>

#include "platform/qt/qt_wave_devices.h"

extern "C" __attribute__((visibility("default"))) kelvora::WaveDevices* KelvoraCliSoundDevices() {
  static int argc = 1;
  static char name[] = "kelvora-cli";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
  static kelvora::QtWaveDevices devices;
  return &devices;
}
