// The terms of the evaluation, shared by its source files (not used outside the evaluation).
//
// Every term works in White's frame: White's pieces add, Black's subtract the mirrored term
// (rank 7 - r, square tables at square ^ 7). Squares are read as file = square / 8 and
// rank = square % 8 in both games. Side indexes: 0 White, 1 Black.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "board/position.h"
#include "engine/eval_state.h"
#include "engine/parameters.h"
#include "engine/slot_watcher.h"
#include "rules/line_tables.h"

namespace tarvex::engine {
class ExchangeMemory;
}

namespace tarvex::engine::eval {

// Piece-index masks (slot masks of both sides).
inline constexpr uint32_t kKings = 0x00010001u;
inline constexpr uint32_t kQueens = 0x00020002u;
inline constexpr uint32_t kMinors = 0x00F000F0u;
inline constexpr uint32_t kHalf[2] = {kWhiteHalf, kBlackHalf};

// EvalState::extras: the square-control extras chosen by each side's king.
inline constexpr uint32_t kWhiteKingSideExtras = 0x8000;
inline constexpr uint32_t kWhiteQueenSideExtras = 0x10000;
inline constexpr uint32_t kBlackKingSideExtras = 0x20000;
inline constexpr uint32_t kBlackQueenSideExtras = 0x40000;
inline constexpr uint32_t kExtrasChoice = 0x78000;

inline constexpr int kNoWhitePawn = 8;   // lowest White pawn rank of an empty file
inline constexpr int kNoBlackPawn = -1;  // highest Black pawn rank of an empty file
inline constexpr unsigned kNoKing = 64;

inline int FileOf(unsigned square) {
    return static_cast<int>(square >> 3);
}
inline int RankOf(unsigned square) {
    return static_cast<int>(square & 7);
}
inline int RelativeRank(int side, int rank) {
    return side == 0 ? rank : 7 - rank;
}
inline unsigned MirrorSquare(int side, unsigned square) {
    return side == 0 ? square : square ^ 7;
}
inline int SideOfSlot(int slot) {
    return slot >> 4;
}
inline int KindOf(int code) {
    return code < 0 ? -code : code;
}
inline int SignOf(int side) {
    return side == 0 ? 1 : -1;
}
// Population count through a 256-entry table (the target need not have a popcount instruction).
inline constexpr auto kPopulation = [] {
    std::array<uint8_t, 256> table{};
    for (int i = 1; i < 256; ++i) table[i] = static_cast<uint8_t>(table[i >> 1] + (i & 1));
    return table;
}();
inline int Bits(uint32_t mask) {
    return kPopulation[mask & 255] + kPopulation[mask >> 8 & 255] + kPopulation[mask >> 16 & 255] +
           kPopulation[mask >> 24];
}
// The same for a mask of one side's sixteen slots, shifted down to bits 0..15.
inline int Bits16(uint32_t mask) {
    return kPopulation[mask & 255] + kPopulation[mask >> 8 & 255];
}
template <typename T>
inline T Capped(T value, T cap) {
    return value < cap ? value : cap;
}

// What one evaluation gathers first and every term reads.
template <typename Reader>
struct BasicContext {
    Reader p;   // the parameter set of the stage
    int stage;  // 0..3
    const LineTables& lines;
    // The evaluated parent the cached terms are brought up to date from; null when every
    // piece and square is computed afresh.
    const Position* previous;
    EvalState& e;           // the record of the position evaluated
    const EvalState* prev;  // previous's record, when previous is not null
    int material;           // White - Black material, clamped
    uint32_t pawns[2];      // slots holding pawns
    uint32_t rooks[2];      // slots holding rooks
    int count[2][7];        // living pieces by kind (1..6)
    unsigned king[2];       // king squares, kNoKing when a king is missing
    uint64_t heavy[2];      // squares of the kings, queens and rooks (bit per square)
    bool queen[2];          // the side has a queen
    // Every living piece stands in the slot of its kind (a pawn in a pawn slot, an officer in
    // its role's slot): each slot's exchange value is then fixed by the slot alone.
    bool slotsByKind;
    int8_t lowestWhite[8];      // per file: lowest rank of a White pawn, kNoWhitePawn
    int8_t highestBlack[8];     // per file: highest rank of a Black pawn, kNoBlackPawn
    bool allSquares = false;    // square control recomputes every square
    ExchangeMemory* exchanges;  // the searcher's memory of exchanges, or null

    BasicContext(Reader set, int stageIn, const LineTables& linesIn, const Position* previousIn,
                 EvalState& state, const EvalState* previousState, ExchangeMemory* exchangesIn)
        : p(set),
          stage(stageIn),
          lines(linesIn),
          previous(previousIn),
          e(state),
          prev(previousState),
          exchanges(exchangesIn) {}

    bool HasPawn(int side, int file) const {
        if (file < 0 || file > 7) return false;
        return side == 0 ? lowestWhite[file] != kNoWhitePawn : highestBlack[file] != kNoBlackPawn;
    }
    // Rank of the side's rearmost pawn on the file (it must have one).
    int Rearmost(int side, int file) const {
        return side == 0 ? lowestWhite[file] : highestBlack[file];
    }
    // A pawn of the enemy of side stands on file further up the board (from side's view)
    // than rank.
    bool EnemyPawnAhead(int side, int file, int rank) const {
        if (file < 0 || file > 7) return false;
        return side == 0 ? highestBlack[file] > rank : lowestWhite[file] < rank;
    }
};

// Fills the masks, counts, king squares and per-file pawn tables of the context.
template <typename Reader>
void Gather(const Position& position, BasicContext<Reader>& c);

// The pinned mask: rooks, bishops and knights attacked by an enemy slider they do not attack
// back, whose leaving would let that slider win the own officer standing behind them.
template <typename Reader>
uint32_t PinnedMask(const Position& position, const BasicContext<Reader>& c);

template <typename Reader>
int FixedPatterns(const Position& position, const BasicContext<Reader>& c);

// Sums the per-piece terms; recomputes the dirty slots (all of them unless reuse) and clears
// the dirty mask. Also keeps the passed-pawn masks and marks the unstoppable pawns.
template <typename Reader>
int PieceValues(Position& position, const BasicContext<Reader>& c, bool reuse);

// White king term - Black king term (zone attackers and open files).
template <typename Reader>
int KingSafety(const Position& position, const BasicContext<Reader>& c);

// Square control (cached per square, recomputed where the inputs changed since the
// previous position, or everywhere); keeps the attack and safe counts per piece and side.
template <typename Reader>
int SquareControl(Position& position, const BasicContext<Reader>& c);

// Attacked pieces; sets the attacking and hanging masks and returns in changed the officers
// whose membership of the attacking mask changed.
template <typename Reader>
int AttackedPieces(Position& position, const BasicContext<Reader>& c, uint32_t& changed);

template <typename Reader>
int Mobility(const Position& position, const BasicContext<Reader>& c);

template <typename Reader>
int OverloadedDefenders(const Position& position, const BasicContext<Reader>& c);

}  // namespace tarvex::engine::eval
