// DirTo from two threads at once, each on positions of its own placements, while the shared
// cache of direction tables grows: every list read through the cache must equal a private
// build, and every placement is built and announced once.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <latch>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "board/dir_to.h"
#include "board/geometry.h"
#include "board/position.h"
#include "board/reference_geometry.h"
#include "core/console.h"

namespace tarvex {
namespace {

namespace ref = reference;

constexpr size_t kPlacementStride = 37;  // about 320 placements
constexpr int kRounds = 3;

struct Expectation {
    ref::Placement pins;
    std::unique_ptr<DirTable> table;
};

std::vector<Expectation> Expectations(size_t first) {
    std::vector<Expectation> expectations;
    const std::vector<ref::Placement> all = ref::AllPlacements();
    for (size_t i = first; i < all.size(); i += kPlacementStride) {
        Expectation e{all[i], std::make_unique<DirTable>()};
        BuildDirTable(e.pins.data(), *e.table);
        expectations.push_back(std::move(e));
    }
    return expectations;
}

// Steps through every square and direction of each placement in turn; counts wrong lists.
int StepThrough(const std::vector<Expectation>& expectations, bool backwards) {
    int wrong = 0;
    Position position{};
    position.gameKind = kGame3D;
    for (size_t k = 0; k < expectations.size(); ++k) {
        const Expectation& e = expectations[backwards ? expectations.size() - 1 - k : k];
        std::memcpy(position.abPin, e.pins.data(), sizeof position.abPin);
        for (int slot = 0; slot < kDirectionCount; ++slot) {
            for (unsigned s = 0; s < 64; ++s) {
                StepList out{};
                const int n = DirTo(position, s, kDirections[slot], out);
                const uint8_t* want = e.table->lists[slot][s];
                for (int i = 0; i < kMaxStepSquares; ++i) {
                    const unsigned expected = want[i] == 255 ? kNoSquare : want[i];
                    if (out.sq[i] != expected || (i < n) != (want[i] != 255)) ++wrong;
                }
            }
        }
    }
    return wrong;
}

// The names announced in console text, each "\nBuilding <name> #<n>".
std::multiset<std::string> AnnouncedNames(const std::string& text) {
    std::multiset<std::string> names;
    const std::string marker = "\nBuilding ";
    for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1)) {
        const size_t start = at + marker.size();
        names.insert(text.substr(start, text.find(' ', start) - start));
    }
    return names;
}

TEST(DirToThreadsTest, TwoThreadsOnDifferentPlacementsGetTheirOwnLists) {
    const std::vector<Expectation> expectations = Expectations(5);
    ConsoleCapture capture;
    const size_t before = DirTablesBuilt();
    std::atomic<int> wrong{0};
    std::thread other([&] {
        for (int round = 0; round < kRounds; ++round) wrong += StepThrough(expectations, true);
    });
    for (int round = 0; round < kRounds; ++round) wrong += StepThrough(expectations, false);
    other.join();
    EXPECT_EQ(wrong.load(), 0);
    const std::multiset<std::string> names = AnnouncedNames(capture.Text());
    EXPECT_EQ(names.size(), DirTablesBuilt() - before);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
}

TEST(DirToThreadsTest, BothThreadsMeetingANewPlacementShareOneTable) {
    const std::vector<Expectation> expectations = Expectations(11);
    ConsoleCapture capture;
    const size_t before = DirTablesBuilt();
    std::vector<const DirTable*> seen[2];
    std::latch start(2);
    auto lookUp = [&](int thread) {
        start.arrive_and_wait();
        for (const Expectation& e : expectations)
            seen[thread].push_back(&DirTableFor(e.pins.data()));
    };
    std::thread other(lookUp, 1);
    lookUp(0);
    other.join();
    EXPECT_EQ(seen[0], seen[1]);
    for (size_t i = 0; i < expectations.size(); ++i) {
        EXPECT_EQ(std::memcmp(seen[0][i], expectations[i].table.get(), sizeof(DirTable)), 0);
    }
    EXPECT_EQ(AnnouncedNames(capture.Text()).size(), DirTablesBuilt() - before);
}

}  // namespace
}  // namespace tarvex
