#include "movegen/evasions.h"

#include <gtest/gtest.h>

#include "core/console.h"
#include "core/settings.h"
#include "movegen/legal_moves.h"
#include "movegen/random_positions.h"
#include "movegen/test_positions.h"
#include "moves/initial_position.h"
#include "moves/make_move.h"
#include "moves/position_text.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

using testing::LegalMoveNames;
using testing::Random;

struct Variant {
    int kind;
    int rules;
    const char* name;
};

constexpr Variant kVariants[] = {{kGame2D, kRulesTournament, "2D"},
                                 {kGame3D, kRulesTournament, "3D Tournament"},
                                 {kGame3D, kRulesStandard, "3D Standard"}};

// The evasions, after the legality test, are exactly the legal moves that the ordinary
// generator gives for the same position.
void ExpectSameLegalMoves(const Position& position, const char* variant, int& checked) {
    ASSERT_NE(position.flags & kInCheck, 0u);
    const auto evasions = LegalMoveNames(position, false);
    const auto ordinary = LegalMoveNames(position, true);
    ++checked;
    EXPECT_EQ(evasions, ordinary) << variant << "\n" << WritePositionText(position);
}

TEST(GenerateEvasions, SameLegalMovesAsOrdinaryGeneratorInRandomPlacements) {
    for (const Variant& v : kVariants) {
        GameKindScope scope(v.kind, v.rules);
        ConsoleCapture quiet;
        Random random(1000 + static_cast<uint64_t>(v.kind * 10 + v.rules));
        int checked = 0;
        for (int attempt = 0; attempt < 6000 && checked < 400; ++attempt) {
            Position p;
            if (!testing::RandomPlacement(random, 10, p) || (p.flags & kInCheck) == 0) continue;
            ExpectSameLegalMoves(p, v.name, checked);
            if (HasFailure()) return;
        }
        EXPECT_GE(checked, 200) << v.name;
    }
}

TEST(GenerateEvasions, SameLegalMovesAsOrdinaryGeneratorInRandomGames) {
    for (const Variant& v : kVariants) {
        GameKindScope scope(v.kind, v.rules);
        ConsoleCapture quiet;
        Random random(77 + static_cast<uint64_t>(v.kind * 10 + v.rules));
        int checked = 0;
        for (int game = 0; game < 60; ++game) {
            Position start;
            if (game % 2 == 0) {
                ASSERT_EQ(SetUpInitialPosition(start), 1);
            } else if (!testing::RandomPlacement(random, 12, start)) {
                continue;
            }
            testing::RandomGame(random, start, 80, [&](const Position& p) {
                if (p.flags & kInCheck) ExpectSameLegalMoves(p, v.name, checked);
            });
            if (HasFailure()) return;
        }
        EXPECT_GE(checked, 30) << v.name;
    }
}

// Moves the evasion list once missed, each a legal way out of check.
TEST(GenerateEvasions, OffersEveryKindOfEscape) {
    using testing::Squares3D;
    const std::string home = " q1w,q6b,k1w,k6b w - ";
    const struct {
        int game, rules;
        std::string text;
        const char* escape;
    } cases[] = {
        // The d4 pawn that has just double-stepped checks the king on c5; e4 takes it en passant.
        {kGame2D, kRulesTournament, "8/8/8/2k5/3Pp3/8/8/3K4 b - d3 0 1", "-1 35-26 x"},
        // Rook b6 checks the king on b2 down the b-file; board 100 carries the knight on its b0
        // (square 8) from q1 to q2, where that square becomes b4 and closes the file.
        {kGame3D, kRulesTournament,
         Squares3D({{33, 'K'}, {8, 'N'}, {5, 'r'}, {63, 'k'}}) + home + "-", "100 32-35 T"},
        // Rook f0 (square 8 on board 100 at k1) checks the king on f8 (square 14 on board 106 at
        // k6) along the outer file across the vacant pins; the knight shields on f2 (square 24).
        {kGame3D, kRulesTournament,
         "..R....Br.P...K...........k....r.p..p........b.R..N............. k1b,k6b,k3w,q5b w - -",
         "2 50-24 -"},
        // The c7 pawn's double step over c6 (45) checks the king on d4; the d5 pawn takes it en
        // passant onto c6 on either level.
        {kGame3D, kRulesTournament,
         Squares3D({{44, 'p'}, {52, 'P'}, {51, 'K'}, {63, 'k'}}) + home + "45", "1 52-45 e"},
        {kGame3D, kRulesTournament,
         Squares3D({{44, 'p'}, {52, 'P'}, {51, 'K'}, {63, 'k'}}) + home + "45", "1 52-13 e"},
        // Bishops on e3 (26) and c5 (44, Black level) check the king on a7 (square 23 on board
        // 122 at q4) along one diagonal on different levels; the queen on b6 (square 30, on the
        // king's level) shields from both.
        {kGame3D, kRulesStandard,
         "..........Qp.........q.k.KB..p.P........q...B.P.P....p........b. q5w,q1b,q2w,q4b b - -",
         "-5 21-30 -"},
    };
    for (const auto& c : cases) {
        GameKindScope scope(c.game, c.rules);
        const Position p = testing::FromText(c.text);
        ASSERT_NE(p.flags & kInCheck, 0u) << c.text;
        EXPECT_TRUE(testing::Contains(testing::Legal(p), c.escape)) << c.text;
    }
}

}  // namespace
}  // namespace tarvex
