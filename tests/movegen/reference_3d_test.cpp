// The 3D move generator checked against an independent reference written from the geometry and
// the movement rules (reference_3d.h): the reference's own rules on hand-made positions, its
// perft of the start position, and agreement with the real generator on perft and on every
// position of seeded random games under both rule sets.
#include "movegen/reference_3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/settings.h"
#include "movegen/attacks.h"
#include "movegen/legal_moves.h"
#include "moves/initial_position.h"
#include "moves/make_move.h"
#include "moves/position_setup.h"
#include "moves/position_text.h"
#include "support/game_kind.h"

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
    auto place = [](const unsigned(&pins)[4], unsigned square) {
        const ref3d::Place p = ref3d::PlaceOf(pins, square);
        return std::array<int, 3>{p.file, p.rank, p.level};
    };
    using P = std::array<int, 3>;
    EXPECT_EQ(place(kHomePins, 31), (P{5, 9, 7}));  // board 122 at k6: f9
    EXPECT_EQ(place(kHomePins, 29), (P{4, 6, 4}));  // neutral e6
    EXPECT_EQ(place(kHomePins, 28), (P{4, 5, 4}));  // neutral e5
    EXPECT_EQ(place(kHomePins, 32), (P{1, 1, 2}));  // White level b1
    EXPECT_EQ(place(kHomePins, 39), (P{1, 8, 6}));  // Black level b8
    EXPECT_EQ(place(kHomePins, 0), (P{0, 0, 3}));   // board 100 at q1: a0
    EXPECT_EQ(place(kHomePins, 9), (P{1, 1, 3}));   // ... b1
    EXPECT_EQ(place(kHomePins, 16), (P{4, 0, 3}));  // board 116 at k1: e0
    EXPECT_EQ(place(kHomePins, 24), (P{5, 0, 3}));  // ... f0
    constexpr unsigned kMoved[4] = {2, 5, 59, 60};  // q3, q4, k2, k5
    EXPECT_EQ(place(kMoved, 0), (P{0, 2, 5}));
    EXPECT_EQ(place(kMoved, 15), (P{1, 7, 5}));
    EXPECT_EQ(place(kMoved, 25), (P{5, 5, 3}));
    EXPECT_EQ(place(kMoved, 22), (P{4, 4, 7}));
    EXPECT_EQ(place(kMoved, 64), (P{-1, -1, -1}));
}

TEST(Reference3DGeometry, StepsReachTheNextFileAndRankOnEveryLevel) {
    EXPECT_EQ(ref3d::StepSquares(kHomePins, 35, 0, 1), (Squares{36, 4}));
    EXPECT_EQ(ref3d::StepSquares(kHomePins, 10, 0, -1), (Squares{41}));
    EXPECT_EQ(ref3d::StepSquares(kHomePins, 8, 0, 1), (Squares{32, 9}));
    EXPECT_EQ(ref3d::StepSquares(kHomePins, 0, 0, 1), (Squares{1}));
    EXPECT_EQ(ref3d::StepSquares(kHomePins, 0, 0, -1), (Squares{}));
    EXPECT_EQ(ref3d::StepSquares(kHomePins, 32, 1, 2), (Squares{42, 10}));
    // Boards at q2 and q5 cover the same files and ranks on levels 3 and 7.
    constexpr unsigned kStacked[4] = {35, 36, 56, 63};
    EXPECT_EQ(ref3d::StepSquares(kStacked, 1, 0, -1), (Squares{0, 6}));
    EXPECT_EQ(ref3d::StepSquares(kStacked, 3, 0, 1), (Squares{36, 4, 9, 15}));
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

TEST(Reference3DRules, NoMoveLeavesTheKingAttacked) {
    // White king on the White level's c1 (40), pinned knight on c2 (41), Black rook on c4 (43).
    RefState s = EmptyState(RuleSet::kTournament);
    s.board[40] = kKing;
    s.board[41] = kKnight;
    s.board[43] = -kRook;
    s.board[kQuietBlackKing] = -kKing;
    EXPECT_TRUE(MovesFrom(s, 41).empty());
    EXPECT_EQ(Destinations(MovesFrom(s, 40)), (Squares{8, 9, 32, 33, 48, 49}));
    // A second rook on b4 (35) sweeps file b down to board 100's b1 and b0.
    s.board[35] = -kRook;
    EXPECT_EQ(Destinations(MovesFrom(s, 40)), (Squares{48, 49}));
}

// ---- perft of the start position by the reference alone ----

struct PerftCase {
    RuleSet rules;
    uint64_t nodes[3];  // depths 1, 2, 3
};
constexpr PerftCase kReferencePerft[] = {
    {RuleSet::kTournament, {21, 441, 10004}},
    {RuleSet::kStandard, {21, 441, 10088}},
};

TEST(Reference3DPerft, StartPositionCounts) {
    for (const PerftCase& c : kReferencePerft) {
        const RefState start = ref3d::StartState(c.rules);
        for (int depth = 1; depth <= 3; ++depth) {
            const uint64_t nodes = ref3d::Perft(start, depth);
            std::printf("reference perft %s depth %d: %llu\n", RulesName(c.rules), depth,
                        static_cast<unsigned long long>(nodes));
            EXPECT_EQ(nodes, c.nodes[depth - 1]) << RulesName(c.rules) << " depth " << depth;
        }
    }
}

// ---- the real generator, as a player sees its moves ----

RefMove AsRefMove(const Move& m) {
    return {m.piece, m.from, m.to, IsPromotionKind(m.kind) ? m.kind : char{0}, 0};
}

struct ProgramList {
    std::vector<RefMove> moves;  // sorted, each once
    std::vector<Move> records;   // the program's record of each
};

ProgramList ProgramLegalMoves(Position& position) {
    std::vector<std::pair<RefMove, Move>> pairs;
    for (const Move& m : LegalMoves(position)) pairs.emplace_back(AsRefMove(m), m);
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

// Board, pins, owners, castling rights, en-passant square, side to move and pawn slots.
bool SameState(const RefState& a, const RefState& b) {
    return std::equal(std::begin(a.board), std::end(a.board), std::begin(b.board)) &&
           std::equal(std::begin(a.pins), std::end(a.pins), std::begin(b.pins)) &&
           std::equal(std::begin(a.whiteOwns), std::end(a.whiteOwns), std::begin(b.whiteOwns)) &&
           std::equal(std::begin(a.pawnSlot), std::end(a.pawnSlot), std::begin(b.pawnSlot)) &&
           a.castling == b.castling && a.epSquare == b.epSquare && a.whiteToMove == b.whiteToMove;
}

// The real generator's perft of the start position is checked against the same counts.

// Hand-made positions at the corners of the rules, compared under both rule sets.
struct CornerCase {
    const char* what;
    std::vector<std::pair<unsigned, char>> pieces;
    const char* pins;
    const char* rest;  // side, castling, en-passant square
};

std::string CornerText(const CornerCase& c) {
    std::string squares(64, '.');
    for (const auto& [square, letter] : c.pieces) squares[square] = letter;
    return squares + " " + c.pins + " " + c.rest;
}

const CornerCase kCornerCases[] = {
    {"a Standard ray ends where only a closed level is empty",
     {{48, 'K'}, {55, 'k'}, {40, 'R'}, {42, 'p'}, {11, 'p'}},
     "q1w,q6b,k1w,k6b",
     "w - -"},
    {"a rook's outer-file line crosses the vacant q3",
     {{48, 'K'}, {55, 'k'}, {1, 'R'}, {7, 'n'}},
     "q1w,q2b,k1w,k6b",
     "w - -"},
    {"a line blocked at q2 still reaches the board at q5",
     {{48, 'K'}, {55, 'k'}, {1, 'R'}, {6, 'n'}},
     "q1w,q2b,k1w,q5b",
     "w - -"},
    {"back rows join q1 with k1 and q6 with k6",
     {{48, 'K'}, {55, 'k'}, {8, 'R'}, {16, 'n'}, {15, 'Q'}},
     "q1w,q6w,k1b,k6b",
     "w - -"},
    {"a Standard double step past a blocked level",
     {{48, 'K'}, {55, 'k'}, {33, 'P'}, {2, 'n'}},
     "q1w,q6b,k1w,k6b",
     "w - -"},
    {"an attack-board move promotes the pawn it carries",
     {{48, 'K'}, {55, 'k'}, {1, 'P'}},
     "q4w,q5b,k1w,k6b",
     "w - -"},
    {"long castling needs square 8 unattacked",
     {{16, 'K'}, {0, 'R'}, {24, 'R'}, {55, 'k'}, {35, 'r'}},
     "q1w,q6b,k1w,k6b",
     "w KQ -"},
    {"a pawn promotes on an attack board at q6",
     {{48, 'K'}, {55, 'k'}, {6, 'P'}, {39, 'P'}},
     "q1w,q6w,k1w,k6b",
     "w - -"},
    // Black's b7 pawn has double-stepped to the neutral b5 (4) beside White's c5 (12). A pawn
    // stepping straight onto the passed file and rank (36 to 37) takes nothing; only a diagonal
    // move onto an empty square there is an en-passant capture.
    {"a straight push onto the passed-over square is no capture",
     {{48, 'K'}, {55, 'k'}, {4, 'p'}, {36, 'P'}, {12, 'P'}},
     "q1w,q6b,k1w,k6b",
     "w - 37"},
};

// The same moves, and every move leaves the same state behind.
TEST(Reference3DAgreement, CornerCasesOfTheRules) {
    ConsoleCapture quiet;
    for (RuleSet rules : kBothRules) {
        GameKindScope scope(kGame3D, RulesSetting(rules));
        for (const CornerCase& c : kCornerCases) {
            Position position;
            std::string error;
            ASSERT_TRUE(ReadPositionText(kGame3D, CornerText(c), position, error))
                << c.what << ": " << error;
            const RefState state = ref3d::FromPosition(position, rules);
            const std::vector<RefMove> reference = ref3d::LegalMoves(state);
            const ProgramList program = ProgramLegalMoves(position);
            std::string text;
            for (const RefMove& m : reference) text += " " + ref3d::MoveText(m);
            EXPECT_EQ(reference, program.moves) << c.what << " (" << RulesName(rules) << ")\n  "
                                                << CornerText(c) << "\n  reference:" << text;
            for (size_t i = 0; i < program.moves.size(); ++i) {
                const auto mine =
                    std::lower_bound(reference.begin(), reference.end(), program.moves[i]);
                if (mine == reference.end() || !(*mine == program.moves[i])) continue;
                Position child;
                Move record = program.records[i];
                ASSERT_EQ(MakeMove(child, position, record), 1) << ref3d::MoveText(*mine);
                const RefState want = ref3d::Play(state, *mine);
                const RefState got = ref3d::FromPosition(child, rules);
                EXPECT_TRUE(SameState(want, got)) << c.what << ": " << ref3d::MoveText(*mine)
                                                  << "\n  reference: " << ref3d::StateText(want)
                                                  << "\n  program:   " << ref3d::StateText(got);
            }
        }
    }
}

// ---- random games ----

// How strongly the random games prefer each kind of move, so that the rare ones get played.
struct FeatureWeight {
    uint32_t feature;
    int weight;
};
constexpr FeatureWeight kWeights[] = {{ref3d::kCastleShort, 40},
                                      {ref3d::kCastleLong, 40},
                                      {ref3d::kEnPassant, 40},
                                      {ref3d::kBoardMovePromotion, 40},
                                      {ref3d::kBoardSquarePromotion, 40},
                                      {ref3d::kPromotion, 15},
                                      {ref3d::kOpenLevelDoubleStep, 20},
                                      {ref3d::kEdgeLine, 8},
                                      {ref3d::kDoubleStep, 6},
                                      {ref3d::kBoardMove, 3},
                                      {ref3d::kCapture, 3}};

int WeightOf(const RefMove& m) {
    int weight = 1;
    for (const FeatureWeight& w : kWeights) {
        if ((m.features & w.feature) != 0) weight = std::max(weight, w.weight);
    }
    return weight;
}

const char* const kFeatureNames[ref3d::kFeatureCount] = {
    "capture",
    "double step",
    "en passant",
    "short castling",
    "long castling",
    "promotion",
    "promotion on an attack board",
    "attack-board move",
    "promotion by an attack-board move",
    "Tournament outer-file or back-row line",
    "Standard double step past a blocked level",
    "king move"};

struct RunResult {
    long positions = 0;
    long inCheck = 0;
    long games = 0;
    long mismatches = 0;
    std::array<long, ref3d::kFeatureCount> features{};
    std::vector<std::string> reports;  // the first disagreement of each shape, in full
    std::vector<std::string> shapes;
    std::vector<long> shapeCounts;
};

constexpr size_t kMaxReports = 12;
constexpr int kMaxGamePlies = 160;
constexpr int kRandomStartEvery = 2;  // every second game starts from a placed board

class RandomGames {
public:
    RandomGames(RuleSet rules, uint64_t seed) : rules_(rules), rng_(seed) {}

    RunResult Run(long positions) {
        while (result_.positions < positions) PlayGame(positions);
        return result_;
    }

private:
    void PlayGame(long positions) {
        Position* current = &buffers_[0];
        Position* next = &buffers_[1];
        const bool placed = result_.games++ % kRandomStartEvery == 1;
        if (placed ? !PlacedStart(*current) : SetUpInitialPosition(*current) != 1) return;
        for (int ply = 0; ply < kMaxGamePlies && result_.positions < positions; ++ply) {
            if (!Visit(*current, *next)) return;
            std::swap(current, next);
        }
    }

    // Compares both generators on the position and plays one of the moves they agree on.
    bool Visit(Position& position, Position& child) {
        ++result_.positions;
        const bool inCheck = (position.flags & kInCheck) != 0;
        result_.inCheck += inCheck;
        const RefState state = ref3d::FromPosition(position, rules_);
        const std::vector<RefMove> reference = ref3d::LegalMoves(state);
        const ProgramList program = ProgramLegalMoves(position);
        CompareAttacks(position, state);
        std::vector<RefMove> common;
        std::set_intersection(reference.begin(), reference.end(), program.moves.begin(),
                              program.moves.end(), std::back_inserter(common));
        if (common.size() != reference.size() || common.size() != program.moves.size()) {
            Report(position, inCheck, reference, program.moves);
        }
        for (const RefMove& m : common) Count(m);
        if (common.empty()) return false;
        const RefMove chosen = Choose(common);
        const auto at = std::lower_bound(program.moves.begin(), program.moves.end(), chosen);
        Move record = program.records[static_cast<size_t>(at - program.moves.begin())];
        return MakeAndCompare(position, child, state, chosen, record);
    }

    bool MakeAndCompare(const Position& position, Position& child, const RefState& state,
                        const RefMove& chosen, Move record) {
        if (MakeMove(child, position, record) != 1) {
            AddReport("MakeMove refused the listed move " + ref3d::MoveText(chosen) + " in " +
                      WritePositionText(position));
            return false;
        }
        const RefState mine = ref3d::Play(state, chosen);
        const RefState theirs = ref3d::FromPosition(child, rules_);
        if (!SameState(mine, theirs)) {
            AddReport("after " + ref3d::MoveText(chosen) + " from " + WritePositionText(position) +
                      "\n  reference: " + ref3d::StateText(mine) +
                      "\n  program:   " + ref3d::StateText(theirs));
        }
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

    void Report(const Position& position, bool inCheck, const std::vector<RefMove>& reference,
                const std::vector<RefMove>& program) {
        std::vector<RefMove> onlyReference, onlyProgram;
        std::set_difference(reference.begin(), reference.end(), program.begin(), program.end(),
                            std::back_inserter(onlyReference));
        std::set_difference(program.begin(), program.end(), reference.begin(), reference.end(),
                            std::back_inserter(onlyProgram));
        std::string text = std::string(inCheck ? "in check: " : "") + WritePositionText(position);
        std::string kinds = inCheck ? "check" : "";
        text += "\n  only the reference:";
        for (const RefMove& m : onlyReference) {
            text += " " + ref3d::MoveText(m);
            kinds += " r" + MoveShape(position, m);
        }
        text += "\n  only the program:";
        for (const RefMove& m : onlyProgram) {
            text += " " + ref3d::MoveText(m);
            kinds += " p" + MoveShape(position, m);
        }
        AddReport(text, kinds);
    }

    // The piece and the file and rank change of a move: disagreements of one shape are reported
    // once, with their count.
    static std::string MoveShape(const Position& position, const RefMove& m) {
        if (m.piece >= 100) return "board" + std::string(m.promotion != 0 ? "=" : "");
        const ref3d::Place from = ref3d::PlaceOf(position.abPin, m.from);
        const ref3d::Place to = ref3d::PlaceOf(position.abPin, m.to);
        return std::to_string(m.piece) + "(" + std::to_string(to.file - from.file) + "," +
               std::to_string(to.rank - from.rank) + ")";
    }

    void AddReport(const std::string& text, const std::string& shape = "") {
        ++result_.mismatches;
        const auto known = std::find(result_.shapes.begin(), result_.shapes.end(), shape);
        if (!shape.empty() && known != result_.shapes.end()) {
            ++result_.shapeCounts[static_cast<size_t>(known - result_.shapes.begin())];
            return;
        }
        if (result_.reports.size() >= kMaxReports) return;
        result_.reports.push_back(text);
        result_.shapes.push_back(shape);
        result_.shapeCounts.push_back(1);
    }

    void Count(const RefMove& m) {
        for (int f = 0; f < ref3d::kFeatureCount; ++f) {
            if ((m.features & (1u << f)) != 0) ++result_.features[static_cast<size_t>(f)];
        }
    }

    RefMove Choose(const std::vector<RefMove>& moves) {
        int total = 0;
        for (const RefMove& m : moves) total += WeightOf(m);
        int pick = std::uniform_int_distribution<int>(0, total - 1)(rng_);
        for (const RefMove& m : moves) {
            pick -= WeightOf(m);
            if (pick < 0) return m;
        }
        return moves.back();
    }

    // ---- placed starting positions ----

    unsigned Below(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(rng_); }
    bool OneIn(unsigned n) { return Below(n) == 0; }

    void RandomPins(RefState& s) {
        static constexpr unsigned kAllPins[] = {32, 35, 2, 5, 36, 39, 56, 59, 26, 29, 60, 63};
        if (OneIn(3)) {
            std::copy(std::begin(kHomePins), std::end(kHomePins), s.pins);
            return;
        }
        std::array<unsigned, 12> pins;
        std::copy(std::begin(kAllPins), std::end(kAllPins), pins.begin());
        std::shuffle(pins.begin(), pins.end(), rng_);
        std::copy(pins.begin(), pins.begin() + 4, s.pins);
    }

    unsigned EmptySquare(const RefState& s) {
        for (;;) {
            const unsigned square = Below(64);
            if (s.board[square] == 0) return square;
        }
    }

    void PlacePawn(RefState& s, bool white) {
        static constexpr unsigned kWhiteStarts[] = {1, 9, 17, 25, 33, 41, 49, 57};
        for (int tries = 0; tries < 64; ++tries) {
            unsigned square = EmptySquare(s);
            if (OneIn(2)) square = white ? kWhiteStarts[Below(8)] : kWhiteStarts[Below(8)] ^ 7;
            if (s.board[square] != 0 || ref3d::PawnOnLastRank(s, white, square)) continue;
            s.board[square] = white ? kPawn : -kPawn;
            return;
        }
    }

    // A king (half of the time on its home square, with rooks for castling), officers within
    // the piece list's roles and up to eight pawns.
    void PlaceSide(RefState& s, bool white) {
        constexpr unsigned kMostRooks = 2;
        const int sign = white ? 1 : -1;
        const unsigned home = white ? 16 : 23;
        const bool castle = OneIn(2) && s.board[home] == 0;
        s.board[castle ? home : EmptySquare(s)] = sign * kKing;
        unsigned rooks = 0;
        for (unsigned rook : {white ? 24u : 31u, white ? 0u : 7u}) {
            if (castle && s.board[rook] == 0) {
                s.board[rook] = sign * kRook;
                ++rooks;
            }
        }
        struct Count {
            int code;
            unsigned most;
        };
        const Count officers[] = {
            {kQueen, 1}, {kRook, kMostRooks - rooks}, {kBishop, 2}, {kKnight, 2}};
        for (const Count& c : officers) {
            for (unsigned n = Below(c.most + 1); n > 0; --n)
                s.board[EmptySquare(s)] = sign * c.code;
        }
        constexpr unsigned kMostPawns = 8;
        for (unsigned n = Below(kMostPawns + 1); n > 0; --n) PlacePawn(s, white);
    }

    RefState RandomPlacement() {
        RefState s = EmptyState(rules_);
        RandomPins(s);
        PlaceSide(s, true);
        PlaceSide(s, false);
        s.castling = kCastlingRights;
        s.whiteToMove = OneIn(2);
        return s;
    }

    // A board placed at random and built; the side not to move must not stand in check.
    bool PlacedStart(Position& position) {
        for (;;) {
            const RefState s = RandomPlacement();
            if (ref3d::KingAttacked(s, !s.whiteToMove)) continue;
            ClearPosition(position);
            std::copy(std::begin(s.board), std::end(s.board), position.board);
            for (int board = 0; board < 4; ++board) {
                position.abPin[board] = s.pins[board];
                position.abWhite[board] = s.whiteOwns[board] ? 1 : 0;
            }
            position.flags = s.castling;
            position.ply = s.whiteToMove ? 0 : 1;
            if (BuildPosition(position) != 1) continue;
            const bool checked = s.whiteToMove ? WhiteInCheck(position) : BlackInCheck(position);
            if (checked) position.flags |= kInCheck;
            return true;
        }
    }

    RuleSet rules_;
    std::mt19937_64 rng_;
    RunResult result_;
    std::array<Position, 2> buffers_;
};

constexpr long kPositionsPerRuleSet = 20000;  // the full runs
constexpr long kQuickPositions = 1500;        // a short run for every build
constexpr uint64_t kSeeds[] = {0x3D5EED01, 0x3D5EED02, 0x3D5EED03, 0x3D5EED04};

RunResult RunGames(RuleSet rules, uint64_t seed, long positions) {
    GameKindScope scope(kGame3D, RulesSetting(rules));
    const auto begin = std::chrono::steady_clock::now();
    RunResult result = RandomGames(rules, seed).Run(positions);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("\n%s: %ld positions (%ld in check) in %ld games, %.1f s\n", RulesName(rules),
                result.positions, result.inCheck, result.games, seconds);
    for (int f = 0; f < ref3d::kFeatureCount; ++f) {
        std::printf("  %-45s %ld\n", kFeatureNames[f], result.features[static_cast<size_t>(f)]);
    }
    return result;
}

void ExpectAgreement(const RunResult& result) {
    for (size_t i = 0; i < result.reports.size(); ++i) {
        ADD_FAILURE() << result.reports[i] << "\n  (" << result.shapeCounts[i]
                      << " positions with differences of this shape)";
    }
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
            EXPECT_GT(count, 0) << kFeatureNames[f];
        } else {
            EXPECT_EQ(count, 0) << kFeatureNames[f];
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
