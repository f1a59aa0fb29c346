#include "go_command.h"

#include <charconv>
#include <string_view>

namespace tarvex::uci {
namespace {

// The number after words[i], if it reads; i moves onto it.
void ReadNumber(const std::vector<std::string>& words, size_t& i, int64_t& out) {
    if (i + 1 >= words.size()) return;
    const std::string& word = words[i + 1];
    int64_t value = 0;
    const auto [end, problem] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (problem != std::errc{} || end != word.data() + word.size()) return;
    out = value;
    ++i;
}

}  // namespace

GoCommand ReadGoCommand(const std::vector<std::string>& words) {
    GoCommand go;
    int64_t ignored = 0;
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word == "wtime") {
            ReadNumber(words, i, go.wtime);
        } else if (word == "btime") {
            ReadNumber(words, i, go.btime);
        } else if (word == "winc") {
            ReadNumber(words, i, go.winc);
        } else if (word == "binc") {
            ReadNumber(words, i, go.binc);
        } else if (word == "movestogo") {
            ReadNumber(words, i, go.movesToGo);
        } else if (word == "movetime") {
            ReadNumber(words, i, go.moveTime);
        } else if (word == "depth") {
            ReadNumber(words, i, go.depth);
        } else if (word == "nodes") {
            ReadNumber(words, i, go.nodes);
        } else if (word == "mate") {
            ReadNumber(words, i, ignored);
        } else if (word == "infinite") {
            go.infinite = true;
        } else if (word == "ponder") {
            go.ponder = true;
        }
    }
    return go;
}

}  // namespace tarvex::uci
