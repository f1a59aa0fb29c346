// The transposition table: per position a lower and an upper bound on its search value, each
// with the depth that proved it, and the from and to squares of the last move that failed
// high. Buckets of two entries: entry 0 preferred, entry 1 the overflow. A generation counter
// (1..15) marks the entries of the current search so that older ones are replaced first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "board/move.h"
#include "board/position.h"

namespace tarvex::engine {

inline constexpr int32_t kNoBound = 405000;  // outside every real score
inline constexpr int kDefaultTableMegabytes = 8;
inline constexpr size_t kEntryBytes = 28;  // the size the entry count is computed with

struct TableEntry {
    uint32_t keyLow;
    uint32_t keyHigh;
    int32_t lower;  // -kNoBound when none
    int32_t upper;  // +kNoBound when none
    uint8_t lowerDepth;
    uint8_t upperDepth;
    uint32_t info;  // bits 0-5 from, 6-11 to of the best move; 12-15 generation
};

class TranspositionTable {
public:
    // Entry count for a size in megabytes: size x 2^20 / 28, rounded down to an even number.
    static size_t EntriesFor(int megabytes);

    // Allocates the table once (shrinking by one megabyte after a failed allocation) and
    // zero-fills it. Returns whether a table exists afterwards.
    bool Ensure();
    // Zero-fills the table (allocating it when it does not exist).
    void Clear();
    // A new size, in megabytes; takes effect at once (the table is allocated afresh).
    void Resize(int megabytes);
    int Megabytes() const { return megabytes_; }
    size_t Entries() const { return count_; }

    // Advances the generation (1..15, then 1 again); once per search.
    void NextGeneration();
    int Generation() const { return generation_; }

    // The move an entry keeps, rebuilt against position: from and to, the piece now on from,
    // kind kFromTable; the null move when the entry keeps none.
    static Move StoredMove(const Position& position, const TableEntry& entry);

    // The matching entry, or null. (Inline: two of them are probed for every move of a node.)
    const TableEntry* Lookup(uint32_t keyLow, uint32_t keyHigh) const {
        if (count_ == 0) return nullptr;
        const TableEntry* bucket = &entries_[Bucket(keyLow)];
        if (bucket[0].keyLow == keyLow && bucket[0].keyHigh == keyHigh) return &bucket[0];
        if (bucket[1].keyLow == keyLow && bucket[1].keyHigh == keyHigh) return &bucket[1];
        return nullptr;
    }
    // Asks for the bucket of a key ahead of its Lookup: the children of a node are looked up one
    // after another, and their buckets then come from memory together instead of in turn.
    void Prefetch(uint32_t keyLow) const {
        if (count_ == 0) return;
        const TableEntry* bucket = &entries_[Bucket(keyLow)];
        __builtin_prefetch(bucket);
        __builtin_prefetch(reinterpret_cast<const char*>(bucket + 2) - 1);  // may cross a line
    }
    const TableEntry* Lookup(const Position& position) const {
        return Lookup(position.hashKey, position.hashKey2);
    }
    // Whether a stored bound decides gamma at depth; value receives it. move (when not null)
    // receives the stored move, rebuilt against position, whether or not the probe cuts off.
    bool Probe(const Position& position, int depth, int gamma, int& value, Move* move) const;
    // The reduced probe of a child key: only an upper bound below gamma cuts off.
    bool ProbeChildUpper(uint32_t keyLow, uint32_t keyHigh, int depth, int gamma,
                         int& value) const {
        const TableEntry* entry = Lookup(keyLow, keyHigh);
        if (entry == nullptr || entry->upperDepth < depth || entry->upper >= gamma) return false;
        value = entry->upper;
        return true;
    }
    // Stores value as a lower bound (value >= gamma, with the move when given) or an upper
    // bound (value < gamma).
    void Store(const Position& position, int depth, int gamma, int value, const Move* move);

    // Permille of the entries that carry the current generation (sampled).
    int Permille() const;

private:
    // The first entry of the bucket of a key: keyLow % count_ (even), by a multiplication where
    // the count allows it.
    size_t Bucket(uint32_t keyLow) const {
        if (countInverse_ == 0) return (keyLow % count_) & ~size_t{1};
        __extension__ using Wide = unsigned __int128;
        const uint64_t fraction = countInverse_ * keyLow;
        return static_cast<size_t>((Wide{fraction} * count_) >> 64) & ~size_t{1};
    }

    int megabytes_ = kDefaultTableMegabytes;
    size_t count_ = 0;
    uint64_t countInverse_ = 0;  // 2^64 / count_, rounded up: the bucket without a division
    bool clean_ = false;         // every entry is zero (nothing stored since the last fill)
    std::unique_ptr<TableEntry[]> entries_;
    int generation_ = 0;
};

}  // namespace tarvex::engine
