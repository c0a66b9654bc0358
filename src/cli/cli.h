// kelvora-cli: the batch tool's parser and step runner, in the engine so
// that tests drive it in-process as well as through the executable.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/dialog_window.h"

namespace kelvora {

struct CliStep {
  enum class Kind { kSelect, kCursor, kChannels, kCommand };
  Kind kind = Kind::kCommand;
  int64_t first = 0, second = 0;  // frames, or the mask
  int commandId = 0;
  int dialogId = 0;
  std::vector<DialogField> fields;
  std::string text;  // the step as written, for messages
};

struct CliOptions {
  std::string input;
  std::vector<DialogField> newFields;  // input "new:..."
  bool inputIsNew = false;
  std::vector<CliStep> steps;
  std::string output;
  int outputKind = 0;  // FileKind of the writer
  std::string clip;
  bool answerNo = false;
  bool info = false;
  bool loudness = false;  // --loudness: the meter's figures after the steps
  int64_t seed = -1;      // --seed: noise from this seed instead of the clock
  bool sync = false;      // --sync: a new output file is synced to disk as well
};

enum CliExit { kCliOk = 0, kCliFailed = 1, kCliUsage = 2 };

// Parses the command line; on a usage error returns false with the reason.
bool ParseCliArguments(const std::vector<std::string>& args, CliOptions* options,
                       std::string* error);

// Runs a parsed command line on the installed platform (headless). Message
// boxes go to `err` as "CAPTION: TEXT", --info to `out`. Returns the exit code.
int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err);

// Parses and runs; what main() calls.
int CliMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The --info line for the current document.
std::string DocumentInfoJson();

struct LoudnessFigures;
// The --loudness line: each figure to two decimals, or null.
std::string LoudnessJson(const LoudnessFigures& f);

}  // namespace kelvora
