#include "movegen/board_moves.h"

#include <cstdlib>

#include "board/attack_boards.h"
#include "core/error_report.h"

namespace tarvex {
namespace {

constexpr unsigned kNone = kNoSquare;
constexpr int kMaxOneWay = 3;

// Where a board may go from each pin: one pin at a time along its side's column, never
// directly between pins 2 and 5, and (Tournament rules) straight across to the other side.
struct PinMoves {
    unsigned from;
    unsigned towardsWhite[kMaxOneWay];
    unsigned towardsBlack[kMaxOneWay];
    unsigned sideways;
};

constexpr PinMoves kPinMoves[kPinCount] = {
    {kPinQ1, {kNone, kNone, kNone}, {kPinQ3, kPinQ2, kNone}, kPinK1},
    {kPinQ2, {kPinQ1, kPinQ3, kNone}, {kPinQ4, kNone, kNone}, kPinK2},
    {kPinQ3, {kPinQ1, kNone, kNone}, {kPinQ2, kPinQ4, kPinQ5}, kPinK3},
    {kPinQ4, {kPinQ2, kPinQ3, kPinQ5}, {kPinQ6, kNone, kNone}, kPinK4},
    {kPinQ5, {kPinQ3, kNone, kNone}, {kPinQ4, kPinQ6, kNone}, kPinK5},
    {kPinQ6, {kPinQ4, kPinQ5, kNone}, {kNone, kNone, kNone}, kPinK6},
    {kPinK1, {kNone, kNone, kNone}, {kPinK2, kPinK3, kNone}, kPinQ1},
    {kPinK2, {kPinK1, kPinK3, kNone}, {kPinK4, kNone, kNone}, kPinQ2},
    {kPinK3, {kPinK1, kNone, kNone}, {kPinK2, kPinK4, kPinK5}, kPinQ3},
    {kPinK4, {kPinK2, kPinK3, kPinK5}, {kPinK6, kNone, kNone}, kPinQ4},
    {kPinK5, {kPinK3, kNone, kNone}, {kPinK4, kPinK6, kNone}, kPinQ5},
    {kPinK6, {kPinK4, kPinK5, kNone}, {kNone, kNone, kNone}, kPinQ6},
};

const PinMoves* MovesFrom(unsigned pin) {
    for (const PinMoves& moves : kPinMoves) {
        if (moves.from == pin) return &moves;
    }
    return nullptr;
}

// The four squares of a board: base, base + 1, base + 8, base + 9.
constexpr unsigned kBoardOffsets[4] = {0, 1, 8, 9};

int Append(const Position& position, int identifier, unsigned from, unsigned to, Move* out) {
    if (to == kNone || BoardAtPin(position, to) != kNoBoard) return 0;
    FillMove(*out, identifier, from, to, kNoScore, MoveKind::kBoardMove, 0);
    return 1;
}

}  // namespace

bool BoardCanMove(const Position& position, int identifier, int& direction) {
    const int board = BoardIndexOf(identifier);
    if (board < 0) {
        ErrorReport(kUnstable, "bad board @ BoardCanMove");
        return false;
    }
    if ((position.abWhite[board] == 1) != WhiteToMove(position)) return false;
    int sum = 0, absoluteSum = 0, occupied = 0;
    for (unsigned offset : kBoardOffsets) {
        const int code = position.board[kBoardBase[board] + offset];
        sum += code;
        absoluteSum += std::abs(code);
        occupied += code != 0 ? 1 : 0;
    }
    const bool light = TournamentRules(position) ? occupied <= 1 : absoluteSum <= 1;
    if (!light) return false;
    direction = sum;
    return true;
}

int GenerateAttackBoardMoves(const Position& position, int identifier, Move* out) {
    const unsigned pin = PinOfBoard(position, identifier);
    int direction = 0;
    if (!BoardCanMove(position, identifier, direction)) return 0;
    const PinMoves* moves = MovesFrom(pin);
    if (moves == nullptr) {
        ErrorReport(kUnstable, "Error! Where is AB @ GenAtBoMoves?");
        return 0;
    }
    int count = 0;
    if (direction < 1) {
        for (unsigned to : moves->towardsWhite)
            count += Append(position, identifier, pin, to, out + count);
    }
    if (direction >= 0) {
        for (unsigned to : moves->towardsBlack)
            count += Append(position, identifier, pin, to, out + count);
    }
    if (TournamentRules(position))
        count += Append(position, identifier, pin, moves->sideways, out + count);
    return count;
}

bool BoardMovePromotes(const Position& position, int identifier, unsigned pin) {
    const int board = BoardIndexOf(identifier);
    if (board < 0) return false;
    const unsigned base = kBoardBase[board];
    if (pin == kPinQ1 || pin == kPinK1) {
        return position.board[base] == -kPawn || position.board[base + 8] == -kPawn;
    }
    if (pin == kPinQ6 || pin == kPinK6) {
        return position.board[base + 1] == kPawn || position.board[base + 9] == kPawn;
    }
    return false;
}

}  // namespace tarvex
