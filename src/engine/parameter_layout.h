// The named ranges of a parameter set as the text writes them, in the order of the slot map, and
// the fixed values some slots must keep.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tarvex::engine {

enum class RangeShape {
    kLine,     // values on the name's line
    kDiagram,  // an 8 x 8 diagram under the name: rank 8 first, files a..h
    kTable,    // rows x columns under the name, row by row
};

struct ParameterRange {
    std::string_view name;
    int first;  // the first slot
    int rows;
    int columns;
    RangeShape shape;
    std::string_view about;  // what the range means; lines separated by '\n'; may be empty
};

// Every slot of a set belongs to exactly one range.
std::span<const ParameterRange> ParameterRanges();

// The slot of the index-th value of the range as written.
int SlotOfValue(const ParameterRange& range, int index);

// The value a fixed slot must hold in the stage; none for a free slot.
std::optional<int32_t> FixedValue(int stage, int slot);

}  // namespace tarvex::engine
