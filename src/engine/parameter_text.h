// The parameter book as text: a readable file that names every slot range of both games' sets,
// stage by stage. The built-in book is read from such a text too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/parameters.h"

namespace tarvex::engine {

// The range every value must lie in (a read refuses a value outside it): |value| <= this.
inline constexpr int32_t kParameterLimit = 500000;

// The text of a book (both games, every stage, every slot), as `params --write` writes it.
std::string WriteParameterText(const ParameterBook& book);

// Reads a book from text; on success fills book and returns true. On failure returns false,
// leaves book untouched, and error names what is wrong (the range, stage, game, line).
bool ReadParameterText(std::string_view text, ParameterBook& book, std::string& error);

// The same from a file; a file that cannot be read is an error naming the path.
bool ReadParameterFile(const std::string& path, ParameterBook& book, std::string& error);

// The text of the built-in book (src/engine/parameters.txt, compiled in): the only source of
// the built-in values.
std::string BuiltInParameterText();

// Slots whose values are fixed: the telling rows the rest of the engine relies on, and the
// unread slots. A file changing one is refused, and the tuner never moves them.
bool IsFixedSlot(int stage, int slot);

}  // namespace tarvex::engine
