// Positions for the tests, built from a short list of pieces or read from position text, and
// square names. Every helper takes the game kind (and rules) explicitly: nothing here touches
// the settings.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "board/attack_boards.h"
#include "board/position.h"
#include "core/console.h"
#include "core/game_types.h"
#include "rules/initial_position.h"
#include "rules/position_setup.h"
#include "text/position_text.h"

namespace tarvex::testing {

// A square as a 2D name ("e4": a1 = 0, a8 = 7, h1 = 56) or as an index ("35").
constexpr unsigned Sq(std::string_view name) {
    if (name[0] >= 'a') return static_cast<unsigned>(name[0] - 'a') * 8 + (name[1] - '1');
    unsigned index = 0;
    for (char digit : name) index = index * 10 + static_cast<unsigned>(digit - '0');
    return index;
}

// Squares from a list of names: "a2 b3 c4".
inline std::vector<unsigned> Sqs(std::string_view names) {
    std::vector<unsigned> squares;
    std::istringstream in{std::string(names)};
    for (std::string name; in >> name;) squares.push_back(Sq(name));
    return squares;
}

// The game a test position belongs to, and the fields BuildPosition reads besides the board.
struct Setup {
    int game = kGame2D;
    int rules = kRulesTournament;
    uint32_t flags = 0;  // castling rights; BuildPosition drops those that cannot hold
    uint32_t ply = 0;    // odd: Black to move
    uint32_t epSquare = 0;
    uint32_t pins[4] = {kHomePin[0], kHomePin[1], kHomePin[2], kHomePin[3]};  // 3D only
};

inline constexpr Setup k2D{};
inline constexpr Setup k3DTournament{kGame3D, kRulesTournament};
inline constexpr Setup k3DStandard{kGame3D, kRulesStandard};

// Builds a position holding exactly these pieces, each a letter of "PNBRQK" (upper case White)
// and a square: "Ke1 Ra1 ke8" or "K58 p43". False when the build fails. Any console text (the
// notice of a new attack-board placement, "no king") is swallowed.
inline bool BuildFrom(Position& position, std::string_view pieces, const Setup& setup = k2D) {
    ConsoleCapture quiet;
    ClearPosition(position, setup.game, setup.rules);
    std::istringstream in{std::string(pieces)};
    for (std::string piece; in >> piece;) {
        const bool white = piece[0] < 'a';
        const auto kind = std::string_view("PNBRQK").find(white ? piece[0] : piece[0] - 'a' + 'A');
        const int code = static_cast<int>(kind) + 1;
        position.board[Sq(std::string_view(piece).substr(1))] = white ? code : -code;
    }
    position.flags = setup.flags;
    position.ply = setup.ply;
    position.epSquare = setup.epSquare;
    if (setup.game == kGame3D) {
        for (int b = 0; b < kBoardCount; ++b) {
            position.abPin[b] = setup.pins[b];
            position.abWhite[b] = kDefaultOwnerWhite[b];
        }
    }
    return BuildPosition(position);
}

inline Position Built(std::string_view pieces, const Setup& setup = k2D) {
    Position position;
    EXPECT_TRUE(BuildFrom(position, pieces, setup)) << pieces;
    return position;
}

// The boards at their home pins with their default owners, and nothing on the board.
inline Position HomePosition() {
    Position position{};
    position.gameKind = kGame3D;
    std::copy_n(kHomePin, kBoardCount, position.abPin);
    std::copy_n(kDefaultOwnerWhite, kBoardCount, position.abWhite);
    return position;
}

// A position read from text; a failure names the text's problem.
inline Position FromText(std::string_view text, int game = kGame2D, int rules = kRulesTournament) {
    Position position{};
    std::string error;
    ConsoleCapture quiet;
    EXPECT_TRUE(ReadPositionText(game, rules, text, position, error)) << text << ": " << error;
    return position;
}

// The initial position of a game.
inline Position Initial(int game, int rules = kRulesTournament) {
    Position position;
    ConsoleCapture quiet;
    EXPECT_TRUE(SetUpInitialPosition(position, game, rules));
    return position;
}

}  // namespace tarvex::testing
