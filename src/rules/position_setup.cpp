#include "rules/position_setup.h"

#include <algorithm>
#include <vector>

#include "board/attack_boards.h"
#include "board/geometry.h"
#include "board/hash.h"
#include "core/console.h"
#include "rules/attack_generation.h"
#include "rules/line_tables.h"
#include "rules/piece_ops.h"

namespace tarvex {
namespace {

constexpr int kSideSlots = 16;
constexpr int kPawnSlots = 8;

// A pawn's start square within its file (White row 1, Black row 6); the same rule holds for
// both games' square numbering.
unsigned StartRow(bool white) {
    return white ? 1 : 6;
}

// One side's sixteen slots, as codes and squares before they are placed.
struct SideSlots {
    int code[kSideSlots] = {};
    unsigned square[kSideSlots] = {};
};

// The slot of each role's first piece (king, queen, rook, bishop, knight).
constexpr int kRoleSlot[kKing + 1] = {0,          0,          kSlotKnight1, kSlotBishop1,
                                      kSlotRook1, kSlotQueen, kSlotKing};
constexpr int kRoleCount[kKing + 1] = {0, 0, 2, 2, 2, 1, 1};

enum class Layout { kDone, kNoKing, kTooMany };

// Lays out one side as a game would hold it: each officer of a standard role (the king, one
// queen, two rooks, bishops and knights) in its role's slot, the higher square first; a pawn
// on its start square in its file's pawn slot; the other pawns in the last free pawn slots in
// square order; and extra officers (promoted pieces, as in play) in the pawn slots left free.
Layout LayOutSide(const Position& position, bool white, uint64_t moved, SideSlots& out) {
    const int sign = white ? 1 : -1;
    int used[kKing + 1] = {};
    std::vector<PieceEntry> extras, pawns;
    bool taken[kSideSlots] = {};
    // Officers by descending value, then descending square.
    for (int kind = kKing; kind >= kKnight; --kind) {
        for (int square = 63; square >= 0; --square) {
            if (position.board[square] != sign * kind) continue;
            if (used[kind] == kRoleCount[kind]) {
                extras.push_back({sign * kind, static_cast<uint32_t>(square)});
                continue;
            }
            const int slot = kRoleSlot[kind] + used[kind]++;
            out.code[slot] = sign * kind;
            out.square[slot] = static_cast<unsigned>(square);
            taken[slot] = true;
        }
    }
    if (used[kKing] == 0) return Layout::kNoKing;
    for (int slot = 0; slot < kSlotFirstPawn; ++slot) taken[slot] = true;
    for (unsigned square = 0; square < kBoardSquares; ++square) {
        if (position.board[square] != sign * kPawn) continue;
        const int fileSlot = kSlotFirstPawn + static_cast<int>(Column(square));
        const bool hasMoved = (moved >> square & 1) != 0;
        if (Row(square) == StartRow(white) && !taken[fileSlot] && !hasMoved) {
            taken[fileSlot] = true;
            out.code[fileSlot] = sign * kPawn;
            out.square[fileSlot] = square;
        } else {
            pawns.push_back({sign * kPawn, square});
        }
    }
    std::vector<int> free;
    for (int slot = kSlotFirstPawn; slot < kSideSlots; ++slot) {
        if (!taken[slot]) free.push_back(slot);
    }
    if (pawns.size() + extras.size() > free.size()) return Layout::kTooMany;
    // The other pawns take the last free slots, in square order.
    std::vector<PieceEntry> inFree(free.size(), PieceEntry{0, 0});
    const size_t firstPawnSlot = free.size() - pawns.size();
    for (size_t i = 0; i < pawns.size(); ++i) inFree[firstPawnSlot + i] = pawns[i];
    // A pawn that has moved onto a start square must not get that file's slot, which would
    // give it back its double step: it changes places with any other free slot.
    for (size_t i = firstPawnSlot; i < free.size(); ++i) {
        const unsigned square = inFree[i].square;
        const int fileSlot = kSlotFirstPawn + static_cast<int>(Column(square));
        if ((moved >> square & 1) == 0 || free[i] != fileSlot) continue;
        const size_t other = i == 0 ? 1 : 0;
        if (other < free.size()) std::swap(inFree[i], inFree[other]);
    }
    // Extra officers take the slots left free, lowest first.
    size_t next = 0;
    for (const PieceEntry& extra : extras) {
        while (inFree[next].code != 0) ++next;
        inFree[next] = extra;
    }
    for (size_t i = 0; i < free.size(); ++i) {
        out.code[free[i]] = inFree[i].code;
        out.square[free[i]] = inFree[i].square;
    }
    return Layout::kDone;
}

// Within each side the first bishop slot holds White's light-square and Black's dark-square
// bishop in the 2D game; the exchange happens even when the other slot is empty.
void OrderBishops(SideSlots& side, bool white) {
    const unsigned s = side.square[kSlotBishop1];
    if (side.code[kSlotBishop1] == 0) return;
    const unsigned parity = (s ^ (s >> 3)) & 1;
    if (parity == (white ? 0u : 1u)) {
        std::swap(side.code[kSlotBishop1], side.code[kSlotBishop2]);
        std::swap(side.square[kSlotBishop1], side.square[kSlotBishop2]);
    }
}

void DropImpossibleRights(Position& position) {
    struct Needs {
        unsigned square;
        int code;
        uint32_t rights;
    };
    static constexpr Needs k2D[] = {{32, kKing, 3}, {39, -kKing, 12}, {56, kRook, 1},
                                    {0, kRook, 2},  {63, -kRook, 4},  {7, -kRook, 8}};
    static constexpr Needs k3D[] = {{16, kKing, 3}, {23, -kKing, 12}, {24, kRook, 1},
                                    {0, kRook, 2},  {31, -kRook, 4},  {7, -kRook, 8}};
    for (const Needs& needs : Is3D(position) ? k3D : k2D) {
        if (position.board[needs.square] != needs.code) position.flags &= ~needs.rights;
    }
}

}  // namespace

bool PawnMayDoubleStep(int slot, unsigned square) {
    const bool white = slot < kBlackSlots;
    const int k = slot - (white ? kSlotFirstPawn : kBlackSlots + kSlotFirstPawn);
    if (k < 0 || k >= kPawnSlots) return false;
    return square == static_cast<unsigned>(8 * k) + StartRow(white);
}

uint64_t MovedStartPawns(const Position& position) {
    uint64_t moved = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const PieceEntry& entry = position.pieces[slot];
        if (entry.code != kPawn && entry.code != -kPawn) continue;
        const bool white = entry.code > 0;
        if (Row(entry.square) == StartRow(white) && !PawnMayDoubleStep(slot, entry.square)) {
            moved |= uint64_t{1} << entry.square;
        }
    }
    return moved;
}

bool BuildPosition(Position& position, uint64_t movedStartPawns) {
    std::fill(std::begin(position.squareSlot), std::end(position.squareSlot), kNoSlot);
    for (PieceEntry& entry : position.pieces) entry = {0, 0};
    position.winner = 0;
    position.sliderMask = position.promoMask = position.officerMask = position.pieceMask = 0;
    position.hashKey = position.ply & 1;
    position.hashKey2 = 0;
    position.whiteMaterial = position.blackMaterial = 0;
    position.whitePassed = position.blackPassed = 0;

    SideSlots sides[2];
    for (int side = 0; side < 2; ++side) {
        const bool white = side == 0;
        const Layout layout = LayOutSide(position, white, movedStartPawns, sides[side]);
        if (layout == Layout::kNoKing) {
            ConsolePrint("\nno king");
            return false;
        }
        if (layout == Layout::kTooMany) {
            ConsolePrint("\ntoo many pieces for the piece list");
            return false;
        }
        OrderBishops(sides[side], white);
    }
    for (unsigned square = 0; square < 64; ++square) position.board[square] = 0;
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < kSideSlots; ++i) {
            const int code = sides[side].code[i];
            if (code != 0) AddPiece(position, code, sides[side].square[i], side * kSideSlots + i);
        }
    }
    DropImpossibleRights(position);
    position.hashKey ^= position.epSquare << 8;
    position.hashKey ^= (position.flags & kCastlingRights) << 16;
    if (Is3D(position)) {
        for (int board = 0; board < kBoardCount; ++board) {
            HashBoardPin(position, board, position.abPin[board]);
        }
    }
    AttachGeometry(position);
    return RegenerateAttacks(position);
}

}  // namespace tarvex
