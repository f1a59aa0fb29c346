// Evaluate: the order of the terms, the dirty-mask rules, the lazy exit, the correction and the
// caching; the stage, the draw score and the evaluator that attack regeneration runs.
#include "engine/evaluation.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "board/square_diff.h"
#include "core/error_report.h"
#include "engine/eval_memory.h"
#include "engine/eval_terms.h"
#include "engine/parameters.h"
#include "engine/threat.h"
#include "rules/line_tables.h"

namespace tarvex::engine {
namespace {

using namespace eval;
using namespace slot;

constexpr int kLazyMargin = 20000;     // the lazy exit needs the estimate this far above gamma
constexpr int kLazyReduction = 15000;  // and returns it reduced by this much
constexpr int kAheadForTrades = 8000;
constexpr int kQuietPliesScaled = 20;  // reversible plies before the score shrinks
constexpr int kQuietScaleBase = 148;   // the score is scaled by (148 - plies) / 128
constexpr int kQuietScaleDivisor = 128;
constexpr int kRootSideContempt = 1000;  // a draw is worth this much less to the root's side
constexpr int kDrawScoreLimit = 10000;

// Brings the child's evaluation work areas to the values of the evaluated previous position:
// the child may have been made before that position's evaluation completed.
void SeedFrom(Position& position, EvalState& e, const Position& previous, const EvalState& from) {
    std::memcpy(e.squareScore, from.squareScore, sizeof e.squareScore);
    std::memcpy(e.squareSign, from.squareSign, sizeof e.squareSign);
    std::memcpy(e.slotReach, from.slotReach, sizeof e.slotReach);
    std::memcpy(e.slotAttacks, from.slotAttacks, sizeof e.slotAttacks);
    std::memcpy(e.slotValue, from.slotValue, sizeof e.slotValue);
    std::memcpy(e.squareControl, from.squareControl, sizeof e.squareControl);
    e.whiteReach = from.whiteReach;
    e.blackReach = from.blackReach;
    e.hangingMask = from.hangingMask;
    e.attackerMask = from.attackerMask;
    e.controlTotal = from.controlTotal;
    e.evalSum = from.evalSum;
    position.whitePassed = previous.whitePassed;
    position.blackPassed = previous.blackPassed;
    position.dirtySlots |= previous.dirtySlots;
    e.extras = from.extras;
}

// Whether the cached terms of previous may be carried into position at all: the same weights
// and the same geometry.
bool CanCarryFrom(const Position& position, const Position& previous) {
    return position.stage == previous.stage && position.gameKind == previous.gameKind &&
           position.rules == previous.rules &&
           std::memcmp(position.abPin, previous.abPin, sizeof position.abPin) == 0;
}

// The pieces whose cached terms the change from previous to position can have touched, found
// from the squares whose occupant changed (so that every kind of move is covered).
template <typename Reader>
uint32_t DirtyFromBoard(const Position& position, const Position& previous,
                        BasicContext<Reader>& c) {
    uint32_t dirty = 0;
    bool pawnTouched[2] = {false, false}, rookTouched[2] = {false, false}, kingMoved = false;
    int lo = 8, hi = -1;  // files of the pawns whose structure terms may change
    for (uint64_t m = DifferingSquares(previous.board, position.board); m != 0; m &= m - 1) {
        const unsigned q = static_cast<unsigned>(std::countr_zero(m));
        const int before = previous.board[q], after = position.board[q];
        for (int code : {before, after}) {
            if (code == 0) continue;
            const int side = code > 0 ? 0 : 1;
            switch (KindOf(code)) {
                case kPawn:
                    pawnTouched[side] = true;
                    lo = std::min(lo, FileOf(q) - 1);
                    hi = std::max(hi, FileOf(q) + 1);
                    break;
                case kRook:
                    rookTouched[side] = true;
                    break;
                case kKing:
                    kingMoved = true;
                    break;
                default:
                    break;
            }
        }
        if (after != 0) {
            const int s = position.squareSlot[q];
            dirty |= 1u << s;
            if (previous.pieces[s].code != after) c.allSquares = true;  // a promotion
        }
        // The pawns directly in front of or behind the square.
        for (int d : {-1, 1}) {
            const int r = RankOf(q) + d;
            if (r >= 0 && r <= 7 && KindOf(position.board[q + d]) == kPawn) {
                dirty |= 1u << position.squareSlot[q + d];
            }
        }
    }
    const uint32_t pawns = c.pawns[0] | c.pawns[1];
    if (lo <= hi) {
        if (Is3D(position)) {
            dirty |= pawns;  // 3D pawn attacks do not follow the index files
        } else {
            for (uint32_t m = pawns; m != 0; m &= m - 1) {
                const int file = FileOf(position.pieces[std::countr_zero(m)].square);
                if (file >= lo && file <= hi) dirty |= m & -m;
            }
        }
    }
    if (pawnTouched[0]) dirty |= 1u << kSlotKing;  // the shelter
    if (pawnTouched[1]) dirty |= 1u << (kBlackSlots + kSlotKing);
    if (kingMoved) dirty |= kKings | pawns;
    // A capture (queen, bishop, material balance) or a change of the castling state.
    if (position.whiteMaterial != previous.whiteMaterial ||
        position.blackMaterial != previous.blackMaterial ||
        ((position.flags ^ previous.flags) & (kCastlingRights | kWhiteCastled | kBlackCastled))) {
        dirty |= kKings;
    }
    for (int side = 0; side < 2; ++side) {
        if (rookTouched[side]) dirty |= c.rooks[side];
    }
    return dirty;
}

// Pieces whose terms read the attackers of their own square: a rook defended by the other
// rook, a backward pawn attacked by enemy officers (both without the pinned pieces).
template <typename Reader>
uint32_t DirtyFromAttackers(const Position& position, const Position& previous,
                            const BasicContext<Reader>& c) {
    uint32_t dirty = 0;
    const uint32_t officers = position.officerMask | previous.officerMask;
    const auto changed = [&](int s, uint32_t relevant) {
        const unsigned q = position.pieces[s].square;
        const uint32_t now = position.attacks[q] & ~c.e.ignoreMask;
        const uint32_t before = previous.attacks[q] & ~c.prev->ignoreMask;
        return ((now ^ before) & relevant) != 0;
    };
    for (int side = 0; side < 2; ++side) {
        for (uint32_t m = c.rooks[side]; m != 0; m &= m - 1) {
            if (changed(std::countr_zero(m), c.rooks[side])) dirty |= m & -m;
        }
        for (uint32_t m = c.pawns[side]; m != 0; m &= m - 1) {
            if (changed(std::countr_zero(m), officers & kHalf[side ^ 1])) dirty |= m & -m;
        }
    }
    return dirty;
}

struct Corrected {
    int score;
    bool drawish;
};

template <typename Reader>
bool Exactly(const BasicContext<Reader>& c, int side, int queens, int rooks, int bishops,
             int knights) {
    const int* n = c.count[side];
    return n[kPawn] == 0 && n[kQueen] == queens && n[kRook] == rooks && n[kBishop] == bishops &&
           n[kKnight] == knights;
}

// Drawish material, the reversible-move counter and trading when ahead, on s in White's frame.
template <typename Reader>
Corrected Correct(const Position& position, const BasicContext<Reader>& c, int draw, int s) {
    const bool pawnless = position.pieceMask == position.officerMask;
    if (pawnless && ((Exactly(c, 0, 1, 0, 0, 0) && Exactly(c, 1, 1, 0, 0, 0)) ||
                     (Exactly(c, 0, 0, 1, 0, 0) && Exactly(c, 1, 0, 1, 0, 0)))) {
        return {2 * draw, true};
    }
    // Rook against a minor piece, rook and minor piece against rook: the stronger side gets
    // -p[kDrawishBalance].
    for (int side = 0; side < 2; ++side) {
        const int other = side ^ 1;
        const bool rook = Exactly(c, side, 0, 1, 0, 0);
        const bool rookMinor = Exactly(c, side, 0, 1, 1, 0) || Exactly(c, side, 0, 1, 0, 1);
        const bool minor = Exactly(c, other, 0, 0, 1, 0) || Exactly(c, other, 0, 0, 0, 1);
        if ((rook && minor) || (rookMinor && Exactly(c, other, 0, 1, 0, 0))) {
            return {-SignOf(side) * c.p[kDrawishBalance], false};
        }
    }
    // A side without pawns and with at most one minor piece, or two knights, cannot win.
    bool limited[2];
    for (int side = 0; side < 2; ++side) {
        const int* n = c.count[side];
        limited[side] = n[kPawn] == 0 && n[kQueen] == 0 && n[kRook] == 0 &&
                        (n[kBishop] + n[kKnight] <= 1 || (n[kBishop] == 0 && n[kKnight] == 2));
    }
    if (limited[0] || limited[1]) {
        if (limited[0]) s = std::min(s, draw);
        if (limited[1]) s = std::max(s, draw);
        return {s, s == draw};
    }
    if (c.stage != kStagePawnless && position.quietPlies > kQuietPliesScaled) {
        // Never below 0: a longer counter must not turn the score round.
        const int factor = std::max(kQuietScaleBase - static_cast<int>(position.quietPlies), 0);
        s = static_cast<int>(static_cast<int64_t>(s) * factor / kQuietScaleDivisor);
    }
    for (int side = 0; side < 2; ++side) {
        if (SignOf(side) * c.material <= kAheadForTrades) continue;
        const int pieces = Bits(position.pieceMask & kHalf[side]);
        s += SignOf(side) * (c.p[kTradePieces + pieces] - c.p[kKeepPawns + c.count[side][kPawn]]);
    }
    return {s, false};
}

// The stage that chooses the parameter set; one out of range is reported and folded.
int CheckedStage(const Position& position) {
    int stage = static_cast<int>(position.stage);
    if (position.stage > kStagePawnless) {
        ErrorReport(kStable, "Stage error");
        stage &= 3;
    }
    return stage;
}

// The slots whose values are recomputed: every piece when nothing is carried (or mode 2 asks
// for it), else those the move and the attack data touched, the minor pieces, promoted pieces
// and, beside a bare king, the other side's pawns.
template <typename Reader>
uint32_t DirtySlots(const Position& position, const Position* previous, int mode,
                    BasicContext<Reader>& c) {
    if (previous == nullptr || mode >= 2) {
        // Only its test for pieces that changed their code (a promotion) is needed here.
        if (previous != nullptr) DirtyFromBoard(position, *previous, c);
        return position.pieceMask;
    }
    uint32_t dirty = position.dirtySlots | DirtyFromBoard(position, *previous, c) | kMinors |
                     (position.officerMask & (kWhitePawnSlots | kBlackPawnSlots));
    if ((position.pieceMask & kWhiteHalf) == (1u << kSlotKing)) dirty |= c.pawns[1];
    if ((position.pieceMask & kBlackHalf) == (1u << (kBlackSlots + kSlotKing))) {
        dirty |= c.pawns[0];
    }
    return dirty;
}

}  // namespace

// The previous position the cached terms are carried from, its record in from: the parent,
// evaluated first on copies (the parent and its record are not ours to change) when its
// evaluation is not cached. None for a parent without a record or one that cannot be carried
// from. A parent without a parent is evaluated once into the memory and reused from there;
// any other goes to copies in own.
const Position* Evaluator::CarriedFrom(Position& position, EvalState& e, int gamma,
                                       std::unique_ptr<EvaluatedParent>& own,
                                       const EvalState*& from) const {
    const Position* previous = position.parent;
    from = previous != nullptr ? e.parent : nullptr;
    if (from == nullptr) return nullptr;
    if (!from->valid) {
        const EvaluatedParent* evaluated = nullptr;
        if (memory_ != nullptr && previous->parent == nullptr) {
            ParentMemory& parents = memory_->parents;
            evaluated = parents.Find(*previous, *from);
            if (evaluated == nullptr) {
                EvaluatedParent& fresh = parents.Start(*previous, *from);
                Evaluate(fresh.position, fresh.record, gamma, 1);
                parents.Filled();
                evaluated = &fresh;
            }
        } else {
            own = std::make_unique<EvaluatedParent>(EvaluatedParent{*previous, *from});
            Evaluate(own->position, own->record, gamma, 1);
            evaluated = own.get();
        }
        previous = &evaluated->position;
        from = &evaluated->record;
    }
    if (!CanCarryFrom(position, *previous)) return nullptr;
    SeedFrom(position, e, *previous, *from);
    return previous;
}

int Evaluator::Evaluate(Position& position, EvalState& e, int gamma, int mode) const {
    // One test here rather than one at every weight read.
    if (watcher_ != nullptr) return EvaluateWith<WatchedReader>(position, e, gamma, mode);
    return EvaluateWith<PlainReader>(position, e, gamma, mode);
}

template <typename Reader>
int Evaluator::EvaluateWith(Position& position, EvalState& e, int gamma, int mode) const {
    EvaluationMemory* memory = memory_;
    // The stage check, the cached total, stale attack data.
    const int stage = CheckedStage(position);
    const int side = SideSign(position);
    if (e.valid) return e.score * side;
    if (position.flags & kAttacksPending) ErrorReport(kStable, "NEED_PART2 in eval");

    e.unstoppablePawns[0] = e.unstoppablePawns[1] = 0;
    if (gamma == kFullEvaluation) position.parent = nullptr;
    std::unique_ptr<EvaluatedParent> ownParent;
    const EvalState* from = nullptr;
    const Position* previous = CarriedFrom(position, e, gamma, ownParent, from);

    // Material.
    BasicContext<Reader> c(Reader{Set(position.gameKind, stage), watcher_}, stage,
                           LinesFor(position), previous, e, previous != nullptr ? from : nullptr,
                           memory != nullptr ? &memory->exchanges : nullptr);
    Gather(position, c);

    // The dirty mask, the pinned mask, the pawn tables (gathered) and the quick terms.
    uint32_t dirty = DirtySlots(position, previous, mode, c);
    e.ignoreMask = PinnedMask(position, c);
    if (previous != nullptr && mode < 2) dirty |= DirtyFromAttackers(position, *previous, c);
    position.dirtySlots = dirty & position.pieceMask;
    const int fixed = FixedPatterns(position, c);
    const int pieces = PieceValues(position, c, previous != nullptr);
    const int kingSafety = KingSafety(position, c);
    const int threat = engine::ThreatTerm(position, e, book_.For(position.gameKind), memory);
    int quick = fixed + pieces + kingSafety + threat;

    // Lazy exit: proved >= gamma without the expensive terms; nothing is cached.
    if (mode == 0 && previous != nullptr && std::abs(e.evalSum) < kLazyMargin) {
        const int estimate = (quick + c.material + e.evalSum) * side;
        if (estimate > gamma + kLazyMargin) {
            const int reduced =
                Correct(position, c, DrawScore(position), (estimate - kLazyReduction) * side).score;
            if (reduced * side >= gamma) return reduced * side;
        }
    }

    // The expensive terms: square control, attacked pieces, mobility.
    uint32_t membership = 0;
    const int control = SquareControl(position, c);
    const int attacked = AttackedPieces(position, c, membership);
    const int mobility = Mobility(position, c);
    e.evalSum = control + attacked + mobility;

    // Passed pawns read the fresh square control: recompute them (and the officers whose
    // attacking-mask membership changed); they stay dirty for the next ply.
    const uint32_t passed = position.whitePassed | position.blackPassed;
    position.dirtySlots = (membership | passed) & position.pieceMask;
    quick += PieceValues(position, c, true) - pieces;
    position.dirtySlots = position.whitePassed | position.blackPassed;

    // Overloaded defenders, the correction, caching.
    const int overload = OverloadedDefenders(position, c);
    const Corrected total =
        Correct(position, c, DrawScore(position), quick + e.evalSum + overload + c.material);
    position.flags =
        total.drawish ? position.flags | kDrawishMaterial : position.flags & ~kDrawishMaterial;
    e.valid = true;
    e.score = total.score;
    return total.score * side;
}

int Evaluator::EvaluateClamped(Position& position, EvalState& state, int gamma, int mode) const {
    return std::clamp(Evaluate(position, state, gamma, mode), -kStaticLimit, kStaticLimit);
}

int SetStage(Position& position, EvalState* state) {
    const uint32_t officers = position.officerMask;
    int count = Bits(officers & 0xFFu) + Bits(officers & 0xFF0000u);
    if ((officers & kQueens) == kQueens) count += 2;
    int stage;
    if (officers == position.pieceMask)
        stage = kStagePawnless;
    else if (count < 7)
        stage = kStageEndgame;
    else if (count >= 16 && (position.flags & kCastlingRights) != 0)
        stage = kStageOpening;
    else
        stage = kStageMiddlegame;
    // Every cached term was computed with the weights of the old stage.
    if (position.stage != static_cast<uint32_t>(stage) && state != nullptr) {
        state->valid = state->tacticsValid = false;
    }
    position.stage = static_cast<uint32_t>(stage);
    position.dirtySlots |= (kKings | (officers & kQueens)) & position.pieceMask;
    return stage;
}

int Evaluator::DrawScore(const Position& position) const {
    const int x = Set(position)[kContempt];
    const int score =
        (position.flags & kWhiteAtRoot) ? x - kRootSideContempt : x + kRootSideContempt;
    return std::clamp(score, -kDrawScoreLimit, kDrawScoreLimit);
}

int Evaluator::ThreatTerm(Position& position, EvalState& state) const {
    return engine::ThreatTerm(position, state, book_.For(position.gameKind), memory_);
}

void Evaluator::UpdateThreatAfterNullMove(Position& position, EvalState& state) const {
    engine::UpdateThreatAfterNullMove(position, state, book_.For(position.gameKind), memory_);
}

void Evaluator::EvaluateRegenerated(Position& position) {
    EvalState own;
    Evaluate(position, own, kFullEvaluation, 2);
}

}  // namespace tarvex::engine
