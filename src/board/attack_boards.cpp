#include "board/attack_boards.h"

#include "board/position.h"
#include "core/error_report.h"

namespace tarvex {

namespace {
constexpr int kFileA = 0, kFileE = 4;
constexpr int kLevelLow = 3, kLevelMid = 5, kLevelHigh = 7;
}  // namespace

constexpr PinInfo kPins[kPinCount] = {
    {kPinQ1, "QL1", "Q1", "q1", BoardSide::kQueen, 1, kFileA, 0, kLevelLow, 1},
    {kPinQ2, "QL2", "Q2", "q2", BoardSide::kQueen, 2, kFileA, 4, kLevelLow, 8},
    {kPinQ3, "QL3", "Q3", "q3", BoardSide::kQueen, 3, kFileA, 2, kLevelMid, 2},
    {kPinQ4, "QL4", "Q4", "q4", BoardSide::kQueen, 4, kFileA, 6, kLevelMid, 16},
    {kPinQ5, "QL5", "Q5", "q5", BoardSide::kQueen, 5, kFileA, 4, kLevelHigh, 4},
    {kPinQ6, "QL6", "Q6", "q6", BoardSide::kQueen, 6, kFileA, 8, kLevelHigh, 32},
    {kPinK1, "KL1", "K1", "k1", BoardSide::kKing, 1, kFileE, 0, kLevelLow, 64},
    {kPinK2, "KL2", "K2", "k2", BoardSide::kKing, 2, kFileE, 4, kLevelLow, 512},
    {kPinK3, "KL3", "K3", "k3", BoardSide::kKing, 3, kFileE, 2, kLevelMid, 128},
    {kPinK4, "KL4", "K4", "k4", BoardSide::kKing, 4, kFileE, 6, kLevelMid, 1024},
    {kPinK5, "KL5", "K5", "k5", BoardSide::kKing, 5, kFileE, 4, kLevelHigh, 256},
    {kPinK6, "KL6", "K6", "k6", BoardSide::kKing, 6, kFileE, 8, kLevelHigh, 2048},
};

// The header's square-to-pin index follows this list.
constexpr bool PinIndexMatches() {
    for (int i = 0; i < kPinCount; ++i) {
        if (kPinIndexOfSquare.index[kPins[i].square] != i) return false;
    }
    return true;
}
static_assert(PinIndexMatches());

int BoardIndexOf(int identifier) {
    for (int i = 0; i < kBoardCount; ++i) {
        if (kBoardIds[i] == identifier) return i;
    }
    return -1;
}

unsigned PinOfBoard(const Position& position, int identifier) {
    const int board = BoardIndexOf(identifier);
    if (board < 0) {
        ErrorReport(kStable, "Bad which_ab @ GenAtBoMoves");
        return kNoSquare;
    }
    return position.abPin[board];
}

bool WhiteOwns(const Position& position, int identifier) {
    const int board = BoardIndexOf(identifier);
    if (board < 0) {
        ErrorReport(kStable, "WhiteOwns can't find board");
        return false;
    }
    return position.abWhite[board] != 0;
}

bool IsAttackBoardHome(const Position& position, int identifier) {
    const int board = BoardIndexOf(identifier);
    if (board < 0) {
        ErrorReport(kUnstable, "Error! Bad attack board @ IsAttackBoardHome");
        return false;
    }
    return position.abPin[board] == kHomePin[board];
}

int GetAttackBoardLevel(const Position& position, int boardIndex) {
    const PinInfo* pin = nullptr;
    if (boardIndex >= 0 && boardIndex < kBoardCount) pin = FindPin(position.abPin[boardIndex]);
    if (pin == nullptr) {
        ErrorReport(kUnstable, "Error! Bad which_ab @ GetAttackBoardLevel");
        return 0;
    }
    return pin->level;
}

void GetAttackBoardCoords(const Position& position, unsigned column, unsigned row, int boardIndex,
                          Coords& out) {
    const PinInfo* pin = nullptr;
    if (boardIndex >= 0 && boardIndex < kBoardCount) pin = FindPin(position.abPin[boardIndex]);
    if (pin == nullptr) {
        ErrorReport(kUnstable, "Bad which_ab @ GetAttackBoardCoords");
        return;
    }
    const int localColumn =
        static_cast<int>(column) - static_cast<int>(Column(kBoardBase[boardIndex]));
    const int localRow = static_cast<int>(row) - static_cast<int>(Row(kBoardBase[boardIndex]));
    // x = file - 3, y = rank - 5, z = level - 4, written out from the pin.
    out.x = static_cast<float>(pin->firstFile + localColumn - 3);
    out.y = static_cast<float>(pin->lowerRank + localRow - 5);
    out.z = static_cast<float>(pin->level - 4);
}

const char* PinName(unsigned pin, bool algebraic) {
    const PinInfo* info = FindPin(pin);
    if (info == nullptr) {
        ErrorReport(kStable, algebraic ? "Can't find AB string!2" : "Can't find AB string!1");
        return "";
    }
    return algebraic ? info->algName : info->longName;
}

const char* ShortPinName(unsigned pin) {
    const PinInfo* info = FindPin(pin);
    return info == nullptr ? "??" : info->shortName;
}

unsigned FreePinBit(const Position& position, unsigned square) {
    const PinInfo* info = FindPin(square);
    if (info == nullptr || BoardAtPin(position, square) != kNoBoard) return 0;
    return info->freeBit;
}

void ComputeBoardOwners(Position& position) {
    static constexpr unsigned kOffsets[4] = {0, 1, 8, 9};
    for (int board = 0; board < kBoardCount; ++board) {
        int count = 0;
        int code = 0;
        for (unsigned offset : kOffsets) {
            const int piece = position.board[kBoardBase[board] + offset];
            if (piece != 0) {
                ++count;
                code = piece;
            }
        }
        if (count == 0) position.abWhite[board] = kDefaultOwnerWhite[board];
        if (count == 1) position.abWhite[board] = code > 0 ? 1 : 0;
    }
}

}  // namespace tarvex
