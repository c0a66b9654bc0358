#include "files/open_save.h"

#include <cctype>

#include "document/sound_document.h"
#include "document/undo.h"
#include "files/texts.h"
#include "files/wav.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

bool EndsWithNoCase(const std::string& s, const char* ext) {
  std::string e(ext);
  if (s.size() <= e.size()) return false;
  for (size_t i = 0; i < e.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - e.size() + i])) !=
        std::tolower(static_cast<unsigned char>(e[i])))
      return false;
  return true;
}

}  // namespace

int OpenSoundFile(const std::string& path) {
  SoundDocument& doc = Doc();
  doc.path = path;
  if (doc.path.find('.') == std::string::npos) doc.path += ".";
  TakeUndoSnapshot();
  if (EndsWithNoCase(path, ".wav")) {
    doc.fileKind = kFileKindWavPcm;
    return LoadWav(doc.path);
  }
  ShowMessage(texts::kCaptionDevaZedudo, texts::kUnsupportedExtension, MsgIcon::kInformation);
  return 0;
}

int SaveSoundFile(int kind) {
  switch (kind & 0xff) {
    case kFileKindWavPcm:
      return SaveWav(kind >> 8);
    default:
      return 0;
  }
}

}  // namespace kelvora
