// The capture-threat searches, the threat term and its update after a null move, and the root
// moves' tactical scores.
#include "engine/threat.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/console.h"
#include "engine/parameters.h"
#include "support/positions.h"

namespace tarvex::engine {
namespace {

using namespace tarvex::testing;

int Lead(const Position& p, bool white) {
    return white ? p.whiteMaterial - p.blackMaterial : p.blackMaterial - p.whiteMaterial;
}

int Search(Position& p, bool white, int gamma, Move& reply) {
    return white ? WhiteCaptureSearch(p, p.pieceMask, 0, gamma, &reply)
                 : BlackCaptureSearch(p, p.pieceMask, 0, gamma, &reply);
}

bool SameBytes(const Position& a, const Position& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

int ThreatWin(const Position& p) {
    return BuiltInParameters()[p.stage & 3][slot::kThreatWin];
}
int ThreatLose(const Position& p) {
    return BuiltInParameters()[p.stage & 3][slot::kThreatLose];
}

Position Uncached(const char* pieces, uint32_t ply) {
    testing::Setup setup;
    setup.ply = ply;
    return Built(pieces, setup);
}

// The exact gain of the side to move by captures: reached at lead + gain, not one more. The
// first capture of the winning line is stored; every change to the position is undone.
TEST(CaptureSearch, ExactGainStoredCaptureAndRestoredPosition) {
    struct Case {
        const char* name;
        const char* pieces;
        testing::Setup setup;
        int gain;
        const char* from;  // the stored capture, nullptr when none
        const char* to;
    };
    const testing::Setup blackToMove{kGame2D, kRulesTournament, 0, 1};
    const Case cases[] = {
        {"hanging knight", "Ke1 Rd1 ke8 nd5", k2D, 32000, "d1", "d5"},
        {"defended knight: the exchange loses", "Ke1 Rd1 ke8 nd5 pe6", k2D, 0, nullptr, nullptr},
        // Nxd5 exd5 Rxd5: the rook taken first is not taken again on d5.
        {"defended rook: the exchange wins", "Ke1 Nc3 Rd1 ke8 rd5 pe6", k2D, 28000, "c3", "d5"},
        {"Black takes a hanging rook", "Ke1 Rd4 ke8 rd8", blackToMove, 50000, "d8", "d4"},
        // The rear rook recaptures through d2 once the front rook has left it.
        {"x-ray through the vacated square", "Ke1 Rd1 Rd2 ke8 nd5 rd8", k2D, 32000, "d2", "d5"},
        // The knight falls short of the threshold, the queen in a pawn slot does not.
        {"queen promoted in a pawn slot", "Ke1 Ra1 ke8 qh8 qa4 nb8", k2D, 95000, "a1", "a4"},
        // Taking the king ends the sequence: the rook's recapture does not count.
        {"king capture", "Ke1 Bb5 Pa2 Pb2 ke8 rd8", k2D, kKingCaptureValue, "b5", "e8"},
        {"3D hanging knight", "K56 R41 k39 n43", k3DTournament, 32000, "41", "43"},
        // The doubled rooks of the x-ray case, on file c of the White level: no reveal in 3D.
        {"3D: no x-ray", "K56 R40 R41 k39 n43 r13", k3DTournament, 0, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Position p = Built(c.pieces, c.setup);
        if (std::string_view(c.name) == "queen promoted in a pawn slot") {
            ASSERT_GE(p.squareSlot[Sq("a4")], kBlackSlots + kSlotFirstPawn);
        }
        if (std::string_view(c.name) == "3D: no x-ray") {
            ASSERT_NE(p.attacks[43] & 1u << p.squareSlot[41], 0u);
            ASSERT_NE(p.attacks[43] & 1u << p.squareSlot[13], 0u);
        }
        Move reply;
        Position before;
        std::memcpy(&before, &p, sizeof p);
        const bool white = WhiteToMove(p);
        const int gamma = Lead(p, white) + c.gain;
        EXPECT_GE(Search(p, white, gamma, reply), gamma);
        Move above;
        EXPECT_LT(Search(p, white, gamma + 1, above), gamma + 1);
        if (c.from != nullptr) {
            EXPECT_EQ(reply.from, Sq(c.from));
            EXPECT_EQ(reply.to, Sq(c.to));
        } else {
            EXPECT_TRUE(IsNoMove(reply));
        }
        EXPECT_TRUE(SameBytes(p, before));
    }
}

// The positions of the threat-term tests: who can win material by captures.
struct ThreatCase {
    const char* name;
    const char* pieces;
    uint32_t ply;
    int outcome;  // +1 the side to move wins material, -1 it is threatened, 0 neither
    const char* from;
    const char* to;
};
const ThreatCase kThreatCases[] = {
    {"White wins", "Ke1 Rd1 ke8 nd5", 0, +1, "d1", "d5"},
    {"Black threatened", "Ke1 Rd1 ke8 nd5", 1, -1, "d1", "d5"},
    {"Black wins", "Ke1 Nd5 ke8 rd8", 1, +1, "d8", "d5"},
    {"White threatened", "Ke1 Nd5 ke8 rd8", 0, -1, "d8", "d5"},
    {"both hang, White moves", "Ke1 Rd4 kh8 rd8", 0, +1, "d4", "d8"},
    {"both hang, Black moves", "Ke1 Rd4 kh8 rd8", 1, +1, "d8", "d4"},
    {"quiet", "Ke1 Rd1 ke8 nd5 pe6", 0, 0, nullptr, nullptr},
};

// In White's frame; the capture found is stored; the second call answers from the cache.
TEST(ThreatTerm, ValueInWhitesFrameStoredCaptureAndCache) {
    for (const ThreatCase& c : kThreatCases) {
        SCOPED_TRACE(c.name);
        Position p = Uncached(c.pieces, c.ply);
        EvalState e;
        e.replyMove =
            MakeMoveRecord(kKing, Sq("e1"), Sq("f1"), MoveKind::kQuiet);  // cleared by the term
        const int sign = SideSign(p);
        const int expected = c.outcome > 0   ? sign * ThreatWin(p)
                             : c.outcome < 0 ? -sign * ThreatLose(p)
                                             : 0;
        EXPECT_EQ(ThreatTerm(p, e, BuiltInParameters()), expected);
        EXPECT_TRUE(e.tacticsValid);
        EXPECT_EQ(e.tacticsValue, expected);
        if (c.from != nullptr) {
            EXPECT_EQ(e.replyMove.from, Sq(c.from));
            EXPECT_EQ(e.replyMove.to, Sq(c.to));
        } else {
            EXPECT_TRUE(IsNoMove(e.replyMove));
        }
        e.tacticsValue = 777;
        e.replyMove = Move{};
        EXPECT_EQ(ThreatTerm(p, e, BuiltInParameters()), 777);
        EXPECT_TRUE(IsNoMove(e.replyMove));  // no search ran
    }
}

// After a null move the term equals a fresh computation for the new side to move, and the
// cached evaluation moves by exactly the change; an uncached term is computed and added.
TEST(ThreatTerm, NullMoveUpdateMatchesFreshTerm) {
    for (const ThreatCase& c : kThreatCases) {
        SCOPED_TRACE(c.name);
        for (const bool cached : {true, false}) {
            Position p = Uncached(c.pieces, c.ply);
            EvalState e;
            const int old = cached ? ThreatTerm(p, e, BuiltInParameters()) : 0;
            p.ply ^= 1;
            e.score = 1000;
            EvalState fresh;
            const int expected = ThreatTerm(p, fresh, BuiltInParameters());
            UpdateThreatAfterNullMove(p, e, BuiltInParameters());
            EXPECT_TRUE(e.tacticsValid);
            EXPECT_EQ(e.tacticsValue, expected);
            EXPECT_EQ(e.score, 1000 + expected - old);
        }
    }
}

// What the move gains or loses in the captures that follow, for the mover, to within the
// bisection's 5000; -405000 for a move that leaves the own king attacked.
TEST(RootTacticalScore, GainsLossesQuietAndIllegalMoves) {
    struct Case {
        const char* name;
        const char* pieces;
        uint32_t ply;
        const char* from;
        const char* to;
        int expected;
    };
    const Case cases[] = {
        {"hangs the knight", "Ke1 Nf3 ke8 pe6", 0, "f3", "d5", -32000},
        {"takes a hanging knight", "Ke1 Rd1 ke8 nd5", 0, "d1", "d5", 32000},
        {"takes a defended knight", "Ke1 Rd1 ke8 nd5 pe6", 0, "d1", "d5", -18000},
        {"quiet and safe", "Ke1 Rd1 ke8 nd5", 0, "e1", "e2", 0},
        {"Black hangs its knight", "Ke1 Qd1 ke8 nf6", 1, "f6", "d5", -32000},
        {"pinned rook leaves the file", "Ke1 Re2 ke8 re7", 0, "e2", "d2", -405000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Position p = Uncached(c.pieces, c.ply);
        const unsigned from = Sq(c.from), to = Sq(c.to);
        const Move move = MakeMoveRecord(p.board[from], from, to,
                                         p.board[to] != 0 ? MoveKind::kCapture : MoveKind::kQuiet);
        const int score = RootTacticalScore(p, move);
        if (c.expected == 0 || c.expected == -405000) {
            EXPECT_EQ(score, c.expected);
        } else {
            EXPECT_NEAR(score, c.expected, 5000);
        }
    }
}

}  // namespace
}  // namespace tarvex::engine
