#include "text/notation.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "board/attack_boards.h"
#include "board/geometry.h"
#include "movegen/legal_moves.h"
#include "rules/make_move.h"
#include "text/square_names.h"

namespace tarvex {
namespace {

constexpr char kLetters[] = " PNBRQK";  // blank for an empty square
constexpr size_t kPrefixSize = 16;      // a disambiguation prefix and its terminator

char PieceLetter(int code) {
    return kLetters[code < 0 ? -code : code];
}

// The level letter of a square in a move text (upper case) or a prefix (lower case).
void LevelText(const Position& p, unsigned square, bool prefix, int notation, char out[8]) {
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
            text = AttackBoardPinName(p, square, notation == kNotationAlgebraic);
            break;
        default:
            text = prefix ? "OC3" : "OC2";
            break;
    }
    std::snprintf(out, 8, "%s", text);
}

// Whether the text ends with the letter of the piece a pawn becomes: a promotion, except where
// the Standard 3D texts name it with their kind character already.
bool EndsWithPromotionLetter(const Position& p, const Move& m, int notation) {
    if (Is3D(p) && notation == kNotationStandard) return false;
    if (IsBoardMove(m)) return IsPromotionKind(m.kind);
    const int piece = m.piece;
    return (piece == kPawn || piece == -kPawn) && !OffBoard(m.to) && PawnPromotesOn(p, piece, m.to);
}

void Append(char* out, const char* text) {
    const size_t used = std::strlen(out);
    std::snprintf(out + used, kMoveTextSize - used, "%s", text);
}

void BoardMoveText(const Position& p, const Move& m, const char* prefix, int notation, char* out) {
    if (notation == kNotationStandard) {
        static constexpr const char* kNames[] = {"QLW", "QLB", "KLW", "KLB"};
        const int board = BoardIndexOf(m.piece);
        const SquareText to = SquareName(p, m.to, notation);
        std::snprintf(out, kMoveTextSize, "%s%s(%d)", kNames[board], to.text, SquareLevel(p, m.to));
        if (m.kind != MoveKind::kBoardMove && m.kind != MoveKind::kNone) {
            const char kind[2] = {KindChar(m.kind), 0};
            Append(out, kind);
        }
        return;
    }
    std::snprintf(out, kMoveTextSize, "%s%s", prefix,
                  PinName(m.to, notation == kNotationAlgebraic));
}

void Text2D(const Position& p, const Move& m, const char* prefix, char* out) {
    const char letter = PieceLetter(m.piece);
    const char captured = PieceLetter(p.board[m.to]);
    const SquareText to = SquareName(p, m.to, kNotationTournament);
    if (m.piece != kPawn && m.piece != -kPawn) {
        if (m.kind == MoveKind::kQuiet) {
            std::snprintf(out, kMoveTextSize, "%c%s%s", letter, prefix, to.text);
        } else if (m.kind == MoveKind::kCapture && captured == 'P') {
            std::snprintf(out, kMoveTextSize, "%c%sx%s", letter, prefix, to.text);
        } else if (m.kind == MoveKind::kCapture) {
            std::snprintf(out, kMoveTextSize, "%c%sx%c%s", letter, prefix, captured, to.text);
        } else {
            std::snprintf(out, kMoveTextSize, "%c%s%c%s", letter, prefix, KindChar(m.kind),
                          to.text);
        }
        return;
    }
    const SquareText from = SquareName(p, m.from, kNotationTournament);
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

void Text3D(const Position& p, const Move& m, const char* prefix, int notation, char* out) {
    const char letter = PieceLetter(m.piece);
    const char captured = PieceLetter(p.board[m.to]);
    const SquareText to = SquareName(p, m.to, notation);
    const SquareText from = SquareName(p, m.from, notation);
    if (notation == kNotationStandard) {
        // The kind character: '-', 'x', 'e', or the letter of the piece a pawn becomes.
        std::snprintf(out, kMoveTextSize, "%c%s%s%c%s(%d)", letter, from.text, prefix,
                      KindChar(m.kind), to.text, SquareLevel(p, m.to));
        return;
    }
    // An en-passant capture takes a pawn that does not stand on the target square.
    const bool plainCapture = notation == kNotationAlgebraic || captured == 'P' || captured == ' ';
    const bool pawn = m.piece == kPawn || m.piece == -kPawn;
    if (!pawn) {
        if (m.kind == MoveKind::kQuiet) {
            std::snprintf(out, kMoveTextSize, "%c%s%s", letter, prefix, to.text);
        } else if (m.kind == MoveKind::kCapture && plainCapture) {
            std::snprintf(out, kMoveTextSize, "%c%sx%s", letter, prefix, to.text);
        } else if (m.kind == MoveKind::kCapture) {
            std::snprintf(out, kMoveTextSize, "%c%sx%c%s", letter, prefix, captured, to.text);
        } else {
            std::snprintf(out, kMoveTextSize, "%c%s%c%s", letter, prefix, KindChar(m.kind),
                          to.text);
        }
    } else if (from.text[0] == to.text[0]) {
        std::snprintf(out, kMoveTextSize, "%s%s", prefix, to.text);
    } else if (plainCapture) {
        std::snprintf(out, kMoveTextSize, "%c%sx%s", from.text[0], prefix, to.text);
    } else {
        std::snprintf(out, kMoveTextSize, "%c%sx%c%s", from.text[0], prefix, captured, to.text);
    }
    char level[8];
    LevelText(p, m.to, false, notation, level);
    Append(out, level);
    if (m.kind == MoveKind::kEnPassant) Append(out, "ep");
}

// What a prefix may name of a from-square: its file letter, its rank digit and its level.
enum Part { kFilePart = 1, kRankPart = 2, kLevelPart = 4 };

// The parts tried in turn: the first that no rival shares singles the mover out. The level
// comes only after the whole square name, so that a prefix of one letter is always a file
// (the Black level's letter "b" is also a file letter).
constexpr int kPrefixChoices[] = {kFilePart, kRankPart, kFilePart | kRankPart,
                                  kFilePart | kRankPart | kLevelPart};

struct FromSquare {
    SquareText name;
    int level;
};

// Whether two from-squares agree on every part named in parts.
bool AgreeOn(const FromSquare& a, const FromSquare& b, int parts) {
    if ((parts & kFilePart) && a.name.text[0] != b.name.text[0]) return false;
    if ((parts & kRankPart) && a.name.text[1] != b.name.text[1]) return false;
    if ((parts & kLevelPart) && a.level != b.level) return false;
    return true;
}

// The prefix of an attack-board move: the pin it leaves, when another board can go to the
// same pin (the same board's promotion variants are no rivals).
void BoardPrefix(const Position& p, const MoveTextList& list, int i, int notation,
                 char prefix[kPrefixSize]) {
    const Move& m = list.moves[i];
    for (int j = 0; j < list.count; ++j) {
        const Move& other = list.moves[j];
        if (IsBoardMove(other) && other.to == m.to && other.piece != m.piece) {
            std::snprintf(prefix, kPrefixSize, "%s",
                          AttackBoardPinName(p, m.from, notation == kNotationAlgebraic));
            return;
        }
    }
}

// The prefix that tells move i apart from the rivals: the moves of other pieces of its type to
// its square. It names the from-square's file if no rival shares it, else its rank, else both,
// and in the 3D game the level after them when rivals stand on squares of the same name.
// Standard 3D texts name the from-square in full, so there only a rival on a square of the
// same name counts, and the level alone tells them apart.
void Prefix(const Position& p, const MoveTextList& list, int i, int notation,
            char prefix[kPrefixSize]) {
    prefix[0] = 0;
    const Move& m = list.moves[i];
    if (m.piece == kKing || m.piece == -kKing) return;
    if (IsBoardMove(m)) return BoardPrefix(p, list, i, notation, prefix);
    const FromSquare mine{SquareName(p, m.from, notation), SquareLevel(p, m.from)};
    const bool standard3D = Is3D(p) && notation == kNotationStandard;
    FromSquare rivals[kMaxTextMoves];
    int count = 0;
    for (int j = 0; j < list.count; ++j) {
        const Move& other = list.moves[j];
        // A move from the same square is the same piece (a promotion's other letters).
        if (j == i || other.to != m.to || IsBoardMove(other) ||
            std::abs(other.piece) != std::abs(m.piece) || other.from == m.from) {
            continue;
        }
        const FromSquare rival{SquareName(p, other.from, notation), SquareLevel(p, other.from)};
        if (standard3D && !AgreeOn(mine, rival, kFilePart | kRankPart)) continue;
        rivals[count++] = rival;
    }
    if (count == 0) return;
    if (standard3D) {
        std::snprintf(prefix, kPrefixSize, "(%d)", mine.level);
        return;
    }
    for (int parts : kPrefixChoices) {
        bool alone = true;
        for (int r = 0; r < count && alone; ++r) alone = !AgreeOn(mine, rivals[r], parts);
        if (!alone) continue;
        char level[8] = "";
        if (parts & kLevelPart) LevelText(p, m.from, true, notation, level);
        std::snprintf(prefix, kPrefixSize, "%.1s%.1s%s", (parts & kFilePart) ? mine.name.text : "",
                      (parts & kRankPart) ? mine.name.text + 1 : "", level);
        return;
    }
}

}  // namespace

void MoveText(const Position& p, const Move& m, const char* prefix, int notation,
              char out[kMoveTextSize]) {
    out[0] = 0;
    if (OffBoard(m.to) || (!IsBoardMove(m) && OffBoard(m.from))) return;
    if (!Is3D(p)) {
        Text2D(p, m, prefix, out);
    } else if (IsBoardMove(m)) {
        BoardMoveText(p, m, prefix, notation, out);
    } else {
        Text3D(p, m, prefix, notation, out);
    }
    if (EndsWithPromotionLetter(p, m, notation)) {
        const MoveKind piece = m.kind == MoveKind::kPromoteBishop ||
                                       m.kind == MoveKind::kPromoteKnight ||
                                       m.kind == MoveKind::kPromoteRook
                                   ? m.kind
                                   : MoveKind::kPromoteQueen;
        const char letter[2] = {KindChar(piece), 0};
        Append(out, letter);
    }
    if (m.givesCheck != 0) Append(out, "+");
}

namespace {

void WriteText(const Position& position, const MoveTextList& list, int i, const Move& m,
               int notation, char out[kMoveTextSize]) {
    char prefix[kPrefixSize];
    Prefix(position, list, i, notation, prefix);
    if (m.kind == MoveKind::kCastleLong) {
        std::snprintf(out, kMoveTextSize, "O-O-O");
    } else if (m.kind == MoveKind::kCastleShort) {
        std::snprintf(out, kMoveTextSize, "O-O");
    } else {
        MoveText(position, m, prefix, notation, out);
    }
}

int FindMove(const MoveTextList& list, const Move& move) {
    for (int i = 0; i < list.count; ++i) {
        const Move& m = list.moves[i];
        if (m.to == move.to && m.from == move.from && m.piece == move.piece) return i;
    }
    return -1;
}

}  // namespace

int GenerateMoveTexts(const Position& position, int notation, MoveTextList& list) {
    list.count = GenerateDistinctMoves(position, list.moves);
    for (int i = 0; i < list.count; ++i) {
        WriteText(position, list, i, list.moves[i], notation, list.texts[i]);
    }
    return list.count;
}

const char* FindMoveText(const MoveTextList& list, const Move& move) {
    const int i = FindMove(list, move);
    return i < 0 ? "reselect" : list.texts[i];
}

namespace {

// The text of the move as the list names it, the promotion's piece included.
void ListedMoveText(const Position& position, const MoveTextList& list, const Move& move,
                    int notation, char out[kMoveTextSize]) {
    const int i = FindMove(list, move);
    if (i < 0) {
        std::snprintf(out, kMoveTextSize, "reselect");
        return;
    }
    std::snprintf(out, kMoveTextSize, "%s", list.texts[i]);
    if (!IsPromotionKind(move.kind)) return;
    for (int j = i; j < list.count; ++j) {
        const Move& m = list.moves[j];
        if (m.to == move.to && m.from == move.from && m.piece == move.piece &&
            m.kind == move.kind) {
            std::snprintf(out, kMoveTextSize, "%s", list.texts[j]);
            return;
        }
    }
    // Only the plain promoting move was generated (as when escaping check): its text with the
    // piece the pawn became.
    Move variant = list.moves[i];
    variant.kind = move.kind;
    WriteText(position, list, i, variant, notation, out);
}

}  // namespace

void MadeMoveText(const Position& position, const MoveTextList& list, const Move& made,
                  int notation, char out[kMoveTextSize]) {
    ListedMoveText(position, list, made, notation, out);
    const size_t length = std::strlen(out);
    if (made.givesCheck != 0 && length > 0 && length + 1 < kMoveTextSize &&
        out[length - 1] != '+') {
        out[length] = '+';
        out[length + 1] = 0;
    }
}

}  // namespace tarvex
