// Move lists of test positions as names, "piece from-to kind" ("1 33-35 -": a White pawn from
// 33 to 35, quiet), and the squares field of 3D position text.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
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

// The generated moves (the evasions when in check) in list order.
inline Names Generated(Position position) {
    MoveBuffer buffer;
    ConsoleCapture quiet;
    const int count = (position.flags & kInCheck) ? GenerateEvasions(position, buffer.moves)
                                                  : GenerateMoves(position, buffer.moves);
    Names names;
    for (int i = 0; i < count; ++i) names.push_back(MoveName(buffer.moves[i]));
    return names;
}

// The legal moves, sorted, each with the kind making it left; with ordinary, found through
// GenerateMoves even when in check.
inline Names Legal(Position position, bool ordinary = false) {
    if (ordinary) position.flags &= ~kInCheck;
    ConsoleCapture quiet;
    Names names;
    ForEachLegalMove(position, [&](const Move& m, Position&) { names.push_back(MoveName(m)); });
    std::sort(names.begin(), names.end());
    return names;
}

// The names that start with prefix, in order.
inline Names Starting(const Names& names, std::string_view prefix) {
    Names out;
    for (const std::string& name : names) {
        if (name.starts_with(prefix)) out.push_back(name);
    }
    return out;
}

}  // namespace tarvex::testing
