// Sets a process-wide setting for the length of a test and puts the old value back after it.
#pragma once

#include <atomic>

#include "core/settings.h"
#include "support/game_kind.h"  // GameKindScope

namespace tarvex {

class SettingScope {
public:
    SettingScope(std::atomic<int>& setting, int value) : setting_(setting), saved_(setting.load()) {
        setting_.store(value);
    }
    ~SettingScope() { setting_.store(saved_); }
    SettingScope(const SettingScope&) = delete;
    SettingScope& operator=(const SettingScope&) = delete;

private:
    std::atomic<int>& setting_;
    int saved_;
};

}  // namespace tarvex
