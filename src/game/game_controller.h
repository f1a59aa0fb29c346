// The game controller: owns the game and is its only writer. Everyone else reads the game
// through it and changes it through its commands. The window drives it from its callbacks; the
// headless tools and the tests drive it directly.
//
// The engine thread reaches the game only through TakeEngineJob (a private copy taken under
// the game's lock) and PostEngineResult (a mailbox); the main thread commits a posted move in
// Tick. Every rebuild of the game (new game, undo, replay) stops and joins the engine thread
// first.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "engine/evaluation.h"
#include "engine/move_chooser.h"
#include "game/edit_action.h"
#include "game/game.h"
#include "game/game_options.h"
#include "game/game_setup.h"
#include "rules/move_context.h"

namespace tarvex {

namespace game {
class EngineThread;
}
struct SaveImage;

struct ControllerHooks {
    SetUpHooks setUp;                        // engine tables, stage, highlights, view
    std::function<void(int)> difficulty;     // the difficulty labels of the menus
    std::function<void(const char*)> title;  // the window title (a saved or restored file's name)
    // Why the engine stands down from a position it cannot play (the console has it too).
    std::function<void(const char*)> cannotPlay;
};

// The engine's work for one move, or for a hint: a private copy of the game at one moment.
struct EngineJob {
    Position root;
    KeyHistory history;
    int difficulty = kDifficultyEasy;
    ThinkingTime thinking;
    int notation = kNotationTournament;  // of the thoughts line
    uint64_t serial = 0;                 // the game's version the copy was taken from
    bool hint = false;                   // a move for the user's side, not to be played
    uint64_t hintRequest = 0;            // the hint request it answers
};

// A move suggested to the user: the engine's choice for the user's side, not played.
struct GameHint {
    Move move;
    std::string text;  // the move in the game's notation, e.g. "Nf3"
};

// A move the engine found, waiting in the mailbox for the main thread.
struct EngineResult {
    Move move;
    int score = 0;  // from the point of view of the side that moved
    uint64_t serial = 0;
    bool hint = false;  // the answer of a hint job: kept as the hint, never played
    uint64_t hintRequest = 0;
};

class GameController {
public:
    GameController();
    ~GameController();
    GameController(const GameController&) = delete;
    GameController& operator=(const GameController&) = delete;

    const Game& CurrentGame() const { return *game_; }
    const Position& Current() const { return game_->block.current; }
    const GameOptions& Options() const { return options_; }
    // Advanced by every change of the game or of who plays, and when a hint or a thoughts line
    // arrives; the window draws again when it moves.
    uint64_t ChangeCount() const { return serial_ + shownChanges_.load(std::memory_order_relaxed); }

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
    // The user's move (the mouse path): leaves a replay, then the one way into the game.
    bool UserMove(Move move);
    // A move the engine chose, committed as the engine loop commits it (the verdicts that stand
    // before it, the way into the game with the verdict on its result, and the engine's give-up
    // paths). score is from the point of view of the mover.
    bool CommitEngineMove(Move move, int score = 0);
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
    // Makes a checked save image (save_check.h) the game: the file's game and choices, its
    // difficulty through the label updater, then the game rebuilt from its start as Undo(0)
    // rebuilds it. The caller holds the engine stopped (EnginePause); the view is the window's.
    void RestoreImage(const SaveImage& image);

    // ---- board editing (the Edit menu; the next click applies an add or remove) ----

    // Empties every square of the current position; nothing is recomputed until the next
    // applied edit.
    void EditClearBoard();
    // White (or Black) is to move; the position becomes the start of undo and replay.
    void EditSideToMove(bool white);
    // Applies an edit action to square and makes the edited position the game's start
    // position; false for square 65 (no square), which changes nothing.
    bool ApplyEdit(EditAction action, unsigned square);
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
    void SetSpread(int spread) { options_.spread = spread; }
    // How long the engine thinks from its next search on (Easy always thinks as it did).
    void SetThinkingTime(ThinkingTime thinking);

    // ---- the hint (key N, the Game menu's "Hint", the tool's "hint") ----

    // When it is the user's turn, the engine thread searches a move for the user's side with the
    // current difficulty and thinking time; Tick keeps it as the hint. No effect otherwise.
    void RequestHint();
    // Headless: the same search, here with chooser; false when it is not the user's turn.
    bool FindHint(engine::MoveChooser& chooser);
    // The hint found for the game as it stands, if any.
    std::optional<GameHint> CurrentHint() const;
    // Forgets the hint and any hint search in progress (any click or key does this).
    void ClearHint();

    // ---- the engine's thoughts (key I) ----

    // On: each completed depth of the engine's searches is printed and kept as the thoughts
    // line. Off by default.
    void SetThoughtsShown(bool on);
    bool ThoughtsShown() const;
    // "depth D score nodes N pv ..." of the last completed depth, or "" before any.
    std::string ThoughtsLine() const;
    // Any thread: a search's completed depth becomes the thoughts line (printed when shown).
    void ReportThoughts(const std::string& line);

    // ---- the engine ----

    // The main thread's periodic work: commits a posted engine move, then hands the engine the
    // side to move when it plays both.
    void Tick();
    // Without a thread: when the engine is to move, searches here with chooser and commits.
    // Returns whether the engine had a move to make.
    bool PlayEngineMove(engine::MoveChooser& chooser);
    // Engine thread: a copy of the game when the engine is to move and nothing is pending, or
    // a hint job when a hint was asked for and it is the user's turn.
    bool TakeEngineJob(EngineJob& job);
    // The limits of a job's search (its difficulty and thinking time), its completed depths
    // reported as the thoughts line. The job must outlive the search.
    engine::SearchLimits LimitsOf(const EngineJob& job);
    // Whether a hint job's answer is no longer wanted (the hint was cleared or the game
    // changed): its search may stop. Any thread; false for the engine's own moves.
    bool HintWithdrawn(const EngineJob& job) const;
    // Engine thread: the move it found.
    void PostEngineResult(const EngineResult& result);
    // Forgets a posted move (the game is about to be rebuilt).
    void DiscardEngineResult();
    // Whether a stop of the engine's search is pending (the save file keeps it).
    bool StopRequested() const;

private:
    void StopEngine();
    void StartEngine();
    // A search in progress gives up, and a move it posts is not played.
    void RequestStop();
    MoveContext GameContext(bool user);
    // Every change of the game forgets the hint, and a hint search stops.
    void Changed() {
        ++serial_;
        WithdrawHint();
    }
    void WithdrawHint();
    // Under mutex_: the engine is to move, or the user is (the engine plays neither the side to
    // move nor both sides).
    bool EnginesTurn() const;
    bool UsersTurn() const;
    void FillJob(EngineJob& job, bool hint) const;
    // Under mutex_: a hint's move becomes the hint with its text, unless the request it answers
    // (none: a search here) was withdrawn.
    bool KeepHint(const Move& move, std::optional<uint64_t> request);
    // Tick's part for a posted hint.
    void TakeHintResult(const EngineResult& result);
    // A fresh game of the kind under the current rules; the engine plays Black.
    void SetUpFresh(int kind, bool resetView);
    // Sets up or copies the start position, prepares it and replays the record up to target.
    bool Rebuild(unsigned target, bool storeTexts, const char* illegal);
    unsigned FirstPly() const;
    void UndoLocked(int count);
    bool CommitLocked(Move move, int score);
    void TarvexLosesLocked(const char* text);
    void StandDown();
    void SetDifficultyLocked(int difficulty);
    // Why the engine cannot search the current position (an edit left it unplayable), or "".
    std::string UnplayableReason() const;

    std::unique_ptr<Game> game_;
    GameOptions options_;
    ControllerHooks hooks_;
    platform::PromotionChoice* chooser_ = nullptr;
    engine::Evaluator evaluator_;  // evaluates the game's moves (the drawish-material flag)
    game::EngineThread* engineThread_ = nullptr;
    // Guards the game against the engine thread's copy; only the main thread writes.
    std::mutex mutex_;
    uint64_t serial_ = 0;  // advanced by every change of the game
    std::optional<EngineResult> posted_;
    // The hint and the thoughts line: written by the engine thread's reports and by Tick, read
    // by the window's redraw. Taken after mutex_ when both are held.
    mutable std::mutex shownMutex_;
    bool hintRequested_ = false;
    bool hintSearching_ = false;      // a hint job is out and its answer not yet taken
    uint64_t hintSearchRequest_ = 0;  // the request it answers
    std::optional<GameHint> hint_;
    bool thoughtsShown_ = false;
    std::string thoughtsLine_;
    // Advanced (under shownMutex_) when a hint request is withdrawn: a hint search of an older
    // request stops and its answer is dropped.
    std::atomic<uint64_t> hintRequest_{0};
    std::atomic<uint64_t> shownChanges_{0};  // hints and thoughts lines that arrived
};

// Gives a new game's set-up the engine's part: its tables cleared, the stage of the new
// position set.
void ConnectEngine(GameController& controller, engine::MoveChooser& engine);

// Prints "\nBoard Hashes Reset" and starts announcing direction tables afresh.
void ResetBoardHashes();

}  // namespace tarvex
