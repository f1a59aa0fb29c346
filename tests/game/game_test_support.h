// A game controller for the game-layer tests: a fresh game of a chosen kind, rules and
// notation, a position set up as the game's, and moves played by the user or committed as the
// engine's, each returning the console text it printed.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <thread>

#include "game/game_controller.h"
#include "game/user_move.h"
#include "support/positions.h"

namespace tarvex::testing {

// A 2D position of these pieces at a ply (odd: Black to move).
inline Position BuiltAtPly(std::string_view pieces, uint32_t ply) {
    Setup setup;
    setup.ply = ply;
    return Built(pieces, setup);
}

// Far more than any wait needs, for sanitizer builds on a busy machine.
inline constexpr std::chrono::milliseconds kPatience{10000};

// Runs step until done holds; false when the patience runs out first.
inline bool PumpUntil(const std::function<bool()>& done, const std::function<void()>& step,
                      std::chrono::milliseconds patience = kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        step();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class ControllerTest : public ::testing::Test {
protected:
    // A new game; the engine plays engineSide (+1, -1, or 0: nobody).
    void NewGame(int kind, int rules = kRulesTournament, int notation = kNotationTournament,
                 int engineSide = 0) {
        ConsoleCapture quiet;
        controller_.NewGame(kind);
        controller_.SetRules(rules);
        controller_.SetNotation(notation);
        controller_.SetEngineSide(engineSide);
    }
    // The position of text (FEN or 3D text) becomes the game's current and start position.
    void Load(std::string_view text, int kind = kGame2D, int rules = kRulesTournament) {
        controller_.SetUpPosition(FromText(text, kind, rules));
    }

    std::string User(unsigned from, unsigned to) {
        ConsoleCapture out;
        controller_.UserMove(BuildUserMove(P(), from, to));
        return out.Text();
    }
    std::string User(std::string_view from, std::string_view to) { return User(Sq(from), Sq(to)); }
    // Moves by the user, each of which must be played.
    void Play(std::initializer_list<std::pair<const char*, const char*>> moves) {
        for (const auto& [from, to] : moves) {
            const uint32_t ply = P().ply;
            User(from, to);
            ASSERT_EQ(P().ply, ply + 1) << from << "-" << to;
        }
    }
    std::string UserBoard(int board, unsigned pin) {
        ConsoleCapture out;
        controller_.UserMove(BuildBoardMove(P(), board, pin));
        return out.Text();
    }
    std::string Engine(unsigned from, unsigned to) {
        ConsoleCapture out;
        controller_.CommitEngineMove(BuildUserMove(P(), from, to));
        return out.Text();
    }
    std::string Engine(std::string_view from, std::string_view to) {
        return Engine(Sq(from), Sq(to));
    }

    const Position& P() const { return controller_.Current(); }
    const Game& G() const { return controller_.CurrentGame(); }

    GameController controller_;
};

}  // namespace tarvex::testing
