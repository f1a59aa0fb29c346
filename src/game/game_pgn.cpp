#include "game/game_pgn.h"

#include <memory>
#include <vector>

#include "text/position_text.h"

namespace tarvex {

bool WriteGamePgn(const Game& game, const PgnHeader& header, std::string_view result,
                  std::string& out, std::string& error) {
    const GameBlock& block = game.block;
    if (Is3D(block.current)) {
        error = "PGN is written for the 2D game only";
        return false;
    }
    auto start = std::make_unique<Position>(block.start);
    if (block.startEdited == 0 &&
        !ReadPositionText(kGame2D, kRulesTournament, kStartText2D, *start, error)) {
        return false;
    }
    const unsigned first = block.startEdited != 0 ? block.start.ply : 0;
    std::vector<Move> moves;
    for (unsigned ply = first; ply < block.current.ply && ply < kGameRecordSize; ++ply) {
        moves.push_back(block.record[ply]);
    }
    return WritePgn(header, *start, moves, result, out, error);
}

}  // namespace tarvex
