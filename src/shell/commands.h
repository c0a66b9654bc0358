// Every command of the menus, accelerators and toolbar, and the one entry
// point they all go through.
#pragma once

#include <cstdint>

#include "resources/command_ids.h"

namespace kelvora {

// Command codes: 0 from a menu or the toolbar, 1 from an accelerator.
inline constexpr int kCodeMenu = 0;
inline constexpr int kCodeAccelerator = 1;

struct CommandEntry {
  int id;
  void (*action)();     // null: not available in this build yet
  const char* cliVerb;  // the batch tool's name for it, or null
  int dialogId;         // the parameter dialog it opens, 0 for none
};

// The whole table, in CommandId order.
const CommandEntry* CommandTable(int* count);
const CommandEntry* FindCommand(int id);
const CommandEntry* FindCliVerb(const char* verb);

// The busy filter alone: whether a command with this id and code may run now.
bool CommandAllowed(int id, int code);
// The busy filter and the dispatch: only Stop passes while busy; codes
// other than menu and accelerator are ignored; unknown ids do nothing.
// Returns whether an action ran.
bool DispatchCommand(int id, int code);

// Every process-wide state of the engine back to its start-up value.
void ResetProcessState();
// ResetProcessState, then what creating the main window does: the window
// observes the document, which starts as an empty sound with a first undo
// snapshot of it.
void StartEngine();

}  // namespace kelvora
