// Shared set-up for engine tests: a fresh engine on the headless platform,
// and small builders for formats and documents.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "document/memory_block.h"
#include "document/sound_document.h"
#include "platform/headless/headless_platform.h"
#include "shell/commands.h"

namespace kelvora {

inline SoundFormat MakeFormat(uint32_t rate, int bits, int channels) {
  SoundFormat f;
  f.wFormatTag = 1;
  f.nChannels = static_cast<uint16_t>(channels);
  f.nSamplesPerSec = rate;
  f.nBlockAlign = static_cast<uint16_t>(bits * channels / 8);
  f.nAvgBytesPerSec = rate * f.nBlockAlign;
  f.wBitsPerSample = static_cast<uint16_t>(bits);
  return f;
}

// Owns the headless platform for one test and starts the engine afresh.
struct EngineFixture {
  HeadlessPlatform platform;
  EngineFixture() {
    platform.Install();
    MemoryBlock::SetTestCap(0);
    StartEngine();
  }
  ~EngineFixture() {
    MemoryBlock::SetTestCap(0);
    ResetProcessState();
  }
  HeadlessUi& ui() { return platform.ui; }
};

// Puts `bytes` into the document in format f, with an empty selection at 0.
inline void SetDocument(const SoundFormat& f, const std::vector<uint8_t>& bytes) {
  SetDocumentFormat(f);
  SoundDocument& doc = Doc();
  doc.data.Resize(bytes.size() + 16);
  std::copy(bytes.begin(), bytes.end(), doc.data.data());
  doc.length = static_cast<int32_t>(bytes.size());
  doc.selStart = doc.selEnd = doc.anchor = doc.movingEnd = 0;
}

// Samples on the 16-bit scale as a document in format f (8-bit keeps the top byte).
inline void SetSamples(const SoundFormat& f, const std::vector<int32_t>& samples) {
  std::vector<uint8_t> bytes;
  for (int32_t s : samples) {
    if (f.wBitsPerSample == 16) bytes.push_back(static_cast<uint8_t>(s));
    bytes.push_back(static_cast<uint8_t>(f.wBitsPerSample == 8 ? (s >> 8) + 128 : s >> 8));
  }
  SetDocument(f, bytes);
}

inline std::vector<uint8_t> DocumentBytes() {
  const SoundDocument& doc = Doc();
  return std::vector<uint8_t>(doc.data.data(), doc.data.data() + doc.length);
}

// The message boxes shown so far as (caption, text, icon), for comparing.
using Shown = std::vector<std::tuple<std::string, std::string, MsgIcon>>;
inline Shown ShownMessages(const HeadlessUi& ui) {
  Shown out;
  for (const ShownMessage& m : ui.messages) out.emplace_back(m.caption, m.text, m.icon);
  return out;
}

// 16-bit little-endian samples as bytes.
inline std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> out;
  for (int16_t s : samples) {
    out.push_back(static_cast<uint8_t>(s));
    out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
  }
  return out;
}

// Bytes that count up, so that any stretch of them is recognisable.
inline std::vector<uint8_t> Ramp(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}

// The user that permission tests run as when the tests run as root.
inline constexpr uid_t kNobodyUid = 65534;
inline constexpr gid_t kNobodyGid = 65534;

// Runs fn in a child process and returns its result (0-255), or -1 when
// the child died, threw or could not change user. With `unprivileged`, a child of
// root first becomes nobody (with the extra groups given), so that file
// permissions bind; any other user runs fn as itself.
inline int RunInChild(const std::function<int()>& fn, bool unprivileged = false,
                      const std::vector<gid_t>& groups = {}) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (unprivileged && geteuid() == 0 &&
        (setgroups(groups.size(), groups.data()) != 0 || setgid(kNobodyGid) != 0 ||
         setuid(kNobodyUid) != 0))
      _exit(255);
    int result = 255;
    try {
      result = fn();
    } catch (...) {
    }
    std::fflush(nullptr);
    _exit(result & 0xff);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) == 255)
    return -1;
  return WEXITSTATUS(status);
}

}  // namespace kelvora
