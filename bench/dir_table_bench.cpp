// Builds the direction table of every placement of the four attack boards through the cache and
// reports the memory they hold, then times single table builds.
//
//   dir_table_bench [builds]     builds: number of timed table builds (default 200000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "board/attack_boards.h"
#include "board/dir_to.h"
#include "core/console.h"
#include "placements.h"

namespace tarvex {
namespace {

constexpr long kDefaultBuilds = 200000;
constexpr double kMiB = 1024.0 * 1024.0;

// A "VmRSS:" style line of /proc/self/status in KiB, or -1.
long StatusKiB(const char* field) {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return -1;
    char line[256];
    long value = -1;
    const size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, field, length) == 0) value = std::atol(line + length);
    }
    std::fclose(status);
    return value;
}

using Clock = std::chrono::steady_clock;
double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void MeasureMemory(const std::vector<Placement>& placements) {
    const long rssBefore = StatusKiB("VmRSS:");
    const Clock::time_point start = Clock::now();
    size_t announced = 0;
    {
        ConsoleRedirect count([&announced](std::string_view) { ++announced; });
        for (const Placement& p : placements) DirTableFor(p.data());
    }
    const double seconds = SecondsSince(start);
    const long rssAfter = StatusKiB("VmRSS:");
    ConsolePrint("placements built: %zu (%zu announcements) in %.3f s\n", DirTablesBuilt(),
                 announced, seconds);
    ConsolePrint("DirTableMemory: %zu bytes (%.2f MiB), %zu bytes per table\n", DirTableMemory(),
                 static_cast<double>(DirTableMemory()) / kMiB, sizeof(DirTable));
    ConsolePrint("RSS before %.2f MiB, after %.2f MiB (growth %.2f MiB), peak %.2f MiB\n",
                 static_cast<double>(rssBefore) / 1024, static_cast<double>(rssAfter) / 1024,
                 static_cast<double>(rssAfter - rssBefore) / 1024,
                 static_cast<double>(StatusKiB("VmHWM:")) / 1024);
}

void MeasureBuild(const std::vector<Placement>& placements, long builds) {
    auto table = std::make_unique<DirTable>();
    unsigned checksum = 0;
    const Clock::time_point start = Clock::now();
    for (long i = 0; i < builds; ++i) {
        BuildDirTable(placements[static_cast<size_t>(i) % placements.size()].data(), *table);
        checksum += table->lists[static_cast<size_t>(i) % kDirectionCount][i % 64][0];
    }
    const double seconds = SecondsSince(start);
    ConsolePrint("BuildDirTable: %ld builds in %.3f s, %.3f us per table (checksum %u)\n", builds,
                 seconds, seconds * 1e6 / static_cast<double>(builds), checksum);
}

}  // namespace
}  // namespace tarvex

int main(int argc, char** argv) {
    const long builds = argc > 1 ? std::atol(argv[1]) : tarvex::kDefaultBuilds;
    if (builds <= 0) {
        std::fprintf(stderr, "usage: dir_table_bench [builds]\n");
        return 2;
    }
    const std::vector<tarvex::Placement> placements = tarvex::AllPlacements();
    tarvex::MeasureMemory(placements);
    tarvex::MeasureBuild(placements, builds);
    return 0;
}
