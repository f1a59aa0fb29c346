// The Move record: one fixed-size value for every move of both games.
//
// Layout (a saved game stores each move in 20 bytes, little-endian, in this order):
//   from        square of the moving piece; for an attack-board move the board's pin
//   to          destination; for castling the king's destination; for en passant the
//               square the captured pawn passed over
//   score       ordering and search value; generators write kNoScore
//   piece       code of the moving piece (+/-1..6), or an attack-board identifier
//   kind        a MoveKind, stored as its character
//   givesCheck  1 when the move leaves the opponent's king attacked (set by making it)
//   fill        two bytes nothing reads
// The Move lives in the board layer because every Position holds two of them.
#pragma once

#include <cstdint>

namespace tarvex {

inline constexpr int32_t kNoScore = 405000;

// What a move does. The values are the characters saved games and the notation carry, so the
// enum takes the same byte the character did.
enum class MoveKind : char {
    kNone = 0,              // not yet known (a move built from squares alone)
    kQuiet = '-',           // no capture
    kCapture = 'x',         // takes the piece on its destination (or, in 2D, en passant)
    kEnPassant = 'e',       // White's en passant as generated; every 3D one as made
    kEnPassantBlack = 'E',  // Black's en passant as generated
    kCastleShort = 'S',
    kCastleLong = 'L',
    kPromoteQueen = 'Q',
    kPromoteRook = 'R',
    kPromoteBishop = 'B',
    kPromoteKnight = 'N',
    kPromotionOpen = 'P',  // promotes, the piece not yet chosen
    kBoardMove = 'T',      // moves an attack board
    kFromTable = 'G',      // rebuilt from the transposition table's squares
    kUnchecked = '?',      // the root's stored move before the legal list confirms it
};

// The character a kind stands for in texts.
constexpr char KindChar(MoveKind kind) {
    return static_cast<char>(kind);
}

struct Move {
    uint32_t from = 0;
    uint32_t to = 0;
    int32_t score = 0;
    int32_t piece = 0;
    MoveKind kind = MoveKind::kNone;
    uint8_t givesCheck = 0;
    uint8_t fill[2] = {0, 0};
};

// The one constructor the generators use: writes the six fields, leaves the fill bytes.
inline void FillMove(Move& move, int32_t piece, uint32_t from, uint32_t to, int32_t score,
                     MoveKind kind, uint8_t givesCheck) {
    move.piece = piece;
    move.from = from;
    move.to = to;
    move.score = score;
    move.kind = kind;
    move.givesCheck = givesCheck;
}

inline Move MakeMoveRecord(int32_t piece, uint32_t from, uint32_t to, MoveKind kind,
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

inline bool IsPromotionKind(MoveKind kind) {
    return kind == MoveKind::kPromoteQueen || kind == MoveKind::kPromoteRook ||
           kind == MoveKind::kPromoteBishop || kind == MoveKind::kPromoteKnight;
}

}  // namespace tarvex
