// The game controller: owns the game and is its only writer. Everyone else reads the game
// through it and changes it through its commands. The window drives it from its callbacks; the
// headless tools and the tests drive it directly.
//
// The engine thread reaches the game only through TakeEngineJob (a private copy taken under
// the game's lock) and PostEngineResult (a mailbox); the main thread commits a posted move in
// Tick. Every rebuild of the game (new game, undo, replay) stops and joins the engine thread
// first.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "engine/evaluation.h"
#include "engine/move_chooser.h"
#include "game/game.h"
#include "game/game_setup.h"
#include "rules/move_context.h"

namespace tarvex {

namespace game {
class EngineThread;
}
struct SaveImage;

struct ControllerHooks {
    SetUpHooks setUp;                        // engine tables, stage, highlights, view
    std::function<void()> redraw;            // ask the window to draw again
    std::function<void(int)> difficulty;     // the difficulty labels of the menus
    std::function<void(const char*)> title;  // the window title (a saved or restored file's name)
};

// The engine's work for one move: a private copy of the game at one moment.
struct EngineJob {
    Position root;
    KeyHistory history;
    int difficulty = kDifficultyEasy;
    uint64_t serial = 0;  // the game's version the copy was taken from
};

// A move the engine found, waiting in the mailbox for the main thread.
struct EngineResult {
    Move move;
    int score = 0;  // from the point of view of the side that moved
    uint64_t serial = 0;
};

class GameController {
public:
    GameController();
    ~GameController();
    GameController(const GameController&) = delete;
    GameController& operator=(const GameController&) = delete;

    const Game& CurrentGame() const { return *game_; }
    const Position& Current() const { return game_->block.current; }

    void SetHooks(ControllerHooks hooks) { hooks_ = std::move(hooks); }
    const ControllerHooks& Hooks() const { return hooks_; }
    // Who answers a user's promotion that names no piece (nobody: a queen).
    void SetPromotionChoice(platform::PromotionChoice* choice) { chooser_ = choice; }
    // The engine thread to stop and start around rebuilds (none: no thread).
    void SetEngineThread(game::EngineThread* thread) { engineThread_ = thread; }

    // ---- game commands (main thread) ----

    // A new game of the given kind (2 or 3): clears the game, keeps the difficulty, announces it.
    void NewGame(int kind);
    // The Game menu's new game: the banner, then the set-up of the current kind.
    void NewGameOfCurrentKind();
    // A position of the current game kind becomes the current and start position, as an
    // applied edit makes it: undo and replay start from it.
    void SetUpPosition(const Position& position);
    // The user's move (the mouse path): leaves a replay, then the gate of every move.
    int UserMove(Move move);
    // A move the engine chose, committed as the engine loop commits it (the game-end tests, the
    // gate, and the engine's give-up paths). score is from the point of view of the mover.
    int CommitEngineMove(Move move, int score = 0);
    // Takes back count plies (0 rebuilds the game as it stands).
    void Undo(int count);
    // Shows the game some plies earlier or later; leave with EndReplay.
    void Replay(int step);
    void EndReplay();
    // The console listing of the moves.
    void ListGame();
    // The engine gives up: reports, marks the game won by the user and stands down.
    void TarvexLoses(const char* text);

    // ---- saved games (save_game.h) ----

    // Holds the engine thread stopped while it lives (a restore reads and checks its file
    // meanwhile) and starts it again at the end.
    class EnginePause {
    public:
        explicit EnginePause(GameController& controller) : controller_(controller) {
            controller_.StopEngine();
        }
        ~EnginePause() { controller_.StartEngine(); }
        EnginePause(const EnginePause&) = delete;
        EnginePause& operator=(const EnginePause&) = delete;

    private:
        GameController& controller_;
    };
    // Makes a checked save image (save_check.h) the game: the set-up with view reset, the
    // file's game and settings, its difficulty through the label updater, then the game rebuilt
    // from its start as Undo(0) rebuilds it. The engine thread is stopped and left so.
    void RestoreImage(const SaveImage& image);

    // ---- board editing (the Edit menu; the next click applies an add or remove) ----

    // Empties every square of the current position; nothing is recomputed until the next
    // applied edit.
    void EditClearBoard();
    // White (or Black) is to move; the position becomes the start of undo and replay.
    void EditSideToMove(bool white);
    // Applies edit action (1 remove, 5..10 add a black pawn..king, 11..16 a white one) to square
    // and makes the edited position the game's start position; returns 1, or 0 for square 65
    // (no square), which changes nothing. The edit action setting goes back to 0.
    int ApplyEdit(int action, unsigned square);
    // Key K: moves attack board (0..3) to the next free pin in the pins' cyclic order.
    void MoveBoardToNextPin(int board);

    // The user's choices, applied to the game.
    void SetRules(int rules);  // takes effect on the current position at once
    void SetNotation(int notation);
    void SetDifficulty(int difficulty);  // a value other than 8 or 50 becomes 4
    // +1, -1 or 0; plays-both off. raiseStop: a search in progress gives up (the menu and F10
    // ask for that; the keys W and B do not).
    void SetEngineSide(int side, bool raiseStop = true);
    void SetPlaysBoth(bool on, bool raiseStop = true);

    // ---- the engine ----

    // The main thread's periodic work: commits a posted engine move, then hands the engine the
    // side to move when it plays both.
    void Tick();
    // Without a thread: when the engine is to move, searches here with chooser and commits.
    // Returns whether the engine had a move to make.
    bool PlayEngineMove(engine::MoveChooser& chooser);
    // Engine thread: a copy of the game when the engine is to move and nothing is pending.
    bool TakeEngineJob(EngineJob& job);
    // Engine thread: the move it found.
    void PostEngineResult(const EngineResult& result);
    // Forgets a posted move (the game is about to be rebuilt).
    void DiscardEngineResult();

private:
    void StopEngine();
    void StartEngine();
    void Redraw();
    MoveContext GameContext(bool user);
    void Changed() { ++serial_; }
    // Sets up or copies the start position, prepares it and replays the record up to target.
    bool Rebuild(unsigned target, bool storeTexts, const char* illegal);
    unsigned FirstPly() const;
    void UndoLocked(int count);
    int CommitLocked(Move move, int score);

    std::unique_ptr<Game> game_;
    ControllerHooks hooks_;
    platform::PromotionChoice* chooser_ = nullptr;
    engine::Evaluator evaluator_;  // evaluates the game's moves (the drawish-material flag)
    game::EngineThread* engineThread_ = nullptr;
    // Guards the game against the engine thread's copy; only the main thread writes.
    std::recursive_mutex mutex_;
    uint64_t serial_ = 0;  // advanced by every change of the game
    std::optional<EngineResult> posted_;
};

// Gives a new game's set-up the engine's part: its tables cleared, the stage of the new
// position set.
void ConnectEngine(GameController& controller, engine::MoveChooser& engine);

// Prints "\nBoard Hashes Reset" and starts announcing direction tables afresh.
void ResetBoardHashes();

}  // namespace tarvex
