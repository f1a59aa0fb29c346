#include "text/position_text.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "board/attack_boards.h"
#include "board/dir_to.h"
#include "movegen/move_generation.h"
#include "rules/attacks.h"
#include "rules/make_move.h"
#include "rules/position_setup.h"
#include "text/square_names.h"

namespace tarvex {
namespace {

constexpr std::string_view kWhiteLetters = "PNBRQK";  // codes 1..6
constexpr std::string_view kBlackLetters = "pnbrqk";
constexpr int kNotAPiece = 99;
constexpr size_t kQuotedLength = 24;  // longest piece of the input a message repeats
constexpr int kFiles2D = 8, kRanks2D = 8;
constexpr int kPawnsPerSide = 8;
constexpr int kStandardCount[kKing + 1] = {0, 8, 2, 2, 2, 1, 1};  // by piece kind
constexpr uint32_t kEpHashShift = 8;
// Most en-passant moves one position can offer (two diagonals, four capturers, four targets).
constexpr int kMaxEnPassantMoves = 2 * kMaxStepSquares * kMaxStepSquares;

using Fields = std::vector<std::string_view>;

Fields SplitFields(std::string_view text) {
    Fields fields;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        const size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        if (i > start) fields.push_back(text.substr(start, i - start));
    }
    return fields;
}

// A piece of the input as a message shows it: quoted, shortened, unprintable bytes as '?'.
std::string Quote(std::string_view token) {
    std::string text = "'";
    for (size_t i = 0; i < token.size() && i < kQuotedLength; ++i) {
        const unsigned char c = static_cast<unsigned char>(token[i]);
        text += std::isprint(c) ? static_cast<char>(c) : '?';
    }
    if (token.size() > kQuotedLength) text += "...";
    return text + "'";
}

int CodeOfLetter(char letter) {
    const size_t white = kWhiteLetters.find(letter);
    if (white != std::string_view::npos) return static_cast<int>(white) + 1;
    const size_t black = kBlackLetters.find(letter);
    if (black != std::string_view::npos) return -static_cast<int>(black) - 1;
    return kNotAPiece;
}

char LetterOfCode(int code) {
    if (code > 0 && code <= kKing) return kWhiteLetters[static_cast<size_t>(code - 1)];
    if (code < 0 && code >= -kKing) return kBlackLetters[static_cast<size_t>(-code - 1)];
    return '.';
}

bool Fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

// A decimal number without sign in [low, high].
bool ReadNumber(std::string_view token, int low, int high, int& value) {
    if (token.empty() || token.size() > 6) return false;
    value = 0;
    for (char c : token) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high;
}

// ---- checks of the placed pieces ----

const char* SideName(bool white) {
    return white ? "White" : "Black";
}

bool CheckMen(const Position& p, std::string& error) {
    for (bool white : {true, false}) {
        int count[kKing + 1] = {};
        for (int code : p.board) {
            if (code != 0 && (code > 0) == white) ++count[code > 0 ? code : -code];
        }
        if (count[kKing] == 0) return Fail(error, std::string(SideName(white)) + " has no king");
        const std::string side = SideName(white);
        if (count[kKing] > 1) return Fail(error, side + " has more than one king");
        if (count[kPawn] > kPawnsPerSide) return Fail(error, side + " has more than 8 pawns");
        // Officers beyond the standard set can only be promoted pawns.
        int extras = 0;
        for (int kind = kKnight; kind <= kQueen; ++kind) {
            extras += std::max(0, count[kind] - kStandardCount[kind]);
        }
        if (extras > kPawnsPerSide - count[kPawn]) {
            return Fail(error, side + " has more promoted pieces than missing pawns");
        }
    }
    return true;
}

std::string SquareText(const Position& p, unsigned square) {
    return Is3D(p) ? std::to_string(square) : SquareName2D(square);
}

// Whether a pawn could never stand on square: in the 2D game on the first and last ranks; in
// the 3D game where it would have promoted on arriving. An attack board arriving or leaving
// decides that for the squares of its own and of the main-level corners it stands over (a pawn
// on a corner may find its board gone and its rank the last), so on the main levels only the
// squares that no board ever stands beyond are refused: the c and d files of the far rank.
bool PawnCannotStand(const Position& p, int code, unsigned square) {
    if (!Is3D(p)) return Row(square) == 0 || Row(square) == 7;
    if (IsAttackBoardSquare(square)) return PawnPromotesOn(p, code, square);
    const Place3D place = SquarePlace3D(p.abPin, square);
    const bool innerFile = place.file == 2 || place.file == 3;
    return innerFile && place.rank == (code > 0 ? 8 : 1);
}

bool CheckPawns(const Position& p, std::string& error) {
    for (unsigned square = 0; square < kBoardSquares; ++square) {
        const int code = p.board[square];
        if (code != kPawn && code != -kPawn) continue;
        if (PawnCannotStand(p, code, square)) {
            return Fail(error, "pawn on " + SquareText(p, square) + " cannot stand on that rank");
        }
    }
    return true;
}

// Whether a piece and owner of each attack board agree: an empty board belongs to its default
// owner, a board with one piece to that piece's side.
bool CheckOwners(const Position& p, std::string& error) {
    Position owned = p;
    ComputeBoardOwners(owned);
    for (int board = 0; board < kBoardCount; ++board) {
        const uint32_t expected = owned.abWhite[board];
        if (p.abWhite[board] != expected) {
            return Fail(error, std::string("pins: the board at ") + ShortPinName(p.abPin[board]) +
                                   " belongs to " +
                                   (expected != 0 ? "White ('w')" : "Black ('b')"));
        }
    }
    return true;
}

// ---- fields shared by both games ----

bool ReadSide(std::string_view token, Position& p, std::string& error) {
    if (token != "w" && token != "b")
        return Fail(error, "side to move must be 'w' or 'b', not " + Quote(token));
    p.ply = token == "b" ? 1 : 0;
    return true;
}

struct CastlingHome {
    char letter;
    uint32_t right;
    unsigned king;
    unsigned rook;
    int sign;
};

constexpr CastlingHome kHomes2D[4] = {{'K', kWhiteKingSide, 32, 56, 1},
                                      {'Q', kWhiteQueenSide, 32, 0, 1},
                                      {'k', kBlackKingSide, 39, 63, -1},
                                      {'q', kBlackQueenSide, 39, 7, -1}};
constexpr CastlingHome kHomes3D[4] = {{'K', kWhiteKingSide, 16, 24, 1},
                                      {'Q', kWhiteQueenSide, 16, 0, 1},
                                      {'k', kBlackKingSide, 23, 31, -1},
                                      {'q', kBlackQueenSide, 23, 7, -1}};

bool ReadCastling(std::string_view token, Position& p, std::string& error) {
    p.flags = 0;
    if (token == "-") return true;
    const CastlingHome* homes = Is3D(p) ? kHomes3D : kHomes2D;
    for (char letter : token) {
        const CastlingHome* home = nullptr;
        for (int i = 0; i < 4; ++i) {
            if (homes[i].letter == letter) home = &homes[i];
        }
        if (home == nullptr)
            return Fail(error, "castling rights: unknown letter " + Quote({&letter, 1}));
        if (p.flags & home->right)
            return Fail(error, "castling rights: " + Quote({&letter, 1}) + " given twice");
        if (p.board[home->king] != home->sign * kKing ||
            p.board[home->rook] != home->sign * kRook) {
            return Fail(error, "castling right " + Quote({&letter, 1}) +
                                   " needs the king and the rook on their home squares");
        }
        p.flags |= home->right;
    }
    return true;
}

// The en-passant square must lie just behind a pawn of the side that has moved, which passed
// over it. It is kept only when a pawn of the side to move can take there, as a move records it.
bool CheckPassedPawn(const Position& p, unsigned ep, std::string& error) {
    const int passer = WhiteToMove(p) ? -kPawn : kPawn;
    if (!Is3D(p)) {
        const bool rowFits = WhiteToMove(p) ? Row(ep) == 5 : Row(ep) == 2;
        if (!rowFits)
            return Fail(error,
                        "en-passant square " + SquareName2D(ep) + " does not fit the side to move");
        const unsigned pawn = WhiteToMove(p) ? ep - 1 : ep + 1;
        const unsigned origin = WhiteToMove(p) ? ep + 1 : ep - 1;
        if (p.board[pawn] != passer || p.board[ep] != 0 || p.board[origin] != 0) {
            return Fail(error, "en-passant square " + SquareName2D(ep) +
                                   ": no pawn has just passed over it");
        }
        return true;
    }
    StepList beyond;
    DirTo(p, ep, WhiteToMove(p) ? -1 : 1, beyond);
    for (uint32_t i = 0; i < beyond.count; ++i) {
        if (p.board[beyond.sq[i]] == passer) return true;
    }
    return Fail(error,
                "en-passant square " + std::to_string(ep) + ": no pawn has just passed over it");
}

bool ReadEnPassant(std::string_view token, Position& p, std::string& error) {
    p.epSquare = 0;
    if (token == "-") return true;
    unsigned ep = 0;
    if (Is3D(p)) {
        int index = 0;
        if (!ReadNumber(token, 1, kBoardSquares - 1, index)) {
            return Fail(error, "en-passant square must be '-' or an index from 1 to 63, not " +
                                   Quote(token));
        }
        ep = static_cast<unsigned>(index);
    } else {
        const std::optional<unsigned> named = ParseSquare2D(token);
        if (!named)
            return Fail(error,
                        "en-passant square must be '-' or a square name, not " + Quote(token));
        ep = *named;
    }
    if (!CheckPassedPawn(p, ep, error)) return false;
    p.epSquare = ep;
    return true;
}

// Builds the draft and checks what needs the attack data; drops an en-passant square that no
// pawn can use and marks a check of the side to move.
bool Complete(Position& draft, uint64_t moved, std::string& error) {
    if (!BuildPosition(draft, moved)) return Fail(error, "the position cannot be set up");
    if (draft.epSquare != 0) {
        Position probe = draft;
        Move moves[kMaxEnPassantMoves];
        if (AppendEnPassant(probe, moves) == 0) {
            draft.hashKey ^= draft.epSquare << kEpHashShift;
            draft.epSquare = 0;
        }
    }
    const bool whiteToMove = WhiteToMove(draft);
    if (whiteToMove ? BlackInCheck(draft) : WhiteInCheck(draft)) {
        return Fail(error, "the side not to move is in check");
    }
    if (whiteToMove ? WhiteInCheck(draft) : BlackInCheck(draft)) draft.flags |= kInCheck;
    return true;
}

// ---- 2D ----

bool ReadBoard2D(std::string_view field, Position& p, std::string& error) {
    int rank = kRanks2D - 1, file = 0;
    for (char c : field) {
        if (c == '/') {
            if (file != kFiles2D)
                return Fail(error,
                            "board: rank " + std::to_string(rank + 1) + " does not hold 8 squares");
            if (--rank < 0) return Fail(error, "board: more than 8 ranks");
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
        } else {
            const int code = CodeOfLetter(c);
            if (code == kNotAPiece) return Fail(error, "board: unknown letter " + Quote({&c, 1}));
            if (file < kFiles2D) p.board[file * 8 + rank] = code;
            ++file;
        }
        if (file > kFiles2D)
            return Fail(error,
                        "board: rank " + std::to_string(rank + 1) + " does not hold 8 squares");
    }
    if (file != kFiles2D)
        return Fail(error, "board: rank " + std::to_string(rank + 1) + " does not hold 8 squares");
    if (rank != 0) return Fail(error, "board: fewer than 8 ranks");
    return true;
}

bool ReadCounters(const Fields& fields, Position& p, std::string& error) {
    int halfmove = 0, moveNumber = 1;
    if (fields.size() > 4 && !ReadNumber(fields[4], 0, kMaxTextHalfmoveClock, halfmove)) {
        return Fail(error, "halfmove clock must be a number from 0 to " +
                               std::to_string(kMaxTextHalfmoveClock) + ", not " + Quote(fields[4]));
    }
    if (fields.size() > 5 && !ReadNumber(fields[5], 1, kMaxTextMoveNumber, moveNumber)) {
        return Fail(error, "move number must be a number from 1 to " +
                               std::to_string(kMaxTextMoveNumber) + ", not " + Quote(fields[5]));
    }
    p.quietPlies = static_cast<uint32_t>(halfmove) + 1;
    p.ply += 2 * static_cast<uint32_t>(moveNumber - 1);
    return true;
}

bool Read2D(const Fields& fields, Position& draft, std::string& error) {
    if (fields.size() < 4 || fields.size() > 6) {
        return Fail(error, "FEN needs 4 to 6 fields, found " + std::to_string(fields.size()));
    }
    return ReadBoard2D(fields[0], draft, error) && CheckMen(draft, error) &&
           CheckPawns(draft, error) && ReadSide(fields[1], draft, error) &&
           ReadCastling(fields[2], draft, error) && ReadEnPassant(fields[3], draft, error) &&
           ReadCounters(fields, draft, error);
}

std::string Write2D(const Position& p) {
    std::string text;
    for (int rank = kRanks2D - 1; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < kFiles2D; ++file) {
            const int code = p.board[file * 8 + rank];
            if (code == 0) {
                ++empty;
                continue;
            }
            if (empty > 0) text += static_cast<char>('0' + empty), empty = 0;
            text += LetterOfCode(code);
        }
        if (empty > 0) text += static_cast<char>('0' + empty);
        if (rank > 0) text += '/';
    }
    return text;
}

// ---- 3D ----

bool ReadSquares3D(std::string_view field, Position& p, std::string& error) {
    if (field.size() != kBoardSquares) {
        return Fail(error,
                    "squares: expected 64 characters, found " + std::to_string(field.size()));
    }
    for (unsigned square = 0; square < kBoardSquares; ++square) {
        const char c = field[square];
        const int code = c == '.' ? 0 : CodeOfLetter(c);
        if (code == kNotAPiece) {
            return Fail(error, "squares: unknown letter " + Quote({&c, 1}) + " at index " +
                                   std::to_string(square));
        }
        p.board[square] = code;
    }
    return true;
}

bool ReadPins(std::string_view field, Position& p, std::string& error) {
    Fields entries;
    size_t start = 0;
    for (size_t i = 0; i <= field.size(); ++i) {
        if (i == field.size() || field[i] == ',') {
            entries.push_back(field.substr(start, i - start));
            start = i + 1;
        }
    }
    if (entries.size() != kBoardCount) {
        return Fail(error, "pins: expected 4 entries (boards 100, 106, 116, 122), found " +
                               std::to_string(entries.size()));
    }
    for (int board = 0; board < kBoardCount; ++board) {
        const std::string_view entry = entries[static_cast<size_t>(board)];
        const PinInfo* pin = nullptr;
        for (const PinInfo& info : kPins) {
            if (entry.size() == 3 && entry.substr(0, 2) == info.shortName) pin = &info;
        }
        if (pin == nullptr) return Fail(error, "pins: unknown pin " + Quote(entry.substr(0, 2)));
        if (entry[2] != 'w' && entry[2] != 'b') {
            return Fail(error, "pins: owner of " + Quote(entry) + " must be 'w' or 'b'");
        }
        for (int other = 0; other < board; ++other) {
            if (p.abPin[other] == pin->square)
                return Fail(error, std::string("pins: pin ") + pin->shortName + " given twice");
        }
        p.abPin[board] = pin->square;
        p.abWhite[board] = entry[2] == 'w' ? 1 : 0;
    }
    return true;
}

// The sixth field: the pawns that stand on a start square without their double step, having
// moved there.
bool ReadMovedPawns(std::string_view field, const Position& p, uint64_t& moved,
                    std::string& error) {
    size_t start = 0;
    for (size_t i = 0; i <= field.size(); ++i) {
        if (i < field.size() && field[i] != ',') continue;
        const std::string_view entry = field.substr(start, i - start);
        start = i + 1;
        int square = 0;
        if (!ReadNumber(entry, 0, kBoardSquares - 1, square)) {
            return Fail(error, "moved pawns: expected square indexes, not " + Quote(entry));
        }
        const int code = p.board[square];
        const unsigned startRow = code > 0 ? 1 : 6;
        if ((code != kPawn && code != -kPawn) || Row(static_cast<unsigned>(square)) != startRow) {
            return Fail(error, "moved pawns: no pawn on its start square at " + Quote(entry));
        }
        moved |= uint64_t{1} << square;
    }
    return true;
}

bool Read3D(const Fields& fields, Position& draft, uint64_t& moved, std::string& error) {
    if (fields.size() != 5 && fields.size() != 6)
        return Fail(error,
                    "3D position text needs 5 or 6 fields, found " + std::to_string(fields.size()));
    draft.quietPlies = 0;
    return ReadSquares3D(fields[0], draft, error) && ReadPins(fields[1], draft, error) &&
           CheckMen(draft, error) && CheckPawns(draft, error) && CheckOwners(draft, error) &&
           ReadSide(fields[2], draft, error) && ReadCastling(fields[3], draft, error) &&
           ReadEnPassant(fields[4], draft, error) &&
           (fields.size() == 5 || ReadMovedPawns(fields[5], draft, moved, error));
}

std::string Write3D(const Position& p) {
    std::string text;
    for (int code : p.board) text += LetterOfCode(code);
    text += ' ';
    for (int board = 0; board < kBoardCount; ++board) {
        if (board > 0) text += ',';
        text += ShortPinName(p.abPin[board]);
        text += p.abWhite[board] != 0 ? 'w' : 'b';
    }
    return text;
}

std::string CastlingText(const Position& p) {
    std::string text;
    for (const CastlingHome& home : kHomes2D) {
        if (p.flags & home.right) text += home.letter;
    }
    return text.empty() ? "-" : text;
}

}  // namespace

std::string_view StartPositionText(int gameKind) {
    return gameKind == kGame2D ? kStartText2D : kStartText3D;
}

bool ReadPositionText(int gameKind, int rules, std::string_view text, Position& out,
                      std::string& error) {
    Position draft;
    ClearPosition(draft, gameKind, rules);
    const Fields fields = SplitFields(text);
    uint64_t moved = 0;
    const bool read =
        gameKind == kGame3D ? Read3D(fields, draft, moved, error) : Read2D(fields, draft, error);
    if (!read || !Complete(draft, moved, error)) return false;
    out = draft;
    return true;
}

std::string WritePositionText(const Position& p) {
    const bool three = Is3D(p);
    std::string text = three ? Write3D(p) : Write2D(p);
    text += WhiteToMove(p) ? " w " : " b ";
    text += CastlingText(p);
    text += ' ';
    if (p.epSquare == 0) {
        text += '-';
    } else {
        text += three ? std::to_string(p.epSquare) : SquareName2D(p.epSquare);
    }
    if (!three) {
        const uint32_t halfmove = p.quietPlies > 0 ? p.quietPlies - 1 : 0;
        text += ' ' + std::to_string(halfmove) + ' ' + std::to_string(p.ply / 2 + 1);
        return text;
    }
    const uint64_t moved = MovedStartPawns(p);
    for (unsigned square = 0; square < kBoardSquares; ++square) {
        if ((moved >> square & 1) == 0) continue;
        text += (moved & ((uint64_t{1} << square) - 1)) == 0 ? ' ' : ',';
        text += std::to_string(square);
    }
    return text;
}

}  // namespace tarvex
