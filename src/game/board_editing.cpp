// Board editing: the user empties the board, chooses the side to move, and removes or adds
// pieces one square at a time; every applied edit makes the edited position the game's start,
// so that undo and replay start from it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "board/attack_boards.h"
#include "board/hash.h"
#include "core/console.h"
#include "game/engine_thread.h"
#include "game/game_controller.h"
#include "game/game_setup.h"
#include "rules/attacks.h"
#include "rules/position_setup.h"

namespace tarvex {
namespace {

constexpr char kEditLetters[] = "PNBRQK";
// The pins in the order key K walks them.
constexpr unsigned kPinCycle[kPinCount] = {32, 35, 2, 5, 36, 39, 56, 59, 26, 29, 60, 63};

// Squares whose pawn has moved onto a start square, read from the piece list where it still
// agrees with the board (an edit changes the board only).
uint64_t MovedStartPawnsStill(const Position& p) {
    uint64_t moved = MovedStartPawns(p);
    for (unsigned square = 0; square < kBoardSquares; ++square) {
        if ((moved >> square & 1) && p.board[square] != kPawn && p.board[square] != -kPawn) {
            moved &= ~(uint64_t{1} << square);
        }
    }
    return moved;
}

bool HasBothKings(const Position& p) {
    const auto begin = std::begin(p.board), end = std::end(p.board);
    return std::find(begin, end, kKing) != end && std::find(begin, end, -kKing) != end;
}

}  // namespace

void GameController::EditClearBoard() {
    std::lock_guard lock(mutex_);
    std::fill(std::begin(game_->block.current.board), std::end(game_->block.current.board), 0);
    Changed();
}

void GameController::EditSideToMove(bool white) {
    std::lock_guard lock(mutex_);
    Position& p = game_->block.current;
    const unsigned ply = white ? p.ply & ~1u : p.ply | 1u;
    p.hashKey ^= (p.ply ^ ply) & 1u;  // the key's lowest bit is the side to move
    p.ply = ply;
    // The position with its new side is where undo and replay begin, as after an applied edit:
    // the game's record up to here was played with the other side to move.
    game_->block.start = p;
    game_->block.startEdited = 1;
    Changed();
}

bool GameController::ApplyEdit(EditAction action, unsigned square) {
    if (square >= kBoardSquares) return false;
    StopEngine();
    {
        std::lock_guard lock(mutex_);
        Position& p = game_->block.current;
        const Position before = p;
        const uint64_t moved = MovedStartPawnsStill(p);
        const int added = AddedPiece(action);
        if (action == EditAction::kRemove) {
            p.board[square] = 0;
        } else if (added != 0) {
            ConsolePrint("\nset %s %c at %d", added > 0 ? "white" : "black",
                         kEditLetters[std::abs(added) - 1], static_cast<int>(square));
            p.board[square] = added;
        }
        const bool built = BuildPosition(p, moved & ~(uint64_t{1} << square));
        if (!built && HasBothKings(p)) {
            // Both kings stand, so the builder failed for a piece more than the piece list
            // holds, and has said so: such a position cannot be played; the edit is taken back.
            p = before;
        } else {
            // A missing king leaves the edit applied, with the builder's warning and ours.
            if (built) {
                MarkInCheck(p);
            } else {
                ConsolePrint("\nedited board may be unstable");
            }
            game_->block.start = p;
            game_->block.startEdited = 1;
        }
        Changed();
    }
    StartEngine();
    return true;
}

// A diagnostic command: the board goes to the next pin no board stands on. The position is
// built again afterwards, so that its keys, tables and attack data follow the board.
void GameController::MoveBoardToNextPin(int board) {
    if (board < 0 || board >= kBoardCount || !Is3D(game_->block.current)) return;
    StopEngine();
    {
        std::lock_guard lock(mutex_);
        Position& p = game_->block.current;
        const unsigned oldPin = p.abPin[board];
        int index = static_cast<int>(std::find(std::begin(kPinCycle), std::end(kPinCycle), oldPin) -
                                     std::begin(kPinCycle));
        do {
            index = (index + 1) % kPinCount;
            ConsolePrint("\nj=%d k=%d", board, static_cast<int>(oldPin));
        } while (BoardAtPin(p, kPinCycle[index]) != kNoBoard);
        p.abPin[board] = kPinCycle[index];
        ComputeBoardOwners(p);
        if (BuildPosition(p, MovedStartPawnsStill(p))) MarkInCheck(p);
        Changed();
    }
    StartEngine();
}

}  // namespace tarvex
