// The one place where a path becomes a load and a FileKind becomes a save,
// the File menu's New, Open, Save and Save As, and the recent files.
#pragma once

#include <string>

#include "files/file_io.h"
#include "files/load_support.h"

namespace kelvora {

// Starting folder of the open and save dialogs; follows every file opened.
// The settings keep it as "directory".
std::string& LastDirectory();

// Asks whether to save a modified sound: 0 stop, 1 go on, or what the
// save returned.
int ConfirmSaveChanges();

// Picks the reader by the path's extension (.aiff/.aif, .au, .wav, any
// case; today's formats by the list in file_types.h); a file the program's
// own reader refuses goes on to the intake. 1 when the file was loaded.
int OpenSoundFile(const std::string& path);
// Replaces the document with what `reader` makes of `file`: the sound with
// nothing selected and the view at its start, or the messages and an empty
// sound. The caller has taken the undo snapshot and set path and kind.
// 1 when loaded.
int LoadIntoDocument(const SoundReader& reader, FileReader& file);
// Replaces the document with what the intake of today's formats makes of
// `file`, with the notice of what changed on the way; when nothing can be
// made of it, shows why and leaves the document as it was. The caller has
// taken the undo snapshot and set the path. 1 when loaded.
int LoadThroughIntake(FileReader& file);
// 40003. 1 when the save question said stop, 0 when the dialog was
// cancelled, else what OpenSoundFile returned.
int ShowOpenDialog();
// 4096 + n: opens recent file n (1..6); results as ShowOpenDialog.
int OpenRecentFile(int n);
// Writes the document with the writer of `kind`; an untitled document goes
// to Save As. 1 when written.
int SaveSoundFile(int kind);
// 40005. 1 when written, 0 when cancelled or not written.
int SaveSoundFileAs();
// 40002: an empty sound in the format chosen in the dialog.
void NewSoundDocument();

// What the file dialogs start in after `path` was opened: its folder, made
// absolute against the current directory (a bare name gives the current
// directory itself); `previous` when that cannot be known.
std::string DialogDirectoryOf(const std::string& path, const std::string& previous);

// Command-table forms of the above.
void OpenCommand();
void SaveCommand();
void SaveAsCommand();

void ResetOpenSaveState();

}  // namespace kelvora
