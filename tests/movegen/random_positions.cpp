#include "movegen/random_positions.h"

#include <algorithm>
#include <cstdio>

#include "board/attack_boards.h"
#include "core/settings.h"
#include "movegen/attacks.h"
#include "moves/make_move.h"
#include "moves/position_setup.h"

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
    if (!Is3D() && (Row(square) == 0 || Row(square) == 7)) return false;
    return !PawnPromotesOn(p, code, square);
}

void GrantCastling(Position& p) {
    struct Home {
        uint32_t right;
        unsigned king2D, rook2D, king3D, rook3D;
        int sign;
    };
    static constexpr Home kHomes[4] = {{kWhiteKingSide, 32, 56, 16, 24, 1},
                                       {kWhiteQueenSide, 32, 0, 16, 0, 1},
                                       {kBlackKingSide, 39, 63, 23, 31, -1},
                                       {kBlackQueenSide, 39, 7, 23, 7, -1}};
    for (const Home& home : kHomes) {
        const unsigned king = Is3D() ? home.king3D : home.king2D;
        const unsigned rook = Is3D() ? home.rook3D : home.rook2D;
        if (p.board[king] == home.sign * kKing && p.board[rook] == home.sign * kRook)
            p.flags |= home.right;
    }
}

}  // namespace

uint64_t Random::Next() {
    state_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

bool RandomPlacement(Random& random, int maxMen, Position& out) {
    Position p;
    ClearPosition(p);
    if (Is3D()) RandomPins(random, p);
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
    GrantCastling(p);
    p.ply = random.Below(2);
    if (BuildPosition(p) == 0) return false;
    const bool whiteToMove = WhiteToMove(p);
    if (whiteToMove ? BlackInCheck(p) : WhiteInCheck(p)) return false;
    if (whiteToMove ? WhiteInCheck(p) : BlackInCheck(p)) p.flags |= kInCheck;
    out = p;
    return true;
}

std::string MoveName(const Move& move) {
    char text[48];
    std::snprintf(text, sizeof text, "%d %u-%u %c", move.piece, move.from, move.to,
                  IsPromotionKind(move.kind) ? move.kind : ' ');
    return text;
}

std::vector<std::string> LegalMoveNames(const Position& position, bool ordinary) {
    Position copy = position;
    if (ordinary) copy.flags &= ~kInCheck;
    std::vector<std::string> names;
    ForEachLegalMove(copy, [&](const Move& move, Position&) { names.push_back(MoveName(move)); });
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace tarvex::testing
