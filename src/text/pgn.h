// Portable game notation for the 2D game: standard algebraic notation (SAN) of moves, games
// written as PGN with the seven-tag roster, and a reader that turns PGN text back into tags and
// move tokens. The window's own listing keeps the program's notation; this is for other chess
// programs. Nothing here remembers a call.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/move.h"
#include "board/position.h"

namespace tarvex {

// A legal move of a 2D position with its SAN text: "e4", "Nbd7", "R1e2", "Qh4e1", "exd6",
// "e8=Q+", "O-O", "Qf7#".
struct SanMove {
    Move move;
    std::string text;
};

// Every legal move of a 2D position with its text.
std::vector<SanMove> SanMoves(const Position& position);

// The SAN text of move (matched as FindLegalMove matches it); empty when it is not legal.
std::string SanText(const Position& position, const Move& move);

// The legal move that a SAN token names: piece, target square, the from-file and from-rank it
// gives, and the promotion piece, which a promotion must name. Check and mate marks and
// annotations ("!", "?") are not read. Nothing, with the problem in error, when no legal move
// or more than one fits.
std::optional<Move> ReadSan(const Position& position, std::string_view token, std::string& error);

// The seven-tag roster. Unknown values are written as PGN asks ("?", "????.??.??").
struct PgnHeader {
    std::string event = "?";
    std::string site = "?";
    std::string date = "????.??.??";
    std::string round = "?";
    std::string white = "?";
    std::string black = "?";
};

// Today's date as a PGN date: "2024.05.17".
std::string PgnToday();

// The result token of a game: winner 1 "1-0", -1 "0-1", 2 "1/2-1/2", anything else "*".
const char* PgnResult(int winner);

// The result of a game as it stands: the game's verdict, else the board's (a side to move with
// no legal move is mated or stalemated), else "*". The game declares a user's mate only when the
// engine would move next, so the board is read as well.
const char* PgnResultOf(const Position& current);

// A whole game as PGN: the roster with the result, SetUp and FEN tags when start is not the
// initial position, the moves numbered from start's move number and wrapped at 79 columns, and
// the result. Returns false with the problem in error when a move is not legal where it stands.
bool WritePgn(const PgnHeader& header, const Position& start, const std::vector<Move>& moves,
              std::string_view result, std::string& out, std::string& error);

// One game read from PGN text: its tags in order, its move tokens (no numbers, comments,
// variations or annotation glyphs) and its result token.
struct PgnGame {
    std::vector<std::pair<std::string, std::string>> tags;
    std::vector<std::string> moves;
    std::string result;

    // The value of a tag, or nothing.
    std::optional<std::string> Tag(std::string_view name) const;
};

// Every game of a PGN text; false with the problem in error when the text is malformed.
bool ReadPgn(std::string_view text, std::vector<PgnGame>& games, std::string& error);

}  // namespace tarvex
