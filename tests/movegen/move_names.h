// Move lists of test positions as names, "piece from-to kind" ("1 33-35 -": a White pawn from
// 33 to 35, quiet), and the squares field of 3D position text.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "board/move.h"
#include "board/position.h"
#include "core/console.h"
#include "movegen/legal_moves.h"

namespace tarvex::testing {

using Names = std::vector<std::string>;

// 64 characters: the given pieces, '.' elsewhere.
inline std::string Squares3D(std::initializer_list<std::pair<unsigned, char>> pieces) {
    std::string squares(64, '.');
    for (const auto& [square, letter] : pieces) squares[square] = letter;
    return squares;
}

inline std::string MoveName(const Move& m) {
    return std::to_string(m.piece) + " " + std::to_string(m.from) + "-" + std::to_string(m.to) +
           " " + KindChar(m.kind);
}

// The legal moves, sorted, each with the kind making it left.
inline Names Legal(Position position) {
    ConsoleCapture quiet;
    Names names;
    ForEachLegalMove(position, [&](const Move& m, Position&) { names.push_back(MoveName(m)); });
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace tarvex::testing
