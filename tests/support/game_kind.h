// Test helper: sets the game kind and rules for one test and restores them after.
#pragma once

#include "core/settings.h"

namespace tarvex {

class GameKindScope {
public:
    explicit GameKindScope(int kind, int rules = kRulesTournament)
        : kind_(GetSettings().gameKind.exchange(kind)),
          rules_(GetSettings().rules.exchange(rules)) {}
    ~GameKindScope() {
        GetSettings().gameKind.store(kind_);
        GetSettings().rules.store(rules_);
    }
    GameKindScope(const GameKindScope&) = delete;
    GameKindScope& operator=(const GameKindScope&) = delete;

private:
    int kind_;
    int rules_;
};

}  // namespace tarvex
