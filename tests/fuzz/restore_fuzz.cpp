// Fuzzing the restore of a saved game (libFuzzer): any bytes go through the whole path a file
// takes once it is read: the layout is decoded, every field checked, the moves replayed, and a
// file that passes is made the game of a controller. Besides the sanitizers' findings, two
// properties abort the run:
//   - a refused file changes nothing: the game is the same byte for byte;
//   - a restored game can be saved, and that file passes every check again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "core/console.h"
#include "game/game_controller.h"
#include "game/save_check.h"
#include "game/save_game.h"
#include "game/save_layout.h"

namespace restore_fuzz {
// What the last input gave: 1 restored, 0 not (the corpus test reads it).
int lastResult = 0;
}  // namespace restore_fuzz

namespace {

using tarvex::Game;

std::vector<uint8_t> GameBytes(const Game& game) {
    const auto* raw = reinterpret_cast<const uint8_t*>(&game);
    return std::vector<uint8_t>(raw, raw + sizeof(Game));
}

void Fail(const char* what) {
    std::fprintf(stderr, "restore_fuzz: %s\n", what);
    std::abort();
}

// A restored game, saved: the file must pass the checks and the replay.
void CheckSavedAgain(const tarvex::GameController& controller,
                     const tarvex::SavedSelection& selection) {
    const std::vector<uint8_t> bytes = tarvex::SaveGameBytes(controller, selection);
    static tarvex::SaveImage image;
    if (!tarvex::DecodeSaveImage(bytes.data(), bytes.size(), image)) Fail("saved size");
    if (!tarvex::CheckSaveImage(image).empty()) Fail("a restored game saves a refused file");
    if (!tarvex::ReplaySaveImage(image).empty()) Fail("a restored game saves illegal moves");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tarvex::GameController controller;
    tarvex::ConsoleRedirect quiet([](std::string_view) {});
    const std::vector<uint8_t> before = GameBytes(controller.CurrentGame());
    tarvex::SavedSelection selection;
    const int restored = tarvex::RestoreGameBytes(controller, "fuzz.sav", data, size, selection);
    restore_fuzz::lastResult = restored;
    if (restored == 0) {
        if (GameBytes(controller.CurrentGame()) != before) Fail("a refused file changed the game");
        return 0;
    }
    CheckSavedAgain(controller, selection);
    return 0;
}
