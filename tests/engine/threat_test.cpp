// The capture-threat searches, on exchanges worked out by hand.
#include "engine/threat.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/console.h"
#include "support/positions.h"

namespace tarvex::engine {
namespace {

using namespace tarvex::testing;

int Search(Position& p, bool white, int gamma, Move& reply) {
    return white ? WhiteCaptureSearch(p, p.pieceMask, 0, gamma, &reply)
                 : BlackCaptureSearch(p, p.pieceMask, 0, gamma, &reply);
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
        const int lead = p.whiteMaterial - p.blackMaterial;
        const int gamma = (white ? lead : -lead) + c.gain;
        EXPECT_GE(Search(p, white, gamma, reply), gamma);
        Move above;
        EXPECT_LT(Search(p, white, gamma + 1, above), gamma + 1);
        if (c.from != nullptr) {
            EXPECT_EQ(reply.from, Sq(c.from));
            EXPECT_EQ(reply.to, Sq(c.to));
        } else {
            EXPECT_TRUE(IsNoMove(reply));
        }
        EXPECT_EQ(std::memcmp(&p, &before, sizeof p), 0);
    }
}

}  // namespace
}  // namespace tarvex::engine
