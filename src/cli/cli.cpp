#include "cli/cli.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "cli/list_devices.h"
#include "cli/usage.h"
#include "document/params.h"
#include "document/sound_document.h"
#include "document/undo.h"
#include "editing/clip_wave_block.h"
#include "effects/loudness.h"
#include "effects/texts.h"
#include "files/file_types.h"
#include "files/intake_notes.h"
#include "files/open_save.h"
#include "generators/generators.h"
#include "platform/atomic_file_writer.h"
#include "platform/headless/headless_platform.h"
#include "platform/param_dialog.h"
#include "shell/commands.h"

namespace kelvora {
namespace {

// Every dialog of a step stores the step's fields through its own rules,
// as if they were entered and OK pressed; no window is involved.
class BatchDialogs : public DialogHost {
public:
  int RunDialog(int, DialogHandler& handler) override { return handler.Accept(fields); }
  std::vector<DialogField> fields;
};

bool ParseCount(const std::string& s, int64_t* value) {
  if (s.empty() || s.size() > 12) return false;
  int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return true;
}

// "NAME=VALUE,NAME=VALUE"; a name given twice is refused, since only one
// of its values could count.
bool ParseFields(const std::string& text, std::vector<DialogField>* fields, std::string* error) {
  const size_t first = fields->size();
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t comma = text.find(',', pos);
    std::string item =
        text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
    size_t eq = item.find('=');
    if (eq == std::string::npos || eq == 0) {
      *error = "bad field syntax: " + item;
      return false;
    }
    const std::string name = item.substr(0, eq);
    for (size_t i = first; i < fields->size(); ++i)
      if ((*fields)[i].name == name) {
        *error = "repeated field: " + name;
        return false;
      }
    fields->push_back(DialogField{name, item.substr(eq + 1)});
    if (comma == std::string::npos) break;
    pos = comma + 1;
  }
  return true;
}

bool ParseStep(const std::string& arg, CliStep* step, std::string* error) {
  step->text = arg;
  if (arg.rfind("select=", 0) == 0) {
    std::string range = arg.substr(7);
    size_t colon = range.find(':');
    step->kind = CliStep::Kind::kSelect;
    if (colon == std::string::npos || !ParseCount(range.substr(0, colon), &step->first) ||
        !ParseCount(range.substr(colon + 1), &step->second)) {
      *error = "bad selection: " + arg;
      return false;
    }
    return true;
  }
  if (arg.rfind("cursor=", 0) == 0) {
    step->kind = CliStep::Kind::kCursor;
    if (!ParseCount(arg.substr(7), &step->first)) {
      *error = "bad cursor: " + arg;
      return false;
    }
    return true;
  }
  if (arg.rfind("channels=", 0) == 0) {
    step->kind = CliStep::Kind::kChannels;
    if (!ParseCount(arg.substr(9), &step->first) || step->first < 1 || step->first > 3) {
      *error = "bad channel mask (1, 2 or 3): " + arg;
      return false;
    }
    return true;
  }
  size_t colon = arg.find(':');
  std::string verb = arg.substr(0, colon);
  const CommandEntry* command = FindCliVerb(verb.c_str());
  if (command == nullptr || command->action == nullptr) {
    *error = "unknown operation: " + verb;
    return false;
  }
  step->kind = CliStep::Kind::kCommand;
  step->commandId = command->id;
  step->dialogId = command->dialogId;
  if (colon != std::string::npos && !ParseFields(arg.substr(colon + 1), &step->fields, error))
    return false;
  if (!step->fields.empty() && step->dialogId == 0) {
    *error = "operation has no fields: " + verb;
    return false;
  }
  if (!CheckDialogFields(step->dialogId, step->fields, error)) return false;
  if (step->commandId == kCmdLoudnessNormalize &&
      !CheckLoudnessNormalizeFields(step->fields, error))
    return false;
  return true;
}

int KindFromName(const std::string& name) {
  if (name == "pcm") return kFileKindWavPcm;
  if (name == "ulaw") return kFileKindWavMuLaw;
  if (name == "au") return kFileKindAu;
  if (name == "aiff") return kFileKindAiff;
  return 0;
}

std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += "\\n";
    else if (c != '\r')
      out += c;
  }
  return out;
}

int32_t FrameToOffset(int64_t frame) {
  const SoundDocument& doc = Doc();
  int64_t offset = frame * doc.format.nBlockAlign;
  return static_cast<int32_t>(offset < doc.length ? offset : doc.length);
}

}  // namespace

bool ParseCliArguments(const std::vector<std::string>& args, CliOptions* options,
                       std::string* error) {
  std::string kind_name;
  bool have_input = false;
  std::vector<std::string> seen;  // options given so far
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    // An option given twice is refused: only one of the two could count.
    if (a.size() > 1 && a[0] == '-') {
      if (std::find(seen.begin(), seen.end(), a) != seen.end()) {
        *error = "repeated option: " + a;
        return false;
      }
      seen.push_back(a);
    }
    auto value = [&](const char* what) -> const std::string* {
      if (i + 1 >= args.size()) {
        *error = std::string(what) + " needs a value";
        return nullptr;
      }
      return &args[++i];
    };
    if (a == "-o") {
      const std::string* v = value("-o");
      if (v == nullptr) return false;
      if (v->empty()) {
        *error = "-o needs a file name";
        return false;
      }
      options->output = *v;
    } else if (a == "--kind") {
      const std::string* v = value("--kind");
      if (v == nullptr) return false;
      kind_name = *v;
      if (KindFromName(kind_name) == 0) {
        *error = "unknown kind: " + kind_name + " (pcm, ulaw, au or aiff)";
        return false;
      }
    } else if (a == "--clip") {
      const std::string* v = value("--clip");
      if (v == nullptr) return false;
      options->clip = *v;
    } else if (a == "--seed") {
      const std::string* v = value("--seed");
      if (v == nullptr) return false;
      char* end = nullptr;
      errno = 0;
      const long long seed = std::strtoll(v->c_str(), &end, 10);
      if (v->empty() || *end != '\0' || errno != 0 || seed < 0) {
        *error = "--seed needs a whole number from 0: " + *v;
        return false;
      }
      options->seed = seed;
    } else if (a == "--no") {
      options->answerNo = true;
    } else if (a == "--info") {
      options->info = true;
    } else if (a == "--sync") {
      options->sync = true;
    } else if (a == "--loudness") {
      options->loudness = true;
    } else if (!have_input) {
      have_input = true;
      options->input = a;
      if (a.rfind("new:", 0) == 0) {
        options->inputIsNew = true;
        if (a.size() > 4 && !ParseFields(a.substr(4), &options->newFields, error)) return false;
        if (!CheckDialogFields(FindCommand(kCmdNew)->dialogId, options->newFields, error))
          return false;
      }
    } else {
      CliStep step;
      if (!ParseStep(a, &step, error)) return false;
      options->steps.push_back(step);
    }
  }
  if (!have_input) {
    *error = "usage: " + CliManual().synopsis.front() + " (--help tells more)";
    return false;
  }
  if (!options->output.empty()) {
    options->outputKind =
        kind_name.empty() ? KindForOutputName(options->output) : KindFromName(kind_name);
    if (options->outputKind == 0) {
      *error = "cannot tell the kind of " + options->output + " (use --kind)";
      return false;
    }
  } else if (!kind_name.empty()) {
    *error = "--kind needs -o";
    return false;
  }
  return true;
}

std::string DocumentInfoJson() {
  const SoundDocument& doc = Doc();
  int align = doc.format.nBlockAlign ? doc.format.nBlockAlign : 1;
  char line[400];
  std::snprintf(line, sizeof line,
                "{\"rate\":%u,\"bits\":%u,\"channels\":%u,\"frames\":%ld,\"bytes\":%ld,"
                "\"selection\":[%ld,%ld],\"moving_end\":%ld,\"modified\":%s,\"file_kind\":%d",
                unsigned{doc.format.nSamplesPerSec}, unsigned{doc.format.wBitsPerSample},
                unsigned{doc.format.nChannels}, static_cast<long>(doc.length / align),
                static_cast<long>(doc.length), static_cast<long>(doc.selStart / align),
                static_cast<long>(doc.selEnd / align), static_cast<long>(doc.movingEnd / align),
                doc.modified ? "true" : "false", static_cast<int>(doc.fileKind));
  // Names are the intake's own ASCII words: nothing to escape.
  const std::string& source = IntakeSourceName();
  return std::string(line) + (source.empty() ? "" : ",\"source\":\"" + source + "\"") + "}";
}

std::string LoudnessJson(const LoudnessFigures& f) {
  auto number = [](const std::optional<double>& v) -> std::string {
    if (!v) return "null";
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, *v, std::chars_format::fixed, 2);
    return ec == std::errc() ? std::string(buf, end) : "null";
  };
  return "{\"integrated\":" + number(f.integrated) + ",\"range\":" + number(f.range) +
         ",\"sample_peak\":" + number(f.samplePeak) + ",\"true_peak\":" + number(f.truePeak) +
         ",\"momentary_max\":" + number(f.momentaryMax) +
         ",\"short_term_max\":" + number(f.shortTermMax) + "}";
}

int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err) {
  HeadlessPlatform platform;
  BatchDialogs dialogs;
  Platform previous = Services();
  platform.Install();
  Services().dialogs = &dialogs;
  // Like cp and other tools, the batch tool leaves a file it creates to the
  // system's own writing back; a file it replaces is synced, since a crash
  // there could cost what was in it.
  struct Restore {
    Platform saved;
    bool syncNewFiles;
    ~Restore() {
      Services() = saved;
      AtomicFileWriter::SetSyncNewFiles(syncNewFiles);
    }
  } restore{previous, AtomicFileWriter::SyncNewFiles()};
  AtomicFileWriter::SetSyncNewFiles(options.sync);
  platform.ui.answerNegative = options.answerNo;
  bool warned = false;
  platform.ui.onMessage = [&](const ShownMessage& m) {
    err << m.caption << ": " << OneLine(m.text) << "\n";
    // A failure is a warning the user can only acknowledge; a question
    // with a warning icon (saving an empty sound) is not one.
    if (m.icon == MsgIcon::kWarning && m.buttons == MsgButtons::kOk) warned = true;
  };
  SoundDocument& doc = Doc();
  int status = kCliOk;
  if (options.seed >= 0) SetDitherSeed(static_cast<uint64_t>(options.seed));
  auto finish = [&]() {
    if (options.info) out << DocumentInfoJson() << "\n";
    return status;
  };

  if (!options.clip.empty()) {
    if (!OpenSoundFile(options.clip) || warned) {
      err << "kelvora-cli: cannot read " << options.clip << "\n";
      status = kCliFailed;
      return finish();
    }
    // The clipboard keeps the block itself: a paste of a long clip holds
    // its sound once.
    auto block = std::make_shared<MemoryBlock>();
    if (!BuildClipWaveBlock(doc.format, doc.bytes(), doc.length, *block)) {
      err << "kelvora-cli: not enough memory for " << options.clip << "\n";
      status = kCliFailed;
      return finish();
    }
    const size_t size = block->size();
    platform.clipboard.HandWave(std::shared_ptr<const uint8_t>(block, block->data()), size);
    StartEngine();
  }

  if (options.inputIsNew) {
    dialogs.fields = options.newFields;
    if (!DispatchCommand(kCmdNew, kCodeMenu) || warned) status = kCliFailed;
  } else if (!OpenSoundFile(options.input) || warned) {
    if (!warned) err << "kelvora-cli: cannot read " << options.input << "\n";
    status = kCliFailed;
  }
  if (status != kCliOk) return finish();

  if (options.seed >= 0) Params<NoiseParams>().seed = options.seed;
  for (const CliStep& step : options.steps) {
    // A position past the end would be clamped to it, and an empty
    // selection there means the whole sound to the operation that follows.
    const bool positions =
        step.kind == CliStep::Kind::kSelect || step.kind == CliStep::Kind::kCursor;
    if (positions && (step.first > doc.frames() ||
                      (step.kind == CliStep::Kind::kSelect && step.second > doc.frames()))) {
      err << "kelvora-cli: " << step.text << " lies outside the sound, which is " << doc.frames()
          << " frames long (positions 0 to " << doc.frames() << ")\n";
      status = kCliFailed;
      return finish();
    }
    switch (step.kind) {
      case CliStep::Kind::kSelect: {
        // A drag from the first frame to the second.
        doc.anchor = FrameToOffset(step.first);
        doc.movingEnd = FrameToOffset(step.second);
        doc.selStart = std::min(doc.anchor, doc.movingEnd);
        doc.selEnd = std::max(doc.anchor, doc.movingEnd);
        break;
      }
      case CliStep::Kind::kCursor:
        doc.anchor = doc.movingEnd = doc.selStart = doc.selEnd = FrameToOffset(step.first);
        break;
      case CliStep::Kind::kChannels:
        doc.channelMask = static_cast<uint32_t>(step.first);
        break;
      case CliStep::Kind::kCommand:
        dialogs.fields = step.fields;
        DispatchCommand(step.commandId, kCodeMenu);
        break;
    }
    if (warned) {
      err << "kelvora-cli: " << step.text << " failed\n";
      status = kCliFailed;
      return finish();
    }
  }

  if (options.loudness) {
    LoudnessFigures figures;
    if (!MeasureSelectionLoudness(texts::kNameLoudnessInfo, &figures)) {
      status = kCliFailed;
      return finish();
    }
    out << LoudnessJson(figures) << "\n";
  }

  if (!options.output.empty()) {
    doc.path = options.output;
    doc.fileKind = options.outputKind;
    if (!SaveSoundFile(options.outputKind) || warned) {
      err << "kelvora-cli: " << options.output << " was not written\n";
      status = kCliFailed;
    }
  }
  return finish();
}

int CliMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && args[0] == "--list-devices") return RunListDevices(out, err);
  if (args.size() == 1 && args[0] == "--help") {
    out << RenderUsageText(CliManual());
    return kCliOk;
  }
  if (args.size() == 1 && args[0] == "--version") {
    out << "kelvora-cli " << kProgramVersion << "\n";
    return kCliOk;
  }
  CliOptions options;
  std::string error;
  if (!ParseCliArguments(args, &options, &error)) {
    err << "kelvora-cli: " << error << "\n";
    return kCliUsage;
  }
  StartEngine();
  return RunCli(options, out, err);
}

}  // namespace kelvora
