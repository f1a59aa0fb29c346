#include "game/notation.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "board/attack_boards.h"
#include "board/geometry.h"
#include "core/error_report.h"
#include "core/settings.h"
#include "movegen/evasions.h"
#include "movegen/move_generation.h"
#include "moves/make_move.h"

namespace tarvex {
namespace {

constexpr char kLetters[] = " PNBRQK";  // blank for an empty square

char PieceLetter(int code) {
    return kLetters[code < 0 ? -code : code];
}

int Notation() {
    return GetSettings().notation.load(std::memory_order_relaxed);
}

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

// The level letter of a square in a move text (upper case) or a prefix (lower case).
void LevelText(const Position& p, unsigned square, bool prefix, char out[8]) {
    const int level = SquareLevel(p, square);
    const char* text;
    switch (level) {
        case kWhiteLevel:
            text = prefix ? "w" : "W";
            break;
        case kNeutralLevel:
            text = prefix ? "n" : "N";
            break;
        case kBlackLevel:
            text = prefix ? "b" : "B";
            break;
        case 3:
        case 5:
        case 7:
            text = GetABString(p, square);
            break;
        default:
            text = prefix ? "OC3" : "OC2";
            break;
    }
    std::snprintf(out, 8, "%s", text);
}

bool IsPromotingMove(const Position& p, const Move& m) {
    if (IsBoardMove(m)) return IsPromotionKind(m.kind);
    const int piece = m.piece;
    return (piece == kPawn || piece == -kPawn) && !OffBoard(m.to) && PawnPromotesOn(p, piece, m.to);
}

void Append(char* out, const char* text) {
    const size_t used = std::strlen(out);
    std::snprintf(out + used, kMoveTextSize - used, "%s", text);
}

void BoardMoveText(const Position& p, const Move& m, const char* prefix, char* out) {
    if (Notation() == kNotationStandard) {
        static constexpr const char* kNames[] = {"QLW", "QLB", "KLW", "KLB"};
        const int board = BoardIndexOf(m.piece);
        const SquareText to = SquareName(p, m.to);
        std::snprintf(out, kMoveTextSize, "%s%s(%d)", kNames[board], to.text, SquareLevel(p, m.to));
        if (m.kind != 'T' && m.kind != 0) {
            const char kind[2] = {m.kind, 0};
            Append(out, kind);
        }
        return;
    }
    std::snprintf(out, kMoveTextSize, "%s%s", prefix,
                  PinName(m.to, Notation() == kNotationAlgebraic));
}

void Text2D(const Position& p, const Move& m, const char* prefix, char* out) {
    const char letter = PieceLetter(m.piece);
    const char captured = PieceLetter(p.board[m.to]);
    const SquareText to = SquareName(p, m.to);
    if (m.piece != kPawn && m.piece != -kPawn) {
        if (m.kind == '-') {
            std::snprintf(out, kMoveTextSize, "%c%s%s", letter, prefix, to.text);
        } else if (m.kind == 'x' && captured == 'P') {
            std::snprintf(out, kMoveTextSize, "%c%sx%s", letter, prefix, to.text);
        } else if (m.kind == 'x') {
            std::snprintf(out, kMoveTextSize, "%c%sx%c%s", letter, prefix, captured, to.text);
        } else {
            std::snprintf(out, kMoveTextSize, "%c%s%c%s", letter, prefix, m.kind, to.text);
        }
        return;
    }
    const SquareText from = SquareName(p, m.from);
    if (from.text[0] == to.text[0]) {
        std::snprintf(out, kMoveTextSize, "%s", to.text);
    } else if (captured == ' ') {
        std::snprintf(out, kMoveTextSize, "%cx%sep?", from.text[0], to.text);
    } else if (captured == 'P') {
        std::snprintf(out, kMoveTextSize, "%cx%s", from.text[0], to.text);
    } else {
        std::snprintf(out, kMoveTextSize, "%cx%c%s", from.text[0], captured, to.text);
    }
}

void Text3D(const Position& p, const Move& m, const char* prefix, char* out) {
    const char letter = PieceLetter(m.piece);
    const char captured = PieceLetter(p.board[m.to]);
    const SquareText to = SquareName(p, m.to);
    const SquareText from = SquareName(p, m.from);
    if (Notation() == kNotationStandard) {
        // A promotion shows capture or move here; its piece follows at the end of the text.
        char kind = m.kind;
        if (IsPromotionKind(kind)) kind = p.board[m.to] != 0 ? 'x' : '-';
        std::snprintf(out, kMoveTextSize, "%c%s%s%c%s(%d)", letter, from.text, prefix, kind,
                      to.text, SquareLevel(p, m.to));
        return;
    }
    // An en-passant capture takes a pawn that does not stand on the target square.
    const bool plainCapture =
        Notation() == kNotationAlgebraic || captured == 'P' || captured == ' ';
    const bool pawn = m.piece == kPawn || m.piece == -kPawn;
    if (!pawn) {
        if (m.kind == '-') {
            std::snprintf(out, kMoveTextSize, "%c%s%s", letter, prefix, to.text);
        } else if (m.kind == 'x' && plainCapture) {
            std::snprintf(out, kMoveTextSize, "%c%sx%s", letter, prefix, to.text);
        } else if (m.kind == 'x') {
            std::snprintf(out, kMoveTextSize, "%c%sx%c%s", letter, prefix, captured, to.text);
        } else {
            std::snprintf(out, kMoveTextSize, "%c%s%c%s", letter, prefix, m.kind, to.text);
        }
    } else if (from.text[0] == to.text[0]) {
        std::snprintf(out, kMoveTextSize, "%s%s", prefix, to.text);
    } else if (plainCapture) {
        std::snprintf(out, kMoveTextSize, "%c%sx%s", from.text[0], prefix, to.text);
    } else {
        std::snprintf(out, kMoveTextSize, "%c%sx%c%s", from.text[0], prefix, captured, to.text);
    }
    char level[8];
    LevelText(p, m.to, false, level);
    Append(out, level);
    if (m.kind == 'e') Append(out, "ep");
}

// The prefix that tells move i apart from the other moves of its piece type to its square: the
// from-file when that is enough, else the from-rank, and in the 3D game the from-level when
// two such pieces stand on squares of the same name. (Taking the strongest need over all the
// other moves keeps three or more such pieces apart too.)
void Prefix(const Position& p, const MoveTextList& list, int i, char prefix[8]) {
    prefix[0] = 0;
    const Move& m = list.moves[i];
    if (m.piece == kKing || m.piece == -kKing) return;
    enum Need { kNothing, kFile, kRank, kLevel } need = kNothing;
    const SquareText mine = SquareName(p, m.from);
    for (int j = 0; j < list.count; ++j) {
        const Move& other = list.moves[j];
        if (j == i || other.to != m.to) continue;
        if (IsBoardMove(m)) {
            if (IsBoardMove(other)) std::snprintf(prefix, 8, "%s", GetABString(p, m.from));
            continue;
        }
        // A move from the same square is the same piece (a promotion's other letters).
        if (IsBoardMove(other) || std::abs(other.piece) != std::abs(m.piece) ||
            other.from == m.from) {
            continue;
        }
        const SquareText theirs = SquareName(p, other.from);
        Need here = kFile;
        if (std::strcmp(mine.text, theirs.text) == 0) {
            here = SquareLevel(p, m.from) != SquareLevel(p, other.from) ? kLevel : kNothing;
        } else if (mine.text[0] == theirs.text[0]) {
            here = kRank;
        }
        need = std::max(need, here);
    }
    if (IsBoardMove(m)) return;
    // Standard texts name the from-square in full; only its level may need adding.
    if (Is3D() && Notation() == kNotationStandard) {
        if (need == kLevel) std::snprintf(prefix, 8, "(%d)", SquareLevel(p, m.from));
        return;
    }
    if (need == kFile) std::snprintf(prefix, 8, "%c", mine.text[0]);
    if (need == kRank) std::snprintf(prefix, 8, "%c", mine.text[1]);
    if (need == kLevel) LevelText(p, m.from, true, prefix);
}

bool SameRecord(const Move& a, const Move& b) {
    return a.from == b.from && a.to == b.to && a.score == b.score && a.piece == b.piece &&
           a.kind == b.kind && a.givesCheck == b.givesCheck;
}

}  // namespace

static thread_local std::unique_ptr<MoveTextList> tLastGenerated;

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

SquareText SquareName(const Position& p, unsigned s) {
    if (Is3D()) {
        const int notation = Notation();
        if (notation == kNotationStandard) return posstr3D(p, s);
        if (notation == kNotationTournament || notation == kNotationAlgebraic)
            return posstr3DRom(p, s);
        return SquareText{};
    }
    SquareText name{};
    if (OffBoard(s)) return name;
    name.text[0] = static_cast<char>('a' + Column(s));
    name.text[1] = static_cast<char>('1' + Row(s));
    return name;
}

const char* PinName(unsigned pin) {
    return ShortPinName(pin);
}

void MoveText(const Position& p, const Move& m, const char* prefix, char out[kMoveTextSize]) {
    out[0] = 0;
    if (OffBoard(m.to) || (!IsBoardMove(m) && OffBoard(m.from))) return;
    if (!Is3D()) {
        Text2D(p, m, prefix, out);
    } else if (IsBoardMove(m)) {
        BoardMoveText(p, m, prefix, out);
    } else {
        Text3D(p, m, prefix, out);
    }
    if (IsPromotingMove(p, m)) {
        const char letter[2] = {m.kind == 'B' || m.kind == 'N' || m.kind == 'R' ? m.kind : 'Q', 0};
        Append(out, letter);
    }
    if (m.givesCheck != 0) Append(out, "+");
}

int GenerateMoveTexts(const Position& position, MoveTextList& list) {
    Position scratch = position;
    Move generated[kMaxMoves] = {};
    const int count = (scratch.flags & kInCheck) ? GenerateEvasions(scratch, generated)
                                                 : GenerateMoves(scratch, generated);
    list.count = 0;
    for (int i = 0; i < count && list.count < kMaxTextMoves; ++i) {
        bool seen = false;
        for (int j = 0; j < list.count && !seen; ++j)
            seen = SameRecord(list.moves[j], generated[i]);
        if (!seen) list.moves[list.count++] = generated[i];
    }
    for (int i = 0; i < list.count; ++i) {
        const Move& m = list.moves[i];
        char prefix[8];
        Prefix(position, list, i, prefix);
        if (m.kind == 'L') {
            std::snprintf(list.texts[i], kMoveTextSize, "O-O-O");
        } else if (m.kind == 'S') {
            std::snprintf(list.texts[i], kMoveTextSize, "O-O");
        } else {
            MoveText(position, m, prefix, list.texts[i]);
        }
    }
    if (!tLastGenerated) tLastGenerated = std::make_unique<MoveTextList>();
    *tLastGenerated = list;
    return list.count;
}

const char* FindMoveText(const Move& move) {
    if (tLastGenerated) {
        const MoveTextList& last = *tLastGenerated;
        for (int i = 0; i < last.count; ++i) {
            const Move& m = last.moves[i];
            if (m.to == move.to && m.from == move.from && m.piece == move.piece)
                return last.texts[i];
        }
    }
    return "reselect";
}

}  // namespace tarvex

namespace tarvex {

void MadeMoveText(const Move& move, char out[kMoveTextSize]) {
    std::snprintf(out, kMoveTextSize, "%s", FindMoveText(move));
    if (!IsPromotionKind(move.kind) || !tLastGenerated) return;
    const MoveTextList& last = *tLastGenerated;
    for (int i = 0; i < last.count; ++i) {
        const Move& m = last.moves[i];
        if (m.to == move.to && m.from == move.from && m.piece == move.piece &&
            m.kind == move.kind) {
            std::snprintf(out, kMoveTextSize, "%s", last.texts[i]);
            return;
        }
    }
    // Only the plain promoting move was generated (as when escaping check): name the piece.
    char* letter = std::strrchr(out, 'Q');
    if (letter != nullptr) *letter = move.kind;
}

}  // namespace tarvex
