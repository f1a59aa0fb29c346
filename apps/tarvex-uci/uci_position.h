// The position of a `position` command: a start (startpos or a FEN) and the moves played from
// it, each checked against the legal moves. Moves are written as UCI writes them: from-square,
// to-square and a lower-case promotion letter ("e2e4", "e1g1" for castling, "e7e8n").
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "board/move.h"
#include "board/position.h"
#include "rules/repetition.h"
#include "text/position_text.h"

namespace tarvex::uci {

// A 2D game at one moment: the position and the keys of every earlier position, for the
// repetition draw.
struct UciGame {
    UciGame();
    UciGame(const UciGame& other);
    UciGame& operator=(const UciGame& other);

    std::unique_ptr<Position> position;
    std::unique_ptr<KeyHistory> history;
};

// The game of the `position` commands. A GUI sends the whole game before every move; a command
// that repeats the last one's start and moves and adds some plays only the added moves, so that
// the clock of the next search does not pay for the whole game again.
class PositionTracker {
public:
    // Reads a whole command ("position startpos|fen <fields> [moves ...]"). Returns false with
    // the problem in error; the last good game then stays.
    bool Read(const std::vector<std::string>& words, std::string& error);
    // The initial position.
    void Reset();
    const UciGame& Game() const { return game_; }

private:
    UciGame game_;
    std::string start_{kStartText2D};  // the start as the last good command gave it
    std::vector<std::string> moves_;   // and its moves
};

// The UCI text of a legal move.
std::string UciMoveText(const Move& move);

// The legal move of position that text names, or a null move.
Move FindUciMove(const Position& position, const std::string& text);

}  // namespace tarvex::uci
