#include "text/pgn.h"

#include <cstdlib>
#include <ctime>
#include <memory>

#include "board/geometry.h"
#include "movegen/legal_moves.h"
#include "rules/make_move.h"
#include "text/position_text.h"
#include "text/square_names.h"

namespace tarvex {
namespace {

constexpr size_t kLineWidth = 79;  // PGN export lines stay below 80 columns
constexpr const char* kSanPieces = "NBRQK";

int PieceType(const Position& position, const Move& move) {
    return std::abs(position.board[move.from]);
}

// A pawn changes its file only when it captures (en passant included).
bool IsCapture(const Position& position, const Move& move) {
    if (position.board[move.to] != 0) return true;
    return PieceType(position, move) == kPawn && Column(move.from) != Column(move.to);
}

struct LegalEntry {
    Move move;
    bool check = false;
    bool mate = false;
};

std::vector<LegalEntry> LegalEntries(const Position& position) {
    std::vector<LegalEntry> entries;
    auto scratch = std::make_unique<Position>(position);
    ForEachLegalMove(*scratch, [&entries](const Move& move, const Position& child) {
        const bool check = (child.flags & kInCheck) != 0;
        entries.push_back({move, check, check && !HasLegalMove(child)});
    });
    return entries;
}

// What tells a piece move apart from the moves of the other pieces of its type to the same
// square: nothing, the from-file, the from-rank, or both, in that order of preference.
std::string Disambiguation(const Position& position, const Move& move,
                           const std::vector<LegalEntry>& entries) {
    bool rival = false, sameFile = false, sameRank = false;
    for (const LegalEntry& other : entries) {
        const Move& m = other.move;
        if (m.to != move.to || m.from == move.from) continue;
        if (PieceType(position, m) != PieceType(position, move)) continue;
        rival = true;
        sameFile = sameFile || Column(m.from) == Column(move.from);
        sameRank = sameRank || Row(m.from) == Row(move.from);
    }
    if (!rival) return "";
    const std::string from = SquareName2D(move.from);
    if (!sameFile) return from.substr(0, 1);
    if (!sameRank) return from.substr(1);
    return from;
}

std::string EntryText(const Position& position, const LegalEntry& entry,
                      const std::vector<LegalEntry>& entries) {
    const Move& move = entry.move;
    std::string text;
    if (move.kind == MoveKind::kCastleShort) {
        text = "O-O";
    } else if (move.kind == MoveKind::kCastleLong) {
        text = "O-O-O";
    } else {
        const int type = PieceType(position, move);
        const bool capture = IsCapture(position, move);
        if (type == kPawn) {
            if (capture) text += SquareName2D(move.from).front();
        } else {
            text += kPieceLetters[type - 1];
            text += Disambiguation(position, move, entries);
        }
        if (capture) text += 'x';
        text += SquareName2D(move.to);
        if (IsPromotionKind(move.kind)) {
            text += '=';
            text += KindChar(move.kind);
        }
    }
    if (entry.mate) {
        text += '#';
    } else if (entry.check) {
        text += '+';
    }
    return text;
}

// ---- reading SAN ----

struct SanParts {
    int type = kPawn;
    int fromFile = -1;
    int fromRank = -1;
    unsigned to = 0;
    MoveKind promotion = MoveKind::kNone;
    MoveKind castling = MoveKind::kNone;
};

// The promotion at the end of a token: "=Q", or a bare letter after the target square.
void TakePromotion(std::string_view& token, SanParts& parts) {
    if (token.size() < 2) return;
    const char last = token.back();
    if (last != 'Q' && last != 'R' && last != 'B' && last != 'N') return;
    const char before = token[token.size() - 2];
    if (before != '=' && RankOfDigit(before) < 0) return;
    parts.promotion = static_cast<MoveKind>(last);  // the letters are the kinds' characters
    token.remove_suffix(before == '=' ? 2 : 1);
}

bool ParseSan(std::string_view token, SanParts& parts) {
    while (!token.empty() &&
           std::string_view("+#!?").find(token.back()) != std::string_view::npos) {
        token.remove_suffix(1);
    }
    if (token == "O-O" || token == "0-0") return parts.castling = MoveKind::kCastleShort, true;
    if (token == "O-O-O" || token == "0-0-0") return parts.castling = MoveKind::kCastleLong, true;
    TakePromotion(token, parts);
    if (token.size() < 2) return false;
    const std::optional<unsigned> to = ParseSquare2D(token.substr(token.size() - 2));
    if (!to) return false;
    parts.to = *to;
    token.remove_suffix(2);
    if (!token.empty()) {
        const size_t piece = std::string_view(kSanPieces).find(token.front());
        if (piece != std::string_view::npos) {
            parts.type = static_cast<int>(piece) + kKnight;
            token.remove_prefix(1);
        }
    }
    if (!token.empty() && FileOfLetter(token.front()) >= 0) {
        parts.fromFile = FileOfLetter(token.front());
        token.remove_prefix(1);
    }
    if (!token.empty() && RankOfDigit(token.front()) >= 0) {
        parts.fromRank = RankOfDigit(token.front());
        token.remove_prefix(1);
    }
    if (!token.empty() && token.front() == 'x') token.remove_prefix(1);
    return token.empty() && (parts.promotion == MoveKind::kNone || parts.type == kPawn);
}

bool Fits(const Position& position, const Move& move, const SanParts& parts) {
    if (parts.castling != MoveKind::kNone) return move.kind == parts.castling;
    if (PieceType(position, move) != parts.type || move.to != parts.to) return false;
    if (parts.fromFile >= 0 && static_cast<int>(Column(move.from)) != parts.fromFile) return false;
    if (parts.fromRank >= 0 && static_cast<int>(Row(move.from)) != parts.fromRank) return false;
    return IsPromotionKind(move.kind) ? move.kind == parts.promotion
                                      : parts.promotion == MoveKind::kNone;
}

// ---- writing PGN ----

std::string Quoted(std::string_view value) {
    std::string text = "\"";
    for (char c : value) {
        if (c == '"' || c == '\\') text += '\\';
        text += c;
    }
    return text + "\"";
}

void AddTag(std::string& out, const char* name, std::string_view value) {
    out += "[";
    out += name;
    out += " " + Quoted(value) + "]\n";
}

// Joins the tokens into lines of at most kLineWidth columns.
std::string Wrapped(const std::vector<std::string>& tokens) {
    std::string text, line;
    for (const std::string& token : tokens) {
        if (!line.empty() && line.size() + 1 + token.size() > kLineWidth) {
            text += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + token;
    }
    return text + line + "\n";
}

// ---- reading PGN ----

bool IsResult(std::string_view token) {
    return token == "1-0" || token == "0-1" || token == "1/2-1/2" || token == "*";
}

// A tag pair "[Name "value"]" at text[i] (the bracket); i moves past it.
bool ReadTag(std::string_view text, size_t& i, PgnGame& game, std::string& error) {
    const size_t end = text.find('\n', i);
    const std::string_view line = text.substr(i, end == std::string_view::npos ? end : end - i);
    const size_t space = line.find(' ');
    const size_t open = line.find('"');
    if (space == std::string_view::npos || open == std::string_view::npos || open < space) {
        error = "bad tag line: " + std::string(line);
        return false;
    }
    std::string value;
    size_t k = open + 1;
    for (; k < line.size() && line[k] != '"'; ++k) {
        if (line[k] == '\\' && k + 1 < line.size()) ++k;
        value += line[k];
    }
    if (k >= line.size() || line.find(']', k) == std::string_view::npos) {
        error = "bad tag line: " + std::string(line);
        return false;
    }
    game.tags.emplace_back(std::string(line.substr(1, space - 1)), value);
    i += line.find(']', k) + 1;
    return true;
}

// Skips a comment, a variation or a rest-of-line comment at text[i]; false when unclosed.
bool SkipAside(std::string_view text, size_t& i) {
    const char c = text[i];
    if (c == ';' || c == '%') {
        const size_t end = text.find('\n', i);
        i = end == std::string_view::npos ? text.size() : end;
        return true;
    }
    if (c == '{') {
        const size_t end = text.find('}', i);
        if (end == std::string_view::npos) return false;
        i = end + 1;
        return true;
    }
    int depth = 0;  // a variation, which may hold comments and variations of its own
    while (i < text.size()) {
        const char d = text[i];
        if (d == '{') {
            if (!SkipAside(text, i)) return false;
            continue;
        }
        ++i;
        if (d == '(') ++depth;
        if (d == ')' && --depth == 0) return true;
    }
    return false;
}

// A move token less its move number ("12.e4" or "12..." alone give "e4" and "").
std::string_view WithoutNumber(std::string_view token) {
    size_t k = 0;
    while (k < token.size() && token[k] >= '0' && token[k] <= '9') ++k;
    if (k == 0 || k == token.size() || token[k] != '.') return k == token.size() ? "" : token;
    while (k < token.size() && token[k] == '.') ++k;
    return token.substr(k);
}

}  // namespace

std::vector<SanMove> SanMoves(const Position& position) {
    const std::vector<LegalEntry> entries = LegalEntries(position);
    std::vector<SanMove> moves;
    for (const LegalEntry& entry : entries) {
        moves.push_back({entry.move, EntryText(position, entry, entries)});
    }
    return moves;
}

std::string SanText(const Position& position, const Move& move) {
    const std::optional<Move> legal = FindLegalMove(position, move);
    if (!legal) return "";
    for (const SanMove& san : SanMoves(position)) {
        const bool samePiece = !IsPromotionKind(legal->kind) || san.move.kind == legal->kind;
        if (SameMove(san.move, *legal) && samePiece) return san.text;
    }
    return "";
}

std::optional<Move> ReadSan(const Position& position, std::string_view token, std::string& error) {
    SanParts parts;
    if (!ParseSan(token, parts)) {
        error = "bad move '" + std::string(token) + "'";
        return std::nullopt;
    }
    std::optional<Move> found;
    int count = 0;
    for (const LegalEntry& entry : LegalEntries(position)) {
        if (!Fits(position, entry.move, parts)) continue;
        found = entry.move;
        ++count;
    }
    if (count == 1) return found;
    error = (count == 0 ? "no legal move '" : "ambiguous move '") + std::string(token) + "'";
    return std::nullopt;
}

std::string PgnToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y.%m.%d", &local);
    return text;
}

const char* PgnResult(int winner) {
    switch (winner) {
        case 1:
            return "1-0";
        case -1:
            return "0-1";
        case 2:
            return "1/2-1/2";
        default:
            return "*";
    }
}

const char* PgnResultOf(const Position& current) {
    if (current.winner != 0) return PgnResult(current.winner);
    if (HasLegalMove(current)) return "*";
    if ((current.flags & kInCheck) == 0) return PgnResult(2);
    return PgnResult(WhiteToMove(current) ? -1 : 1);
}

bool WritePgn(const PgnHeader& header, const Position& start, const std::vector<Move>& moves,
              std::string_view result, std::string& out, std::string& error) {
    if (Is3D(start)) {
        error = "PGN is written for the 2D game only";
        return false;
    }
    std::vector<std::string> tokens;
    auto position = std::make_unique<Position>(start);
    auto next = std::make_unique<Position>();
    for (size_t i = 0; i < moves.size(); ++i) {
        const std::string san = SanText(*position, moves[i]);
        std::optional<Move> legal = FindLegalMove(*position, moves[i]);
        if (san.empty() || !legal || !MakeMove(*next, *position, *legal)) {
            error = "move " + std::to_string(i + 1) + " is not legal";
            return false;
        }
        const unsigned number = position->ply / 2 + 1;
        if (WhiteToMove(*position)) {
            tokens.push_back(std::to_string(number) + ".");
        } else if (i == 0) {
            tokens.push_back(std::to_string(number) + "...");
        }
        tokens.push_back(san);
        *position = *next;
        position->parent = nullptr;
    }
    tokens.emplace_back(result);
    out.clear();
    AddTag(out, "Event", header.event);
    AddTag(out, "Site", header.site);
    AddTag(out, "Date", header.date);
    AddTag(out, "Round", header.round);
    AddTag(out, "White", header.white);
    AddTag(out, "Black", header.black);
    AddTag(out, "Result", result);
    const std::string fen = WritePositionText(start);
    if (fen != kStartText2D) {
        AddTag(out, "SetUp", "1");
        AddTag(out, "FEN", fen);
    }
    out += "\n" + Wrapped(tokens) + "\n";
    return true;
}

std::optional<std::string> PgnGame::Tag(std::string_view name) const {
    for (const auto& [tag, value] : tags) {
        if (tag == name) return value;
    }
    return std::nullopt;
}

bool ReadPgn(std::string_view text, std::vector<PgnGame>& games, std::string& error) {
    PgnGame game;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (c == '[') {
            if (!ReadTag(text, i, game, error)) return false;
        } else if (c == '{' || c == '(' || c == ';' ||
                   (c == '%' && (i == 0 || text[i - 1] == '\n'))) {
            if (!SkipAside(text, i)) {
                error = "unclosed comment or variation";
                return false;
            }
        } else {
            size_t end = i;
            while (end < text.size() &&
                   std::string_view(" \t\r\n{}()[];").find(text[end]) == std::string_view::npos) {
                ++end;
            }
            const std::string_view token = text.substr(i, end - i);
            i = end;
            if (IsResult(token)) {
                game.result = token;
                games.push_back(std::move(game));
                game = PgnGame{};
            } else if (token.front() != '$' && !WithoutNumber(token).empty()) {
                game.moves.emplace_back(WithoutNumber(token));
            }
        }
    }
    if (!game.tags.empty() || !game.moves.empty()) {
        error = "a game ends without a result";
        return false;
    }
    return true;
}

}  // namespace tarvex
