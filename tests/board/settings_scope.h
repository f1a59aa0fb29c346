// Sets process-wide settings for the length of a test and puts the old values back after it.
#pragma once

#include <atomic>

#include "core/settings.h"

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

class GameKindScope : public SettingScope {
public:
    explicit GameKindScope(int kind) : SettingScope(GetSettings().gameKind, kind) {}
};

}  // namespace tarvex
