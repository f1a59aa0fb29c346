#include "moves/position_setup.h"

#include <algorithm>
#include <vector>

#include "board/geometry.h"
#include "core/console.h"
#include "core/settings.h"
#include "moves/attack_generation.h"
#include "moves/piece_ops.h"

namespace tarvex {
namespace {

constexpr int kSideSlots = 16;
constexpr int kPawnSlots = 8;
constexpr int kRoleCodes[kPawnSlots] = {kKing,   kQueen,  kRook,   kRook,
                                        kBishop, kBishop, kKnight, kKnight};

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

// Officers sorted by descending value then descending square, with gaps where a role is
// missing; returns the number of slots used, or -1 when they overflow the side's slots.
int LayOutOfficers(const Position& position, bool white, SideSlots& out) {
    std::vector<PieceEntry> officers;
    for (unsigned square = 0; square < 64; ++square) {
        const int code = position.board[square];
        if (white ? code > kPawn : code < -kPawn) officers.push_back({code, square});
    }
    std::stable_sort(officers.begin(), officers.end(),
                     [](const PieceEntry& a, const PieceEntry& b) {
                         const int va = std::abs(a.code), vb = std::abs(b.code);
                         return va != vb ? va > vb : a.square > b.square;
                     });
    if (officers.empty() || std::abs(officers[0].code) != kKing) return -2;
    for (int i = 1; i < kPawnSlots; ++i) {
        const bool holds =
            i < static_cast<int>(officers.size()) && std::abs(officers[i].code) == kRoleCodes[i];
        if (!holds)
            officers.insert(officers.begin() + std::min<size_t>(i, officers.size()), {0, 0});
    }
    if (officers.size() > kSideSlots) return -1;
    for (size_t i = 0; i < officers.size(); ++i) {
        out.code[i] = officers[i].code;
        out.square[i] = officers[i].square;
    }
    return static_cast<int>(officers.size());
}

// Pawns on their start squares take the pawn slot of their file; the others fill the last free
// slots in square order. Returns false when they do not fit after the officers.
bool LayOutPawns(const Position& position, bool white, int officerSlots, SideSlots& out) {
    const int pawn = white ? kPawn : -kPawn;
    std::vector<unsigned> others;
    bool taken[kSideSlots] = {};
    for (int i = 0; i < officerSlots; ++i) taken[i] = true;
    for (unsigned square = 0; square < 64; ++square) {
        if (position.board[square] != pawn) continue;
        const int startSlot = kPawnSlots + static_cast<int>(Column(square));
        if (Row(square) == StartRow(white) && !taken[startSlot]) {
            taken[startSlot] = true;
            out.code[startSlot] = pawn;
            out.square[startSlot] = square;
        } else {
            others.push_back(square);
        }
    }
    std::vector<int> free;
    for (int slot = 0; slot < kSideSlots; ++slot) {
        if (!taken[slot]) free.push_back(slot);
    }
    if (others.size() > free.size()) return false;
    const size_t first = free.size() - others.size();
    for (size_t i = 0; i < others.size(); ++i) {
        out.code[free[first + i]] = pawn;
        out.square[free[first + i]] = others[i];
    }
    return true;
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
    for (const Needs& needs : Is3D() ? k3D : k2D) {
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

int BuildPosition(Position& position) {
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
        const int used = LayOutOfficers(position, white, sides[side]);
        if (used == -2) {
            ConsolePrint("\nno king");
            return 0;
        }
        if (used < 0 || !LayOutPawns(position, white, used, sides[side])) {
            ConsolePrint("\ntoo many pieces for the piece list");
            return 0;
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
    return RegenToPieces(position);
}

}  // namespace tarvex
