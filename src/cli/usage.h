// What `kelvora-cli --help` prints and what both manual pages are made of,
// kept in one place so that the two never tell different stories. The
// operations and their fields come from the command and dialog tables.
#pragma once

#include <string>
#include <vector>

namespace kelvora {

inline constexpr const char* kProgramVersion = "1.01";

// A term and what it means ("-o OUTPUT", "saves after the last step").
struct UsageItem {
  std::string term;
  std::string text;
};

struct UsageSection {
  std::string title;  // "OPTIONS"
  std::string intro;  // a paragraph before the items, may be empty
  std::vector<UsageItem> items;
};

struct ManualPage {
  std::string name;     // "kelvora-cli"
  std::string summary;  // one line for the NAME section
  std::vector<std::string> synopsis;
  std::vector<UsageSection> sections;
};

// The batch tool's page: synopsis, steps, options, operations with their
// fields and defaults as the dialogs describe them, exit status, example.
ManualPage CliManual();
// The window program's page.
ManualPage ProgramManual();

// The window program asked only for its usage or version (`kelvora
// --help`, `kelvora --version`): the text to print, and true. False for any
// other command line, which names a file to open.
bool ProgramInfoRequest(const std::vector<std::string>& args, std::string* text);

// Plain text for a terminal (--help).
std::string RenderUsageText(const ManualPage& page);
// A man(7) page in section 1.
std::string RenderManPage(const ManualPage& page);

}  // namespace kelvora
