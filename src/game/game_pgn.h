// The game the controller keeps, written as PGN for other chess programs (2D games only).
#pragma once

#include <string>
#include <string_view>

#include "game/game.h"
#include "text/pgn.h"

namespace tarvex {

// The game the controller keeps (2D only), from its start position to the current one, with
// the given result (PgnResult of the current position's winner for a game as it stands).
bool WriteGamePgn(const Game& game, const PgnHeader& header, std::string_view result,
                  std::string& out, std::string& error);

}  // namespace tarvex
