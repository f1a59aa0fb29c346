// How long the game's engine thinks for one move: the classic effort budget (the same move for
// the same position and tables, whatever the machine), a time per move in seconds, or, for the
// tools and tests, a node budget (deterministic like the classic one).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/move_chooser.h"

namespace tarvex {

struct ThinkingTime {
    enum class Kind : uint8_t { kClassic, kSeconds, kNodes };
    Kind kind = Kind::kClassic;
    int64_t amount = 0;  // seconds (kSeconds) or nodes (kNodes); 0 for kClassic
    friend bool operator==(const ThinkingTime&, const ThinkingTime&) = default;
};

// The time budgets the window offers, in seconds.
inline constexpr int kThinkingSeconds[] = {1, 3, 10, 30};

// The search limits of a level. Easy, and any difficulty with the classic budget, search with
// the effort clock up to the difficulty; a time or node budget replaces the clock and deepens
// up to the difficulty until the budget is spent.
engine::SearchLimits LimitsFor(int difficulty, ThinkingTime thinking);

// "classic", or one of the budgets of kThinkingSeconds as a number of seconds ("1", "3", ...).
std::optional<ThinkingTime> ParseThinkingTime(std::string_view word);
// What ParseThinkingTime reads, or a node budget written "nodes:N" (N from 1 on): the tools'
// form.
std::optional<ThinkingTime> ParseThinkingBudget(std::string_view word);
// The inverse of ParseThinkingTime; "nodes N" for a node budget.
std::string ThinkingName(ThinkingTime thinking);

}  // namespace tarvex
