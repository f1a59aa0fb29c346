#include "rules/piece_ops.h"

#include "board/hash.h"
#include "core/error_report.h"
#include "rules/attacks.h"

namespace tarvex {
namespace {

void AddMaterial(Position& position, int code, int32_t sign) {
    int32_t& sum = code > 0 ? position.whiteMaterial : position.blackMaterial;
    sum += sign * MaterialOf(code);
}

}  // namespace

void AddPiece(Position& position, int code, unsigned square, int slot) {
    const uint32_t bit = 1u << slot;
    position.board[square] = code;
    position.pieces[slot].code = code;
    position.pieces[slot].square = square;
    position.squareSlot[square] = static_cast<uint8_t>(slot);
    HashPiece(position, code, square);
    AddMaterial(position, code, 1);
    if (IsSliderCode(code)) position.sliderMask |= bit;
    if (IsPromotionCandidate(position, code, square)) position.promoMask |= bit;
    if (code != kPawn && code != -kPawn) position.officerMask |= bit;
    position.pieceMask |= bit;
}

void RemovePiece(Position& position, int slot) {
    const uint32_t bit = 1u << slot;
    const int code = position.pieces[slot].code;
    const unsigned square = position.pieces[slot].square;
    AddMaterial(position, code, -1);
    HashPiece(position, code, square);
    position.squareSlot[square] = kNoSlot;
    position.board[square] = 0;
    position.pieces[slot].code = 0;
    position.promoMask &= ~bit;
    position.whitePassed &= ~bit;
    position.blackPassed &= ~bit;
    position.officerMask &= ~bit;
    position.pieceMask &= ~bit;
}

void MovePiece(Position& position, int slot, unsigned destination) {
    if (slot < 0 || slot >= kSlotCount) {
        ErrorReport(kStable, "NULL @ MovePiece");
        return;
    }
    const uint32_t bit = 1u << slot;
    const int code = position.pieces[slot].code;
    const unsigned from = position.pieces[slot].square;
    position.promoMask &= ~bit;
    HashPiece(position, code, from);
    position.board[from] = 0;
    position.squareSlot[from] = kNoSlot;
    position.board[destination] = code;
    position.squareSlot[destination] = static_cast<uint8_t>(slot);
    position.pieces[slot].square = destination;
    HashPiece(position, code, destination);
    if (IsPromotionCandidate(position, code, destination)) position.promoMask |= bit;
}

void PromotePiece(Position& position, int slot, int newCode) {
    const int queenSlot = newCode > 0 ? kSlotQueen : kBlackSlots + kSlotQueen;
    if ((newCode == kQueen || newCode == -kQueen) && (position.officerMask >> queenSlot & 1) == 0) {
        const unsigned square = position.pieces[slot].square;
        RemovePiece(position, slot);
        AddPiece(position, newCode, square, queenSlot);
        return;
    }
    const uint32_t bit = 1u << slot;
    const unsigned square = position.pieces[slot].square;
    const int oldCode = position.pieces[slot].code;
    AddMaterial(position, oldCode, -1);
    HashPiece(position, oldCode, square);
    position.board[square] = newCode;
    position.pieces[slot].code = newCode;
    HashPiece(position, newCode, square);
    AddMaterial(position, newCode, 1);
    if (IsSliderCode(newCode)) position.sliderMask |= bit;
    position.officerMask |= bit;
}

}  // namespace tarvex
