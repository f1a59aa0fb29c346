#include "board/dir_to.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "board/attack_boards.h"
#include "board/geometry.h"
#include "board/position.h"
#include "core/console.h"
#include "core/error_report.h"

namespace tarvex {
namespace {

constexpr uint8_t kUnused = 255;

struct Delta {
    int file;
    int rank;
};

// File and rank change of each table slot.
constexpr Delta kSlotDelta[kDirectionCount] = {
    {0, 1},  {1, 2},   {1, 1},   {2, 1},   {1, 0},  {2, -1}, {1, -1}, {1, -2},
    {0, -1}, {-1, -2}, {-1, -1}, {-2, -1}, {-1, 0}, {-2, 1}, {-1, 1}, {-1, 2},
};

// The 2D steps of the header follow the same changes.
constexpr bool StepsMatchDeltas() {
    for (int slot = 0; slot < kDirectionCount; ++slot) {
        const Delta d = kSlotDelta[slot];
        for (int square = 0; square < 64; ++square) {
            const int f = (square >> 3) + d.file, r = (square & 7) + d.rank;
            const bool inside = f >= 0 && f < 8 && r >= 0 && r < 8;
            if (kSteps2D.to[slot][square] != (inside ? f * 8 + r : static_cast<int>(kNoSquare))) {
                return false;
            }
        }
    }
    return true;
}
static_assert(StepsMatchDeltas());

// Reports the placement errors that make some links impossible: a board at no pin, two boards
// at one pin.
void ReportBadPins(const uint32_t pins[4]) {
    for (int i = 0; i < kBoardCount; ++i) {
        if (!IsPin(pins[i])) ErrorReport(kUnstable, "Bad outer board @ DirTo");
    }
    for (int i = 0; i < kBoardCount; ++i) {
        const PinInfo* pin = FindPin(pins[i]);
        for (int j = 0; j < kBoardCount; ++j) {
            if (pin == nullptr) {
                ErrorReport(kUnstable, "Error! Bad inner board @ DirTo");
                continue;
            }
            if (i == j || (IsPin(pins[j]) && pins[j] != pins[i])) continue;
            char text[40];
            std::snprintf(text, sizeof text, "Error! %s @ DirTo", pin->longName);
            ErrorReport(kUnstable, text);
        }
    }
}

bool PinsValid(const uint32_t pins[4]) {
    for (int i = 0; i < kBoardCount; ++i) {
        if (!IsPin(pins[i])) return false;
        for (int j = i + 1; j < kBoardCount; ++j) {
            if (pins[i] == pins[j]) return false;
        }
    }
    return true;
}

struct CachedTable {
    std::unique_ptr<DirTable> table;
    unsigned epoch;  // announcement round in which the table was last announced
};

struct TableCache {
    std::mutex mutex;
    std::unordered_map<uint32_t, CachedTable> tables;
    unsigned epoch = 0;
    int announced = 0;  // tables announced in the current round
};

TableCache& Cache() {
    static TableCache cache;
    return cache;
}

void ConfigurationName(const uint32_t pins[4], char* out, size_t size) {
    std::snprintf(out, size, "%s%s%s%s", ShortPinName(pins[0]), ShortPinName(pins[1]),
                  ShortPinName(pins[2]), ShortPinName(pins[3]));
}

// Level of every square under the placement; 0 for a square of a board at no pin.
void FillLevels(const uint32_t pins[4], DirTable& table) {
    for (unsigned square = 0; square < 64; ++square) {
        int level = kNeutralLevel;
        if (square >= 32) {
            level = Row(square) < 4 ? kWhiteLevel : kBlackLevel;
        } else if (IsAttackBoardSquare(square)) {
            const PinInfo* pin = FindPin(pins[AttackBoardOfSquare(square)]);
            level = pin == nullptr ? 0 : pin->level;
        }
        table.levels[square] = static_cast<uint8_t>(level);
    }
}

void FillStepTargets(DirTable& table) {
    for (int kind = 0; kind < kStepKinds; ++kind) {
        const StepSet& set = kStepSets[kind];
        for (unsigned square = 0; square < 64; ++square) {
            uint64_t targets = 0;
            for (int i = 0; i < set.count; ++i) {
                const int slot = DirectionSlot(set.directions[i]);
                for (int k = 0; k < table.counts[slot][square]; ++k) {
                    targets |= uint64_t{1} << table.lists[slot][square][k];
                }
            }
            table.stepTargets[kind][square] = targets;
        }
    }
}

}  // namespace

// Every list follows one rule: from square s in the direction (df, dr) it holds exactly the
// squares t != s at file(s) + df and rank(s) + dr, on any level. Main-level squares come first,
// the higher index first; attack-board squares follow in ascending index.
void BuildDirTable(const uint32_t pins[4], DirTable& table) {
    std::memset(&table, 0, sizeof table);
    table.key = ConfigurationKey(pins);
    std::memset(table.lists, kUnused, sizeof table.lists);
    // Squares by (file, rank), main levels by descending index, then attack boards ascending.
    constexpr int kFiles = 6, kRanks = 10;
    uint8_t at[kFiles][kRanks][kMaxStepSquares];
    uint8_t atCount[kFiles][kRanks] = {};
    Place3D places[64];
    auto enter = [&](unsigned square) {
        const Place3D place = SquarePlace3D(pins, square);
        places[square] = place;
        if (place.file < 0) return;
        uint8_t& n = atCount[place.file][place.rank];
        if (n < kMaxStepSquares) at[place.file][place.rank][n++] = static_cast<uint8_t>(square);
    };
    for (int square = 63; square >= 0; --square) {
        if (IsMainLevelSquare3D(static_cast<unsigned>(square)))
            enter(static_cast<unsigned>(square));
    }
    for (unsigned square = 0; square < 32; ++square) {
        if (IsAttackBoardSquare(square)) enter(square);
    }
    for (unsigned square = 0; square < 64; ++square) {
        const Place3D from = places[square];
        if (from.file < 0) continue;
        for (int slot = 0; slot < kDirectionCount; ++slot) {
            const int file = from.file + kSlotDelta[slot].file;
            const int rank = from.rank + kSlotDelta[slot].rank;
            if (file < 0 || file >= kFiles || rank < 0 || rank >= kRanks) continue;
            std::memcpy(table.lists[slot][square], at[file][rank], atCount[file][rank]);
            table.counts[slot][square] = atCount[file][rank];
        }
    }
    FillLevels(pins, table);
    FillStepTargets(table);
}

const DirTable& DirTableFor(const uint32_t pins[4]) {
    TableCache& cache = Cache();
    const uint32_t key = ConfigurationKey(pins);
    std::lock_guard lock(cache.mutex);
    auto found = cache.tables.find(key);
    if (found != cache.tables.end() && found->second.epoch == cache.epoch) {
        return *found->second.table;
    }
    char name[16];
    ConfigurationName(pins, name, sizeof name);
    ConsolePrint("\nBuilding %s #%d", name, ++cache.announced);
    if (found != cache.tables.end()) {
        found->second.epoch = cache.epoch;
        return *found->second.table;
    }
    if (!PinsValid(pins)) ReportBadPins(pins);
    auto table = std::make_unique<DirTable>();
    BuildDirTable(pins, *table);
    const DirTable& result = *table;
    cache.tables.emplace(key, CachedTable{std::move(table), cache.epoch});
    return result;
}

void ResetDirTableAnnouncements() {
    std::lock_guard lock(Cache().mutex);
    ++Cache().epoch;
    Cache().announced = 0;
}

size_t DirTablesBuilt() {
    std::lock_guard lock(Cache().mutex);
    return Cache().tables.size();
}

size_t DirTableMemory() {
    std::lock_guard lock(Cache().mutex);
    const auto& tables = Cache().tables;
    // The tables themselves plus the map's nodes and buckets.
    constexpr size_t kNodeBytes = sizeof(void*) * 2 + sizeof(uint32_t) + sizeof(void*);
    return tables.size() * (sizeof(DirTable) + kNodeBytes) + tables.bucket_count() * sizeof(void*);
}

int UnknownDirection(bool game3D, int direction) {
    if (game3D) {
        ErrorReport(kStable, direction == 0 ? "NULL 3d direction" : "unknown 3d direction");
    } else {
        ErrorReport(kStable, direction == 0 ? "NULL 2d direction" : "unknown 2d direction");
    }
    return 0;
}

}  // namespace tarvex
