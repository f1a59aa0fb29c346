#include "game/game_listing.h"

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <string>

#include "core/console.h"
#include "core/error_report.h"
#include "game/game_controller.h"
#include "game/game_flow.h"
#include "game/save_game.h"

namespace tarvex {
namespace {

constexpr char kDiagramLetters[] = " pNBRQK";
constexpr int kRanks = 8, kFiles = 8;

// The same text to the console and, when there is one, into the file.
void PrintBoth(std::FILE* file, const char* format, ...) __attribute__((format(printf, 2, 3)));
void PrintBoth(std::FILE* file, const char* format, ...) {
    va_list args;
    va_start(args, format);
    if (file != nullptr) {
        va_list copy;
        va_copy(copy, args);
        std::vfprintf(file, format, copy);
        va_end(copy);
    }
    ConsolePrintV(format, args);
    va_end(args);
}

char DiagramLetter(int code) {
    const int kind = std::abs(code);
    return kind <= kKing ? kDiagramLetters[kind] : '?';
}

}  // namespace

void PrintMoveList(const Game& game, std::FILE* file) {
    const GameBlock& block = game.block;
    const unsigned plies = block.current.ply;
    // A game set up at a later move lists its moves from there.
    const unsigned first = (block.startEdited != 0 ? block.start.ply : 0) + 1;
    for (unsigned n = first; n <= plies && n <= kGameRecordSize; ++n) {
        if (n % 2 == 1) {
            PrintBoth(file, "\n%2d.", static_cast<int>((n - 1) / 2 + 1));
        } else {
            if (n == first) PrintBoth(file, "\n%2d. ...", static_cast<int>((n - 2) / 2 + 1));
            PrintBoth(file, " -");
        }
        PrintBoth(file, " %s", MoveTextAt(game, n));
    }
}

void WriteBoardDiagram(const Position& position, std::FILE* file) {
    std::fputs("\n\n\n---------------------------------\n", file);
    for (int r = kRanks - 1; r >= 0; --r) {
        for (int f = 0; f < kFiles; ++f) {
            const int code = position.board[kRanks * f + r];
            std::fprintf(file, "|%c%c ", code < 0 ? '*' : ' ', DiagramLetter(code));
        }
        std::fputs(r > 0 ? "|\n|---+---+---+---+---+---+---+---|\n"
                         : "|\n---------------------------------\n",
                   file);
    }
}

void ListGameToFile(GameController& controller, const std::string& name, bool cancelled) {
    if (controller.CurrentGame().texts.texts[0][0] == 0) controller.Undo(0);
    std::FILE* file = cancelled ? nullptr : std::fopen(name.c_str(), "w");
    if (file == nullptr) {
        const int error = cancelled ? ECANCELED : errno;
        PrintSystemError(name, error);
        ErrorReport(kStable, "can't open list file for writing");
        return;
    }
    const Game& game = controller.CurrentGame();
    const int plies = static_cast<int>(game.block.current.ply);
    ConsolePrint("\nGame listing: %d plies", plies);
    std::fprintf(file, "Game listing: %d plies\n", plies);
    PrintMoveList(game, file);
    ConsolePrint("\n");
    WriteBoardDiagram(game.block.current, file);
    std::fclose(file);
}

}  // namespace tarvex
