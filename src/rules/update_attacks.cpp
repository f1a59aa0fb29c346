#include "rules/update_attacks.h"

#include <algorithm>
#include <bit>

#include "core/error_report.h"
#include "rules/attack_generation.h"
#include "rules/attacks.h"
#include "rules/attacks_2d.h"
#include "rules/line_tables.h"

namespace tarvex {
namespace {

using attacks2d::Continues;
using attacks2d::Next;

unsigned Step(unsigned q, int d) {
    return static_cast<unsigned>(static_cast<int>(q) + d);
}

// The slots of mask whose pieces stand behind sq on the line that runs through sq in
// direction d.
uint32_t OnLineBehind(const Position& position, const LineTables& lines, uint32_t mask, unsigned sq,
                      int d) {
    for (uint32_t bits = mask; bits != 0; bits &= bits - 1) {
        const int s = std::countr_zero(bits);
        if (lines.dir[position.pieces[s].square][sq] != d) mask &= ~(1u << s);
    }
    return mask;
}

// BatteryBehind with the position's line tables at hand.
uint32_t Battery(const Position& position, const LineTables& lines, unsigned sq, unsigned q) {
    const int d = lines.dir[sq][q];
    if (d == 0) return 0;
    return OnLineBehind(position, lines, position.xrays[q], sq, d);
}

// Marks bits in the x-rays beyond q for as long as the line may be seen through.
void ExtendXray(Position& child, const LineTables& lines, unsigned slider, unsigned q, int dirSlot,
                uint32_t bits, bool set) {
    for (;;) {
        const unsigned next = Next(q, dirSlot);
        if (OffBoard(next) || !Continues(child, lines, slider, q)) return;
        q = next;
        if (set)
            child.xrays[q] |= bits;
        else
            child.xrays[q] &= ~bits;
    }
}

// The mover went towards the slider along its line, which now ends at t.
void LineShortened(Position& child, const Position& parent, const LineTables& lines, int s,
                   unsigned slider, unsigned f, unsigned t, bool friendly) {
    const int d = lines.dir[f][t];
    const uint32_t bit = 1u << s;
    const uint32_t battery = Battery(parent, lines, slider, t);
    for (unsigned q = f; q != t; q = Step(q, d)) {
        child.attacks[q] &= ~bit;
        if (friendly)
            child.xrays[q] |= bit;
        else
            child.xrays[q] &= ~battery;
    }
}

// The mover went away from the slider along its line, which now reaches t.
void LineLengthened(Position& child, const Position& parent, const LineTables& lines, int s,
                    unsigned slider, unsigned f, unsigned t) {
    const int d = lines.dir[f][t];
    const uint32_t bit = 1u << s;
    const uint32_t battery = Battery(parent, lines, slider, f);
    unsigned q = f;
    do {
        q = Step(q, d);
        child.attacks[q] |= bit;
        child.xrays[q] &= ~bit;
        child.xrays[q] |= battery;
    } while (q != t);
    if (parent.board[t] == 0) return;
    ExtendXray(child, lines, slider, q, DirectionSlot(d), battery | bit, true);
}

// The mover left the slider's line at f, which now runs on to the next piece.
void LineOpened(Position& child, const Position& parent, const LineTables& lines, int s,
                unsigned slider, unsigned f) {
    const int d = lines.dir[slider][f];
    if (d == 0) return;
    const uint32_t bit = 1u << s;
    const uint32_t battery = Battery(parent, lines, slider, f);
    const int dirSlot = DirectionSlot(d);
    unsigned q = f;
    for (unsigned next = Next(q, dirSlot); !OffBoard(next); next = Next(q, dirSlot)) {
        q = next;
        child.attacks[q] |= bit;
        child.xrays[q] |= battery;
        child.xrays[q] &= ~bit;
        if (child.board[q] != 0) break;
    }
    ExtendXray(child, lines, slider, q, dirSlot, battery | bit, true);
}

// The mover now stands on the slider's line at t and blocks it.
bool LineBlocked(Position& child, const Position& parent, const LineTables& lines, int s,
                 unsigned slider, unsigned t, int mover) {
    const int d = lines.dir[slider][t];
    if (d == 0) {
        ErrorReport(kStable, "NULL dir @ UpdateMoves");
        return false;
    }
    const uint32_t bit = 1u << s;
    const uint8_t moverSlot = child.squareSlot[t];
    const bool battery = (mover > 0) == (child.pieces[s].code > 0) &&
                         ReachOf(lines, mover, t, slider) && moverSlot != kNoSlot &&
                         (child.sliderMask >> moverSlot & 1) != 0;
    const uint32_t bits = Battery(parent, lines, slider, t) | bit;
    const int dirSlot = DirectionSlot(d);
    unsigned q = t;
    for (unsigned next = Next(q, dirSlot); !OffBoard(next); next = Next(q, dirSlot)) {
        q = next;
        child.attacks[q] &= ~bit;
        if (battery)
            child.xrays[q] |= bits;
        else
            child.xrays[q] &= ~bits;
        if (child.board[q] != 0) break;
    }
    ExtendXray(child, lines, slider, q, dirSlot, bits, battery);
    return true;
}

constexpr int kPawnsPerSide = 8;

void MarkPawnFiles(Position& child, const Position& parent, unsigned f, unsigned t, int mover) {
    int lo, hi;
    const int ff = static_cast<int>(f >> 3), ft = static_cast<int>(t >> 3);
    if (mover == kPawn || mover == -kPawn) {
        lo = ff - 1, hi = ff + 1;
        if (ft != ff) lo = std::min(lo, ft - 1), hi = std::max(hi, ft + 1);
    } else if (parent.board[t] == kPawn || parent.board[t] == -kPawn) {
        lo = ft - 1, hi = ft + 1;
    } else {
        return;
    }
    // The pawns in pawn slots (a piece promoted there is no pawn). Every pawn slot is tested
    // and the mask applied after, a fixed loop without branches.
    const uint32_t pawns =
        child.pieceMask & ~child.officerMask & (kWhitePawnSlots | kBlackPawnSlots);
    const unsigned first = static_cast<unsigned>(lo), span = static_cast<unsigned>(hi - lo);
    uint32_t onFiles = 0;
    for (int i = 0; i < kPawnsPerSide; ++i) {
        const int white = kSlotFirstPawn + i, black = kBlackSlots + kSlotFirstPawn + i;
        const unsigned whiteFile = child.pieces[white].square >> 3;
        const unsigned blackFile = child.pieces[black].square >> 3;
        onFiles |= uint32_t{whiteFile - first <= span} << white;
        onFiles |= uint32_t{blackFile - first <= span} << black;
    }
    child.dirtySlots |= onFiles & pawns;
}

}  // namespace

uint32_t BatteryBehind(const Position& position, unsigned sq, unsigned q) {
    const LineTables& lines = LinesFor(position);
    const int d = lines.dir[sq][q];
    if (d == 0) return 0;
    // The sliders standing behind sq on this line whose x-rays reach q. A slider may attack
    // sq along one line and x-ray q along another, and a queen promoted in a pawn slot is as
    // much a battery member as one in the queen's slot: the line decides, not the slot.
    return OnLineBehind(position, lines, position.xrays[q], sq, d);
}

void UpdateAttacks(Position& child, const Position& parent, const Move& move,
                   PositionEvaluator* evaluator) {
    const unsigned f = move.from, t = move.to;
    if (Is3D(child)) return;  // the 3D game regenerates after every move
    // A move that DoMove refused as a bad piece may name squares off the board.
    const uint8_t moverSlot = SlotOn(parent, f);
    const uint8_t movedSlot = SlotOn(child, t);
    if (moverSlot == kNoSlot || movedSlot == kNoSlot) {
        RegenerateAttacks(child, evaluator);
        return;
    }
    const int mover = parent.board[f];
    uint32_t removed = 1u << moverSlot;
    if (parent.board[t] != 0) removed |= 1u << parent.squareSlot[t];
    for (unsigned q = 0; q < 64; ++q) {
        child.attacks[q] = parent.attacks[q] & ~removed;
        child.xrays[q] = parent.xrays[q] & ~removed;
    }
    const LineTables& lines = LinesFor(child);
    const uint32_t throughFrom = child.attacks[f] & child.sliderMask;
    const uint32_t throughTo = child.attacks[t] & child.sliderMask;
    for (uint32_t m = throughFrom; m != 0; m &= m - 1) {
        const int s = std::countr_zero(m);
        const unsigned slider = child.pieces[s].square;
        const bool friendly = (mover > 0) == (child.pieces[s].code > 0);
        if (Collinear(lines, f, t, slider)) {
            LineShortened(child, parent, lines, s, slider, f, t, friendly);
        } else if (Collinear(lines, slider, f, t)) {
            LineLengthened(child, parent, lines, s, slider, f, t);
        } else {
            LineOpened(child, parent, lines, s, slider, f);
        }
    }
    for (uint32_t m = throughTo; m != 0; m &= m - 1) {
        const int s = std::countr_zero(m);
        if (!LineBlocked(child, parent, lines, s, child.pieces[s].square, t, mover)) break;
    }
    if (!GeneratePiece2D(child, lines, movedSlot)) PieceGenerate(child, movedSlot);
    MarkPawnFiles(child, parent, f, t, mover);
}

}  // namespace tarvex
