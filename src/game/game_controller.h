// The game controller: owns the game and is its only writer. The window drives it from its
// callbacks, the headless tools and the tests drive it directly. Every rebuild of the game (new
// game, undo, replay) stops the engine thread first and starts it again afterwards.
#pragma once

#include <functional>
#include <memory>

#include "game/engine_thread.h"
#include "game/game.h"
#include "game/game_setup.h"

namespace tarvex {

struct ControllerHooks {
    SetUpHooks setUp;                     // engine tables, stage, highlights, view
    std::function<void()> redraw;         // ask the window to draw again
    std::function<void(int)> difficulty;  // the difficulty labels of the menus
};

class GameController {
public:
    explicit GameController(game::EngineThread* engine = nullptr);

    Game& CurrentGame() { return *game_; }
    const Position& Current() const { return game_->block.current; }
    void SetHooks(ControllerHooks hooks) { hooks_ = std::move(hooks); }

    // A new game of the given kind (2 or 3): clears the game, keeps the difficulty, announces it.
    void NewGame(int kind);
    // The Game menu's new game: the banner, then the set-up of the current kind.
    void NewGameOfCurrentKind();

    // The user's move (the mouse path): leaves a replay, then the gate of every move.
    int UserMove(Move move);
    // A move the engine chose, committed as the engine loop commits it (the game-end tests, the
    // gate, and the engine's give-up paths).
    int CommitEngineMove(Move move);

    // Takes back count plies (0 rebuilds the game as it stands).
    void Undo(int count);
    // Shows the game some plies earlier or later; leave with EndReplay.
    void Replay(int step);
    void EndReplay();
    // The console listing of the moves.
    void ListGame();

    // The engine gives up: reports, marks the game won by the user and stops the engine.
    void TarvexLoses(const char* text);

private:
    void StopEngine();
    void StartEngine();
    void Redraw();
    // Sets up or copies the start position, prepares it and replays the record up to target.
    bool Rebuild(unsigned target, bool storeTexts, const char* illegal);
    unsigned FirstPly() const;

    std::unique_ptr<Game> game_;
    game::EngineThread* engine_;
    ControllerHooks hooks_;
};

// Prints "\nBoard Hashes Reset" and starts announcing direction tables afresh.
void ResetBoardHashes();

}  // namespace tarvex
