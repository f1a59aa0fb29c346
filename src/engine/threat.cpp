// The capture-threat searches and what is built on them.
//
// (The threat term itself asks only whether a side wins material: it runs the yes-or-no search
// further below, which decides exactly as CaptureSearch does, on a copy of the position's
// inputs, and keeps its answers in the searcher's memory. CaptureSearch serves the exact
// values: the root moves' tactical scores and the tests.)
//
// A capture search plays captures on the board arrays of the Position itself (board,
// squareSlot, the pieces' squares and the material sums), never making a move: victims in
// slot order (king first, pawns last), for each its attackers from the highest slot down (pawns
// first, king last). A piece takes part in at most one capture as the capturer: once it has
// captured or been captured it is "used". In the 2D game a slider standing behind the capturer
// on the line it leaves is revealed: its bit is added to the attack mask of the next occupied
// square along that line. Every change is undone, in reverse order, before the search returns.
#include "engine/threat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/error_report.h"
#include "engine/eval_memory.h"
#include "engine/parameters.h"
#include "rules/attacks.h"
#include "rules/line_tables.h"
#include "rules/make_move.h"
#include "rules/piece_ops.h"

namespace tarvex::engine {
namespace {

constexpr int kThreatMargin = 5000;     // material a threat must win
constexpr int kBisectionWindow = 5000;  // precision of the root tactical score
constexpr int kUnmakeable = -405000;
constexpr int kScoreBound = 405000;

// One slider revealed through a vacated square: the square whose mask gained its bit.
struct Reveal {
    unsigned square;
    uint32_t oldMask;
};
// A side has at most 16 sliders, and at most one of them per line through a square.
constexpr int kMaxReveals = 16;

constexpr uint32_t Bit(int slot) {
    return uint32_t{1} << slot;
}

int VictimValue(const Position& position, int slot) {
    if ((slot & 15) == kSlotKing) return kKingCaptureValue;
    return MaterialOf(position.pieces[slot].code);
}

// 2D: the own sliders (not used, not the capturer) that attack the square the capturer left
// now see through it, up to the next occupied square. Enemies found there become victims.
// Returns the number of masks changed, recorded in reveals for the undo.
int RevealThroughVacated(Position& position, unsigned vacated, int capturer, uint32_t own,
                         uint32_t used, uint32_t& victims, Reveal* reveals) {
    uint32_t sliders = position.attacks[vacated] & position.sliderMask & position.pieceMask & own &
                       ~used & ~Bit(capturer);
    if (sliders == 0) return 0;
    const LineTables& lines = LinesFor(position);
    int count = 0;
    for (; sliders != 0; sliders &= sliders - 1) {
        const int slider = std::countr_zero(sliders);
        const int d = lines.dir[position.pieces[slider].square][vacated];
        if (d == 0) continue;
        unsigned square = vacated;
        for (int steps = RayLength2D(vacated, d); steps > 0; --steps) {
            square += d;
            const int code = position.board[square];
            if (code == 0) continue;
            if (count < kMaxReveals) {
                reveals[count++] = {square, position.attacks[square]};
                position.attacks[square] |= Bit(slider);
                if ((code > 0) != IsWhiteSlot(slider)) victims |= Bit(position.squareSlot[square]);
            }
            break;
        }
    }
    return count;
}

template <bool kWhite>
int CaptureSearch(Position& position, uint32_t victims, uint32_t used, int gamma, Move* reply) {
    constexpr uint32_t kOwn = kWhite ? kWhiteHalf : kBlackHalf;
    constexpr uint32_t kEnemyPawnSlots = kWhite ? kBlackPawnSlots : kWhitePawnSlots;
    int32_t& enemyMaterial = kWhite ? position.blackMaterial : position.whiteMaterial;
    const int m = kWhite ? position.whiteMaterial - position.blackMaterial
                         : position.blackMaterial - position.whiteMaterial;
    if (m >= gamma) return m;
    int best = m;
    uint32_t remaining = victims & ~kOwn & position.pieceMask;
    while (remaining != 0) {
        const int victim = std::countr_zero(remaining);
        remaining &= remaining - 1;
        const int value = VictimValue(position, victim);
        if (m + value < gamma) {
            // Later slots are worth no more, except pieces promoted in a pawn slot.
            best = std::max(best, m + value);
            remaining &= position.officerMask & kEnemyPawnSlots;
            continue;
        }
        const unsigned target = position.pieces[victim].square;
        uint32_t attackers = position.attacks[target] & position.pieceMask & kOwn & ~used;
        while (attackers != 0) {
            const int attacker = 31 - std::countl_zero(attackers);
            attackers &= ~Bit(attacker);
            const unsigned from = position.pieces[attacker].square;
            int v;
            if (value == kKingCaptureValue) {
                v = m + value;  // taking the king ends the game: no reply
            } else {
                const int attackerCode = position.pieces[attacker].code;
                const int victimCode = position.board[target];
                position.board[from] = kEmpty;
                position.squareSlot[from] = kNoSlot;
                position.board[target] = attackerCode;
                position.squareSlot[target] = static_cast<uint8_t>(attacker);
                position.pieces[attacker].square = target;
                enemyMaterial -= value;
                uint32_t next = (victims & ~Bit(victim)) | Bit(attacker);
                Reveal reveals[kMaxReveals];
                const int revealed =
                    Is3D(position)
                        ? 0
                        : RevealThroughVacated(position, from, attacker, kOwn, used, next, reveals);
                v = -CaptureSearch<!kWhite>(position, next, used | Bit(victim) | Bit(attacker),
                                            1 - gamma, nullptr);
                for (int i = revealed - 1; i >= 0; --i) {
                    position.attacks[reveals[i].square] = reveals[i].oldMask;
                }
                enemyMaterial += value;
                position.pieces[attacker].square = from;
                position.squareSlot[target] = static_cast<uint8_t>(victim);
                position.board[target] = victimCode;
                position.squareSlot[from] = static_cast<uint8_t>(attacker);
                position.board[from] = attackerCode;
            }
            best = std::max(best, v);
            if (best >= gamma) {
                if (reply != nullptr) {
                    reply->from = from;
                    reply->to = target;
                }
                return best;
            }
        }
    }
    return best;
}

// The side's material lead over the other.
int Lead(const Position& position, bool white) {
    const int difference = position.whiteMaterial - position.blackMaterial;
    return white ? difference : -difference;
}

// ---- The threat term's search ----
//
// WinsMaterial needs only whether a capture search reaches gamma (and the capture it stores),
// so it runs a yes-or-no search that makes the same decisions as CaptureSearch in the same
// order, faster: the victims worth too little and those nobody attacks are dropped with slot
// masks before the loop, the material balance travels as an argument, and the 2D reveal finds
// the next piece on a line with an occupancy bitboard.

// The eight line steps of the 2D board (step = 8 x file step + rank step) and each square's
// line to the edge in each of them.
constexpr int kLineSteps[8] = {1, -1, 8, -8, 9, -9, 7, -7};
constexpr int kFileSteps[8] = {0, 0, 1, -1, 1, -1, 1, -1};
constexpr auto kRays = [] {
    std::array<std::array<uint64_t, 8>, 64> rays{};
    for (int square = 0; square < 64; ++square) {
        for (int i = 0; i < 8; ++i) {
            const int fileStep = kFileSteps[i];
            const int rankStep = kLineSteps[i] - 8 * fileStep;
            int file = square / 8 + fileStep, rank = square % 8 + rankStep;
            for (; file >= 0 && file < 8 && rank >= 0 && rank < 8;
                 file += fileStep, rank += rankStep) {
                rays[square][i] |= uint64_t{1} << (file * 8 + rank);
            }
        }
    }
    return rays;
}();

// Index into kLineSteps of a step (d + 9 indexes this table; -1 for no line step).
constexpr auto kStepIndex = [] {
    std::array<int8_t, 19> index{};
    index.fill(-1);
    for (int i = 0; i < 8; ++i) index[kLineSteps[i] + 9] = static_cast<int8_t>(i);
    return index;
}();

// The values a victim can have, ascending: a piece code's material (a king's code outside the
// king slot counts 0) and, in a king slot, the king capture.
constexpr int kValueClasses = 7;
constexpr int kClassValue[kValueClasses] = {
    kMaterialValue[0],     kMaterialValue[kPawn],  kMaterialValue[kKnight], kMaterialValue[kBishop],
    kMaterialValue[kRook], kMaterialValue[kQueen], kKingCaptureValue};
constexpr int kKingClass = kValueClasses - 1;

constexpr uint32_t kKingSlots = Bit(kSlotKing) | Bit(kBlackSlots + kSlotKing);

// The value class of each piece code (by code + kKing) outside the king slots; a king's code
// there counts 0.
constexpr auto kCodeClass = [] {
    std::array<int8_t, 2 * kKing + 1> classes{};
    for (int code = -kKing; code <= kKing; ++code) {
        const int kind = code < 0 ? -code : code;
        classes[code + kKing] = static_cast<int8_t>(kind == kKing ? 0 : kind);
    }
    return classes;
}();

// The slots of one side's sixteen whose attackers share a bit with mask (bit i: slot i of the
// side).
uint32_t AttackedSlots(const uint32_t (&attackers)[16], uint32_t mask) {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi32(static_cast<int>(mask));
    const __m128i zero = _mm_setzero_si128();
    __m128i none[4];  // all ones where a slot has no such attacker
    for (int i = 0; i < 4; ++i) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&attackers[4 * i]));
        none[i] = _mm_cmpeq_epi32(_mm_and_si128(four, wanted), zero);
    }
    const __m128i packed =
        _mm_packs_epi16(_mm_packs_epi32(none[0], none[1]), _mm_packs_epi32(none[2], none[3]));
    return ~static_cast<uint32_t>(_mm_movemask_epi8(packed)) & 0xFFFFu;
#else
    uint32_t attacked = 0;
    for (int i = 0; i < 16; ++i) {
        if (attackers[i] & mask) attacked |= 1u << i;
    }
    return attacked;
#endif
}

// Fills in the inputs of position (the living slots only); false when a living piece stands off
// the board (such a position is searched as it is, and never remembered).
bool ReadInputs(const Position& position, ThreatInputs& in) {
    const uint32_t living = position.pieceMask;
    in.pieceMask = living;
    in.sliderMask = position.sliderMask & living;
    in.officerMask = position.officerMask & living;
    in.lead = position.whiteMaterial - position.blackMaterial;
    in.is3D = Is3D(position) ? 1 : 0;
    for (uint32_t m = living; m != 0; m &= m - 1) {
        const int slot = std::countr_zero(m);
        const unsigned square = position.pieces[slot].square;
        if (OffBoard(square)) return false;
        in.square[slot] = static_cast<uint8_t>(square);
        in.code[slot] = static_cast<int8_t>(position.pieces[slot].code);
        in.attackers[slot] = position.attacks[square] & living;
    }
    return true;
}

// Whether in (read by ReadInputs) are the inputs of position. The living slots are the same in
// both once the piece masks are, so the dead slots' stale entries are never read.
bool SameInputs(const ThreatInputs& in, const Position& position) {
    const uint32_t living = position.pieceMask;
    if (in.pieceMask != living || in.sliderMask != (position.sliderMask & living) ||
        in.officerMask != (position.officerMask & living) ||
        in.lead != position.whiteMaterial - position.blackMaterial ||
        in.is3D != (Is3D(position) ? 1 : 0)) {
        return false;
    }
    for (uint32_t m = living; m != 0; m &= m - 1) {
        const int slot = std::countr_zero(m);
        const unsigned square = position.pieces[slot].square;
        // The held squares are all on the board: an off-board one differs before it is used.
        if (in.square[slot] != square ||
            in.code[slot] != static_cast<int8_t>(position.pieces[slot].code) ||
            in.attackers[slot] != (position.attacks[square] & living)) {
            return false;
        }
    }
    return true;
}

// One threat search on a position's inputs, with its own copy of what the captures change: the
// attackers of each piece's square (a capturer takes over its victim's, a reveal adds a slider)
// and the occupant of each square.
class ThreatSearch {
public:
    // lines: the 2D line tables (unused in the 3D game).
    ThreatSearch(const ThreatInputs& in, const LineTables& lines)
        : in_(in), lines_(in.is3D != 0 ? nullptr : &lines) {
        // Whole copies: the dead slots' entries are never read.
        std::memcpy(square_, in.square, sizeof square_);
        std::memcpy(attackers_, in.attackers, sizeof attackers_);
        for (uint32_t m = in.pieceMask; m != 0; m &= m - 1) {
            const int slot = std::countr_zero(m);
            const unsigned square = in.square[slot];
            slotOn_[square] = static_cast<uint8_t>(slot);
            occupied_ |= uint64_t{1} << square;
            const int valueClass =
                (Bit(slot) & kKingSlots) != 0 ? kKingClass : kCodeClass[in.code[slot] + kKing];
            value_[slot] = kClassValue[valueClass];
            worthLess_[valueClass + 1] |= Bit(slot);
        }
        for (int i = 1; i <= kValueClasses; ++i) worthLess_[i] |= worthLess_[i - 1];
    }

    // The side can win at least kThreatMargin by captures; the first capture of the winning line
    // goes into reply's from and to.
    bool WinsMaterial(bool white, Move& reply) {
        const int lead = white ? in_.lead : -in_.lead;
        const int gamma = lead + kThreatMargin;
        const uint32_t all = in_.pieceMask;
        return white ? Wins<true>(all, 0, occupied_, lead, gamma, &reply)
                     : Wins<false>(all, 0, occupied_, lead, gamma, &reply);
    }

private:
    // A reveal's undo: the slot whose attackers gained the slider, and what they were.
    struct Revealed {
        int slot;
        uint32_t attackers;
    };

    // The living slots worth less than need.
    uint32_t WorthLess(int need) const {
        int classes = 0;
        while (classes < kValueClasses && kClassValue[classes] < need) ++classes;
        return worthLess_[classes];
    }

    uint32_t& Attackers(int slot) { return attackers_[slot / 16][slot % 16]; }

    // RevealThroughVacated on the occupancy bitboard: the same reveals, in the same order.
    // vacatedAttackers: the attackers of the square the capturer left.
    int RevealBehind(unsigned vacated, uint32_t vacatedAttackers, int capturer, uint32_t own,
                     uint32_t used, uint64_t occupied, uint32_t& victims, Revealed* undo) {
        uint32_t sliders = vacatedAttackers & in_.sliderMask & own & ~used & ~Bit(capturer);
        int count = 0;
        for (; sliders != 0; sliders &= sliders - 1) {
            const int slider = std::countr_zero(sliders);
            const int d = lines_->dir[square_[slider]][vacated];
            if (d == 0) continue;
            const uint64_t beyond = kRays[vacated][kStepIndex[d + 9]] & occupied;
            if (beyond == 0 || count >= kMaxReveals) continue;
            const int square = d > 0 ? std::countr_zero(beyond) : 63 - std::countl_zero(beyond);
            const int occupant = slotOn_[square];
            undo[count++] = {occupant, Attackers(occupant)};
            Attackers(occupant) |= Bit(slider);
            if (IsWhiteSlot(occupant) != IsWhiteSlot(slider)) victims |= Bit(occupant);
        }
        return count;
    }

    // The victims the side to move (kWhite) tries, in slot order: the enemies it attacks with a
    // piece not yet used that are worth at least need (m + value reaching gamma), with
    // CaptureSearch's cut after the first one worth less.
    template <bool kWhite>
    uint32_t Candidates(uint32_t victims, uint32_t used, int need) const {
        constexpr uint32_t kOwn = kWhite ? kWhiteHalf : kBlackHalf;
        constexpr uint32_t kEnemyPawnSlots = kWhite ? kBlackPawnSlots : kWhitePawnSlots;
        uint32_t candidates = victims & ~kOwn & in_.pieceMask;
        const uint32_t tooSmall = candidates & WorthLess(need);
        candidates &= ~tooSmall;
        if (tooSmall != 0) {
            // CaptureSearch goes through the victims in slot order and, after the first one
            // worth too little, looks only at the officers standing in pawn slots.
            const uint32_t before = (tooSmall & (0u - tooSmall)) - 1;
            candidates &= before | (in_.officerMask & kEnemyPawnSlots);
        }
        const uint32_t free = kOwn & ~used;
        return candidates & (kWhite ? AttackedSlots(attackers_[1], free) << kBlackSlots
                                    : AttackedSlots(attackers_[0], free));
    }

    // Whether the side to move (kWhite) reaches gamma by captures, m being its material lead:
    // CaptureSearch(...) >= gamma, deciding in the same order. reply (the top call only)
    // receives the capture that reached it.
    template <bool kWhite>
    bool Wins(uint32_t victims, uint32_t used, uint64_t occupied, int m, int gamma, Move* reply) {
        if (m >= gamma) return true;
        return WinsBy<kWhite>(Candidates<kWhite>(victims, used, gamma - m), victims, used, occupied,
                              m, gamma, reply);
    }

    // Wins, with m below gamma and the candidates found.
    template <bool kWhite>
    bool WinsBy(uint32_t candidates, uint32_t victims, uint32_t used, uint64_t occupied, int m,
                int gamma, Move* reply) {
        constexpr uint32_t kOwn = kWhite ? kWhiteHalf : kBlackHalf;
        const uint32_t free = kOwn & ~used;
        for (; candidates != 0; candidates &= candidates - 1) {
            const int victim = std::countr_zero(candidates);
            uint32_t attackers = Attackers(victim) & free;
            const int value = value_[victim];
            if (value == kKingCaptureValue) {  // taking the king ends the game: no reply
                if (reply != nullptr) Store(*reply, 31 - std::countl_zero(attackers), victim);
                return true;
            }
            while (attackers != 0) {
                const int attacker = 31 - std::countl_zero(attackers);
                attackers &= ~Bit(attacker);
                if (!CaptureRefuted<kWhite>(victim, attacker, victims, used, occupied, -(m + value),
                                            1 - gamma)) {
                    if (reply != nullptr) Store(*reply, attacker, victim);
                    return true;
                }
            }
        }
        return false;
    }

    // Makes the capture, asks whether the other side reaches gamma (its lead being m), undoes.
    template <bool kWhite>
    bool CaptureRefuted(int victim, int attacker, uint32_t victims, uint32_t used,
                        uint64_t occupied, int m, int gamma) {
        constexpr uint32_t kOwn = kWhite ? kWhiteHalf : kBlackHalf;
        if (m >= gamma) return true;
        const unsigned from = square_[attacker], target = square_[victim];
        const uint32_t attackerWas = Attackers(attacker);
        Attackers(attacker) = Attackers(victim);  // the capturer now stands on the target
        uint32_t next = (victims & ~Bit(victim)) | Bit(attacker);
        used |= Bit(victim) | Bit(attacker);
        // The reveals only add this side's sliders and the other side's pieces as victims,
        // which the other side's own candidates do not depend on: with none, it is done.
        const uint32_t replies = Candidates<!kWhite>(next, used, gamma - m);
        bool refuted = false;
        if (replies != 0) {
            slotOn_[target] = static_cast<uint8_t>(attacker);
            square_[attacker] = static_cast<uint8_t>(target);
            occupied &= ~(uint64_t{1} << from);
            Revealed undo[kMaxReveals];
            const int revealed = lines_ == nullptr ? 0
                                                   : RevealBehind(from, attackerWas, attacker, kOwn,
                                                                  used, occupied, next, undo);
            refuted = WinsBy<!kWhite>(replies, next, used, occupied, m, gamma, nullptr);
            for (int i = revealed - 1; i >= 0; --i) Attackers(undo[i].slot) = undo[i].attackers;
            square_[attacker] = static_cast<uint8_t>(from);
            slotOn_[target] = static_cast<uint8_t>(victim);
        }
        Attackers(attacker) = attackerWas;
        return refuted;
    }

    void Store(Move& reply, int attacker, int victim) const {
        reply.from = square_[attacker];
        reply.to = square_[victim];
    }

    const ThreatInputs& in_;
    const LineTables* lines_;     // 2D only: the reveals follow the lines
    uint64_t occupied_ = 0;       // squares holding a piece
    uint8_t slotOn_[64];          // the slot on each square
    uint8_t square_[kSlotCount];  // the square of each slot
    // The living pieces attacking each slot's square, White's slots first.
    uint32_t attackers_[2][16];
    int value_[kSlotCount];  // VictimValue of each living slot
    // [n]: the living slots in the n lowest value classes.
    uint32_t worthLess_[kValueClasses + 1] = {};
};

// The side can win at least kThreatMargin by captures, by CaptureSearch itself (for a position
// whose inputs cannot be read; it may write reply).
bool SearchedWinsMaterial(Position& position, bool white, Move& reply) {
    const int gamma = Lead(position, white) + kThreatMargin;
    const int value = white ? CaptureSearch<true>(position, position.pieceMask, 0, gamma, &reply)
                            : CaptureSearch<false>(position, position.pieceMask, 0, gamma, &reply);
    return value >= gamma;
}

// The threat questions of one position, answered from the memory (when there is one) or
// searched and remembered.
class PositionThreats {
public:
    PositionThreats(Position& position, Move& reply, ThreatMemory* memory)
        : position_(position),
          reply_(reply),
          entry_(memory != nullptr ? &memory->SlotOf(position) : nullptr) {
        if (entry_ == nullptr) {
            local_ = ThreatInputs{};  // the search copies the dead slots' entries too
            readable_ = ReadInputs(position, local_);
            return;
        }
        inputs_ = &entry_->inputs;
        const uint64_t key = ThreatMemory::KeyOf(position);
        if (entry_->filled && entry_->key == key && SameInputs(entry_->inputs, position)) {
            readable_ = true;
            return;
        }
        // The inputs are read straight into the entry, which forgets its answers.
        entry_->key = key;
        entry_->known[0] = entry_->known[1] = ThreatMemory::kUnknown;
        readable_ = entry_->filled = ReadInputs(position, entry_->inputs);
        if (!readable_) entry_ = nullptr;
    }

    // The side can win at least kThreatMargin by captures; the first capture of the winning line
    // goes into the reply (from and to).
    bool WinsMaterial(bool white) {
        if (!readable_) return SearchedWinsMaterial(position_, white, reply_);
        const int side = white ? 0 : 1;
        Move& reply = reply_;
        if (entry_ == nullptr || entry_->known[side] == ThreatMemory::kUnknown) {
            if (!search_) search_.emplace(*inputs_, LinesFor(position_));
            const bool wins = search_->WinsMaterial(white, reply);
            if (entry_ == nullptr) return wins;
            entry_->known[side] = wins ? ThreatMemory::kWins : ThreatMemory::kFails;
            entry_->from[side] = static_cast<uint8_t>(reply.from);
            entry_->to[side] = static_cast<uint8_t>(reply.to);
            return wins;
        }
        if (entry_->known[side] == ThreatMemory::kFails) return false;
        reply.from = entry_->from[side];
        reply.to = entry_->to[side];
        return true;
    }

private:
    Position& position_;
    Move& reply_;
    ThreatMemory::Entry* entry_;
    ThreatInputs local_;                    // the inputs, without a memory
    const ThreatInputs* inputs_ = &local_;  // the inputs searched
    bool readable_ = false;
    std::optional<ThreatSearch> search_;
};

}  // namespace

int WhiteCaptureSearch(Position& position, uint32_t victims, uint32_t used, int gamma,
                       Move* reply) {
    return CaptureSearch<true>(position, victims, used, gamma, reply);
}

int BlackCaptureSearch(Position& position, uint32_t victims, uint32_t used, int gamma,
                       Move* reply) {
    return CaptureSearch<false>(position, victims, used, gamma, reply);
}

int ThreatTerm(Position& position, EvalState& state, const ParameterSets& sets,
               EvaluationMemory* memory) {
    if (state.tacticsValid) return state.tacticsValue;
    state.replyMove = Move{};
    const ParameterSet& p = sets[position.stage & 3];
    const bool white = WhiteToMove(position);
    const int sign = white ? 1 : -1;
    int value = 0;
    PositionThreats threats(position, state.replyMove,
                            memory != nullptr ? &memory->threats : nullptr);
    if (threats.WinsMaterial(white)) {
        value = sign * p[slot::kThreatWin];
    } else if (threats.WinsMaterial(!white)) {
        value = -sign * p[slot::kThreatLose];
    }
    state.tacticsValue = value;
    state.tacticsValid = true;
    return value;
}

void UpdateThreatAfterNullMove(Position& position, EvalState& state, const ParameterSets& sets,
                               EvaluationMemory* memory) {
    if (!state.tacticsValid) {
        state.score += ThreatTerm(position, state, sets, memory);
        return;
    }
    const int old = state.tacticsValue;
    if (old == 0) return;
    // In the frame of the side now to move (s = +1 White, -1 Black), the side that was to move
    // left either s x p[1189] (the side now to move could win material: now it can, on its
    // move) or -s x p[1188] (the other side could win material: the side now to move wins
    // first if it can, else it stays threatened).
    const ParameterSet& p = sets[position.stage & 3];
    const bool white = WhiteToMove(position);
    const int sign = white ? 1 : -1;
    const int win = p[slot::kThreatWin], lose = p[slot::kThreatLose];
    int now;
    if (old == sign * lose) {
        now = sign * win;
    } else if (old == -sign * win) {
        PositionThreats threats(position, state.replyMove,
                                memory != nullptr ? &memory->threats : nullptr);
        now = threats.WinsMaterial(white) ? sign * win : -sign * lose;
    } else {
        // Impossible: with the sign of s x p[1189] (the side now to move could win) it is
        // bug 1 (Black to move: 3), with the other sign bug 2 (4).
        const bool threatSign = (old > 0) == white;
        ErrorReport(kStable, white ? (threatSign ? "tactics bug 1" : "tactics bug 2")
                                   : (threatSign ? "tactics bug 3" : "tactics bug 4"));
        return;
    }
    state.tacticsValue = now;
    state.score += now - old;
}

int RootTacticalScore(const Position& position, const Move& move) {
    Position child;
    Move made = move;
    if (!MakeMove(child, position, made)) return kUnmakeable;
    // The side that replies, measured against the balance before the move.
    const bool white = WhiteToMove(child);
    const int m = Lead(position, white);
    int lo = -kScoreBound, hi = kScoreBound, t = m + 1;
    while (lo < hi - kBisectionWindow) {
        Move reply;  // not kept
        const int v = white ? WhiteCaptureSearch(child, child.pieceMask, 0, t, &reply)
                            : BlackCaptureSearch(child, child.pieceMask, 0, t, &reply);
        if (v < t) {
            hi = v;
            t = hi - 1;
        } else {
            lo = v;
            t = lo + 1;
        }
    }
    if (lo > m) return m - lo;
    if (hi < m) return m - hi;
    return 0;
}

}  // namespace tarvex::engine
