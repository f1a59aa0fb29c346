#include "game/thinking.h"

#include <algorithm>
#include <charconv>

#include "core/game_types.h"

namespace tarvex {

engine::SearchLimits LimitsFor(int difficulty, ThinkingTime thinking) {
    engine::SearchLimits limits;
    limits.maxDepth = difficulty;
    if (difficulty == kDifficultyEasy || thinking.kind == ThinkingTime::Kind::kClassic) {
        return limits;
    }
    limits.effortClock = false;
    if (thinking.kind == ThinkingTime::Kind::kSeconds) {
        limits.milliseconds = thinking.amount * 1000;
    } else {
        limits.nodes = static_cast<uint64_t>(thinking.amount);
    }
    return limits;
}

std::optional<ThinkingTime> ParseThinkingTime(std::string_view word) {
    if (word == "classic") return ThinkingTime{};
    int seconds = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), seconds);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    if (std::find(std::begin(kThinkingSeconds), std::end(kThinkingSeconds), seconds) ==
        std::end(kThinkingSeconds)) {
        return std::nullopt;
    }
    return ThinkingTime{ThinkingTime::Kind::kSeconds, seconds};
}

std::optional<ThinkingTime> ParseThinkingBudget(std::string_view word) {
    constexpr std::string_view kNodes = "nodes:";
    if (!word.starts_with(kNodes)) return ParseThinkingTime(word);
    word.remove_prefix(kNodes.size());
    int64_t nodes = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), nodes);
    if (error != std::errc() || end != word.data() + word.size() || nodes < 1) {
        return std::nullopt;
    }
    return ThinkingTime{ThinkingTime::Kind::kNodes, nodes};
}

std::string ThinkingName(ThinkingTime thinking) {
    switch (thinking.kind) {
        case ThinkingTime::Kind::kClassic:
            return "classic";
        case ThinkingTime::Kind::kSeconds:
            return std::to_string(thinking.amount);
        case ThinkingTime::Kind::kNodes:
            return "nodes " + std::to_string(thinking.amount);
    }
    return "classic";
}

}  // namespace tarvex
