#include "files/intake_notes.h"

#include <cstdio>

#include "files/sound_intake.h"
#include "files/texts.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

uint64_t g_ditherSeed = kDefaultDitherSeed;

// The file the document came from through the intake, and what it held
// that the document does not.
struct IntakeNote {
  bool active = false;
  std::string path;
  IntakeReport report;
};
IntakeNote g_note;

template <typename... Args>
std::string Format(const char* format, Args... args) {
  std::string text(static_cast<size_t>(std::snprintf(nullptr, 0, format, args...)), '\0');
  std::snprintf(text.data(), text.size() + 1, format, args...);
  return text;
}

void AddLine(std::string& lines, const std::string& line) {
  lines += '\n';
  lines += line;
}

bool IsLossyKind(int32_t kind) {
  return kind == kFileKindOggVorbis || kind == kFileKindOpus || kind == kFileKindMp3;
}

}  // namespace

void SetDitherSeed(uint64_t seed) { g_ditherSeed = seed; }
uint64_t DitherSeed() { return g_ditherSeed; }

std::string IntakeNoticeText(const IntakeReport& r) {
  std::string lines;
  if (r.dithered) AddLine(lines, texts::kIntakeDithered);
  if (r.clipped > 0)
    AddLine(lines, Format(texts::kIntakeClippedFormat, static_cast<long long>(r.clipped)));
  if (r.mixed) AddLine(lines, Format(texts::kIntakeMixedFormat, r.channels));
  if (r.lossy) AddLine(lines, texts::kIntakeLossy);
  if (r.truncated) AddLine(lines, texts::kIntakeTruncated);
  if (lines.empty()) return lines;
  std::string source = r.source;
  if (!r.sampleText.empty()) source += " " + r.sampleText;
  source += Format(" %dch %uHz", r.channels, r.rate);
  return Format(texts::kIntakeNoticeFormat, source.c_str()) + lines;
}

void NoteIntakeLoad(const std::string& path, const IntakeReport& report) {
  g_note = IntakeNote{true, path, report};
  const std::string notice = IntakeNoticeText(report);
  if (!notice.empty()) ShowMessage(texts::kCaptionOpenFile, notice, MsgIcon::kInformation);
}

void ForgetIntakeLoad() { g_note = IntakeNote{}; }

const std::string& IntakeSourceName() { return g_note.report.source; }

LossySaveAnswer AskBeforeLossySave(const std::string& path, int32_t kind) {
  if (!g_note.active || path != g_note.path) return LossySaveAnswer::kSave;
  const IntakeReport& r = g_note.report;
  std::string losses;
  if (IsLossyKind(kind)) AddLine(losses, texts::kLossReencoded);
  if ((kind & 0xff) == kFileKindAu || kind == kFileKindWavMuLaw) AddLine(losses, texts::kLossMuLaw);
  if (r.dithered && !r.sampleText.empty())
    AddLine(losses, Format(texts::kLossSamplesFormat, r.sampleText.c_str()));
  if (r.mixed) AddLine(losses, Format(texts::kLossChannelsFormat, r.channels));
  if (r.truncated) AddLine(losses, texts::kLossTruncated);
  if (losses.empty()) return LossySaveAnswer::kSave;
  const std::string text = Format(texts::kLossySaveFormat, path.c_str(), losses.substr(1).c_str());
  switch (ShowMessage(texts::kCaptionSave, text, MsgIcon::kQuestion, MsgButtons::kYesNoCancel)) {
    case kIdYes:
      return LossySaveAnswer::kSave;
    case kIdNo:
      return LossySaveAnswer::kSaveAs;
    default:
      return LossySaveAnswer::kStop;
  }
}

void NoteSaved(const std::string& path) {
  // The file holds the document now; the source's name stays for --info.
  if (g_note.active && path == g_note.path) {
    const std::string source = g_note.report.source;
    g_note.report = IntakeReport{};
    g_note.report.source = source;
  }
}

void ResetIntakeNotes() {
  g_ditherSeed = kDefaultDitherSeed;
  g_note = IntakeNote{};
}

}  // namespace kelvora
