// The Position: the whole state of one position of either game, as one flat record that owns
// no memory, so that a plain copy duplicates it.
//
// A Position carries the game it belongs to: the game kind (2D or 3D) and, in the 3D game, the
// rule set. Every rule reads them from the Position it is given, never from the settings. The
// evaluation's caches and the search's scratch are not here: the engine keeps them beside the
// positions it searches.
//
// The fields up to and including the passed-pawn masks form the primary part, which making a move
// copies from the parent; every later field is rebuilt or set by the move itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "board/move.h"
#include "core/game_types.h"

namespace tarvex {

struct DirTable;
struct LineTables;

// Piece codes: White positive, Black negative.
inline constexpr int kEmpty = 0, kPawn = 1, kKnight = 2, kBishop = 3, kRook = 4, kQueen = 5,
                     kKing = 6;
inline constexpr char kPieceLetters[] = "pNBRQK";  // letters of codes 1..6 (index code - 1)

// Slot roles within each colour's 16 slots; Black's are these plus 16.
inline constexpr int kSlotKing = 0, kSlotQueen = 1, kSlotRook1 = 2, kSlotRook2 = 3,
                     kSlotBishop1 = 4, kSlotBishop2 = 5, kSlotKnight1 = 6, kSlotKnight2 = 7,
                     kSlotFirstPawn = 8;
inline constexpr int kBlackSlots = 16;
inline constexpr int kSlotCount = 32;
inline constexpr uint8_t kNoSlot = 255;

// Slot-mask halves.
inline constexpr uint32_t kWhiteHalf = 0x0000FFFFu;
inline constexpr uint32_t kBlackHalf = 0xFFFF0000u;
inline constexpr uint32_t kWhitePawnSlots = 0x0000FF00u;
inline constexpr uint32_t kBlackPawnSlots = 0xFF000000u;

// Bits of Position::flags.
inline constexpr uint32_t kWhiteKingSide = 1;
inline constexpr uint32_t kWhiteQueenSide = 2;
inline constexpr uint32_t kBlackKingSide = 4;
inline constexpr uint32_t kBlackQueenSide = 8;
inline constexpr uint32_t kCastlingRights = 15;
inline constexpr uint32_t kWhiteCastled = 16;
inline constexpr uint32_t kBlackCastled = 32;
inline constexpr uint32_t kInCheck = 0x80;
inline constexpr uint32_t kMovedOutOfCheck = 0x100;
inline constexpr uint32_t kWhitePromoted = 0x800;
inline constexpr uint32_t kBlackPromoted = 0x1000;
inline constexpr uint32_t kDrawishMaterial = 0x2000;
inline constexpr uint32_t kAttacksPending = 0x100000;
inline constexpr uint32_t kExtended = 0x4000000;
inline constexpr uint32_t kWhiteAtRoot = 0x8000000;
// A child starts with its parent's flags less in-check, out-of-check and extended (and two
// bits the evaluation once kept here).
inline constexpr uint32_t kChildFlagsMask = 0xEBFFBE7Fu;

struct PieceEntry {
    int32_t code;     // 0 for an empty slot
    uint32_t square;  // kept when the piece is captured
};

struct Position {
    // ---- primary part ----
    int32_t gameKind;  // kGame2D or kGame3D (a zeroed record counts as 2D)
    int32_t rules;     // 3D: kRulesTournament or kRulesStandard
    // The immutable geometry tables of this position's game, placement and rules, attached
    // whenever one of them changes (they are found from those fields when missing).
    const DirTable* dirTable;      // 3D: the direction table of the attack-board placement
    const LineTables* lineTables;  // the empty-board line and reach tables
    uint32_t abPin[4];             // 3D: pin square of boards 100, 106, 116, 122
    uint32_t abWhite[4];           // 3D: 1 when White owns the board
    uint32_t hashKey;              // primary key; bit 0 = ply & 1
    uint32_t hashKey2;             // secondary key
    uint32_t sliderMask;           // slots holding a bishop, rook or queen
    uint32_t promoMask;            // slots holding a pawn one step from promotion
    uint32_t officerMask;          // slots holding anything but a pawn
    uint32_t pieceMask;            // slots holding any piece
    int32_t board[64];             // piece code on each square
    uint8_t squareSlot[64];        // slot of the piece on each square, 255 when empty
    PieceEntry pieces[32];         // the piece list, White's 16 slots first
    uint32_t stage;                // game stage 0..3
    uint32_t dirtySlots;           // slots whose attack data or value changed
    int32_t whiteMaterial, blackMaterial;
    uint32_t whitePassed, blackPassed;  // passed pawns, as the evaluation last found them
    // ---- derived and per-move part ----
    uint32_t attacks[64];  // bit s: the piece in slot s attacks the square
    uint32_t xrays[64];    // bit s: slot s attacks the square through a battery
    Move lastMove;         // the move that produced this position
    uint32_t flags;
    uint32_t epSquare;       // square a double-stepping pawn passed over, 0 = none
    uint32_t quietPlies;     // plies since the last capture or pawn move, from 1
    uint32_t ply;            // plies played before this position; bit 0 = Black
    int32_t winner;          // 0 going on, 1 White won, -1 Black won, 2 drawn
    const Position* parent;  // position this one was made from, or null
};

static_assert(std::is_trivially_copyable_v<Position>);
static_assert(std::is_standard_layout_v<Position>);

// Size of the primary part that making a move copies from the parent.
inline constexpr size_t kPrimaryPartSize = offsetof(Position, attacks);

inline bool Is3D(const Position& p) {
    return p.gameKind == kGame3D;
}
inline bool TournamentRules(const Position& p) {
    return p.rules == kRulesTournament;
}

// Side to move.
inline bool BlackToMove(const Position& p) {
    return (p.ply & 1) != 0;
}
inline bool WhiteToMove(const Position& p) {
    return (p.ply & 1) == 0;
}
inline int SideSign(const Position& p) {
    return WhiteToMove(p) ? 1 : -1;
}

// Slot of the piece on a square, or kNoSlot.
inline uint8_t SlotOn(const Position& p, unsigned square) {
    return square < 64 ? p.squareSlot[square] : kNoSlot;
}

inline bool IsWhiteSlot(int slot) {
    return slot < kBlackSlots;
}

// Zeroes a Position and gives it its game kind and rules (the state before set-up).
void ClearPosition(Position& position, int gameKind, int rules);

}  // namespace tarvex
