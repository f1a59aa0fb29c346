// Every ordered assignment of four distinct pins to the four attack boards (11 880 in all),
// for the benchmarks that build tables per placement.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "board/attack_boards.h"

namespace tarvex {

using Placement = std::array<uint32_t, 4>;

inline std::vector<Placement> AllPlacements() {
    std::vector<Placement> all;
    for (const PinInfo& a : kPins) {
        for (const PinInfo& b : kPins) {
            for (const PinInfo& c : kPins) {
                for (const PinInfo& d : kPins) {
                    const Placement p = {a.square, b.square, c.square, d.square};
                    bool distinct = true;
                    for (int i = 0; i < 4; ++i) {
                        for (int j = i + 1; j < 4; ++j) distinct = distinct && p[i] != p[j];
                    }
                    if (distinct) all.push_back(p);
                }
            }
        }
    }
    return all;
}

}  // namespace tarvex
