#include "engine/transposition_table.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tarvex::engine {
namespace {

constexpr size_t kMegabyte = 1048576;
constexpr uint32_t kSquareMask = 63;
constexpr int kToShift = 6;
constexpr int kGenerationShift = 12;
constexpr uint32_t kGenerationMask = 0xF000;
constexpr uint32_t kMoveMask = 0x0FFF;
constexpr int kGenerations = 15;
constexpr size_t kMaxFastCount = 0xFFFFFFFFu;  // the remainder by multiplication needs 32 bits

int Greater(const TableEntry& entry) {
    return std::max(entry.lowerDepth, entry.upperDepth);
}

int GenerationOf(const TableEntry& entry) {
    return static_cast<int>((entry.info & kGenerationMask) >> kGenerationShift);
}

bool Matches(const TableEntry& entry, uint32_t low, uint32_t high) {
    return entry.keyLow == low && entry.keyHigh == high;
}

}  // namespace

size_t TranspositionTable::EntriesFor(int megabytes) {
    const size_t count = static_cast<size_t>(megabytes) * kMegabyte / kEntryBytes;
    return count & ~size_t{1};
}

bool TranspositionTable::Ensure() {
    if (entries_) return true;
    while (megabytes_ > 0) {
        count_ = EntriesFor(megabytes_);
        entries_.reset(new (std::nothrow) TableEntry[count_]);
        if (entries_) break;
        --megabytes_;
    }
    if (!entries_) {
        count_ = 0;
        return false;
    }
    // a % count_ for every 32-bit a is the high half of (a * inverse) * count_ (Lemire's
    // remainder by multiplication; exact while count_ stays below 2^32).
    countInverse_ = count_ <= kMaxFastCount ? ~uint64_t{0} / count_ + 1 : 0;
    clean_ = false;
    Clear();
    return true;
}

void TranspositionTable::Clear() {
    if (!entries_) {
        Ensure();
        return;
    }
    if (clean_) return;  // a new table, or one cleared again before any store
    std::memset(static_cast<void*>(entries_.get()), 0, count_ * sizeof(TableEntry));
    clean_ = true;
}

void TranspositionTable::Resize(int megabytes) {
    megabytes_ = std::max(1, megabytes);
    entries_.reset();
    Ensure();
}

void TranspositionTable::NextGeneration() {
    generation_ = generation_ % kGenerations + 1;
}

Move TranspositionTable::StoredMove(const Position& position, const TableEntry& entry) {
    const unsigned from = entry.info & kSquareMask;
    const unsigned to = entry.info >> kToShift & kSquareMask;
    if (from == 0 && to == 0) return Move{};
    return MakeMoveRecord(position.board[from], from, to, MoveKind::kFromTable, 0);
}

bool TranspositionTable::Probe(const Position& position, int depth, int gamma, int& value,
                               Move* move) const {
    const TableEntry* entry = Lookup(position);
    if (entry == nullptr) return false;
    if (move != nullptr) *move = StoredMove(position, *entry);
    if (entry->upperDepth >= depth && entry->upper < gamma) {
        value = entry->upper;
        return true;
    }
    if (entry->lowerDepth >= depth && entry->lower >= gamma) {
        value = entry->lower;
        return true;
    }
    return false;
}

void TranspositionTable::Store(const Position& position, int depth, int gamma, int value,
                               const Move* move) {
    if (count_ == 0) return;
    clean_ = false;
    const uint32_t low = position.hashKey, high = position.hashKey2;
    const size_t bucket = Bucket(low);
    TableEntry& first = entries_[bucket];
    TableEntry& second = entries_[bucket + 1];
    TableEntry* chosen;
    if (Matches(first, low, high)) {
        chosen = &first;
    } else if (Matches(second, low, high)) {
        if (Greater(second) >= Greater(first)) {
            std::swap(first, second);
            chosen = &first;
        } else {
            chosen = &second;
        }
    } else if (GenerationOf(first) == generation_ && Greater(first) > depth) {
        if (depth > 0) {
            chosen = &second;
        } else if (Greater(second) < 1 || GenerationOf(second) != generation_) {
            chosen = &second;
        } else {
            return;
        }
    } else {
        second = first;
        chosen = &first;
    }
    TableEntry& e = *chosen;
    e.info = (e.info & ~kGenerationMask) | static_cast<uint32_t>(generation_) << kGenerationShift;
    if (!Matches(e, low, high)) {
        e.keyLow = low;
        e.keyHigh = high;
        e.lowerDepth = e.upperDepth = 0;
        e.lower = -kNoBound;
        e.upper = kNoBound;
        e.info &= ~kMoveMask;
    }
    const auto d = static_cast<uint8_t>(std::clamp(depth, 0, 255));
    if (value >= gamma) {
        if (move != nullptr) {
            e.info = (e.info & ~kMoveMask) | (move->from & kSquareMask) |
                     (move->to & kSquareMask) << kToShift;
        }
        const uint8_t oldLowerDepth = e.lowerDepth;
        e.lowerDepth = d;
        e.lower = value;
        if (e.upper < e.lower) {
            if (oldLowerDepth == d && e.upperDepth == d) {
                e.upper = e.lower;
            } else {
                e.upper = kNoBound;
                e.upperDepth = 0;
            }
        }
        return;
    }
    const uint8_t oldUpperDepth = e.upperDepth;
    e.upperDepth = d;
    e.upper = value;
    if (e.upper < e.lower) {
        if (oldUpperDepth == d && e.lowerDepth == d) {
            e.lower = e.upper;
        } else {
            e.lower = -kNoBound;
            e.lowerDepth = 0;
        }
    }
}

int TranspositionTable::Permille() const {
    if (count_ == 0) return 0;
    const size_t sample = std::min<size_t>(count_, 2000);
    int used = 0;
    for (size_t i = 0; i < sample; ++i) used += GenerationOf(entries_[i]) == generation_;
    return static_cast<int>(used * 1000 / sample);
}

}  // namespace tarvex::engine
