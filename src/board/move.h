// The Move record: one fixed-size value for every move of both games.
//
// Layout (a saved game stores each move in 20 bytes, little-endian, in this order):
//   from        square of the moving piece; for an attack-board move the board's pin
//   to          destination; for castling the king's destination; for en passant the
//               square the captured pawn passed over
//   score       ordering and search value; generators write kNoScore
//   piece       code of the moving piece (+/-1..6), or an attack-board identifier
//   kind        '-' quiet, 'x' capture, 'e'/'E' en passant, 'S'/'L' castling,
//               'Q' 'R' 'B' 'N' promotion, 'P' promotion piece still open,
//               'T' attack-board move, 'G' rebuilt from the transposition table
//   givesCheck  1 when the move leaves the opponent's king attacked (set by making it)
//   fill        two bytes nothing reads
// The Move lives in the board layer because every Position holds two of them.
#pragma once

#include <cstdint>

namespace tarvex {

inline constexpr int32_t kNoScore = 405000;

struct Move {
    uint32_t from = 0;
    uint32_t to = 0;
    int32_t score = 0;
    int32_t piece = 0;
    char kind = 0;
    uint8_t givesCheck = 0;
    uint8_t fill[2] = {0, 0};
};

// The one constructor the generators use: writes the six fields, leaves the fill bytes.
inline void FillMove(Move& move, int32_t piece, uint32_t from, uint32_t to, int32_t score,
                     char kind, uint8_t givesCheck) {
    move.piece = piece;
    move.from = from;
    move.to = to;
    move.score = score;
    move.kind = kind;
    move.givesCheck = givesCheck;
}

inline Move MakeMoveRecord(int32_t piece, uint32_t from, uint32_t to, char kind,
                           int32_t score = kNoScore) {
    Move move;
    FillMove(move, piece, from, to, score, kind, 0);
    return move;
}

// A record whose from and to are both 0 stands for "no move".
inline bool IsNoMove(const Move& move) {
    return move.from == 0 && move.to == 0;
}

// Same move for ordering (killers, counter-moves, the stored best move).
inline bool SameSquares(const Move& a, const Move& b) {
    return a.from == b.from && a.to == b.to;
}

// Same move for legality: piece, from and to; kind and score do not take part.
inline bool SameMove(const Move& a, const Move& b) {
    return a.piece == b.piece && a.from == b.from && a.to == b.to;
}

// Attack-board moves carry 100, 106, 116 or 122 in piece.
inline bool IsBoardMove(const Move& move) {
    const int32_t offset = move.piece - 100;
    return offset == 0 || offset == 6 || offset == 16 || offset == 22;
}

inline bool IsPromotionKind(char kind) {
    return kind == 'Q' || kind == 'R' || kind == 'B' || kind == 'N';
}

}  // namespace tarvex
