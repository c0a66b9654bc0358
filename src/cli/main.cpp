// kelvora-cli: Kelvora's operations on sound files, without a window.
#include <dlfcn.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/list_devices.h"

namespace {

// The module with the real devices, beside the tool (built with the Qt program).
kelvora::WaveDevices* LoadSoundDevices() {
  std::error_code ec;
  const auto dir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
  if (ec) return nullptr;
  void* module = dlopen((dir / "kelvora_cli_devices.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) return nullptr;
  auto factory =
      reinterpret_cast<kelvora::WaveDevices* (*)()>(dlsym(module, "KelvoraCliSoundDevices"));
  return factory != nullptr ? factory() : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  kelvora::SetCliSoundDevices(LoadSoundDevices);
  return kelvora::CliMain(args, std::cout, std::cerr);
}
