// Saved games and listings: the save file's fixed byte layout (28760 bytes; the older
// 49440-byte layout is read too), restoring with every field checked before anything changes,
// and the text listing of a game on the console or into a file with a board diagram.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/highlight.h"

namespace tarvex {

class GameController;

inline constexpr const char* kDefaultSaveName = "tarvex.sav";
inline constexpr const char* kDefaultListName = "gamelist.txt";
inline constexpr int kSaveFileSize = 28760;
inline constexpr int kOldSaveFileSize = 49440;

// The window's view as the file keeps it.
struct SavedView {
    int32_t transparency = 1;  // 1 levels drawn transparent
    int32_t projection = 0;    // 0 perspective, 1 orthographic
    float scale = 1.6f;
    float xAngle = 300.0f;  // degrees in [0, 360)
    float yAngle = 0.0f;
};

// What the window shows, which the file keeps beside the game: the selection value (65
// nothing, 0..63 a square, 100/106/116/122 a board), the 64 highlight bytes and the view.
struct SavedSelection {
    int32_t value = 65;
    uint8_t highlights[64];  // Highlight bytes
    SavedView view;
    SavedSelection() {
        for (uint8_t& h : highlights) h = kNoHighlight;
    }
};

// The bytes of the current layout that SaveGame writes for the game as it stands.
std::vector<uint8_t> SaveGameBytes(const GameController& controller,
                                   const SavedSelection& selection);

// Saves the game and the settings of the file layout into the file name (written to a temporary
// file beside it, then renamed into place). cancelled: the user gave no name; handled as a file
// that could not be opened. True when the file was written.
bool SaveGame(GameController& controller, const std::string& name, const SavedSelection& selection,
              bool cancelled = false);

// Restores a game from the file name. On success the game and the choices become the file's
// and selection receives its selection, highlights and view; a file that fails any check changes
// nothing. True when a game was restored.
bool RestoreGame(GameController& controller, const std::string& name, SavedSelection& selection,
                 bool cancelled = false);

// The listing into a text file (the console gets the moves as well); cancelled as above.
void ListGameToFile(GameController& controller, const std::string& name, bool cancelled = false);

// What RestoreGame does with the bytes of the file it read: "\nRestore game ...", then the
// restore, or the message why not (the engine thread held stopped meanwhile), the banner, the
// title (only when a game was restored) and "complete!\n". True when a game was restored.
bool RestoreGameBytes(GameController& controller, const std::string& name, const uint8_t* bytes,
                      size_t size, SavedSelection& selection);

// The system error line for a file name: the name, ": " and the text of error.
void PrintSystemError(const std::string& name, int error);

}  // namespace tarvex
