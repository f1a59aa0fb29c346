#include "moves/position_checks.h"

#include <cstddef>
#include <cstring>
#include <sstream>
#include <tuple>

#include "board/attack_boards.h"
#include "board/dir_to.h"
#include "board/geometry.h"
#include "board/hash.h"
#include "core/settings.h"
#include "moves/attack_generation.h"
#include "moves/piece_ops.h"

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
    if (!Is3D()) return Row(square) == (white ? 6u : 1u);
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
    for (const Needs& n : Is3D() ? k3D : k2D) {
        if ((p.flags & n.right) == 0) continue;
        if (p.board[n.king] != n.sign * kKing || p.board[n.rook] != n.sign * kRook) {
            return Describe("castling right without king and rook at home", n.right, 1, 0);
        }
    }
    return "";
}

std::string OwnersProblem(const Position& p) {
    if (!Is3D()) return "";
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

std::string BitsText(uint32_t bits) {
    std::ostringstream text;
    for (int s = 0; s < 32; ++s) {
        if (bits >> s & 1) text << " " << s;
    }
    return text.str();
}

std::string AttackDataProblem(const Position& position) {
    if (position.flags & kAttacksPending) return "attack data still pending";
    Position fresh = position;
    if (RegenToPieces(fresh) != 1) return "regeneration failed";
    for (unsigned q = 0; q < 64; ++q) {
        for (auto [name, got, want] : {std::tuple{"attacks", position.attacks[q], fresh.attacks[q]},
                                       std::tuple{"xrays", position.xrays[q], fresh.xrays[q]}}) {
            if (got == want) continue;
            std::ostringstream text;
            text << name << "[" << q << "] extra slots" << BitsText(got & ~want)
                 << ", missing slots" << BitsText(want & ~got);
            return text.str();
        }
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

std::vector<std::string> DifferingFields(const Position& a, const Position& b) {
    struct Field {
        const char* name;
        size_t offset, size;
    };
#define TARVEX_FIELD(f) \
    { #f, offsetof(Position, f), sizeof(Position::f) }
    static const Field kFields[] = {
        TARVEX_FIELD(dirTable),        TARVEX_FIELD(abPin),         TARVEX_FIELD(abWhite),
        TARVEX_FIELD(hashKey),         TARVEX_FIELD(hashKey2),      TARVEX_FIELD(sliderMask),
        TARVEX_FIELD(promoMask),       TARVEX_FIELD(officerMask),   TARVEX_FIELD(pieceMask),
        TARVEX_FIELD(board),           TARVEX_FIELD(squareSlot),    TARVEX_FIELD(pieces),
        TARVEX_FIELD(squareScore),     TARVEX_FIELD(squareSign),    TARVEX_FIELD(slotReach),
        TARVEX_FIELD(slotAttacks),     TARVEX_FIELD(whiteReach),    TARVEX_FIELD(blackReach),
        TARVEX_FIELD(slotValue),       TARVEX_FIELD(stage),         TARVEX_FIELD(dirtySlots),
        TARVEX_FIELD(hangingMask),     TARVEX_FIELD(ignoreMask),    TARVEX_FIELD(attackerMask),
        TARVEX_FIELD(whiteMaterial),   TARVEX_FIELD(blackMaterial), TARVEX_FIELD(controlTotal),
        TARVEX_FIELD(evalSum),         TARVEX_FIELD(engineScore),   TARVEX_FIELD(squareControl),
        TARVEX_FIELD(whitePassed),     TARVEX_FIELD(blackPassed),   TARVEX_FIELD(unstoppablePawns),
        TARVEX_FIELD(attacks),         TARVEX_FIELD(xrays),         TARVEX_FIELD(moveList),
        TARVEX_FIELD(moveCount),       TARVEX_FIELD(lastMove),      TARVEX_FIELD(replyMove),
        TARVEX_FIELD(tacticsValue),    TARVEX_FIELD(flags),         TARVEX_FIELD(epSquare),
        TARVEX_FIELD(quietPlies),      TARVEX_FIELD(ply),           TARVEX_FIELD(winner),
        TARVEX_FIELD(incrementalScore)};
#undef TARVEX_FIELD
    std::vector<std::string> out;
    const auto* left = reinterpret_cast<const unsigned char*>(&a);
    const auto* right = reinterpret_cast<const unsigned char*>(&b);
    for (const Field& f : kFields) {
        if (std::memcmp(left + f.offset, right + f.offset, f.size) != 0) out.push_back(f.name);
    }
    return out;
}

std::string WithoutBuildNotices(const std::string& text) {
    static const std::string kNotice = "\nBuilding ";
    std::string rest;
    size_t at = 0;
    while (at < text.size()) {
        if (text.compare(at, kNotice.size(), kNotice) == 0) {
            const size_t hash = text.find('#', at);
            size_t end = hash == std::string::npos ? text.size() : hash + 1;
            while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
            at = end;
        } else {
            rest += text[at++];
        }
    }
    return rest;
}

std::string MoveText(const Move& move) {
    std::ostringstream text;
    text << move.piece << ":" << move.from << "-" << move.to << " '"
         << (move.kind == 0 ? '0' : move.kind) << "'";
    return text.str();
}

std::string BoardText(const Position& position) {
    std::ostringstream text;
    text << "ply " << position.ply << " flags 0x" << std::hex << position.flags << std::dec
         << " ep " << position.epSquare;
    if (Is3D()) {
        text << " pins";
        for (uint32_t pin : position.abPin) text << " " << pin;
    }
    text << "\n";
    for (unsigned q = 0; q < 64; ++q) {
        const int code = position.board[q];
        if (code == 0) continue;
        text << (code > 0 ? 'w' : 'b') << kPieceLetters[Abs(code) - 1] << q << " ";
    }
    return text.str();
}

}  // namespace tarvex
