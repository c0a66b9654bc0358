#include "platform/platform.h"

#include <cstring>
#include <new>

namespace kelvora {

Platform& Services() {
  static Platform platform;
  return platform;
}

int ShowMessage(const std::string& caption, const std::string& text, MsgIcon icon,
                MsgButtons buttons) {
  return Services().ui->MessageBox(caption, text, icon, buttons, true);
}

bool Clipboard::SetWave(const uint8_t* block, size_t size) {
  Clear();
  uint8_t* copy = new (std::nothrow) uint8_t[size > 0 ? size : 1];
  if (copy == nullptr) return false;
  if (size > 0) std::memcpy(copy, block, size);
  try {
    HandWave(std::shared_ptr<const uint8_t>(copy, std::default_delete<const uint8_t[]>()), size);
  } catch (const std::bad_alloc&) {
    return false;  // the shared pointer gave the copy back
  }
  return true;
}

ClipboardRead Clipboard::GetWave(const std::function<uint8_t*(size_t)>& allocate) {
  std::shared_ptr<const uint8_t> block;
  size_t size = 0;
  const ClipboardRead read = ViewWave(&block, &size);
  if (read != ClipboardRead::kRead) return read;
  uint8_t* to = allocate(size);
  if (to == nullptr && size > 0) return ClipboardRead::kOutOfMemory;
  if (size > 0) std::memcpy(to, block.get(), size);
  return ClipboardRead::kRead;
}

}  // namespace kelvora
