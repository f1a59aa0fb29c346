// Time of one 3D line-table build (BuildLineTablesInto), averaged over many attack-board
// placements, under both rule sets. The direction tables of the placements are built first,
// so that only the line and reach tables are timed.
//
//   line_table_bench [placements]   placements to time (default 600, spread over all 11880)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "board/attack_boards.h"
#include "board/dir_to.h"
#include "board/position.h"
#include "core/console.h"
#include "placements.h"
#include "rules/line_tables.h"

namespace tarvex {
namespace {

constexpr size_t kDefaultPlacements = 600;
using Clock = std::chrono::steady_clock;

std::vector<Placement> Spread(const std::vector<Placement>& all, size_t count) {
    std::vector<Placement> chosen;
    const size_t stride = count >= all.size() ? 1 : all.size() / count;
    for (size_t i = 0; i < all.size() && chosen.size() < count; i += stride)
        chosen.push_back(all[i]);
    return chosen;
}

double TimeBuilds(const std::vector<Placement>& placements, int rules, LineTables& out) {
    Position position;
    ClearPosition(position, kGame3D, rules);
    double seconds = 0;
    for (const Placement& placement : placements) {
        std::memcpy(position.abPin, placement.data(), sizeof position.abPin);
        const Clock::time_point start = Clock::now();
        BuildLineTablesInto(position, out);
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
    return seconds;
}

}  // namespace
}  // namespace tarvex

int main(int argc, char** argv) {
    using namespace tarvex;
    const long count = argc > 1 ? std::atol(argv[1]) : static_cast<long>(kDefaultPlacements);
    if (count <= 0) {
        std::fprintf(stderr, "usage: line_table_bench [placements]\n");
        return 2;
    }
    ConsoleRedirect quiet([](std::string_view) {});  // the "Building" notices
    const std::vector<Placement> placements = Spread(AllPlacements(), static_cast<size_t>(count));
    for (const Placement& placement : placements) DirTableFor(placement.data());
    auto tables = std::make_unique<LineTables>();
    for (int rules : {kRulesTournament, kRulesStandard}) {
        const double seconds = TimeBuilds(placements, rules, *tables);
        std::printf("%-10s line tables: %zu placements, %.3f ms per build (%zu bytes each)\n",
                    rules == kRulesTournament ? "Tournament" : "Standard", placements.size(),
                    1000.0 * seconds / static_cast<double>(placements.size()), sizeof(LineTables));
    }
    return 0;
}
