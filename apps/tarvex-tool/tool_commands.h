// The subcommands of tarvex-tool. Each is one Run function in its own file; it receives the
// command line from its own name on (argv[0] is the subcommand's name) and returns the exit
// status of the process. Output goes through the console sink; problems with the arguments go
// to stderr as one line and give kExitUsage.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "board/position.h"
#include "core/game_types.h"
#include "engine/parameters.h"

namespace tarvex::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;

// Prints "tarvex-tool <command>: <problem>" on stderr and returns kExitUsage.
int ArgumentError(const char* command, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// tarvex-tool geometry [--game 2d|3d] [--pins <pin>,<pin>,<pin>,<pin>]
int RunGeometry(int argc, char** argv);

// tarvex-tool play [--script FILE] [--params FILE]: the game controller driven one command a line.
int RunPlay(int argc, char** argv);

// tarvex-tool perft [--game 2d|3d] [--rules tournament|standard] [--pos TEXT] --depth N
// [--divide]: move sequences counted depth by depth.
int RunPerft(int argc, char** argv);

// tarvex-tool moves [--game 2d|3d] [--rules tournament|standard] [--pos TEXT]: the legal
// moves, one a line.
int RunMoves(int argc, char** argv);

// tarvex-tool search --game 2d|3d [--rules R] [--pos TEXT] [--difficulty easy|medium|hard |
// --depth N | --nodes N | --movetime MS] [--params FILE]: the engine's search, one line per
// completed depth.
int RunSearch(int argc, char** argv);

// tarvex-tool bench [--depth N] [--params FILE]: fixed searches of a table of positions; the node
// count is the search's signature.
int RunBench(int argc, char** argv);

// tarvex-tool selfplay --game 2d|3d [--rules R] --games N [--difficulty D | --white D --black D]
// [--think T | --white-think T --black-think T] [--seed S] [--record FILE] [--pgn FILE]
// [--params FILE]: the
// engine against itself through the game's commit path. T: classic (the default), 1, 3, 10 or
// 30 (seconds a move) or nodes:N.
int RunSelfPlay(int argc, char** argv);

// tarvex-tool params --write FILE [--params IN] | --check FILE: the parameter book as text.
int RunParams(int argc, char** argv);

// Reads the book of a --params option into book; kExitUsage (reported) for a refused file.
int ParamsOption(const char* command, const char* path, engine::ParameterBook& book);

// tarvex-tool match --a FILE|builtin --b FILE|builtin --pairs N [--game 2d|3d] [--rules R]
// [--seed S] [--think T] [--jobs N] [--sprt ELO0 ELO1 [--alpha A] [--beta B]] [--record FILE]
// [--pgn FILE]: two parameter books play pairs of games from the same openings at the Hard
// level (T defaults to nodes:10000); the score, Elo and sequential test from A's side.
int RunMatch(int argc, char** argv);
// tarvex-tool tune-data --game 2d|3d [--rules R] --record REC --log LOG [--record REC --log LOG
// ...] --out DATA: the quiet positions of recorded games with their results.
int RunTuneData(int argc, char** argv);
// tarvex-tool tune-label --data IN --out OUT [--nodes N] [--blend W] [--part I/N] [--params FILE]:
// the data lines again, each result replaced by the search's win chance (blended with W of it).
int RunTuneLabel(int argc, char** argv);

// tarvex-tool tune --game 2d|3d --data DATA [--data DATA ...] [--params IN] --out OUT
// [--threads N] [--epochs N] [--rounds R] [--holdout-every K] [--min-positions N] [--pull X]
// [--hold NAME,...]: the weights of one game fitted to the results of its games; the named
// ranges keep their values.
int RunTune(int argc, char** argv);

// The position options of perft, moves, search and selfplay (tool_moves.cpp).
struct ToolPosition {
    int game = kGame3D;
    int rules = kRulesTournament;
    const char* text = nullptr;  // --pos; the game's initial position when null
};
// Consumes --game, --rules or --pos at argv[i] with its value: kExitOk, kExitUsage (reported),
// or -1 when argv[i] is none of them.
int ParseToolPosition(const char* command, int argc, char** argv, int& i, ToolPosition& out);
// Applies game and rules to the settings and reads the position; kExitUsage (reported) for bad
// text.
int SetUpToolPosition(const char* command, const ToolPosition& options, Position& out);
// Runs work with the console captured, so that the "\nBuilding ..." notices of new
// attack-board placements stay out of the listing; anything else printed goes to stderr.
void RunQuietly(const std::function<void()>& work);
// A move of position as perft and moves print it: "e2e4", "e7e8q", "33-2", "25-26q",
// "T100:q1-q3".
std::string ToolMoveText(const Position& position, const Move& move);

// The engine's options (tool_search.cpp).
// The difficulty named by word ("easy", "medium", "hard"), or 0.
int DifficultyNamed(std::string_view word);
// A whole number in [low, high] written in decimal digits only.
bool ParseNumber(std::string_view word, int64_t low, int64_t high, int64_t& out);
// A decimal number in [low, high], possibly negative or with a fraction ("-2.5", "1e-12").
bool ParseReal(std::string_view word, double low, double high, double& out);
// The engine's move as it will be made ("none" for the null move): a promotion the engine left
// unnamed is the queen the game makes of it.
std::string EngineMoveText(const Position& position, const Move& move);
// A search score (1/10000 pawn, side to move) as the tools print it: centipawns rounded toward
// zero ("35", "-120") or "mate N" (moves; negative when the side to move is mated).
std::string ScoreText(int score);

}  // namespace tarvex::tool
