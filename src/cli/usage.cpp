#include "cli/usage.h"

#include <algorithm>

#include "resources/dialogs.h"
#include "shell/commands.h"

namespace kelvora {
namespace {

// How a user writes a field's value, from the kind of its controls.
std::string ValueForm(const DialogDesc& dialog, const char* field) {
  std::string choices;
  for (const ControlDesc& c : dialog.controls) {
    if (c.field == nullptr || std::string(c.field) != field) continue;
    switch (c.kind) {
      case ControlKind::kNumberEdit:
        return c.scale != 0 ? "N.N" : "N";
      case ControlKind::kTextEdit:
        return "TEXT";
      case ControlKind::kCheckBox:
        return "on|off";
      case ControlKind::kSlider:
        return "N/N/...";
      case ControlKind::kCurveArea:
        return "X:Y/X:Y/...";
      case ControlKind::kRadio:
      case ControlKind::kPushButton:
        if (c.valueName == nullptr) break;
        if (!choices.empty()) choices += "|";
        choices += c.valueName;
        break;
      default:
        break;
    }
  }
  return choices.empty() ? "VALUE" : choices;
}

std::string DialogFields(int dialogId) {
  const DialogDesc* dialog = FindDialog(dialogId);
  if (dialog == nullptr) return "";
  std::vector<std::string> seen;
  std::string text;
  for (const ControlDesc& c : dialog->controls) {
    if (c.field == nullptr || std::find(seen.begin(), seen.end(), c.field) != seen.end()) continue;
    seen.emplace_back(c.field);
    text += (text.empty() ? "" : ", ") + std::string(c.field) + "=" + ValueForm(*dialog, c.field);
  }
  return text;
}

UsageSection Operations() {
  UsageSection s{"OPERATIONS",
                 "Each operation does what its menu command does: effects work on the selection "
                 "(the whole sound when nothing is selected), generators insert at the cursor. "
                 "Fields not named keep their start-up values.",
                 {}};
  int count = 0;
  const CommandEntry* table = CommandTable(&count);
  std::string plain;
  for (int i = 0; i < count; ++i) {
    const CommandEntry& c = table[i];
    if (c.cliVerb == nullptr || c.action == nullptr) continue;
    const std::string fields = DialogFields(c.dialogId);
    if (fields.empty())
      plain += (plain.empty() ? "" : ", ") + std::string(c.cliVerb);
    else
      s.items.push_back({c.cliVerb, fields});
  }
  s.items.insert(s.items.begin(), {plain, "no fields"});
  return s;
}

// Lines wrapped at `width` columns, each starting with `indent`.
std::string Wrap(const std::string& text, size_t indent, size_t width) {
  std::string out, line(indent, ' ');
  size_t pos = 0;
  while (pos < text.size()) {
    size_t space = text.find(' ', pos);
    if (space == std::string::npos) space = text.size();
    const std::string word = text.substr(pos, space - pos);
    if (line.size() > indent && line.size() + 1 + word.size() > width) {
      out += line + "\n";
      line.assign(indent, ' ');
    }
    if (line.size() > indent) line += ' ';
    line += word;
    pos = space + 1;
  }
  if (line.size() > indent) out += line + "\n";
  return out;
}

// Backslashes and leading dots and quotes mean something to troff.
std::string Roff(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
  return out;
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

}  // namespace

ManualPage CliManual() {
  ManualPage page;
  page.name = "kelvora-cli";
  page.summary = "run Kelvora's sound operations on files, without a window";
  page.synopsis = {
      "kelvora-cli INPUT [STEP ...] [-o OUTPUT] [--kind pcm|ulaw|au|aiff] [--clip CLIPFILE] "
      "[--no] [--info] [--seed N] [--sync] [--loudness]",
      "kelvora-cli --list-devices | --help | --version"};
  page.sections.push_back(
      {"DESCRIPTION",
       "kelvora-cli opens one sound, runs the given steps on it from left to right as a user of "
       "the editor would, and saves it if asked. It uses the editor's own operations, parameter "
       "dialogs and messages; every message box is printed to standard error as CAPTION: TEXT. "
       "It reads and writes no settings file.",
       {}});
  page.sections.push_back(
      {"INPUT",
       "",
       {{"FILE",
         "a sound file, opened as the editor opens it: WAV, AU and AIFF by the reader their "
         "extension names (.wav, .au, .aif, .aiff); FLAC, Ogg Vorbis, Opus, MP3, W64, RF64, CAF "
         "and the WAV and AIFF files those readers refuse (24-bit, float, more than two "
         "channels) through libsndfile, into 16 bits with dither and to stereo, with one line on "
         "standard error saying what changed."},
        {"new:rate=R,bits=B,channels=C",
         "a new empty sound instead of a file (rates 8000, 11025, 22050, 44100; 8 or 16 bits; "
         "1 or 2 channels)."}}});
  page.sections.push_back(
      {"STEPS",
       "",
       {{"select=START:END",
         "select frames START to END (END excluded), like a drag from START "
         "to END. Positions run from 0 to the length in frames (the end of the sound); one "
         "beyond it is an error (exit status 1, nothing saved)."},
        {"cursor=FRAME", "a click at FRAME (0 to the length in frames): an empty selection there."},
        {"channels=MASK", "the channels later operations work on: 1 first, 2 second, 3 both."},
        {"OP[:NAME=VALUE,...]",
         "run one operation, typing each VALUE into the field NAME of its dialog and pressing OK, "
         "so values are clamped and scaled as in the window (loudness-normalize refuses values "
         "outside its ranges instead: target -70.0 to -5.0 LUFS, ceiling -9.0 to 0.0 dBTP). "
         "undo is the undo command: a second undo redoes."}}});
  page.sections.push_back(Operations());
  page.sections.push_back(
      {"OPTIONS",
       "",
       {{"-o OUTPUT",
         "save after the last step; the writer is chosen by --kind, else by "
         "OUTPUT's extension (.wav, .au, .aif, .aiff, .flac, .ogg, .opus, .mp3, .w64, .caf)."},
        {"--kind pcm|ulaw|au|aiff", "the writer: PCM WAV, mu-law WAV, mu-law AU or AIFF."},
        {"--clip CLIPFILE",
         "put this sound on the tool's own clipboard before the first step, "
         "for paste, mix and melody."},
        {"--no", "answer No or Cancel to every question (the default is Yes or OK)."},
        {"--info",
         "after the steps and the save, print one JSON line with the rate, bits, "
         "channels, frames, bytes, selection, moving end, modified flag and file kind, and the "
         "source format when the input came through libsndfile."},
        {"--loudness",
         "after the steps, print one JSON line with the loudness of the selection (the whole "
         "sound when nothing is selected): integrated (LUFS), range (LU), sample_peak (dBFS), "
         "true_peak (dBTP), momentary_max and short_term_max (LUFS), each null where the sound "
         "gives nothing to measure."},
        {"--seed N",
         "seed the noise generator and the dither of the formats read through libsndfile "
         "(fixed by default), so that a script gets the same noise every run."},
        {"--sync",
         "sync the output to disk even when it is a new file. Without it only a file that "
         "replaces another is synced (so that a crash cannot cost its old content), as cp and "
         "other tools leave a new file to the system's own writing back."},
        {"--list-devices",
         "print one JSON line for every sound device the program sees: direction, index (0 is "
         "the default device), name, channels and the twelve format bits of the device dialog."},
        {"--help", "print this text and exit."},
        {"--version", "print the version and exit."}}});
  page.sections.push_back(
      {"EXIT STATUS",
       "",
       {{"0", "every step ran."},
        {"1",
         "loading, saving or a step failed (a warning was shown, or a file could not be "
         "read or written)."},
        {"2",
         "a usage error (unknown operation or field, bad value, empty output name, an option "
         "or a field given twice), "
         "reported before anything runs."}}});
  page.sections.push_back(
      {"EXAMPLE",
       "kelvora-cli voice.wav select=0:44100 echo:delay=250,level=40 normalize -o voice-echo.wav "
       "--info",
       {}});
  page.sections.push_back({"SEE ALSO", "kelvora(1)", {}});
  return page;
}

ManualPage ProgramManual() {
  ManualPage page;
  page.name = "kelvora";
  page.summary = "sound editor with a Japanese user interface";
  page.synopsis = {"kelvora [FILE]", "kelvora --help | --version"};
  page.sections.push_back(
      {"DESCRIPTION",
       "Kelvora edits one sound at a time in one window: 8- or 16-bit PCM, mono or stereo, at any "
       "sample rate. It opens WAV (PCM, mu-law, MS and IMA ADPCM), AIFF and AU files and saves "
       "WAV, AU and AIFF; it selects, cuts, copies, pastes and mixes through the clipboard, "
       "undoes one step, converts formats, applies twenty-five effects, generates noise, tones "
       "and melodies, and plays and records. Help > 目次 shows the manual inside the program.",
       {}});
  page.sections.push_back(
      {"ARGUMENTS",
       "",
       {{"FILE",
         "a sound file to open at start-up; the whole command line is taken as one "
         "path (a file named --help is opened as ./--help)."},
        {"--help", "print this text and exit."},
        {"--version", "print the version and exit."}}});
  page.sections.push_back(
      {"MOUSE WHEEL",
       "Over the waveform and the overview the wheel scrolls through time, a tenth of the "
       "visible width a notch, as far as the scroll bar goes; Shift + wheel and a sideways wheel "
       "scroll too. Ctrl + wheel zooms in or out one of the seven levels and keeps the time under "
       "the pointer where it is. Ctrl + Shift + wheel steps the vertical zoom (表示 > 縦ズーム: "
       "x1, x2, x4, x8), which magnifies quiet sounds about the centre line.",
       {}});
  page.sections.push_back(
      {"FILES",
       "",
       {{"kelvora.ini",
         "the settings, beside the program when its folder can be written by a "
         "copy that is not installed, else $XDG_CONFIG_HOME/kelvora/kelvora.ini "
         "(~/.config/kelvora/kelvora.ini)."},
        {"share/kelvora/",
         "the manual (kelvora.html) and about.wav, beside an installed "
         "program's bin folder."}}});
  page.sections.push_back({"SEE ALSO", "kelvora-cli(1)", {}});
  return page;
}

bool ProgramInfoRequest(const std::vector<std::string>& args, std::string* text) {
  if (args.size() != 1) return false;
  if (args[0] == "--help")
    *text = RenderUsageText(ProgramManual());
  else if (args[0] == "--version")
    *text = std::string("kelvora ") + kProgramVersion + "\n";
  else
    return false;
  return true;
}

std::string RenderUsageText(const ManualPage& page) {
  std::string out;
  for (size_t i = 0; i < page.synopsis.size(); ++i)
    out += (i == 0 ? "usage: " : "       ") + page.synopsis[i] + "\n";
  for (const UsageSection& s : page.sections) {
    out += "\n" + s.title + "\n";
    if (!s.intro.empty()) out += Wrap(s.intro, 2, 79);
    for (const UsageItem& item : s.items) {
      out += Wrap(item.term, 2, 79);
      out += Wrap(item.text, 6, 79);
    }
  }
  return out;
}

std::string RenderManPage(const ManualPage& page) {
  std::string out =
      ".TH " + Upper(page.name) + " 1 \"\" \"Kelvora " + kProgramVersion + "\" \"User Commands\"\n";
  out += ".SH NAME\n" + Roff(page.name) + " \\- " + Roff(page.summary) + "\n";
  out += ".SH SYNOPSIS\n";
  for (size_t i = 0; i < page.synopsis.size(); ++i)
    out += (i ? ".br\n" : "") + std::string(".B\n") + Roff(page.synopsis[i]) + "\n";
  for (const UsageSection& s : page.sections) {
    out += ".SH " + s.title + "\n";
    if (!s.intro.empty()) out += Roff(s.intro) + "\n";
    for (const UsageItem& item : s.items)
      out += ".TP\n.B " + Roff(item.term) + "\n" + Roff(item.text) + "\n";
  }
  return out;
}

}  // namespace kelvora
