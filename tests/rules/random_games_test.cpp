// Seeded random games of both kinds. After every move the child's attack data must equal a
// fresh regeneration, its keys a fresh computation and its board, slots and masks must agree;
// in the 2D game this proves the incremental update against the full one. Every few moves the
// same move is also made in place, which must give the same child.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "board/attack_boards.h"
#include "core/console.h"
#include "rules/attack_generation.h"
#include "rules/initial_position.h"
#include "rules/make_move.h"
#include "rules/piece_ops.h"
#include "rules/position_checks.h"
#include "rules/random_mover.h"
#include "rules/repetition.h"
#include "support/positions.h"
#include "text/position_text.h"

namespace tarvex {
namespace {

constexpr uint32_t kBareKings = 0x00010001u;
constexpr int kMaxPlies = 200;

struct RunPlan {
    const char* title;  // for failure messages
    int game, rules;
    uint64_t seed;
    int games;
    int copyMakeEvery;
    bool sliderHeavy;  // most pawns start promoted in their own slots to bishops, rooks, queens
    long minMoves;     // in the full run
    bool everyKind;    // the full run plays every kind of move
};

struct RunStats {
    long moves = 0;
    long refused = 0;
    long pending = 0;  // 2D moves completed by the incremental update (they keep their parent)
    std::array<long, kMoveClassCount> byClass{};
    long checks = 0;
};

int CountCode(const Position& p, int code) {
    int n = 0;
    for (int c : p.board) n += c == code;
    return n;
}

// What making a move rewrites: the check mark, a capture's kind (the mover writes some
// captures as quiet moves), the kind of an en-passant capture, and the reversible-move counter.
// (The pieces moved are checked by perft in the 2D game and by the reference generator in the
// 3D game.)
void CheckMoveEffects(const Position& parent, const Position& child, const Candidate& played,
                      const KeyHistory& history, RunStats& stats) {
    const Move& m = played.move;
    const int sign = WhiteToMove(parent) ? 1 : -1;
    const bool capture = parent.board[m.to] != 0 && m.piece < 100 && parent.board[m.to] * sign < 0;
    ASSERT_EQ(m.givesCheck, (child.flags & kInCheck) != 0 ? 1 : 0);
    ASSERT_EQ(history.keys[parent.ply], parent.hashKey);
    stats.checks += m.givesCheck;
    if (played.moveClass == kPieceMove && capture) {
        ASSERT_EQ(m.kind, MoveKind::kCapture);
    }
    if (played.moveClass == kEnPassant) {
        ASSERT_EQ(m.kind, Is3D(child) ? MoveKind::kEnPassant : MoveKind::kCapture);
        ASSERT_EQ(CountCode(child, -sign), CountCode(parent, -sign) - 1);
    }
    if (capture || std::abs(m.piece) == kPawn) {
        ASSERT_EQ(child.quietPlies, 1u);
    }
}

// The same move made in place gives the same child, but for parent (null). A move made in
// place is always completed by a full regeneration; in the 2D game an incrementally completed
// child may therefore differ in two more fields: dirtySlots (the regeneration marks every
// piece) and abWhite (the regeneration recomputes the owners, which the 2D game never reads).
void CheckCopyMake(const Position& parent, const Position& child, const Move& original,
                   const Move& made) {
    Position inPlace = parent;
    Move move = original;
    ASSERT_TRUE(DoMove(inPlace, inPlace, move, {}));
    EXPECT_EQ(inPlace.parent, nullptr);
    EXPECT_EQ(move.kind, made.kind);
    EXPECT_EQ(move.givesCheck, made.givesCheck);
    std::vector<std::string> fields = DifferingFields(inPlace, child);
    std::erase_if(fields, [&](const std::string& field) {
        if (Is3D(child) || child.parent == nullptr) return false;
        if (field == "dirtySlots") return inPlace.dirtySlots == inPlace.pieceMask;
        return field == "abWhite";
    });
    EXPECT_TRUE(fields.empty()) << fields[0] << " differs after " << MoveText(original);
}

// Long batteries of sliders, and queens outside the queen's slot, are what the line repairs
// of the incremental update find hardest; ordinary games rarely build them.
void PromotePawnsInPlace(Position& position, RandomMover& random) {
    static constexpr int kSliders[] = {kBishop, kRook, kQueen};
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const int code = position.pieces[slot].code;
        if ((code != kPawn && code != -kPawn) || random.Below(3) == 0) continue;
        PromotePiece(position, slot, code * kSliders[random.Below(3)]);
    }
    RegenerateAttacks(position);
}

void PlayGames(const RunPlan& plan, RunStats& stats) {
    ConsoleCapture console;
    RandomMover mover(plan.seed);
    auto history = std::make_unique<KeyHistory>();
    const MoveContext context{history.get()};
    Position records[2];
    // Children are made into a record full of stale bytes: every field a move leaves unset
    // would show up in the comparison with the move made in place.
    std::memset(static_cast<void*>(&records[1]), 0xA5, sizeof records[1]);
    for (int game = 0; game < plan.games; ++game) {
        ASSERT_TRUE(SetUpInitialPosition(records[0], plan.game, plan.rules));
        if (plan.sliderHeavy) PromotePawnsInPlace(records[0], mover);
        ASSERT_EQ(CompletedPositionProblem(records[0]), "");
        int current = 0;
        for (int ply = 0; ply < kMaxPlies; ++ply) {
            const Position& parent = records[current];
            Position& child = records[1 - current];
            if (parent.pieceMask == kBareKings) break;
            Candidate played;
            if (!mover.Play(child, parent, context, played, stats.refused)) break;
            // Rebuild the move as it was offered, before making it rewrote kind and check.
            Move original = played.move;
            original.kind = child.lastMove.kind;
            original.givesCheck = 0;
            const auto where = [&] {
                return "seed " + std::to_string(plan.seed) + " game " + std::to_string(game) +
                       " move " + MoveText(original) + " from\n" + WritePositionText(parent);
            };
            ASSERT_EQ(CompletedPositionProblem(child), "") << where();
            ASSERT_NO_FATAL_FAILURE(CheckMoveEffects(parent, child, played, *history, stats))
                << where();
            if (stats.moves % plan.copyMakeEvery == 0) {
                ASSERT_NO_FATAL_FAILURE(CheckCopyMake(parent, child, original, played.move))
                    << where();
            }
            stats.pending += !Is3D(child) && child.parent != nullptr;
            ++stats.moves;
            ++stats.byClass[played.moveClass];
            current = 1 - current;
        }
        ASSERT_LT(records[current].ply, kKeyHistorySize - 1);
    }
    EXPECT_EQ(WithoutBuildNotices(console.Text()), "");
}

constexpr RunPlan k2DGames{"2D", kGame2D, kRulesTournament, 20240601, 600, 7, false, 100000, true};
constexpr RunPlan kBatteries{"2D batteries", kGame2D, kRulesTournament, 99, 150, 5, true,
                             20000,          false};
constexpr RunPlan k3DTournamentGames{
    "3D Tournament", kGame3D, kRulesTournament, 31337, 100, 5, false, 15000, true};
constexpr RunPlan k3DStandardGames{"3D Standard", kGame3D, kRulesStandard, 4242, 100, 5, false,
                                   15000,         true};

// The full run, or a tenth of its games.
void PlayRun(const RunPlan& run, bool full) {
    RunPlan plan = run;
    if (!full) plan.games /= 10;
    RunStats stats;
    ASSERT_NO_FATAL_FAILURE(PlayGames(plan, stats));
    // In the 2D game most children must have been completed by the incremental update.
    if (plan.game == kGame2D) {
        EXPECT_GT(stats.pending, stats.moves / 2);
    }
    if (!full) return;
    EXPECT_GE(stats.moves, run.minMoves);
    if (!run.everyKind) return;
    for (int c = 0; c < kMoveClassCount; ++c) {
        if (plan.game == kGame2D && (c == kBoardMove || c == kBoardPromotion)) continue;
        EXPECT_GT(stats.byClass[c], 0) << run.title << " " << MoveClassName(c);
    }
    EXPECT_GT(stats.checks, 0);
    EXPECT_GT(stats.refused, 0);
}

TEST(RandomGames, ShortRunsOfEveryKind) {
    for (const RunPlan& run : {k2DGames, kBatteries, k3DTournamentGames, k3DStandardGames}) {
        PlayRun(run, false);
    }
}

TEST(RandomGames2DSlow, IncrementalUpdateAndSliderBatteriesMatchRegeneration) {
    for (const RunPlan& run : {k2DGames, kBatteries}) PlayRun(run, true);
}

TEST(RandomGames3DSlow, BothRuleSets) {
    for (const RunPlan& run : {k3DTournamentGames, k3DStandardGames}) PlayRun(run, true);
}

}  // namespace
}  // namespace tarvex
