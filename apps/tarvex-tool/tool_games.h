// Whole games between two engines through the path the window's games take, as selfplay and
// match play them: one game controller, a few random plies (from a generator the caller seeds)
// entered as the user's, then the engines alternate, each at its side's difficulty and thinking
// time, until the game's own rules decide the game or the record is nearly full.
#pragma once

#include <cstdint>
#include <fstream>
#include <ostream>
#include <random>
#include <string>

#include "core/console.h"
#include "engine/engine.h"
#include "game/game_controller.h"
#include "game/thinking.h"
#include "text/pgn.h"
#include "tool_commands.h"

namespace tarvex::tool {

// An engine that counts its work: searches, nodes and time.
class CountingEngine : public engine::MoveChooser {
public:
    explicit CountingEngine(const engine::ParameterBook& book = engine::BuiltInParameters())
        : engine_(book) {}
    engine::SearchResult Choose(const Position& root, const KeyHistory& history,
                                const engine::SearchLimits& limits) override;
    void NewGame() override { engine_.NewGame(); }

    int64_t searches = 0;
    uint64_t nodes = 0;
    double seconds = 0;

private:
    engine::Engine engine_;
};

// Who plays one colour of a game.
struct GameSide {
    CountingEngine* engine = nullptr;
    int difficulty = kDifficultyEasy;
    ThinkingTime thinking;
};

// How a game ended.
struct GameOutcome {
    int result = 0;  // 1 White won, -1 Black won, 2 drawn
    unsigned plies = 0;
    std::string reason;    // "mate", "repetition", "record limit", "engine gave up", ...
    bool refused = false;  // the gate refused an engine move while the game was undecided
    bool gaveUp = false;   // an engine gave up a game the board had not decided
    long errors = 0;       // internal error reports during the game
};

// The --record and --pgn files of selfplay and match; a stream is null when not asked for.
struct GameFiles {
    std::ofstream record, pgn;
    std::ostream* Record() { return record.is_open() ? &record : nullptr; }
    std::ostream* Pgn() { return pgn.is_open() ? &pgn : nullptr; }
};
// Opens the named files (either path may be null); kExitUsage (reported) when one cannot be
// written.
int OpenGameFiles(const char* command, const char* record, const char* pgn, GameFiles& out);

// "1-0", "0-1" or "1/2-1/2".
const char* ResultText(int result);

class ToolGames {
public:
    explicit ToolGames(const ToolPosition& position) : position_(position) {}

    // Sets the controller up for the game and rules, its set-up connected to engine.
    void Start(CountingEngine& engine);
    // Plays a game; label ("game 3") names it on stderr when it has a fault, with the last
    // lines of its console.
    GameOutcome Play(const std::string& label, const GameSide& white, const GameSide& black,
                     std::mt19937& random);

    // The last game: its start position's text, then every move, on one line.
    void WriteRecord(std::ostream& out) const;
    // The last game as PGN (2D only); false with the reason on stderr when it cannot be written.
    bool WritePgn(std::ostream& out, const PgnHeader& header, const GameOutcome& outcome,
                  const std::string& label) const;

private:
    void PlayOpening(std::mt19937& random);
    std::string PlayEngines(const ConsoleCapture& capture, const GameSide& white,
                            const GameSide& black, GameOutcome& outcome);

    ToolPosition position_;
    GameController controller_;
    std::string startText_;
    std::string notes_;  // the console of the engine moves of a game that reported errors
};

}  // namespace tarvex::tool
