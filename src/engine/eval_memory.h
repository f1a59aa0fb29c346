// The memories of one searcher's evaluations. The exchanges that decide square control are pure
// functions of a few inputs that the search meets again and again (the same attack patterns come
// back in position after position). The memory keeps recent answers together with their whole
// inputs, compared exactly, so that an answer is only ever reused for equal inputs: a memory
// changes the speed, never a result.
//
// The searcher owns one and passes it down; an evaluation without one (a null pointer) computes
// everything afresh.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "board/position.h"
#include "engine/static_exchange.h"

namespace tarvex::engine {

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
        const uint32_t mixed =
            (direct * kMixer1) ^ (xray * kMixer2) ^ static_cast<uint32_t>(code + 8);
        Entry& entry = entries_[(mixed * kMixer1) >> (32 - kEntryBits)];
        if (entry.filled && entry.direct == direct && entry.xray == xray && entry.code == code) {
            return entry.sign;
        }
        const int sign = ControlSign(position, q, ignore);
        entry = {direct, xray, static_cast<int8_t>(code), static_cast<int8_t>(sign), true};
        return sign;
    }

private:
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

struct EvaluationMemory {
    ExchangeMemory exchanges;
};

}  // namespace tarvex::engine
