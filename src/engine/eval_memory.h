// The memories of one searcher's evaluations. Two evaluation parts are pure functions of a few
// inputs that the search meets again and again: the capture-threat searches (the driver
// searches each depth several times, with other windows) and the exchanges that decide square
// control (the same attack patterns come back in position after position). Each memory keeps
// recent answers together with their whole inputs, compared exactly, so that an answer is only
// ever reused for equal inputs: a memory changes the speed, never a result.
//
// The searcher owns one and passes it down; an evaluation without one (a null pointer) computes
// everything afresh.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "board/position.h"
#include "engine/eval_state.h"
#include "engine/static_exchange.h"

namespace tarvex::engine {

// Everything a threat search reads from a position, for the living slots only: equal inputs
// give equal answers, whatever the rest of the position holds. The entries of the dead slots are
// not kept (they hold whatever an earlier position left there).
struct ThreatInputs {
    uint32_t pieceMask;
    uint32_t sliderMask;
    uint32_t officerMask;
    int32_t lead;                    // White's material minus Black's
    int32_t is3D;                    // the 3D game reveals nothing
    uint32_t attackers[kSlotCount];  // the living pieces attacking each slot's square
    uint8_t square[kSlotCount];
    int8_t code[kSlotCount];
};

// The answers of recent threat searches, by their inputs. Direct-mapped by the position's keys;
// an entry keeps the last inputs that came to it. The keys are only a quick first test (a
// position with other keys is taken as other inputs, which costs a search, never a result): an
// answer is reused only after its inputs compared equal.
class ThreatMemory {
public:
    enum Known : uint8_t { kUnknown, kWins, kFails };
    // Aligned to cache lines: an entry is read in four whole lines, the key in the first.
    struct alignas(64) Entry {
        uint64_t key;            // KeyOf the position whose inputs the entry holds
        bool filled;             // the entry holds inputs
        Known known[2];          // per side: 0 White, 1 Black
        uint8_t from[2], to[2];  // the stored capture of a side that wins
        ThreatInputs inputs;
    };

    // Both sides to move share an entry: bit 0 of the primary key is the side.
    static uint64_t KeyOf(const Position& position) {
        return (uint64_t{position.hashKey >> 1} << 32) | position.hashKey2;
    }

    // The entry a position's inputs go to, asked for early: it is fetched from memory while
    // the inputs are read.
    Entry& SlotOf(const Position& position) {
        const uint32_t mixed = (position.hashKey >> 1) ^ position.hashKey2 * kMixer;
        Entry& entry = entries_[mixed >> (32 - kEntryBits)];
        for (size_t line = 0; line < sizeof entry; line += 64) {
            __builtin_prefetch(reinterpret_cast<const char*>(&entry) + line);
        }
        return entry;
    }

private:
    static constexpr int kEntryBits = 14;
    static constexpr uint32_t kMixer = 0x9E3779B1u;
    std::unique_ptr<Entry[]> entries_ = std::make_unique<Entry[]>(size_t{1} << kEntryBits);
};

// The signs of contested squares (an exchange decides them) by their attackers and occupant,
// for positions whose slots hold their own kinds (see Context::slotsByKind), where the exchange
// reads nothing else. Direct-mapped.
class ExchangeMemory {
public:
    // ControlSign of the square (no extra attackers, ignore left out), looked up or computed and
    // kept.
    int Sign(const Position& position, unsigned q, uint32_t ignore) {
        const ExchangeSides sides = AttackersOf(position, q, ignore);
        const uint32_t direct = sides.direct[0] | sides.direct[1];
        const uint32_t xray = sides.xray[0] | sides.xray[1];
        const int code = position.board[q];
        Entry& entry = entries_[Index(direct, xray, code)];
        if (entry.filled && entry.direct == direct && entry.xray == xray && entry.code == code) {
            return entry.sign;
        }
        const int sign = ControlSign(position, q, ignore);
        entry = {direct, xray, static_cast<int8_t>(code), static_cast<int8_t>(sign), true};
        return sign;
    }

private:
    static uint32_t Index(uint32_t direct, uint32_t xray, int code) {
        const uint32_t mixed =
            (direct * kMixer1) ^ (xray * kMixer2) ^ static_cast<uint32_t>(code + 8);
        return (mixed * kMixer1) >> (32 - kEntryBits);
    }
    struct Entry {
        uint32_t direct;
        uint32_t xray;
        int8_t code;
        int8_t sign;
        bool filled;
    };
    static constexpr int kEntryBits = 13;
    static constexpr uint32_t kMixer1 = 0x9E3779B1u, kMixer2 = 0x85EBCA77u;
    std::unique_ptr<Entry[]> entries_ = std::make_unique<Entry[]>(size_t{1} << kEntryBits);
};

// The evaluation of a parent whose record is not up to date, done on copies (the parent is not
// the child's to change). A parent without a parent of its own (the root, after its stage
// changed) reads nothing but its position and record, so its evaluation is kept with those
// inputs, compared byte for byte: every child of that parent then reuses it.
struct EvaluatedParent {
    Position position;
    EvalState record;
};

class ParentMemory {
public:
    // The kept evaluation of the parent with these inputs, or null.
    const EvaluatedParent* Find(const Position& parent, const EvalState& record) const {
        if (!filled_ || std::memcmp(&input_.position, &parent, sizeof parent) != 0 ||
            std::memcmp(&input_.record, &record, sizeof record) != 0) {
            return nullptr;
        }
        return &output_;
    }

    // Takes the inputs and returns the copies to evaluate in place; filled once evaluated.
    EvaluatedParent& Start(const Position& parent, const EvalState& record) {
        filled_ = false;
        std::memcpy(static_cast<void*>(&input_.position), &parent, sizeof parent);
        std::memcpy(static_cast<void*>(&input_.record), &record, sizeof record);
        std::memcpy(static_cast<void*>(&output_.position), &parent, sizeof parent);
        std::memcpy(static_cast<void*>(&output_.record), &record, sizeof record);
        return output_;
    }
    void Filled() { filled_ = true; }

private:
    EvaluatedParent input_, output_;
    bool filled_ = false;
};

struct EvaluationMemory {
    ThreatMemory threats;
    ExchangeMemory exchanges;
    ParentMemory parents;
};

}  // namespace tarvex::engine
