// The 3D move generator checked against an independent reference written from the geometry and
// the movement rules (reference_3d.h): the reference's own rules on hand-made positions, its
// perft of the start position, and agreement with the real generator on perft and on every
// position of seeded random games under both rule sets.
#include "movegen/reference_3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/console.h"
#include "movegen/legal_moves.h"
#include "movegen/move_names.h"
#include "movegen/position_text.h"
#include "movegen/random_positions.h"
#include "moves/attacks.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using ref3d::RefMove;
using ref3d::RefState;
using ref3d::RuleSet;

constexpr unsigned kHomePins[4] = {32, 39, 56, 63};
constexpr bool kDefaultOwners[4] = {true, false, true, false};
constexpr RuleSet kBothRules[] = {RuleSet::kTournament, RuleSet::kStandard};

uint64_t Bit(unsigned square) {
    return uint64_t{1} << square;
}

int RulesSetting(RuleSet rules) {
    return rules == RuleSet::kTournament ? kRulesTournament : kRulesStandard;
}

const char* RulesName(RuleSet rules) {
    return rules == RuleSet::kTournament ? "Tournament" : "Standard";
}

// An empty board with the attack boards at the given pins and their default owners.
RefState EmptyState(RuleSet rules, const unsigned (&pins)[4] = kHomePins) {
    RefState s;
    s.rules = rules;
    std::fill(std::begin(s.pawnSlot), std::end(s.pawnSlot), ref3d::kNoPawnSlot);
    for (int board = 0; board < 4; ++board) {
        s.pins[board] = pins[board];
        s.whiteOwns[board] = kDefaultOwners[board];
    }
    return s;
}

// Kings far from everything the hand-made positions look at: White's on the White level's d1,
// Black's on the Black level's d8.
constexpr unsigned kQuietWhiteKing = 48, kQuietBlackKing = 55;

RefState WithKings(RefState s) {
    s.board[kQuietWhiteKing] = kKing;
    s.board[kQuietBlackKing] = -kKing;
    return s;
}

std::vector<RefMove> MovesFrom(const RefState& s, unsigned from) {
    std::vector<RefMove> out;
    for (const RefMove& m : ref3d::LegalMoves(s)) {
        if (m.from == from && m.piece < 100) out.push_back(m);
    }
    return out;
}

std::vector<unsigned> Destinations(const std::vector<RefMove>& moves) {
    std::vector<unsigned> out;
    for (const RefMove& m : moves) out.push_back(m.to);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

std::optional<RefMove> FindMove(const std::vector<RefMove>& moves, int piece, unsigned from,
                                unsigned to, char promotion = 0) {
    for (const RefMove& m : moves) {
        if (m.piece == piece && m.from == from && m.to == to && m.promotion == promotion) return m;
    }
    return std::nullopt;
}

using Squares = std::vector<unsigned>;
// ---- the reference's geometry ----

TEST(Reference3DGeometry, PlacesFollowTheIndexClassesAndThePins) {
    // Home pins: board 122's f9, the neutral e6 and e5, the White level's b1, the Black level's
    // b8, board 100's a0 and b1, board 116's e0 and f0. Then boards at q3, q4, k2 and k5.
    constexpr unsigned kMoved[4] = {2, 5, 59, 60};
    const struct {
        const unsigned (&pins)[4];
        unsigned square;
        int file, rank, level;
    } cases[] = {
        {kHomePins, 31, 5, 9, 7}, {kHomePins, 29, 4, 6, 4}, {kHomePins, 28, 4, 5, 4},
        {kHomePins, 32, 1, 1, 2}, {kHomePins, 39, 1, 8, 6}, {kHomePins, 0, 0, 0, 3},
        {kHomePins, 9, 1, 1, 3},  {kHomePins, 16, 4, 0, 3}, {kHomePins, 24, 5, 0, 3},
        {kMoved, 0, 0, 2, 5},     {kMoved, 15, 1, 7, 5},    {kMoved, 25, 5, 5, 3},
        {kMoved, 22, 4, 4, 7},    {kMoved, 64, -1, -1, -1},
    };
    for (const auto& c : cases) {
        const ref3d::Place p = ref3d::PlaceOf(c.pins, c.square);
        EXPECT_EQ(std::tuple(p.file, p.rank, p.level), std::tuple(c.file, c.rank, c.level))
            << c.square;
    }
}

// ---- the reference's rules on hand-made positions ----

TEST(Reference3DRules, RaysStopAtAnyLevelUnderTournamentAndOnlyTheirOwnUnderStandard) {
    // Rook on the White level's c2 (41), a piece on c4 (43); file c has no attack-board square.
    const uint64_t fileC = Bit(42) | Bit(43) | Bit(44) | Bit(45) | Bit(46) | Bit(47) | Bit(10) |
                           Bit(11) | Bit(12) | Bit(13);
    RefState s = EmptyState(RuleSet::kTournament);
    s.board[41] = kRook;
    s.board[43] = -kPawn;
    EXPECT_EQ(ref3d::AttackedSquares(s, true) & fileC, Bit(42) | Bit(10) | Bit(43) | Bit(11));
    s.rules = RuleSet::kStandard;
    EXPECT_EQ(ref3d::AttackedSquares(s, true) & fileC, fileC);
    // A step whose only empty square lies on a level already closed ends the ray: the rook on
    // c1 meets c3 occupied on the White level, then c4 occupied on the neutral level.
    RefState t = EmptyState(RuleSet::kStandard);
    t.board[40] = kRook;
    t.board[42] = -kPawn;
    t.board[11] = -kPawn;
    EXPECT_EQ(ref3d::AttackedSquares(t, true) & fileC, Bit(42) | Bit(10) | Bit(11));
}

TEST(Reference3DRules, TournamentRooksReachAlongTheOuterFileAcrossVacantPins) {
    // Board 100 at q1, 106 at q2, q3 vacant: a rook on a1 (square 1) reaches a4 and a5 on 106.
    constexpr unsigned kPins[4] = {32, 35, 56, 63};
    RefState s = EmptyState(RuleSet::kTournament, kPins);
    s.board[1] = kRook;
    EXPECT_EQ(ref3d::AttackedSquares(s, true) & (Bit(6) | Bit(7)), Bit(6) | Bit(7));
    const std::optional<RefMove> m = FindMove(ref3d::LegalMoves(WithKings(s)), kRook, 1, 7);
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->features & ref3d::kEdgeLine);
    s.board[6] = -kKnight;  // an enemy piece is attacked and ends the line
    EXPECT_EQ(ref3d::AttackedSquares(s, true) & (Bit(6) | Bit(7)), Bit(6));
    s.board[6] = kKnight;  // an own piece ends it unmarked
    EXPECT_EQ(ref3d::AttackedSquares(s, true) & (Bit(6) | Bit(7)), 0u);
    s.board[6] = 0;
    s.rules = RuleSet::kStandard;
    EXPECT_EQ(ref3d::AttackedSquares(s, true) & (Bit(6) | Bit(7)), 0u);
    // Blocked on the board at q2, the line still visits the board at q5 (122) and then ends.
    constexpr unsigned kStacked[4] = {32, 35, 56, 36};
    RefState g = EmptyState(RuleSet::kTournament, kStacked);
    g.board[1] = kRook;
    g.board[6] = -kKnight;
    EXPECT_EQ(ref3d::AttackedSquares(g, true) & (Bit(6) | Bit(7) | Bit(22) | Bit(23)),
              Bit(6) | Bit(22) | Bit(23));
    // From the rear square the own front square must be empty.
    RefState r = EmptyState(RuleSet::kTournament, kPins);
    r.board[0] = kRook;
    r.board[1] = kPawn;
    EXPECT_EQ(ref3d::AttackedSquares(r, true) & (Bit(6) | Bit(7)), 0u);
}

TEST(Reference3DRules, TournamentBackRowsJoinTheCornerBoards) {
    // A rook on b0 (square 8, board 100 at q1) reaches e0 and f0 on board 116 at k1.
    RefState s = EmptyState(RuleSet::kTournament);
    s.board[8] = kRook;
    EXPECT_EQ(ref3d::AttackedSquares(s, true) & (Bit(16) | Bit(24)), Bit(16) | Bit(24));
    // From a0 the way along the row needs b0 empty.
    RefState t = EmptyState(RuleSet::kTournament);
    t.board[0] = kQueen;
    t.board[8] = kKnight;
    EXPECT_EQ(ref3d::AttackedSquares(t, true) & (Bit(16) | Bit(24)), 0u);
    t.board[8] = 0;
    EXPECT_EQ(ref3d::AttackedSquares(t, true) & (Bit(16) | Bit(24)), Bit(16) | Bit(24));
    t.board[16] = -kKnight;  // the first piece ends the row
    EXPECT_EQ(ref3d::AttackedSquares(t, true) & (Bit(16) | Bit(24)), Bit(16));
    // The front rows at q6 and k6: from b9 (15) to e9 (23) and f9 (31).
    RefState f = EmptyState(RuleSet::kTournament);
    f.board[15] = kQueen;
    EXPECT_EQ(ref3d::AttackedSquares(f, true) & (Bit(23) | Bit(31)), Bit(23) | Bit(31));
    f.rules = RuleSet::kStandard;
    EXPECT_EQ(ref3d::AttackedSquares(f, true) & (Bit(23) | Bit(31)), 0u);
}

TEST(Reference3DRules, DoubleStepsFollowTheRulesForBlockedLevels) {
    // White pawn on b2 (33); the neutral level's b3 (2) is occupied.
    RefState s = WithKings(EmptyState(RuleSet::kTournament));
    s.board[33] = kPawn;
    s.pawnSlot[33] = 4;
    s.board[2] = -kKnight;
    EXPECT_EQ(Destinations(MovesFrom(s, 33)), (Squares{34}));
    s.rules = RuleSet::kStandard;
    EXPECT_EQ(Destinations(MovesFrom(s, 33)), (Squares{34, 35}));
    s.board[2] = 0;
    EXPECT_EQ(Destinations(MovesFrom(s, 33)), (Squares{2, 3, 34, 35}));
    s.pawnSlot[33] = 5;  // not the pawn that started here
    EXPECT_EQ(Destinations(MovesFrom(s, 33)), (Squares{2, 34}));
}

TEST(Reference3DRules, EnPassantTakesOntoEveryEmptySquareOfThePassedFileAndRank) {
    // Black pawn b7 (38) double-steps to the neutral b5 (4) beside a White pawn on c5 (12).
    RefState s = WithKings(EmptyState(RuleSet::kTournament));
    s.board[38] = -kPawn;
    s.pawnSlot[38] = 4;
    s.board[12] = kPawn;
    s.whiteToMove = false;
    const std::vector<RefMove> black = ref3d::LegalMoves(s);
    const std::optional<RefMove> step = FindMove(black, -kPawn, 38, 4);
    ASSERT_TRUE(step);
    const RefState after = ref3d::Play(s, *step);
    EXPECT_EQ(after.epSquare, 37u);  // the first square of b6: the Black level's
    const std::vector<RefMove> white = MovesFrom(after, 12);
    const std::optional<RefMove> ep = FindMove(white, kPawn, 12, 5);
    ASSERT_TRUE(ep);
    EXPECT_TRUE(ep->features & ref3d::kEnPassant);
    ASSERT_TRUE(FindMove(white, kPawn, 12, 37));
    EXPECT_EQ(ref3d::Play(after, *ep).board[4], 0);
    // An occupied square of b6 takes no en-passant move; an enemy piece there is a capture.
    RefState blocked = after;
    blocked.board[37] = -kKnight;
    const std::optional<RefMove> capture = FindMove(MovesFrom(blocked, 12), kPawn, 12, 37);
    ASSERT_TRUE(capture);
    EXPECT_FALSE(capture->features & ref3d::kEnPassant);
    EXPECT_EQ(ref3d::Play(blocked, *capture).board[4], -kPawn);
}

TEST(Reference3DRules, CastlingExchangesOrCrossesAndNeedsUnattackedSquares) {
    RefState s = ref3d::StartState(RuleSet::kTournament);
    const std::vector<RefMove> start = ref3d::LegalMoves(s);
    ASSERT_TRUE(FindMove(start, kKing, 16, 24));
    EXPECT_FALSE(FindMove(start, kKing, 16, 8));  // the queen stands on 8
    s.board[8] = 0;
    const std::optional<RefMove> longCastle = FindMove(ref3d::LegalMoves(s), kKing, 16, 8);
    ASSERT_TRUE(longCastle);
    const RefState after = ref3d::Play(s, *longCastle);
    EXPECT_EQ(after.board[8], kKing);
    EXPECT_EQ(after.board[16], kRook);
    EXPECT_EQ(after.board[0], 0);
    EXPECT_EQ(after.castling, unsigned{kBlackKingSide | kBlackQueenSide});
    const RefState shortAfter = ref3d::Play(s, *FindMove(ref3d::LegalMoves(s), kKing, 16, 24));
    EXPECT_EQ(shortAfter.board[24], kKing);
    EXPECT_EQ(shortAfter.board[16], kRook);
    s.castling = kBlackKingSide | kBlackQueenSide;
    EXPECT_FALSE(FindMove(ref3d::LegalMoves(s), kKing, 16, 24));
}

TEST(Reference3DRules, AttackBoardsMoveByOwnerLoadAndRoute) {
    // An empty White board at q1 goes to q3 and q2, and under Tournament rules across to k1.
    constexpr unsigned kPins[4] = {32, 39, 59, 63};  // 116 at k2: k1 free
    RefState s = WithKings(EmptyState(RuleSet::kTournament, kPins));
    auto boardMoves = [](const RefState& state, int id) {
        std::vector<unsigned> to;
        for (const RefMove& m : ref3d::LegalMoves(state)) {
            if (m.piece == id) to.push_back(m.to);
        }
        std::sort(to.begin(), to.end());
        return to;
    };
    EXPECT_EQ(boardMoves(s, 100), (Squares{2, 35, 56}));
    s.rules = RuleSet::kStandard;
    EXPECT_EQ(boardMoves(s, 100), (Squares{2, 35}));
    s.board[0] = kKnight;  // one knight: Standard no, Tournament yes (towards Black)
    EXPECT_EQ(boardMoves(s, 100), (Squares{}));
    s.rules = RuleSet::kTournament;
    EXPECT_EQ(boardMoves(s, 100), (Squares{2, 35, 56}));
    s.board[1] = kPawn;  // two pieces: never
    EXPECT_EQ(boardMoves(s, 100), (Squares{}));
    s.whiteToMove = false;  // Black does not own it
    s.board[0] = s.board[1] = 0;
    EXPECT_EQ(boardMoves(s, 100), (Squares{}));
    // A White board at q3 carrying a White pawn: q2, q4, q5 and k3, never back to q1.
    constexpr unsigned kAtQ3[4] = {2, 39, 56, 63};
    RefState q3 = WithKings(EmptyState(RuleSet::kTournament, kAtQ3));
    q3.board[1] = kPawn;
    EXPECT_EQ(boardMoves(q3, 100), (Squares{5, 26, 35, 36}));
}

TEST(Reference3DRules, PawnsPromoteOnAttackBoardsAndByBoardMoves) {
    // White pawn on a8 (square 6) of board 106 at q6 steps to a9 (7) and promotes.
    RefState s = WithKings(EmptyState(RuleSet::kTournament));
    s.board[6] = kPawn;
    s.whiteOwns[1] = true;
    std::vector<RefMove> moves = MovesFrom(s, 6);
    ASSERT_EQ(moves.size(), 4u);
    for (const RefMove& m : moves) EXPECT_TRUE(m.features & ref3d::kBoardSquarePromotion);
    EXPECT_EQ(ref3d::Play(s, moves[0]).board[7], kBishop);  // 'B' sorts first
    // The Black level's b8 (39) is no last rank while a board stands at q6.
    RefState main = WithKings(EmptyState(RuleSet::kTournament));
    main.board[39] = kPawn;
    ASSERT_EQ(MovesFrom(main, 39).size(), 4u);
    EXPECT_EQ(MovesFrom(main, 39)[0].to, 15u);
    // Board 100 at q4 carrying a White pawn on its upper rank promotes it by moving to q6.
    constexpr unsigned kPins[4] = {5, 36, 56, 63};
    RefState b = WithKings(EmptyState(RuleSet::kTournament, kPins));
    b.board[1] = kPawn;
    const std::vector<RefMove> all = ref3d::LegalMoves(b);
    const std::optional<RefMove> promote = FindMove(all, 100, 5, 39, 'N');
    ASSERT_TRUE(promote);
    EXPECT_TRUE(promote->features & ref3d::kBoardMovePromotion);
    EXPECT_EQ(ref3d::Play(b, *promote).board[1], kKnight);
    EXPECT_FALSE(FindMove(all, 100, 5, 39));  // listed once per piece only
}

// ---- perft of the start position by the reference alone ----

TEST(Reference3DPerft, StartPositionCounts) {
    const struct {
        RuleSet rules;
        uint64_t nodes[3];  // depths 1, 2, 3
    } cases[] = {{RuleSet::kTournament, {21, 441, 10004}}, {RuleSet::kStandard, {21, 441, 10088}}};
    for (const auto& c : cases) {
        const RefState start = ref3d::StartState(c.rules);
        for (int depth = 1; depth <= 3; ++depth) {
            EXPECT_EQ(ref3d::Perft(start, depth), c.nodes[depth - 1])
                << RulesName(c.rules) << " depth " << depth;
        }
    }
}

// ---- the real generator, as a player sees its moves ----

struct ProgramList {
    std::vector<RefMove> moves;  // sorted, each once
    std::vector<Move> records;   // the program's record of each
};

ProgramList ProgramLegalMoves(Position& position) {
    std::vector<std::pair<RefMove, Move>> pairs;
    for (const Move& m : LegalMoves(position)) {
        pairs.emplace_back(RefMove{m.piece, m.from, m.to, IsPromotionKind(m.kind) ? m.kind : '\0'},
                           m);
    }
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    ProgramList list;
    for (const auto& [move, record] : pairs) {
        if (!list.moves.empty() && list.moves.back() == move) continue;
        list.moves.push_back(move);
        list.records.push_back(record);
    }
    return list;
}

// The moves of a that b lacks, as text.
std::string Missing(const std::vector<RefMove>& a, const std::vector<RefMove>& b) {
    std::vector<RefMove> only;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(only));
    std::string text;
    for (const RefMove& m : only) text += " " + ref3d::MoveText(m);
    return text;
}

// Board, pins, owners, castling rights, en-passant square, side to move and pawn slots.
bool SameState(const RefState& a, const RefState& b) {
    return std::equal(std::begin(a.board), std::end(a.board), std::begin(b.board)) &&
           std::equal(std::begin(a.pins), std::end(a.pins), std::begin(b.pins)) &&
           std::equal(std::begin(a.whiteOwns), std::end(a.whiteOwns), std::begin(b.whiteOwns)) &&
           std::equal(std::begin(a.pawnSlot), std::end(a.pawnSlot), std::begin(b.pawnSlot)) &&
           a.castling == b.castling && a.epSquare == b.epSquare && a.whiteToMove == b.whiteToMove;
}

// The differences of two sorted move lists, or "" when they are equal.
std::string ListDifference(const Position& position, const std::vector<RefMove>& reference,
                           const std::vector<RefMove>& program) {
    if (reference == program) return "";
    return std::string((position.flags & kInCheck) ? "in check: " : "") +
           WritePositionText(position) + "\n  only the reference:" + Missing(reference, program) +
           "\n  only the program:" + Missing(program, reference);
}

// Makes the move in both generators; false when the program refuses it. difference: "" when
// both leave the same state behind.
bool MakeBoth(const Position& position, const RefState& state, const RefMove& move, Move record,
              Position& child, std::string& difference) {
    difference.clear();
    if (MakeMove(child, position, record) != 1) {
        difference = "MakeMove refused the listed move " + ref3d::MoveText(move) + " in " +
                     WritePositionText(position);
        return false;
    }
    const RefState want = ref3d::Play(state, move);
    const RefState got = ref3d::FromPosition(child);
    if (!SameState(want, got)) {
        difference = "after " + ref3d::MoveText(move) + " from " + WritePositionText(position) +
                     "\n  reference: " + ref3d::StateText(want) +
                     "\n  program:   " + ref3d::StateText(got);
    }
    return true;
}

// Hand-made positions at the corners of the rules, compared under both rule sets.
TEST(Reference3DAgreement, CornerCasesOfTheRules) {
    using testing::Squares3D;
    const std::string home = " q1w,q6b,k1w,k6b w - -";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"a Standard ray ends where only a closed level is empty",
         Squares3D({{48, 'K'}, {55, 'k'}, {40, 'R'}, {42, 'p'}, {11, 'p'}}) + home},
        {"a rook's outer-file line crosses the vacant q3",
         Squares3D({{48, 'K'}, {55, 'k'}, {1, 'R'}, {7, 'n'}}) + " q1w,q2b,k1w,k6b w - -"},
        {"a line blocked at q2 still reaches the board at q5",
         Squares3D({{48, 'K'}, {55, 'k'}, {1, 'R'}, {6, 'n'}}) + " q1w,q2b,k1w,q5b w - -"},
        {"back rows join q1 with k1 and q6 with k6",
         Squares3D({{48, 'K'}, {55, 'k'}, {8, 'R'}, {16, 'n'}, {15, 'Q'}}) +
             " q1w,q6w,k1b,k6b w - -"},
        {"a Standard double step past a blocked level",
         Squares3D({{48, 'K'}, {55, 'k'}, {33, 'P'}, {2, 'n'}}) + home},
        {"an attack-board move promotes the pawn it carries",
         Squares3D({{48, 'K'}, {55, 'k'}, {1, 'P'}}) + " q4w,q5b,k1w,k6b w - -"},
        {"long castling needs square 8 unattacked",
         Squares3D({{16, 'K'}, {0, 'R'}, {24, 'R'}, {55, 'k'}, {35, 'r'}}) +
             " q1w,q6b,k1w,k6b w KQ -"},
        {"a pawn promotes on an attack board at q6",
         Squares3D({{48, 'K'}, {55, 'k'}, {6, 'P'}, {39, 'P'}}) + " q1w,q6w,k1w,k6b w - -"},
        // Black's b7 pawn has double-stepped to the neutral b5 (4) beside White's c5 (12). A
        // pawn stepping straight onto the passed file and rank (36 to 37) takes nothing; only a
        // diagonal move onto an empty square there is an en-passant capture.
        {"a straight push onto the passed-over square is no capture",
         Squares3D({{48, 'K'}, {55, 'k'}, {4, 'p'}, {36, 'P'}, {12, 'P'}}) +
             " q1w,q6b,k1w,k6b w - 37"},
    };
    for (RuleSet rules : kBothRules) {
        for (const auto& c : cases) {
            Position position = testing::FromText(c.text, kGame3D, RulesSetting(rules));
            ConsoleCapture quiet;
            const RefState state = ref3d::FromPosition(position);
            const std::vector<RefMove> reference = ref3d::LegalMoves(state);
            const ProgramList program = ProgramLegalMoves(position);
            EXPECT_EQ(ListDifference(position, reference, program.moves), "")
                << c.what << " (" << RulesName(rules) << ")";
            if (reference != program.moves) continue;
            for (size_t i = 0; i < reference.size(); ++i) {
                Position child;
                std::string difference;
                MakeBoth(position, state, reference[i], program.records[i], child, difference);
                EXPECT_EQ(difference, "") << c.what << " (" << RulesName(rules) << ")";
            }
        }
    }
}

// ---- random games ----

// The kinds of moves, in the order of their feature bits, and how strongly the random games
// prefer each, so that the rare ones get played.
constexpr struct {
    const char* name;
    uint32_t weight;
} kFeatures[ref3d::kFeatureCount] = {
    {"capture", 3},
    {"double step", 6},
    {"en passant", 40},
    {"short castling", 40},
    {"long castling", 40},
    {"promotion", 15},
    {"promotion on an attack board", 40},
    {"attack-board move", 3},
    {"promotion by an attack-board move", 40},
    {"Tournament outer-file or back-row line", 8},
    {"Standard double step past a blocked level", 20},
    {"king move", 1},
};

uint32_t WeightOf(const RefMove& m) {
    uint32_t weight = 1;
    for (int f = 0; f < ref3d::kFeatureCount; ++f) {
        if ((m.features >> f) & 1) weight = std::max(weight, kFeatures[f].weight);
    }
    return weight;
}

struct RunResult {
    long positions = 0;
    long inCheck = 0;
    long mismatches = 0;
    std::array<long, ref3d::kFeatureCount> features{};
    std::vector<std::string> reports;  // the first disagreements, in full
};

constexpr size_t kMaxReports = 12;
constexpr int kMaxGamePlies = 160;

// Games from the start position, from the start without the queens and from random
// placements, each move chosen at random among the moves both generators agree on, rare kinds
// of moves preferred.
class RandomGames {
public:
    RandomGames(RuleSet rules, uint64_t seed) : rules_(RulesSetting(rules)), random_(seed) {}

    RunResult Run(long positions) {
        std::string noQueens(kStartText3D);  // long castling at once
        noQueens[8] = noQueens[15] = '.';
        for (long game = 0; result_.positions < positions; ++game) {
            Position position =
                testing::FromText(game % 3 ? kStartText3D : noQueens, kGame3D, rules_);
            if (game % 3 == 1 && !testing::RandomPlacement(random_, kGame3D, rules_, 12, position))
                continue;
            for (int ply = 0; ply < kMaxGamePlies && result_.positions < positions; ++ply) {
                if (!Visit(position)) break;
            }
        }
        return result_;
    }

private:
    // Compares both generators on the position and replaces it by the position after one of the
    // moves they agree on; false when there is none.
    bool Visit(Position& position) {
        ++result_.positions;
        result_.inCheck += (position.flags & kInCheck) != 0;
        const RefState state = ref3d::FromPosition(position);
        const std::vector<RefMove> reference = ref3d::LegalMoves(state);
        const ProgramList program = ProgramLegalMoves(position);
        CompareAttacks(position, state);
        std::vector<RefMove> common;
        std::set_intersection(reference.begin(), reference.end(), program.moves.begin(),
                              program.moves.end(), std::back_inserter(common));
        AddReport(ListDifference(position, reference, program.moves));
        for (const RefMove& m : common) {
            for (int f = 0; f < ref3d::kFeatureCount; ++f) {
                result_.features[static_cast<size_t>(f)] += (m.features >> f) & 1;
            }
        }
        if (common.empty()) return false;
        const RefMove chosen = Choose(common);
        const auto at = std::lower_bound(program.moves.begin(), program.moves.end(), chosen);
        const Move record = program.records[static_cast<size_t>(at - program.moves.begin())];
        Position child;
        std::string difference;
        const bool made = MakeBoth(position, state, chosen, record, child, difference);
        AddReport(difference);
        if (!made) return false;
        position = child;
        position.parent = nullptr;
        return true;
    }

    void CompareAttacks(const Position& position, const RefState& state) {
        const uint64_t white = ref3d::AttackedSquares(state, true);
        const uint64_t black = ref3d::AttackedSquares(state, false);
        for (unsigned q = 0; q < 64; ++q) {
            const bool w = AttackedByWhite(position, q), b = AttackedByBlack(position, q);
            if (w == ((white & Bit(q)) != 0) && b == ((black & Bit(q)) != 0)) continue;
            AddReport("attacks on square " + std::to_string(q) + " differ (program White " +
                      std::to_string(w) + " Black " + std::to_string(b) + ") in " +
                      WritePositionText(position));
            return;
        }
    }

    void AddReport(const std::string& text) {
        if (text.empty()) return;
        if (++result_.mismatches <= static_cast<long>(kMaxReports)) result_.reports.push_back(text);
    }

    RefMove Choose(const std::vector<RefMove>& moves) {
        uint32_t total = 0;
        for (const RefMove& m : moves) total += WeightOf(m);
        uint32_t pick = random_.Below(total);
        for (const RefMove& m : moves) {
            if (pick < WeightOf(m)) return m;
            pick -= WeightOf(m);
        }
        return moves.back();
    }

    int rules_;
    testing::Random random_;
    RunResult result_;
};

constexpr long kPositionsPerRuleSet = 20000;  // the full runs
constexpr long kQuickPositions = 1500;        // a short run for every build
constexpr uint64_t kSeeds[] = {0x3D5EED01, 0x3D5EED02, 0x3D5EED03, 0x3D5EED04};

RunResult RunGames(RuleSet rules, uint64_t seed, long positions) {
    ConsoleCapture quiet;
    const RunResult result = RandomGames(rules, seed).Run(positions);
    std::printf("\n%s: %ld positions (%ld in check)\n", RulesName(rules), result.positions,
                result.inCheck);
    for (int f = 0; f < ref3d::kFeatureCount; ++f) {
        std::printf("  %-45s %ld\n", kFeatures[f].name, result.features[static_cast<size_t>(f)]);
    }
    return result;
}

void ExpectAgreement(const RunResult& result) {
    for (const std::string& report : result.reports) ADD_FAILURE() << report;
    EXPECT_EQ(result.mismatches, 0);
}

// Every kind of move the rules allow was met, and none they forbid.
void ExpectEveryFeature(const RunResult& result, RuleSet rules) {
    EXPECT_GT(result.inCheck, 0);
    for (int f = 0; f < ref3d::kFeatureCount; ++f) {
        const bool standardOnly = (1u << f) == ref3d::kOpenLevelDoubleStep;
        const bool tournamentOnly = (1u << f) == ref3d::kEdgeLine;
        const bool allowed = rules == RuleSet::kTournament ? !standardOnly : !tournamentOnly;
        const long count = result.features[static_cast<size_t>(f)];
        if (allowed) {
            EXPECT_GT(count, 0) << kFeatures[f].name;
        } else {
            EXPECT_EQ(count, 0) << kFeatures[f].name;
        }
    }
}

TEST(Reference3DAgreement, ShortRandomGamesBothRules) {
    ExpectAgreement(RunGames(RuleSet::kTournament, kSeeds[2], kQuickPositions));
    ExpectAgreement(RunGames(RuleSet::kStandard, kSeeds[3], kQuickPositions));
}

TEST(Reference3DAgreementSlow, RandomGamesTournament) {
    const RunResult result = RunGames(RuleSet::kTournament, kSeeds[0], kPositionsPerRuleSet);
    ExpectAgreement(result);
    ExpectEveryFeature(result, RuleSet::kTournament);
}

TEST(Reference3DAgreementSlow, RandomGamesStandard) {
    const RunResult result = RunGames(RuleSet::kStandard, kSeeds[1], kPositionsPerRuleSet);
    ExpectAgreement(result);
    ExpectEveryFeature(result, RuleSet::kStandard);
}

}  // namespace
}  // namespace tarvex
