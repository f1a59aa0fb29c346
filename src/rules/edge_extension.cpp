#include "rules/edge_extension.h"

#include "board/attack_boards.h"
#include "rules/pin_columns.h"

namespace tarvex {
namespace {

// One walk along a column or a back row. Squares are marked only while marking is on: a walk
// starts with it off (the plain rays already reach the next board) and turns it on when the
// line crosses a vacant pin.
struct EdgeWalk {
    Position& position;
    uint32_t bit;
    bool white;
    bool marking;
    bool ended = false;

    // Checks one square; false when it blocks the line.
    bool Check(unsigned square) {
        const int piece = position.board[square];
        const bool own = piece != 0 && (piece > 0) == white;
        if (!own && marking) position.attacks[square] |= bit;
        if (piece != 0) ended = true;
        return piece == 0;
    }

    void VisitBoard(int board, const PinColumn& column, bool forward) {
        const unsigned base = kBoardBase[board];
        const unsigned first = base + (forward ? column.rearOffset : column.frontOffset);
        const unsigned second = base + (forward ? column.frontOffset : column.rearOffset);
        if (Check(first)) Check(second);
    }

    void Single(unsigned pin, const PinColumn& column, bool forward) {
        if (ended) return;
        const int board = BoardAt(position, pin);
        if (board >= 0) {
            VisitBoard(board, column, forward);
        } else {
            marking = true;
        }
    }

    void Last(unsigned pin, const PinColumn& column, bool forward) {
        if (ended) return;
        const int board = BoardAt(position, pin);
        if (board >= 0) VisitBoard(board, column, forward);
    }

    // The middle pair P2/P5, which may both hold a board over the same squares.
    void Group(const PinColumn& column, bool forward) {
        if (ended) return;
        const int atP2 = BoardAt(position, column.p2);
        const int atP5 = BoardAt(position, column.p5);
        if (atP2 < 0) {
            if (atP5 >= 0)
                VisitBoard(atP5, column, forward);
            else
                marking = true;
            return;
        }
        VisitBoard(atP2, column, forward);
        if (ended) {
            ended = false;
            if (atP5 >= 0) VisitBoard(atP5, column, forward);
            ended = true;
            return;
        }
        if (atP5 >= 0) VisitBoard(atP5, column, forward);
    }
};

void WalkForward(EdgeWalk& walk, const PinColumn& c, int number) {
    switch (number) {
        case 1:
            walk.Single(c.p3, c, true);
            [[fallthrough]];
        case 3:
            walk.Group(c, true);
            [[fallthrough]];
        case 2:
        case 5:
            walk.Single(c.p4, c, true);
            [[fallthrough]];
        case 4:
            walk.Last(c.p6, c, true);
            break;
        default:
            break;
    }
}

void WalkBackward(EdgeWalk& walk, const PinColumn& c, int number) {
    switch (number) {
        case 6:
            walk.Single(c.p4, c, false);
            [[fallthrough]];
        case 4:
            walk.Group(c, false);
            [[fallthrough]];
        case 2:
        case 5:
            walk.Single(c.p3, c, false);
            [[fallthrough]];
        case 3:
            walk.Last(c.p1, c, false);
            break;
        default:
            break;
    }
}

void ColumnWalks(Position& position, int slot, int board, unsigned offset, bool white) {
    const PinColumn& column = ColumnOfPin(position.abPin[board]);
    if (offset != column.rearOffset && offset != column.frontOffset) return;
    const bool rear = offset == column.rearOffset;
    const int number = PinNumber(position.abPin[board]);
    const uint32_t bit = 1u << slot;
    const bool forwardOpen = !rear || OwnOuterEmpty(position, column, board, column.frontOffset);
    if (forwardOpen && !(number == 4 && rear)) {
        EdgeWalk walk{position, bit, white, false};
        WalkForward(walk, column, number);
    }
    if (rear || OwnOuterEmpty(position, column, board, column.rearOffset)) {
        EdgeWalk walk{position, bit, white, false};
        WalkBackward(walk, column, number);
    }
}

void BackRowWalk(Position& position, int slot, int board, unsigned offset, bool white) {
    const unsigned pin = position.abPin[board];
    const unsigned base = kBoardBase[board];
    const bool rearRow = offset == 0 || offset == 8;
    const unsigned rowStart = rearRow ? 0 : 1;  // offset of the row's square on the first column
    unsigned targetPin;
    bool plus;
    if (rearRow && pin == kPinQ1)
        targetPin = kPinK1, plus = true;
    else if (rearRow && pin == kPinK1)
        targetPin = kPinQ1, plus = false;
    else if (!rearRow && pin == kPinQ6)
        targetPin = kPinK6, plus = true;
    else if (!rearRow && pin == kPinK6)
        targetPin = kPinQ6, plus = false;
    else
        return;
    const unsigned firstOfWalk = plus ? rowStart : rowStart + 8;
    const unsigned otherOwn = plus ? rowStart + 8 : rowStart;
    if (offset == firstOfWalk && position.board[base + otherOwn] != 0) return;
    const int target = BoardAt(position, targetPin);
    if (target < 0) return;
    const unsigned targetBase = kBoardBase[target];
    EdgeWalk walk{position, 1u << slot, white, true};
    const unsigned entry = targetBase + (plus ? rowStart : rowStart + 8);
    const unsigned beyond = targetBase + (plus ? rowStart + 8 : rowStart);
    if (walk.Check(entry)) walk.Check(beyond);
}

}  // namespace

void EdgeExtension(Position& position, int slot) {
    const unsigned square = position.pieces[slot].square;
    if (!IsAttackBoardSquare(square)) return;
    const int board = AttackBoardOfSquare(square);
    const unsigned offset = square - kBoardBase[board];
    const bool white = position.pieces[slot].code > 0;
    ColumnWalks(position, slot, board, offset, white);
    BackRowWalk(position, slot, board, offset, white);
}

}  // namespace tarvex
