#include "rules/position_checks.h"

#include <cstring>
#include <regex>
#include <sstream>

#include "board/attack_boards.h"
#include "board/dir_to.h"
#include "board/geometry.h"
#include "board/hash.h"
#include "rules/attack_generation.h"
#include "rules/piece_ops.h"

namespace tarvex {
namespace {

std::string Describe(const char* what, unsigned index, long long got, long long want) {
    std::ostringstream text;
    text << what << "[" << index << "] is " << got << ", expected " << want;
    return text.str();
}

int Abs(int code) {
    return code < 0 ? -code : code;
}

std::string BoardAndSlotsProblem(const Position& p) {
    for (unsigned q = 0; q < 64; ++q) {
        const uint8_t slot = p.squareSlot[q];
        if ((p.board[q] == 0) != (slot == kNoSlot)) {
            return Describe("squareSlot", q, slot, p.board[q] == 0 ? kNoSlot : -1);
        }
        if (slot == kNoSlot) continue;
        if (slot >= kSlotCount) return Describe("squareSlot", q, slot, -1);
        if (p.pieces[slot].code != p.board[q] || p.pieces[slot].square != q) {
            return Describe("pieces.code of slot", slot, p.pieces[slot].code, p.board[q]);
        }
    }
    for (int s = 0; s < kSlotCount; ++s) {
        const PieceEntry& e = p.pieces[s];
        if (e.code == 0) continue;
        if ((e.code > 0) != IsWhiteSlot(s)) return Describe("colour of slot", s, e.code, 0);
        if (e.square >= 64 || p.board[e.square] != e.code || p.squareSlot[e.square] != s) {
            return Describe("square of slot", s, e.square, -1);
        }
    }
    if (p.pieces[kSlotKing].code != kKing) return "White's king is not in slot 0";
    if (p.pieces[kBlackSlots + kSlotKing].code != -kKing) return "Black's king is not in slot 16";
    return "";
}

// A pawn one step from its last rank, from the rule rather than from the code under test.
bool PromotionCandidate(const Position& p, int code, unsigned square) {
    if (Abs(code) != kPawn) return false;
    const bool white = code > 0;
    if (!Is3D(p)) return Row(square) == (white ? 6u : 1u);
    if (IsAttackBoardSquare(square)) {
        const int board = AttackBoardOfSquare(square);
        const unsigned offset = square - kBoardBase[board];
        const unsigned pin = p.abPin[board];
        const bool lowerRank = offset == 0 || offset == 8;
        if (white) return lowerRank && (pin == kPinQ6 || pin == kPinK6);
        return !lowerRank && (pin == kPinQ1 || pin == kPinK1);
    }
    StepList one, two;
    if (DirTo(p, square, white ? 1 : -1, one) == 0) return false;
    return DirTo(p, one.sq[0], white ? 1 : -1, two) == 0;
}

std::string MasksProblem(const Position& p) {
    uint32_t pieces = 0, officers = 0, sliders = 0, promo = 0;
    int32_t material[2] = {0, 0};
    for (int s = 0; s < kSlotCount; ++s) {
        const int code = p.pieces[s].code;
        if (code == 0) continue;
        const uint32_t bit = 1u << s;
        pieces |= bit;
        if (Abs(code) != kPawn) officers |= bit;
        if (Abs(code) >= kBishop && Abs(code) <= kQueen) sliders |= bit;
        if (PromotionCandidate(p, code, p.pieces[s].square)) promo |= bit;
        material[code > 0 ? 0 : 1] += kMaterialValue[Abs(code)];
    }
    if (p.pieceMask != pieces) return Describe("pieceMask", 0, p.pieceMask, pieces);
    if (p.officerMask != officers) return Describe("officerMask", 0, p.officerMask, officers);
    // A captured slider leaves its bit behind; only the bits of occupied slots count.
    if ((p.sliderMask & pieces) != sliders) return Describe("sliderMask", 0, p.sliderMask, sliders);
    if (p.promoMask != promo) return Describe("promoMask", 0, p.promoMask, promo);
    if (p.whiteMaterial != material[0])
        return Describe("whiteMaterial", 0, p.whiteMaterial, material[0]);
    if (p.blackMaterial != material[1])
        return Describe("blackMaterial", 0, p.blackMaterial, material[1]);
    return "";
}

// A castling right is only ever kept while its king and rook stand at home.
std::string RightsProblem(const Position& p) {
    struct Needs {
        uint32_t right;
        unsigned king, rook;
        int sign;
    };
    static constexpr Needs k2D[] = {{kWhiteKingSide, 32, 56, 1},
                                    {kWhiteQueenSide, 32, 0, 1},
                                    {kBlackKingSide, 39, 63, -1},
                                    {kBlackQueenSide, 39, 7, -1}};
    static constexpr Needs k3D[] = {{kWhiteKingSide, 16, 24, 1},
                                    {kWhiteQueenSide, 16, 0, 1},
                                    {kBlackKingSide, 23, 31, -1},
                                    {kBlackQueenSide, 23, 7, -1}};
    for (const Needs& n : Is3D(p) ? k3D : k2D) {
        if ((p.flags & n.right) == 0) continue;
        if (p.board[n.king] != n.sign * kKing || p.board[n.rook] != n.sign * kRook) {
            return Describe("castling right without king and rook at home", n.right, 1, 0);
        }
    }
    return "";
}

std::string OwnersProblem(const Position& p) {
    if (!Is3D(p)) return "";
    for (int b = 0; b < kBoardCount; ++b) {
        int count = 0, code = 0;
        for (unsigned offset : {0u, 1u, 8u, 9u}) {
            const int piece = p.board[kBoardBase[b] + offset];
            if (piece != 0) ++count, code = piece;
        }
        if (count > 1) continue;
        const uint32_t want = count == 0 ? kDefaultOwnerWhite[b] : (code > 0 ? 1u : 0u);
        if (p.abWhite[b] != want)
            return Describe("abWhite", static_cast<unsigned>(b), p.abWhite[b], want);
    }
    return "";
}

std::string KeysProblem(const Position& p) {
    if (p.hashKey != ComputeHashKey(p)) return Describe("hashKey", 0, p.hashKey, ComputeHashKey(p));
    if (p.hashKey2 != ComputeHashKey2(p))
        return Describe("hashKey2", 0, p.hashKey2, ComputeHashKey2(p));
    return "";
}

std::string AttackDataProblem(const Position& position) {
    if (position.flags & kAttacksPending) return "attack data still pending";
    Position fresh = position;
    if (!RegenerateAttacks(fresh)) return "regeneration failed";
    for (unsigned q = 0; q < 64; ++q) {
        if (position.attacks[q] != fresh.attacks[q])
            return Describe("attacks", q, position.attacks[q], fresh.attacks[q]);
        if (position.xrays[q] != fresh.xrays[q])
            return Describe("xrays", q, position.xrays[q], fresh.xrays[q]);
    }
    const bool whiteToMove = WhiteToMove(position);
    const unsigned own = position.pieces[whiteToMove ? kSlotKing : kBlackSlots].square;
    const unsigned other = position.pieces[whiteToMove ? kBlackSlots : kSlotKing].square;
    const uint32_t enemy = whiteToMove ? kBlackHalf : kWhiteHalf;
    const bool inCheck = (position.attacks[own] & enemy) != 0;
    if (((position.flags & kInCheck) != 0) != inCheck) return "in-check bit disagrees with attacks";
    if (position.attacks[other] & ~enemy) return "the side that moved left its king attacked";
    return "";
}

}  // namespace

std::string CompletedPositionProblem(const Position& position) {
    for (auto check : {BoardAndSlotsProblem, MasksProblem, RightsProblem, OwnersProblem,
                       KeysProblem, AttackDataProblem}) {
        std::string problem = check(position);
        if (!problem.empty()) return problem;
    }
    return "";
}

// Every field but parent, whose difference is expected.
// clang-format off
#define TARVEX_FIELDS(X)                                                                         \
    X(gameKind) X(rules) X(dirTable) X(lineTables) X(abPin) X(abWhite) X(hashKey) X(hashKey2)  \
    X(sliderMask) X(promoMask) X(officerMask) X(pieceMask) X(board) X(squareSlot) X(pieces)    \
    X(stage) X(dirtySlots) X(whiteMaterial) X(blackMaterial) X(whitePassed) X(blackPassed)     \
    X(attacks) X(xrays) X(lastMove) X(flags) X(epSquare) X(quietPlies) X(ply) X(winner)
// clang-format on

std::vector<std::string> DifferingFields(const Position& a, const Position& b) {
    std::vector<std::string> out;
#define TARVEX_COMPARE(f) \
    if (std::memcmp(&a.f, &b.f, sizeof a.f) != 0) out.push_back(#f);
    TARVEX_FIELDS(TARVEX_COMPARE)
#undef TARVEX_COMPARE
    return out;
}

std::string WithoutBuildNotices(const std::string& text) {
    static const std::regex kNotice("\nBuilding [^ ]* #[0-9]+");
    return std::regex_replace(text, kNotice, "");
}

std::vector<unsigned> Attacked(const Position& p, unsigned from) {
    std::vector<unsigned> squares;
    for (unsigned q = 0; q < 64; ++q) {
        if (p.attacks[q] >> p.squareSlot[from] & 1) squares.push_back(q);
    }
    return squares;
}

std::string MoveText(const Move& move) {
    std::ostringstream text;
    text << move.piece << ":" << move.from << "-" << move.to << " '"
         << (move.kind == MoveKind::kNone ? '0' : KindChar(move.kind)) << "'";
    return text.str();
}

}  // namespace tarvex
