// Two threads looking up the same new placements at once in the shared cache of direction
// tables: both get one table per placement, equal to a private build, announced once.
#include <gtest/gtest.h>

#include <cstring>
#include <latch>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "board/dir_to.h"
#include "board/reference_geometry.h"
#include "core/console.h"

namespace tarvex {
namespace {

namespace ref = reference;

constexpr size_t kPlacementStride = 37;  // about 320 placements

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
    const std::multiset<std::string> names = AnnouncedNames(capture.Text());
    EXPECT_EQ(names.size(), DirTablesBuilt() - before);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
}

}  // namespace
}  // namespace tarvex
