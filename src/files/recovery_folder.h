// Where the window program keeps what a crash must not take: one folder per
// running process under <state folder>/kelvora/recovery, named after the
// process ("<pid>-<start>"), holding
//   document.txt   which WAV holds the copy, and what the document was:
//                  path, file kind, format, length, selection, time;
//   copy-a.wav, copy-b.wav   the copies, written in turn, so that the one
//                  document.txt names stays whole while the next is written;
//   recording.wav  a recording, as it comes in.
// A folder whose process no longer runs is what a crash left behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/sound_document.h"

namespace kelvora {

inline constexpr const char* kRecoveryInfoName = "document.txt";
inline constexpr const char* kRecordingName = "recording.wav";
inline constexpr const char* kCopyNames[2] = {"copy-a.wav", "copy-b.wav"};

struct RecoveryInfo {
  std::string sound;  // the WAV in the folder that holds it
  std::string path;   // the document's own path, "無題" when it has none
  int32_t fileKind = kFileKindNone;
  SoundFormat format;
  int64_t bytes = 0;  // -1 for a recording: as many as its header says
  int32_t selStart = 0, selEnd = 0, anchor = 0, movingEnd = 0;
  int64_t savedAt = 0;  // seconds since 1970
};

std::string FormatRecoveryInfo(const RecoveryInfo& info);
// False for anything that is not a whole, sane document.txt.
bool ParseRecoveryInfo(const std::string& text, RecoveryInfo* info);

// <state>/kelvora/recovery; empty without a state folder.
std::string RecoveryRoot(const std::string& stateFolder);
std::string ProcessFolderName(int64_t pid, uint64_t start);
bool ParseProcessFolderName(const std::string& name, int64_t* pid, uint64_t* start);

// The folders under `root` whose process no longer runs (asked through the
// platform), as full paths.
std::vector<std::string> OrphanFolders(const std::string& root);

// Makes the folder and its missing parents, new ones private. 1 or 0.
int MakeFolders(const std::string& path);
// The names in a folder, without "." and "..".
std::vector<std::string> FolderNames(const std::string& path);
// Removes the files in the folder and then the folder itself.
void RemoveFolder(const std::string& path);
// Up to `limit` bytes of a regular file; false when it cannot be read.
bool ReadSmallFile(const std::string& path, size_t limit, std::string* text);

}  // namespace kelvora
