// The file-name prompt of saving, restoring and listing a game: a modal panel drawn over the
// window with a title and an edit line pre-filled with the default name. Typing edits the line,
// Enter confirms (the default extension is added to a name that has none), Escape cancels,
// which the file commands treat as a file that could not be opened. While the prompt is open
// no other input reaches the game, the window goes on redrawing, and GLUT's loop is never
// blocked.
#pragma once

#include <optional>
#include <string>

#include "ui/app.h"

namespace tarvex::ui {

inline constexpr unsigned char kKeyBackSpace = 8;
inline constexpr unsigned char kKeyEnter = 13;
inline constexpr unsigned char kKeyEscape = 27;
inline constexpr unsigned char kKeyKillLine = 21;  // Ctrl+U empties the line
// The longest name the line holds.
inline constexpr size_t kFileNameLength = kFileNameSize - 1;

// ---- the edit line ----

// Applies an editing key to the line: a printable character is appended while the line is
// shorter than kFileNameLength, BackSpace removes the last character, Ctrl+U empties the line.
// Returns false for any other key, which leaves the line alone.
bool EditFileName(std::string& line, unsigned char key);

// The line's name with ".extension" added when its last path component has none (a dot that
// is not its first character); nothing when the line is empty or the result would not fit in
// kFileNameLength characters.
std::optional<std::string> NameWithDefaultExtension(const std::string& line, const char* extension);

// ---- the prompt (no GLUT) ----

// The prompt's title and the extension its names default to.
const char* FilePromptTitle(FileCommand command);
const char* DefaultExtension(FileCommand command);

// Opens the prompt for a command: saving and restoring start from the shared save name, a
// listing from "gamelist.txt" every time.
void OpenFilePrompt(App& app, FileCommand command);

// A key while the prompt is open: edits the line, or with Enter (a usable name) or Escape
// closes the prompt and runs the command. Returns whether the prompt is still open.
bool FilePromptKey(App& app, unsigned char key);

// Runs a file command on the game: saving with the window's selection and highlights,
// restoring them with a restored game, or listing into a file. cancelled: the user gave no
// name (the command reports that it could not open the file).
void RunFileCommand(App& app, FileCommand command, const std::string& name, bool cancelled);

// ---- GLUT ----

// Draws the prompt when it is open (the last thing a redraw draws).
void DrawFilePrompt(const App& app);

// Takes the right button's menu away while the prompt is open and gives it back after; called
// by the callbacks that may open or close the prompt.
void FollowFilePrompt(App& app);

}  // namespace tarvex::ui
