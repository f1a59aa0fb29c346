// Pseudo-legal move generation for the side to move, in both games.
//
// Most moves are read off the attack masks (every capture and every quiet move of an officer),
// then come en passant, castling, pawn pushes, the 3D attack-board moves and, at the end, four
// extra moves (kinds 'Q', 'B', 'R', 'N') for every move that promotes; the plain promoting
// move stays in the list. Making a move rejects one that leaves the mover's king attacked.
// Every move carries score kNoScore and givesCheck 0.
#pragma once

#include "board/attack_boards.h"
#include "board/geometry.h"
#include "board/move.h"
#include "board/position.h"
#include "movegen/board_moves.h"
#include "movegen/evasions.h"
#include "rules/make_move.h"

namespace tarvex {

// The longest list either generator can write, from the most moves each source can give:
//  - the king (slot 0): at most 8 directions x 4 squares, plus 2 castlings;
//  - any other slot: an officer reaches at most the 63 other squares; a pawn at most 16
//    squares (8 straight ahead, one or two ranks, and 8 diagonal ones, where captures go to
//    occupied and en-passant moves to empty squares) and each of its moves may add four
//    promotions: 16 x 5 = 80;
//  - four attack boards with at most kMaxBoardDestinations moves each, again with four
//    promotions each.
// Apart from castling, counted on its own, no source yields the same (slot, destination)
// twice, so no list can be longer (1334 moves, some 27 KB). The check evasions add no
// promotions and are bounded by the same sources.
inline constexpr int kMaxKingMoves = 8 * 4 + 2;
inline constexpr int kMaxPawnMoves = 16 * 5;
inline constexpr int kMaxOfficerMoves = 63;
inline constexpr int kMaxSlotMoves =
    kMaxPawnMoves > kMaxOfficerMoves ? kMaxPawnMoves : kMaxOfficerMoves;
inline constexpr int kMaxMoves = kMaxKingMoves + 15 * kMaxSlotMoves + 4 * kMaxBoardDestinations * 5;
static_assert(kMaxMoves == 1334);

// Room for one list of moves, left uninitialised (a Move zeroes itself when constructed, which
// for kMaxMoves records would cost more than generating them): the generators write each
// record before anything reads it.
struct MoveBuffer {
    MoveBuffer() {}
    union {
        Move moves[kMaxMoves];
    };
};

// Writes the moves of a side not in check into out (room for kMaxMoves) and returns their
// number. May clear an en-passant square that is off the board and, in the 3D game, a castling
// right whose king or rook has left its square (keeping the hash key in step).
int GenerateMoves(Position& position, Move* out);

// Whether the move promotes: a pawn reaching its last rank, or an attack board carrying a pawn
// onto its last rank.
bool IsPromotion(const Position& position, int piece, unsigned destination, const Move& move);

// IsPromotion without the move record: answered inline for pawns, since every generated move
// asks.
bool IsBoardPromotion(const Position& position, int piece, unsigned destination);
inline bool MovePromotes(const Position& position, int piece, unsigned destination) {
    if (piece == kPawn || piece == -kPawn)
        return !OffBoard(destination) && PawnPromotesOn(position, piece, destination);
    // Attack-board identifiers are the only "pieces" from the first identifier up.
    return piece >= kBoardIds[0] && IsBoardPromotion(position, piece, destination);
}

// Building blocks shared with the evasion generator.

// En-passant captures of the side to move (none while epSquare is 0); each goes to an empty
// square. Clears an off-board epSquare. Returns the number appended.
int AppendEnPassant(Position& position, Move* out);

// The straight moves of the pawn in slot (single and double steps). Returns the number
// appended.
int AppendPawnPushes(const Position& position, int slot, Move* out);

}  // namespace tarvex
