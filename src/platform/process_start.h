// Reading when a process started from the kernel's process table, shared by
// both platforms.
#pragma once

#include <cstdint>
#include <string>

namespace kelvora {

// Field 22 (start time) of a /proc/PID/stat line; 0 when the line is not one
// or the process is dead but not yet collected by its parent (a zombie).
// The command name in field 2 may itself hold blanks and parentheses, so
// the fields are counted from its last closing parenthesis.
uint64_t ParseProcessStart(const std::string& statLine);

// The /proc/PID/stat line of `pid`, empty when there is none.
std::string ReadProcessStat(int64_t pid);

// Whether the process (`pid`, `start`) runs, given what the process table
// says now (`startNow`, 0 when it has no entry). Without a process table
// the process counts as running while its id is in use.
bool ProcessStillRunning(int64_t pid, uint64_t start, uint64_t startNow);

}  // namespace kelvora
