#include "text/notation.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "board/attack_boards.h"
#include "board/geometry.h"
#include "movegen/legal_moves.h"
#include "support/positions.h"

namespace tarvex::testing {
namespace {

constexpr int kNotations[] = {kNotationTournament, kNotationStandard, kNotationAlgebraic};

// The text of the generated move with these squares and kind.
std::string TextOf(const Position& p, int notation, unsigned from, unsigned to, MoveKind kind) {
    auto list = std::make_unique<MoveTextList>();
    GenerateMoveTexts(p, notation, *list);
    for (int i = 0; i < list->count; ++i) {
        const Move& m = list->moves[i];
        if (m.from == from && m.to == to && m.kind == kind) return list->texts[i];
    }
    return "<not generated>";
}

struct Case {
    const char* from;
    const char* to;
    MoveKind kind;
    const char* text;
};

// Each 2D case is read the same in every notation.
void Expect2D(std::string_view fen, std::initializer_list<Case> cases) {
    const Position p = FromText(fen);
    for (int notation : kNotations) {
        for (const Case& c : cases) {
            EXPECT_EQ(TextOf(p, notation, Sq(c.from), Sq(c.to), c.kind), c.text) << fen;
        }
    }
}

// The prefix names the from-file if no rival shares it, else the rank, else both.
TEST(Notation2D, PrefixesTellApartPiecesOfOneTypeGoingToOneSquare) {
    Expect2D("4k3/8/8/R7/8/1N6/8/RN2KN2 w - - 0 1", {{"b1", "d2", MoveKind::kQuiet, "Nb1d2"},
                                                     {"f1", "d2", MoveKind::kQuiet, "Nfd2"},
                                                     {"b3", "d2", MoveKind::kQuiet, "N3d2"},
                                                     {"b1", "c3", MoveKind::kQuiet, "Nc3"},
                                                     {"a1", "a3", MoveKind::kQuiet, "R1a3"},
                                                     {"a5", "a3", MoveKind::kQuiet, "R5a3"}});
}

TEST(Notation2D, CapturesCastlingAndPromotions) {
    Expect2D("3rk3/8/8/3pn3/2PP3Q/8/8/4K3 w - - 0 1",
             {{"h4", "d8", MoveKind::kCapture, "QxRd8"},
              {"d4", "e5", MoveKind::kCapture, "dxNe5"},
              {"c4", "d5", MoveKind::kCapture, "cxd5"},
              {"d4", "d5", MoveKind::kQuiet, "<not generated>"}});
    Expect2D("4k3/8/8/3pP3/8/8/5P2/4K3 w - d6 0 1",
             {{"e5", "d6", MoveKind::kEnPassant, "exd6ep?"}});
    Expect2D("4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", {{"e4", "d5", MoveKind::kCapture, "exNd5"}});
    Expect2D("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1",
             {{"e1", "g1", MoveKind::kCastleShort, "O-O"},
              {"e1", "c1", MoveKind::kCastleLong, "O-O-O"}});
    Expect2D("4k3/P7/8/8/8/8/8/4K3 w - - 0 1", {{"a7", "a8", MoveKind::kPromoteKnight, "a8N"},
                                                {"a7", "a8", MoveKind::kPromoteQueen, "a8Q"},
                                                {"a7", "a8", MoveKind::kQuiet, "a8Q"}});
}

struct Case3D {
    int notation;
    unsigned from, to;
    MoveKind kind;
    const char* text;
};

void Expect3D(const Position& p, std::initializer_list<Case3D> cases) {
    for (const Case3D& c : cases) {
        EXPECT_EQ(TextOf(p, c.notation, c.from, c.to, c.kind), c.text)
            << c.notation << ": " << c.from << "-" << c.to << KindChar(c.kind);
    }
}

constexpr int kT = kNotationTournament, kS = kNotationStandard, kA = kNotationAlgebraic;
constexpr Setup k3DBlackToMove{kGame3D, kRulesTournament, 0, 1};

TEST(Notation3D, TextsNameTheLevel) {
    Expect3D(Initial(kGame3D), {{kS, 32, 42, MoveKind::kQuiet, "Nb1-c3(2)"},
                                {kS, 32, 10, MoveKind::kQuiet, "Nb1-c3(4)"},
                                {kT, 41, 42, MoveKind::kQuiet, "b3W"},
                                {kA, 41, 10, MoveKind::kQuiet, "b3N"},
                                {kT, 32, 42, MoveKind::kQuiet, "Nb3W"}});
    // Pawns on the squares named b3 (Standard; a3 Tournament) of levels 2 and 4: the square and
    // its level tell them apart (a level letter alone could be read as a file).
    Expect3D(Built("K40 k47 P34 P2", k3DTournament),
             {{kT, 2, 35, MoveKind::kQuiet, "a3na4W"},
              {kA, 34, 3, MoveKind::kQuiet, "a3wa4N"},
              {kS, 34, 35, MoveKind::kQuiet, "Pb3(2)-b4(2)"}});
    // Board 116, empty, to k3 (over the neutral level's e3).
    Expect3D(Built("K8 k23", k3DStandard), {{kS, kPinK1, kPinK3, MoveKind::kBoardMove, "KLWe3(4)"},
                                            {kT, kPinK1, kPinK3, MoveKind::kBoardMove, "KL3"},
                                            {kA, kPinK1, kPinK3, MoveKind::kBoardMove, "K3"}});
}

// A pawn's promotion in Standard notation: the kind character names the new piece.
TEST(Notation3D, PromotionsNameTheNewPiece) {
    const Position p = Built("k47 p41 B48 K60", k3DBlackToMove);
    Expect3D(p, {{kS, 41, 48, MoveKind::kPromoteRook, "Pc2Rd1(2)"},
                 {kT, 41, 48, MoveKind::kPromoteRook, "bxBc1WR"},
                 {kA, 41, 40, MoveKind::kPromoteBishop, "b1WB"}});
}

// Board 100 carries a White pawn from q4 to q6, where it promotes: one promotion letter, and
// a prefix only when another board can go to q6 (board 116 from k6).
TEST(Notation3D, AnAttackBoardMoveThatPromotes) {
    const char* const kPawnOnBoard =
        ".P......................................K......k................";
    for (const bool rival : {false, true}) {
        const Position p = FromText(std::string(kPawnOnBoard) + (rival ? " q4w,q5b,k6w,k4b w - -"
                                                                       : " q4w,q5b,k1w,k6b w - -"),
                                    kGame3D);
        Expect3D(p, {{kT, kPinQ4, kPinQ6, MoveKind::kPromoteKnight, rival ? "QL4QL6N" : "QL6N"},
                     {kA, kPinQ4, kPinQ6, MoveKind::kPromoteQueen, rival ? "Q4Q6Q" : "Q6Q"},
                     {kS, kPinQ4, kPinQ6, MoveKind::kPromoteRook, "QLWb8(6)R"}});
    }
}

// Along random games the texts of the legal moves all differ: none is ambiguous.
void ExpectDistinctTexts(int game, int rules, int notation, uint32_t seed) {
    ConsoleCapture quiet;  // the announcements of new attack-board placements
    std::mt19937 random(seed);
    auto list = std::make_unique<MoveTextList>();
    for (int round = 0; round < 3; ++round) {
        Position p = Initial(game, rules);
        for (int ply = 0; ply < 100; ++ply) {
            const std::vector<Move> legal = LegalMoves(p);
            if (legal.empty()) break;
            GenerateMoveTexts(p, notation, *list);
            std::set<std::string> texts;
            for (const Move& m : legal) {
                char text[kMoveTextSize];
                MadeMoveText(p, *list, m, notation, text);
                ASSERT_TRUE(texts.insert(text).second)
                    << text << " twice; " << WritePositionText(p);
            }
            Move chosen = legal[random() % legal.size()];
            ASSERT_TRUE(MakeMove(p, p, chosen));
        }
    }
}

TEST(NotationReadBack, NoTextIsAmbiguous) {
    ExpectDistinctTexts(kGame2D, kRulesTournament, kT, 7);
    ExpectDistinctTexts(kGame3D, kRulesTournament, kS, 11);
    ExpectDistinctTexts(kGame3D, kRulesStandard, kA, 13);
}

}  // namespace
}  // namespace tarvex::testing
