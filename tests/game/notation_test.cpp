#include "game/notation.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "game_test_support.h"
#include "moves/make_move.h"
#include "moves/promotion.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

class NotationScope {
public:
    explicit NotationScope(int notation) : saved_(GetSettings().notation.exchange(notation)) {}
    ~NotationScope() { GetSettings().notation.store(saved_); }

private:
    int saved_;
};

// Texts of the generated moves, by "from-to" and kind.
std::map<std::string, std::string> Texts(const Position& p) {
    auto list = std::make_unique<MoveTextList>();
    GenerateMoveTexts(p, *list);
    std::map<std::string, std::string> texts;
    for (int i = 0; i < list->count; ++i) {
        const Move& m = list->moves[i];
        texts[std::to_string(m.from) + "-" + std::to_string(m.to) + m.kind] = list->texts[i];
    }
    return texts;
}

std::string TextOf(const Position& p, unsigned from, unsigned to, char kind) {
    const auto texts = Texts(p);
    const auto found = texts.find(std::to_string(from) + "-" + std::to_string(to) + kind);
    return found == texts.end() ? "<not generated>" : found->second;
}

TEST(Notation2D, PrefixesTellApartTwoPiecesOfOneTypeToOneSquare) {
    GameKindScope kind(kGame2D);
    for (int notation : {0, 1, 2}) {
        NotationScope scope(notation);
        // Knights on b1 and f3 both reach d2; rooks on a1 and a5 both reach a3.
        const Position p =
            Build({{32, kKing}, {39, -kKing}, {8, kKnight}, {42, kKnight}, {0, kRook}, {4, kRook}});
        EXPECT_EQ(TextOf(p, 8, 25, '-'), "Nbd2");
        EXPECT_EQ(TextOf(p, 42, 25, '-'), "Nfd2");
        EXPECT_EQ(TextOf(p, 0, 2, '-'), "R1a3");
        EXPECT_EQ(TextOf(p, 4, 2, '-'), "R5a3");
        EXPECT_EQ(TextOf(p, 8, 18, '-'), "Nc3");  // only one knight reaches c3
    }
}

TEST(Notation2D, CapturesNameThePieceTakenButNotAPawn) {
    GameKindScope kind(kGame2D);
    const Position p = Build({{32, kKing},
                              {39, -kKing},
                              {59, kQueen},
                              {31, -kRook},
                              {27, kPawn},
                              {36, -kKnight},
                              {19, kPawn},
                              {28, -kPawn}},
                             0);
    EXPECT_EQ(TextOf(p, 59, 31, 'x'), "QxRd8");
    EXPECT_EQ(TextOf(p, 27, 36, 'x'), "dxNe5");
    EXPECT_EQ(TextOf(p, 19, 28, 'x'), "cxd5");
    EXPECT_EQ(TextOf(p, 27, 28, '-'), "<not generated>");
}

TEST(Notation2D, EnPassantAndPawnCaptureOfAKnight) {
    GameKindScope kind(kGame2D);
    // White pawn e5, Black pawn just double-stepped d7-d5: e5xd6 en passant.
    const Position p =
        Build({{32, kKing}, {39, -kKing}, {36, kPawn}, {28, -kPawn}, {33, kPawn}, {35, -kKnight}},
              0, 0, 29);
    EXPECT_EQ(TextOf(p, 36, 29, 'e'), "exd6ep?");
    const Position q = Build({{32, kKing}, {39, -kKing}, {35, kPawn}, {28, -kKnight}});
    EXPECT_EQ(TextOf(q, 35, 28, 'x'), "exNd5");
}

TEST(Notation2D, CastlingReadsTheSameInEveryNotation) {
    GameKindScope kind(kGame2D);
    for (int notation : {0, 1, 2}) {
        NotationScope scope(notation);
        const Position p =
            Build({{32, kKing}, {0, kRook}, {56, kRook}, {39, -kKing}}, 0, kCastlingRights);
        EXPECT_EQ(TextOf(p, 32, 48, 'S'), "O-O");
        EXPECT_EQ(TextOf(p, 32, 16, 'L'), "O-O-O");
    }
}

TEST(Notation2D, PromotionsNameTheirPiece) {
    GameKindScope kind(kGame2D);
    const Position p = Build({{32, kKing}, {39, -kKing}, {6, kPawn}});
    EXPECT_EQ(TextOf(p, 6, 7, 'N'), "a8N");
    EXPECT_EQ(TextOf(p, 6, 7, 'Q'), "a8Q");
    EXPECT_EQ(TextOf(p, 6, 7, '-'), "a8Q");
}

TEST(Notation3D, StandardNamesCarryTheLevel) {
    GameKindScope kind(kGame3D, kRulesStandard);
    NotationScope scope(kNotationStandard);
    const Position p = Initial();
    EXPECT_EQ(TextOf(p, 32, 42, '-'), "Nb1-c3(2)");
    EXPECT_EQ(TextOf(p, 32, 10, '-'), "Nb1-c3(4)");
    // Board 116 without its pieces moves to k3 (the neutral level's e3).
    const Position q = Build({{8, kKing}, {23, -kKing}});
    EXPECT_EQ(TextOf(q, kPinK1, kPinK3, 'T'), "KLWe3(4)");
}

TEST(Notation3D, TournamentTextsEndWithTheLevel) {
    GameKindScope kind(kGame3D);
    for (int notation : {kNotationTournament, kNotationAlgebraic}) {
        NotationScope scope(notation);
        const Position p = Initial();
        EXPECT_EQ(TextOf(p, 41, 42, '-'), "b3W");  // pawn c2-c3 on the White level
        EXPECT_EQ(TextOf(p, 41, 10, '-'), "b3N");  // the same pawn onto the neutral level
        EXPECT_EQ(TextOf(p, 32, 42, '-'), "Nb3W");
    }
    NotationScope scope(kNotationTournament);
    const Position q = Build({{8, kKing}, {23, -kKing}});
    EXPECT_EQ(TextOf(q, kPinK1, kPinK3, 'T'), "KL3");
    NotationScope algebraic(kNotationAlgebraic);
    EXPECT_EQ(TextOf(q, kPinK1, kPinK3, 'T'), "K3");
}

TEST(Notation3D, AttackBoardSquaresAreNamedByTheirBoardColumn) {
    GameKindScope kind(kGame3D);
    const Position p = Initial();
    struct Case {
        unsigned square;
        const char* standard;
        const char* tournament;
    };
    // Boards at q1, q6, k1, k6: first columns a/e, second b/f (Tournament z/a and d/e).
    const Case cases[] = {{0, "a0", "z0"},  {1, "a1", "z1"},  {8, "b0", "a0"},  {9, "b1", "a1"},
                          {6, "a8", "z8"},  {15, "b9", "a9"}, {16, "e0", "d0"}, {25, "f1", "e1"},
                          {22, "e8", "d8"}, {30, "f8", "e8"}, {31, "f9", "e9"}};
    for (const Case& c : cases) {
        EXPECT_STREQ(posstr3D(p, c.square).text, c.standard) << c.square;
        EXPECT_STREQ(posstr3DRom(p, c.square).text, c.tournament) << c.square;
    }
    EXPECT_STREQ(posstr3D(p, 32).text, "b1");
    EXPECT_STREQ(posstr3DRom(p, 63).text, "d8");
    EXPECT_STREQ(posstr3D(p, 2).text, "b3");
    EXPECT_STREQ(posstr3DRom(p, 29).text, "d6");
}

TEST(Notation, FindMoveTextNeedsAGeneratedMove) {
    GameKindScope kind(kGame2D);
    const Position p = Initial();
    auto list = std::make_unique<MoveTextList>();
    GenerateMoveTexts(p, *list);
    EXPECT_STREQ(FindMoveText(MakeMoveRecord(kKnight, 8, 18, '-')), "Nc3");
    EXPECT_STREQ(FindMoveText(MakeMoveRecord(kKnight, 8, 19, '-')), "reselect");
    EXPECT_STREQ(FindMoveText(MakeMoveRecord(kBishop, 8, 18, '-')), "reselect");
    EXPECT_STREQ(PinName(kPinQ3), "q3");
    EXPECT_STREQ(PinName(7), "??");
}

// Every distinct move of many random positions has a text of its own.
void ExpectUniqueTexts(int game, int rules, int notation, uint32_t seed) {
    GameKindScope kind(game, rules);
    NotationScope scope(notation);
    std::mt19937 random(seed);
    ConsoleCapture quiet;
    for (int gameIndex = 0; gameIndex < 12; ++gameIndex) {
        auto p = std::make_unique<Position>(Initial());
        for (int ply = 0; ply < 80; ++ply) {
            auto list = std::make_unique<MoveTextList>();
            GenerateMoveTexts(*p, *list);
            std::map<std::string, std::string> byText;
            std::vector<Move> legal;
            for (int i = 0; i < list->count; ++i) {
                Move m = list->moves[i];
                auto child = std::make_unique<Position>();
                UserMoveScope trial(false);
                if (MakeMove(*child, *p, m) == 0) continue;
                // The plain promoting move is the queen promotion.
                const char kind = list->moves[i].kind == '-' || list->moves[i].kind == 'x'
                                      ? (IsPromotionKind(m.kind) ? m.kind : '-')
                                      : list->moves[i].kind;
                const std::string id = std::to_string(m.piece) + ":" + std::to_string(m.from) +
                                       "-" + std::to_string(m.to) + kind;
                const auto [it, inserted] = byText.emplace(list->texts[i], id);
                EXPECT_TRUE(inserted || it->second == id)
                    << "text " << list->texts[i] << " for " << id << " and " << it->second;
                legal.push_back(list->moves[i]);
            }
            if (legal.empty()) break;
            Move chosen = legal[random() % legal.size()];
            auto child = std::make_unique<Position>();
            UserMoveScope trial(false);
            if (MakeMove(*child, *p, chosen) == 0) break;
            p = std::move(child);
        }
    }
}

TEST(NotationUniqueness, TwoDimensional) {
    for (int notation : {0, 1, 2})
        ExpectUniqueTexts(kGame2D, kRulesTournament, notation, 11 + notation);
}

TEST(NotationUniqueness, ThreeDimensional) {
    for (int rules : {kRulesTournament, kRulesStandard}) {
        for (int notation : {0, 1, 2}) ExpectUniqueTexts(kGame3D, rules, notation, 101 + notation);
    }
}

}  // namespace
}  // namespace tarvex
