// An independent reference move generator for the 3D game, used to check the real generator.
//
// It works from the geometry alone: the file, rank and level of every square under the current
// attack-board pins, as the board tests' reference geometry gives them, and the movement
// rules of both rule sets (rays through levels, the Tournament outer-file lines across attack
// boards, pawn steps, castling, en passant, promotions, attack-board moves). It keeps its own
// small state record and decides legality with its own attack computation on its own board;
// it reads a Position only to take over the state of a game position.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "board/position.h"

namespace tarvex::ref3d {

enum class RuleSet { kTournament, kStandard };

// Properties of a move, for counting what a test has reached; not part of a move's identity.
enum Feature : uint32_t {
    kCapture = 1u << 0,
    kDoubleStep = 1u << 1,
    kEnPassant = 1u << 2,
    kCastleShort = 1u << 3,
    kCastleLong = 1u << 4,
    kPromotion = 1u << 5,             // a pawn move that promotes
    kBoardSquarePromotion = 1u << 6,  // ... on an attack-board square
    kBoardMove = 1u << 7,
    kBoardMovePromotion = 1u << 8,    // an attack-board move carrying a pawn to promotion
    kEdgeLine = 1u << 9,              // reached only along a Tournament outer-file or back-row line
    kOpenLevelDoubleStep = 1u << 10,  // Standard double step past an occupied level
    kKingMove = 1u << 11,
};
inline constexpr int kFeatureCount = 12;

// A move as a player sees it: the piece code (or attack-board identifier 100, 106, 116, 122),
// from and to squares (pins for a board move), and the promotion letter 'Q', 'B', 'R', 'N'
// or 0.
struct RefMove {
    int piece = 0;
    unsigned from = 0;
    unsigned to = 0;
    char promotion = 0;
    uint32_t features = 0;
};

inline auto MoveKey(const RefMove& m) {
    return std::tuple(m.piece, m.from, m.to, m.promotion);
}
inline bool operator==(const RefMove& a, const RefMove& b) {
    return MoveKey(a) == MoveKey(b);
}
inline bool operator<(const RefMove& a, const RefMove& b) {
    return MoveKey(a) < MoveKey(b);
}

inline constexpr int kNoPawnSlot = -1;

struct RefState {
    int board[64] = {};
    unsigned pins[4] = {};   // pin squares of boards 100, 106, 116, 122
    bool whiteOwns[4] = {};  // owner of each board
    unsigned castling = 0;   // 1 White short, 2 White long, 4 Black short, 8 Black long
    unsigned epSquare = 0;   // square a double-stepping pawn passed over; 0 = none
    bool whiteToMove = true;
    int pawnSlot[64] = {};  // pawn k (0..7) of its colour's pawn slots, or kNoPawnSlot
    RuleSet rules = RuleSet::kTournament;
    bool operator==(const RefState&) const = default;
};

// The state of a 3D game position under its own rules (board, pins, owners, castling rights,
// en-passant square, side to move and the pawn slots that decide the double step).
RefState FromPosition(const Position& position);

// Squares attacked by one side, as a bit per square.
uint64_t AttackedSquares(const RefState& state, bool byWhite);

// The legal moves, each promotion listed once per piece, sorted.
std::vector<RefMove> LegalMoves(const RefState& state);

// The state after a move taken from LegalMoves.
RefState Play(const RefState& state, const RefMove& move);

// Readable texts for failure messages.
std::string MoveText(const RefMove& move);
std::string StateText(const RefState& state);

}  // namespace tarvex::ref3d
