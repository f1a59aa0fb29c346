#include "rules/attack_generation.h"

#include <bit>

#include "board/attack_boards.h"
#include "core/error_report.h"
#include "rules/attacks.h"
#include "rules/attacks_2d.h"
#include "rules/edge_extension.h"

namespace tarvex {
namespace {

constexpr int kBishopDirs[] = {9, -7, -9, 7};
constexpr int kRookDirs[] = {1, -8, -1, 8};

void MarkTargets(Position& position, uint64_t targets, uint32_t bit) {
    for (; targets != 0; targets &= targets - 1) position.attacks[std::countr_zero(targets)] |= bit;
}

// The step targets of a piece that only steps; none from a square off the board.
uint64_t StepTargetsOf(const uint64_t (&targets)[kStepKinds][64], int kind, bool white,
                       unsigned square) {
    if (OffBoard(square)) return 0;
    switch (kind) {
        case kPawn:
            return targets[white ? kWhitePawnSteps : kBlackPawnSteps][square];
        case kKnight:
            return targets[kKnightSteps][square];
        default:
            return targets[kKingSteps][square];
    }
}

template <size_t N>
void Rays(Position& position, int slot, const int (&dirs)[N]) {
    const unsigned square = position.pieces[slot].square;
    for (int d : dirs) RayAttack(position, slot, d, RayLength2D(square, d));
}

void PieceGenerate2D(Position& position, int slot, int kind, bool white) {
    // A piece on the board takes the inlined path of making a move; the general one below
    // serves a piece left off the board.
    if (!OffBoard(position.pieces[slot].square) &&
        GeneratePiece2D(position, LinesFor(position), slot)) {
        return;
    }
    switch (kind) {
        case kBishop:
            Rays(position, slot, kBishopDirs);
            break;
        case kRook:
            Rays(position, slot, kRookDirs);
            break;
        case kQueen:
            Rays(position, slot, kBishopDirs);
            Rays(position, slot, kRookDirs);
            break;
        default:
            MarkTargets(
                position,
                StepTargetsOf(kStepTargets2D.targets, kind, white, position.pieces[slot].square),
                1u << slot);
            break;
    }
}

// ---- the 3D game: every step read from the placement's table ----

constexpr int SlotOf(int direction) {
    return DirectionSlot(direction);
}
constexpr int kBishopSlots[] = {SlotOf(9), SlotOf(-7), SlotOf(-9), SlotOf(7)};
constexpr int kRookSlots[] = {SlotOf(1), SlotOf(-8), SlotOf(-1), SlotOf(8)};

template <size_t N>
void Rays3D(Position& position, const DirTable& table, int slot, const int (&slots)[N]) {
    for (int directionSlot : slots) RayAttack3D(position, table, slot, directionSlot);
}

void RookLines3D(Position& position, const DirTable& table, int slot) {
    Rays3D(position, table, slot, kRookSlots);
    if (TournamentRules(position) && IsAttackBoardSquare(position.pieces[slot].square)) {
        EdgeExtension(position, slot);
    }
}

void PieceGenerate3D(Position& position, int slot, int kind, bool white) {
    const unsigned square = position.pieces[slot].square;
    // A piece off the board attacks nothing (and needs no table).
    if (OffBoard(square)) return;
    const DirTable& table = DirTableOf(position);
    const uint32_t bit = 1u << slot;
    switch (kind) {
        case kBishop:
            Rays3D(position, table, slot, kBishopSlots);
            break;
        case kRook:
            RookLines3D(position, table, slot);
            break;
        case kQueen:
            Rays3D(position, table, slot, kBishopSlots);
            RookLines3D(position, table, slot);
            break;
        default:
            MarkTargets(position, StepTargetsOf(table.stepTargets, kind, white, square), bit);
            break;
    }
}

}  // namespace

void PieceGenerate(Position& position, int slot) {
    position.dirtySlots |= 1u << slot;
    const int code = position.pieces[slot].code;
    const int kind = code < 0 ? -code : code;
    if (kind < kPawn || kind > kKing) {
        ErrorReport(kStable, "PieceGenerate: unknown pi");
        return;
    }
    if (Is3D(position)) {
        PieceGenerate3D(position, slot, kind, code > 0);
    } else {
        PieceGenerate2D(position, slot, kind, code > 0);
    }
}

bool RegenerateAttacks(Position& position, PositionEvaluator* evaluator) {
    position.parent = nullptr;
    for (unsigned q = 0; q < 64; ++q) position.attacks[q] = position.xrays[q] = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (position.pieces[slot].code == 0) continue;
        if (OffBoard(position.pieces[slot].square)) {
            ErrorReport(kStable, "RegenToPieces pi present but pos");
            return false;
        }
        PieceGenerate(position, slot);
    }
    if (Is3D(position)) ComputeBoardOwners(position);
    position.dirtySlots = position.pieceMask;
    if (evaluator != nullptr) evaluator->EvaluateRegenerated(position);
    return true;
}

}  // namespace tarvex
