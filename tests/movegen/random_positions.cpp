#include "movegen/random_positions.h"

#include <iterator>

#include "board/attack_boards.h"
#include "rules/attacks.h"
#include "rules/make_move.h"
#include "rules/position_setup.h"

namespace tarvex::testing {
namespace {

constexpr int kMenCodes[] = {kPawn, kPawn, kPawn, kKnight, kBishop, kRook, kQueen};

unsigned FreeSquare(Random& random, const Position& p) {
    for (;;) {
        const unsigned square = random.Below(kBoardSquares);
        if (p.board[square] == 0) return square;
    }
}

void RandomPins(Random& random, Position& p) {
    for (int board = 0; board < kBoardCount; ++board) {
        for (;;) {
            const unsigned pin = kPins[random.Below(kPinCount)].square;
            bool taken = false;
            for (int other = 0; other < board; ++other) taken = taken || p.abPin[other] == pin;
            if (taken) continue;
            p.abPin[board] = pin;
            p.abWhite[board] = kDefaultOwnerWhite[board];
            break;
        }
    }
}

bool PawnMayStand(const Position& p, int code, unsigned square) {
    if (!Is3D(p) && (Row(square) == 0 || Row(square) == 7)) return false;
    return !PawnPromotesOn(p, code, square);
}

}  // namespace

uint64_t Random::Next() {
    state_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

bool RandomPlacement(Random& random, int game, int rules, int maxMen, Position& out) {
    Position p;
    ClearPosition(p, game, rules);
    if (Is3D(p)) RandomPins(random, p);
    for (int sign : {1, -1}) {
        p.board[FreeSquare(random, p)] = sign * kKing;
        const int men = static_cast<int>(random.Below(static_cast<uint32_t>(maxMen) + 1));
        int pawns = 0;
        for (int i = 0; i < men; ++i) {
            int code = kMenCodes[random.Below(std::size(kMenCodes))];
            if (code == kPawn && ++pawns > 8) code = kKnight;
            const unsigned square = FreeSquare(random, p);
            if (code == kPawn && !PawnMayStand(p, sign * code, square)) continue;
            p.board[square] = sign * code;
        }
    }
    p.ply = random.Below(2);
    if (!BuildPosition(p)) return false;
    const bool whiteToMove = WhiteToMove(p);
    if (whiteToMove ? BlackInCheck(p) : WhiteInCheck(p)) return false;
    if (whiteToMove ? WhiteInCheck(p) : BlackInCheck(p)) p.flags |= kInCheck;
    out = p;
    return true;
}

const Move& PickMove(Random& random, const std::vector<Move>& moves, int pawnWeight) {
    const auto weight = [pawnWeight](const Move& m) {
        return m.piece == kPawn || m.piece == -kPawn ? static_cast<uint32_t>(pawnWeight) : 1u;
    };
    uint32_t total = 0;
    for (const Move& m : moves) total += weight(m);
    uint32_t pick = random.Below(total);
    for (const Move& m : moves) {
        if (pick < weight(m)) return m;
        pick -= weight(m);
    }
    return moves.back();
}

}  // namespace tarvex::testing
