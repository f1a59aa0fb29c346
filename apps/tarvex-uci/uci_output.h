// The engine's side of the protocol: whole lines to standard output, one writer at a time, so
// that the search thread's info and bestmove lines never mix with the main thread's answers.
#pragma once

#include <string_view>

namespace tarvex::uci {

// Writes text and a newline to standard output and flushes it.
void SendLine(std::string_view text);

}  // namespace tarvex::uci
