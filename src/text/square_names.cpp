#include "text/square_names.h"

#include "board/attack_boards.h"
#include "core/console.h"
#include "core/error_report.h"
#include "core/game_types.h"

namespace tarvex {
namespace {

constexpr int kFiles2D = 8, kRanks2D = 8;
constexpr int kFallbackBoard = 3;  // board 122, named when a square belongs to no board

// Board, first square of its column and the column for each attack-board square.
struct BoardColumn {
    int board;
    unsigned first;
    int column;
};

BoardColumn ColumnOf(unsigned square) {
    const int board = AttackBoardOfSquare(square);
    const unsigned base = kBoardBase[board];
    const int column = Column(square) == Column(base) ? 0 : 1;
    return {board, base + (column == 0 ? 0u : 8u), column};
}

SquareText Name3D(const Position& p, unsigned s, int style, const char* error) {
    SquareText name{};
    const unsigned column = Column(s), row = Row(s);
    const char lowest = style == 0 ? 'b' : 'a';  // letter of main-level file b
    if (s >= 32 && s < 64) {
        name.text[0] = static_cast<char>(lowest + static_cast<int>(column) - 4);
        name.text[1] = static_cast<char>('1' + row);
    } else if (s < 32 && row >= 2 && row <= 5) {
        name.text[0] = static_cast<char>(lowest + static_cast<int>(column));
        name.text[1] = static_cast<char>('1' + row);
    } else if (s < 32) {
        const BoardColumn bc = ColumnOf(s);
        PosStrAB_L(name.text, s, bc.first, p.abPin[bc.board], bc.column, style);
    } else {
        ErrorReport(kStable, error);
    }
    return name;
}

}  // namespace

std::string SquareName2D(unsigned square) {
    return {static_cast<char>('a' + Column(square)), static_cast<char>('1' + Row(square))};
}

int FileOfLetter(char letter) {
    return letter >= 'a' && letter < 'a' + kFiles2D ? letter - 'a' : -1;
}

int RankOfDigit(char digit) {
    return digit >= '1' && digit < '1' + kRanks2D ? digit - '1' : -1;
}

std::optional<unsigned> ParseSquare2D(std::string_view name) {
    if (name.size() != 2) return std::nullopt;
    const int file = FileOfLetter(name[0]), rank = RankOfDigit(name[1]);
    if (file < 0 || rank < 0) return std::nullopt;
    return static_cast<unsigned>(file * 8 + rank);
}

void PosStrAB_L(char out[4], unsigned square, unsigned first, unsigned pin, int column, int style) {
    const unsigned k = square - first;
    const PinInfo* info = FindPin(pin);
    if (info == nullptr) {
        ErrorReport(kUnstable, "Error! Where is AB @ PosStrAB_L?");
        return;
    }
    const bool queenSide = info->side == BoardSide::kQueen;
    static constexpr char kQueenLetters[2][2] = {{'a', 'b'}, {'z', 'a'}};
    static constexpr char kKingLetters[2][2] = {{'e', 'f'}, {'d', 'e'}};
    out[0] = (queenSide ? kQueenLetters : kKingLetters)[style][column];
    out[1] = static_cast<char>('0' + info->lowerRank + static_cast<int>(k));
    out[2] = 0;
}

SquareText posstr3D(const Position& p, unsigned s) {
    return Name3D(p, s, 0, "can't posstr3D sq");
}

SquareText posstr3DRom(const Position& p, unsigned s) {
    return Name3D(p, s, 1, "can't posstr3DRom sq");
}

SquareText SquareName(const Position& p, unsigned s, int notation) {
    if (Is3D(p)) {
        if (notation == kNotationStandard) return posstr3D(p, s);
        if (notation == kNotationTournament || notation == kNotationAlgebraic)
            return posstr3DRom(p, s);
        return SquareText{};
    }
    SquareText name{};
    if (OffBoard(s)) return name;
    const std::string text = SquareName2D(s);
    name.text[0] = text[0];
    name.text[1] = text[1];
    return name;
}

const char* AttackBoardPinName(const Position& position, unsigned square, bool algebraic) {
    int board;
    if (IsAttackBoardSquare(square)) {
        board = AttackBoardOfSquare(square);
    } else {
        const unsigned atPin = BoardAtPin(position, square);
        if (atPin == kNoBoard) {
            ConsolePrint("\n%d", static_cast<int>(square));
            ErrorReport(kStable, "Non-AB for string @ GetABString!");
            board = kFallbackBoard;
        } else {
            board = static_cast<int>(atPin);
        }
    }
    const PinInfo* info = FindPin(position.abPin[board]);
    if (info == nullptr) {
        ErrorReport(kUnstable, "Warning: Can't find AB string!");
        return "";
    }
    return algebraic ? info->algName : info->longName;
}

std::string PlaceName3D(const Place3D& place) {
    return {static_cast<char>('a' + place.file), static_cast<char>('0' + place.rank)};
}

}  // namespace tarvex
