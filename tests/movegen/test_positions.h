// Small helpers for writing test positions as text.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "board/move.h"
#include "board/position.h"
#include "core/console.h"
#include "core/settings.h"
#include "movegen/legal_moves.h"
#include "moves/position_text.h"

namespace tarvex::testing {

// The squares field of a 3D position text with the given pieces and '.' elsewhere.
inline std::string Squares3D(std::initializer_list<std::pair<unsigned, char>> pieces) {
    std::string squares(64, '.');
    for (const auto& [square, letter] : pieces) squares[square] = letter;
    return squares;
}

// A position of the current game kind read from text; a failure names the text's problem.
inline Position FromText(std::string_view text) {
    Position position{};
    std::string error;
    ConsoleCapture quiet;
    EXPECT_TRUE(ReadPositionText(GameKind(), text, position, error)) << text << ": " << error;
    return position;
}

// The generated moves as "piece from-to kind" in list order.
inline std::vector<std::string> Names(const Move* moves, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(std::to_string(moves[i].piece) + " " + std::to_string(moves[i].from) + "-" +
                        std::to_string(moves[i].to) + " " + moves[i].kind);
    }
    return names;
}

inline std::vector<std::string> Generated(Position position) {
    Move moves[kMaxMoves];
    ConsoleCapture quiet;
    const int count = (position.flags & kInCheck) ? GenerateEvasions(position, moves)
                                                  : GenerateMoves(position, moves);
    return Names(moves, count);
}

// The legal moves, each as "piece from-to kind" with the kind the move was made with.
inline std::vector<std::string> Legal(Position position) {
    ConsoleCapture quiet;
    const std::vector<Move> moves = LegalMoves(position);
    std::vector<std::string> names = Names(moves.data(), static_cast<int>(moves.size()));
    std::sort(names.begin(), names.end());
    return names;
}

inline bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace tarvex::testing
