#include "rules/attack_generation.h"

#include "board/attack_boards.h"
#include "core/error_report.h"
#include "rules/attacks.h"
#include "rules/edge_extension.h"

namespace tarvex {
namespace {

constexpr int kPawnWhiteDirs[] = {-7, 9};
constexpr int kPawnBlackDirs[] = {-9, 7};
constexpr int kKnightDirs[] = {10, 6, 17, 15, -10, -6, -17, -15};
constexpr int kBishopDirs[] = {9, -7, -9, 7};
constexpr int kRookDirs[] = {1, -8, -1, 8};
constexpr int kKingDirs[] = {1, 9, 8, 7, -1, -9, -8, -7};

template <size_t N>
void Steps(Position& position, int slot, const int (&dirs)[N]) {
    for (int d : dirs) StepAttack(position, slot, d);
}

template <size_t N>
void Rays(Position& position, int slot, const int (&dirs)[N]) {
    const unsigned square = position.pieces[slot].square;
    for (int d : dirs) RayAttack(position, slot, d, RayLength2D(square, d));
}

void RookLines(Position& position, int slot) {
    Rays(position, slot, kRookDirs);
    if (Is3D(position) && TournamentRules(position)) EdgeExtension(position, slot);
}

}  // namespace

void PieceGenerate(Position& position, int slot) {
    position.dirtySlots |= 1u << slot;
    const int code = position.pieces[slot].code;
    switch (code < 0 ? -code : code) {
        case kPawn:
            if (code > 0)
                Steps(position, slot, kPawnWhiteDirs);
            else
                Steps(position, slot, kPawnBlackDirs);
            break;
        case kKnight:
            Steps(position, slot, kKnightDirs);
            break;
        case kBishop:
            Rays(position, slot, kBishopDirs);
            break;
        case kRook:
            RookLines(position, slot);
            break;
        case kQueen:
            Rays(position, slot, kBishopDirs);
            RookLines(position, slot);
            break;
        case kKing:
            Steps(position, slot, kKingDirs);
            break;
        default:
            ErrorReport(kStable, "PieceGenerate: unknown pi");
            break;
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
