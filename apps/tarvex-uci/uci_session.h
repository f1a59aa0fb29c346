// The UCI session: reads one command line at a time and answers it. Every command of the
// protocol is understood; a line that starts with an unknown word is read from the first word
// it knows, and a line with none is ignored. Bad input (an illegal move or a malformed FEN in
// `position`, a bad option value) is answered with an "info string" line that names the problem
// and changes nothing.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "game/thinking.h"
#include "search_thread.h"
#include "uci_position.h"

namespace tarvex::uci {

inline constexpr int kMinHashMegabytes = 1;
inline constexpr int kMaxHashMegabytes = 1024;
inline constexpr int kDefaultOverheadMs = 30;
inline constexpr int kMaxOverheadMs = 5000;

class UciSession {
public:
    UciSession();
    ~UciSession();

    // Handles one line; false after quit.
    bool Handle(const std::string& line);
    // The input has ended (as after `printf 'position ...\ngo depth 8\n' | tarvex-uci`): a
    // search with a limit still answers before the program ends.
    void Finish() { search_->Finish(); }

private:
    void Identify() const;
    void SetOption(const std::vector<std::string>& words);
    void SetThinking(const std::string& value);
    void SetParamFile(const std::string& path);
    void SetPosition(const std::vector<std::string>& words);
    void Go(const std::vector<std::string>& words);
    void NewGame();

    std::unique_ptr<engine::Engine> engine_;
    std::unique_ptr<SearchThread> search_;
    PositionTracker positions_;
    int difficulty_;  // the engine's maximum depth
    // The Thinking option: none for the UCI clock, else the game's level at the difficulty.
    std::optional<ThinkingTime> thinking_;
    int overheadMs_ = kDefaultOverheadMs;
};

}  // namespace tarvex::uci
