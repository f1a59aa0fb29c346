// The place of every square and every direction table under every placement of the four
// attack boards, checked against the reference geometry. The step rule: from square s in the
// direction (df, dr) the list holds exactly the squares t != s at file(s) + df and
// rank(s) + dr, on any level.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "board/dir_to.h"
#include "board/geometry.h"
#include "board/position.h"
#include "board/reference_geometry.h"

namespace tarvex {
namespace {

namespace ref = reference;

constexpr uint8_t kUnusedEntry = 255;

// The squares at each file and rank under one placement, as bit sets.
struct SquaresByPlace {
    ref::Place place[64];
    uint64_t at[ref::kFiles][ref::kRanks] = {};

    explicit SquaresByPlace(const ref::Placement& pins) {
        for (unsigned s = 0; s < 64; ++s) {
            place[s] = ref::PlaceOf(pins.data(), s);
            at[place[s].file][place[s].rank] |= uint64_t{1} << s;
        }
    }

    uint64_t Expected(unsigned s, const ref::Step& step) const {
        const int file = place[s].file + step.fileChange;
        const int rank = place[s].rank + step.rankChange;
        if (file < 0 || file >= ref::kFiles || rank < 0 || rank >= ref::kRanks) return 0;
        return at[file][rank];
    }
};

int ListLength(const uint8_t* list) {
    int n = 0;
    while (n < kMaxStepSquares && list[n] != kUnusedEntry) ++n;
    return n;
}

// Empty when the list of (slot, s) is right, else what is wrong with it.
std::string CheckList(const DirTable& table, const SquaresByPlace& places, int slot, unsigned s) {
    const uint8_t* list = table.lists[slot][s];
    const int n = ListLength(list);
    if (table.counts[slot][s] != n) return "wrong count";
    if (table.levels[s] != places.place[s].level) return "wrong level";
    uint64_t got = 0;
    for (int i = 0; i < n; ++i) {
        if (list[i] >= 64) return "off-board entry";
        got |= uint64_t{1} << list[i];
    }
    if (std::popcount(got) != n) return "repeated square";
    if (got != places.Expected(s, ref::kSteps[slot])) return "wrong squares";
    return "";
}

// The place of every square, and the drawing coordinates x = file - 3, y = rank - 5,
// z = level - 4 that follow from it.
std::string CheckPlaces(const ref::Placement& pins, const SquaresByPlace& places) {
    Position position{};
    position.gameKind = kGame3D;
    std::copy(pins.begin(), pins.end(), position.abPin);
    for (unsigned s = 0; s < 64; ++s) {
        const ref::Place& want = places.place[s];
        const Place3D got = SquarePlace3D(pins.data(), s);
        const Coords c = SquareCoords(position, Column(s), Row(s));
        const ref::Place drawn{static_cast<int>(c.x) + 3, static_cast<int>(c.y) + 5,
                               static_cast<int>(c.z) + 4};
        if (ref::Place{got.file, got.rank, got.level} != want || drawn != want ||
            SquareLevel(position, s) != want.level) {
            return ref::NameOf(pins) + " square " + std::to_string(s) + ": wrong place";
        }
    }
    return "";
}

std::string CheckTable(const ref::Placement& pins, const DirTable& table) {
    const SquaresByPlace places(pins);
    if (table.key != ConfigurationKey(pins.data())) return "wrong key";
    if (std::string fault = CheckPlaces(pins, places); !fault.empty()) return fault;
    for (int slot = 0; slot < kDirectionCount; ++slot) {
        for (unsigned s = 0; s < 64; ++s) {
            const std::string fault = CheckList(table, places, slot, s);
            if (fault.empty()) continue;
            std::ostringstream where;
            where << ref::NameOf(pins) << " square " << s << " direction "
                  << ref::kSteps[slot].direction << ": " << fault;
            return where.str();
        }
    }
    return "";
}

// One instance per pin of board 100, so that the 11 880 placements split into twelve tests.
class DirTableSweepTest : public ::testing::TestWithParam<ref::Pin> {
protected:
    std::vector<ref::Placement> Placements() const {
        std::vector<ref::Placement> placements;
        for (const ref::Placement& p : ref::AllPlacements()) {
            if (p[0] == GetParam().square) placements.push_back(p);
        }
        return placements;
    }
};

TEST_P(DirTableSweepTest, EveryListFollowsTheStepRule) {
    const std::vector<ref::Placement> placements = Placements();
    ASSERT_EQ(placements.size(), static_cast<size_t>(ref::kPlacementCount / ref::kPinTotal));
    auto table = std::make_unique<DirTable>();
    for (const ref::Placement& pins : placements) {
        BuildDirTable(pins.data(), *table);
        ASSERT_EQ(CheckTable(pins, *table), "");
    }
}

INSTANTIATE_TEST_SUITE_P(AllPlacements, DirTableSweepTest, ::testing::ValuesIn(ref::kPinTable),
                         [](const ::testing::TestParamInfo<ref::Pin>& info) {
                             return std::string("board100_at_") + info.param.name;
                         });

}  // namespace
}  // namespace tarvex
