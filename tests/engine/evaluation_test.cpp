// The static evaluation: its cache, the correction's fixed values, the stage and draw score,
// the error reports, and, over random games of both kinds, the incremental evaluation of
// every child against a fresh full evaluation of the same position (and, in the 2D game,
// against the colour-mirrored position).
#include "engine/evaluation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "core/console.h"
#include "movegen/move_generation.h"
#include "rules/attack_generation.h"
#include "rules/make_move.h"
#include "support/positions.h"

namespace tarvex::engine {
namespace {

using namespace tarvex::testing;

const Evaluator kEvaluator;  // the built-in parameter sets

Position Staged(const char* pieces, uint32_t flags = 0, uint32_t ply = 0) {
    Setup setup;
    setup.flags = flags & kCastlingRights;
    setup.ply = ply;
    Position p = Built(pieces, setup);
    SetStage(p);
    p.flags |= flags & kWhiteAtRoot;
    return p;
}

// A copy of a position and its record, the evaluation computed from scratch (the slots of
// captured pieces keep their values).
struct Evaluated {
    Position position;
    EvalState record;
};
Evaluated FullCopy(const Position& position, const EvalState& record) {
    Evaluated copy{position, record};
    copy.record.valid = false;
    copy.position.parent = nullptr;
    kEvaluator.Evaluate(copy.position, copy.record, kFullEvaluation, 2);
    return copy;
}

int WhiteFrame(Position& p) {
    EvalState record;
    return kEvaluator.Evaluate(p, record, kFullEvaluation, 2) * SideSign(p);
}

// Material no side can win with: the drawish flag, and the draw score in White's frame (twice
// it when neither side can win at all, 'D'); other material keeps the flag clear.
TEST(Evaluation, DrawishMaterial) {
    const struct {
        const char* pieces;
        char expected;  // 'D', 'd' or '-': not drawish
    } rows[] = {
        {"Ke1 Qd1 ke8 qd8", 'D'},     {"Ke1 Ra1 ke8 rh8", 'D'}, {"Ke1 Bc1 ke8 nb8", 'd'},
        {"Ke1 Nb1 Ng1 ke8", 'd'},     {"Ke1 Ra1 ke8 nb8", '-'}, {"Ke1 Ra1 Nb1 ke8 rh8", '-'},
        {"Ke1 Ra1 Bc1 ke8 rh8", '-'}, {"Ke1 Bc1 ke8 ra8", '-'}, {"Ke1 Ra1 ke8 rh8 nb8", '-'},
    };
    for (const auto& row : rows) {
        for (uint32_t root : {0u, kWhiteAtRoot}) {
            for (uint32_t ply : {0u, 1u}) {
                Position p = Staged(row.pieces, root, ply);
                const int score = WhiteFrame(p);
                EXPECT_EQ((p.flags & kDrawishMaterial) != 0, row.expected != '-') << row.pieces;
                if (row.expected == '-') continue;
                const int draw = kEvaluator.DrawScore(p);
                EXPECT_EQ(score, row.expected == 'D' ? 2 * draw : draw) << row.pieces;
            }
        }
    }
}

// A side with a lone bishop (or knight) and no pawns never scores above the draw score, also
// when the other side is far behind or the reversible counter shrinks the score.
TEST(Evaluation, LoneMinorPieceNeverBeatsTheDrawScore) {
    for (const char* pieces : {"Ke1 Bc1 ke8", "Ke4 Bd5 ka8", "Ke1 Bc1 ke8 pa7 ph7",
                               "Ke1 Nc3 ke8 qd8", "Kd4 Bf4 kh8 ph7 pg6"}) {
        for (uint32_t quiet : {1u, 60u, 200u}) {
            Position p = Staged(pieces);
            p.quietPlies = quiet;
            EXPECT_LE(WhiteFrame(p), kEvaluator.DrawScore(p)) << pieces << " quiet " << quiet;
        }
    }
}

template <typename T, size_t N>
bool Same(const T (&a)[N], const T (&b)[N]) {
    return std::equal(a, a + N, b);
}

// Everything the evaluation caches, compared with a full evaluation.
void ExpectSameCaches(const Position& gotPosition, const EvalState& got, const Evaluated& fresh,
                      const std::string& where) {
    const EvalState& full = fresh.record;
    const auto scalars = [](const Position& p, const EvalState& e) {
        return std::make_tuple(e.score, e.evalSum, e.controlTotal, e.whiteReach, e.blackReach,
                               e.ignoreMask, e.attackerMask, e.hangingMask, e.extras, p.whitePassed,
                               p.blackPassed, p.flags);
    };
    EXPECT_EQ(scalars(gotPosition, got), scalars(fresh.position, full)) << where;
    EXPECT_TRUE(Same(got.unstoppablePawns, full.unstoppablePawns)) << where;
    EXPECT_TRUE(Same(got.squareSign, full.squareSign)) << where;
    EXPECT_TRUE(Same(got.squareScore, full.squareScore)) << where;
    EXPECT_TRUE(Same(got.squareControl, full.squareControl)) << where;
    EXPECT_TRUE(Same(got.slotAttacks, full.slotAttacks)) << where;
    EXPECT_TRUE(Same(got.slotReach, full.slotReach)) << where;
    EXPECT_TRUE(Same(got.slotValue, full.slotValue)) << where;
}

// The colours exchanged and the board mirrored (2D): the same score for the side to move,
// when both sides have pawns (the draw score favours no colour only then).
void ExpectMirrorScoresAlike(const Position& p, int score, const std::string& where) {
    if ((p.pieceMask & kWhitePawnSlots & ~p.officerMask) == 0 ||
        (p.pieceMask & kBlackPawnSlots & ~p.officerMask) == 0) {
        return;
    }
    std::string pieces;
    for (uint32_t m = p.pieceMask; m != 0; m &= m - 1) {
        const PieceEntry& e = p.pieces[std::countr_zero(m)];
        const unsigned q = e.square ^ 7;
        pieces += std::string(1, "pnbrqkPNBRQK"[std::abs(e.code) - 1 + (e.code < 0 ? 6 : 0)]) +
                  static_cast<char>('a' + q / 8) + static_cast<char>('1' + q % 8) + " ";
    }
    Setup setup;
    setup.flags = (p.flags & 3) << 2 | (p.flags & 12) >> 2;
    setup.ply = p.ply ^ 1;
    setup.epSquare = p.epSquare == 0 ? 0 : p.epSquare ^ 7;
    Position m = Built(pieces, setup);
    m.flags |= (p.flags & kWhiteCastled ? kBlackCastled : 0) |
               (p.flags & kBlackCastled ? kWhiteCastled : 0) |
               (p.flags & kWhiteAtRoot ? 0 : kWhiteAtRoot);
    m.stage = p.stage;
    m.quietPlies = p.quietPlies;
    EvalState e;
    EXPECT_EQ(kEvaluator.Evaluate(m, e, kFullEvaluation, 2), score)
        << where << " mirrored: " << pieces;
}

// Random games, each position made from its parent and evaluated the way the searches do:
// the parent first (or not at all, or lazily), then the child with a finite gamma in mode 0
// or 1, completed with mode 1 after a lazy exit. Moves that regenerate the attack data keep
// the parent link too, so that every kind of move reaches the incremental evaluation.
void IncrementalMatchesFull(Position root, uint64_t seed, int games, int plies) {
    uint64_t state = seed;
    const auto next = [&](uint32_t n) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 33) % n;
    };
    std::vector<Position> path(static_cast<size_t>(plies) + 1);
    std::vector<EvalState> records(path.size());
    MoveBuffer buffer;
    ConsoleCapture quiet;  // the notices of new attack-board placements
    int checked = 0;
    for (int game = 0; game < games; ++game) {
        path[0] = root;
        path[0].flags = (path[0].flags & ~kWhiteAtRoot) | (next(2) ? kWhiteAtRoot : 0);
        records[0] = EvalState{};
        SetStage(path[0], &records[0]);
        for (int ply = 0; ply < plies; ++ply) {
            Position& parent = path[static_cast<size_t>(ply)];
            Position& child = path[static_cast<size_t>(ply) + 1];
            EvalState& parentRecord = records[static_cast<size_t>(ply)];
            EvalState& record = records[static_cast<size_t>(ply) + 1];
            if (ply % 16 == 15) SetStage(parent, &parentRecord);  // a new search root now and then
            const uint32_t parentMode = next(4);
            if (parentMode < 3) {
                kEvaluator.Evaluate(parent, parentRecord, static_cast<int>(next(40000)) - 20000,
                                    parentMode);
            }
            const int n = (parent.flags & kInCheck) ? GenerateEvasions(parent, buffer.moves)
                                                    : GenerateMoves(parent, buffer.moves);
            bool made = false;
            for (int tries = 0; tries < 2 * n + 1 && !made && n > 0; ++tries) {
                Move move = buffer.moves[next(static_cast<uint32_t>(n))];
                StartChild(record, parentRecord);
                made = MakeMove(child, parent, move);
            }
            if (!made) break;
            child.parent = &parent;
            const int guess = parentRecord.score * SideSign(child);
            const int gamma = guess + static_cast<int>(next(80000)) - 40000;
            kEvaluator.Evaluate(child, record, gamma, static_cast<int>(next(2)));
            if (!record.valid) kEvaluator.Evaluate(child, record, gamma, 1);
            ASSERT_TRUE(record.valid);
            const Evaluated full = FullCopy(child, record);
            const std::string where =
                "game " + std::to_string(game) + " ply " + std::to_string(ply);
            ExpectSameCaches(child, record, full, where);
            const int fullScore = full.record.score * SideSign(child);
            if (!Is3D(child)) ExpectMirrorScoresAlike(child, fullScore, where);
            Position mode2 = child;
            EvalState mode2Record = record;
            mode2Record.valid = false;
            EXPECT_EQ(kEvaluator.Evaluate(mode2, mode2Record, gamma, 2), fullScore) << where;
            EXPECT_EQ(mode2.parent, &parent) << "only gamma kFullEvaluation cuts the link";
            EXPECT_LE(std::abs(kEvaluator.EvaluateClamped(child, record, gamma, 0)), kStaticLimit);
            ++checked;
            if (::testing::Test::HasFailure()) return;
        }
    }
    EXPECT_GT(checked, games * plies / 2);
}

TEST(Evaluation, IncrementalMatchesFull2D) {
    IncrementalMatchesFull(Initial(kGame2D), 11, 24, 80);
    const char* const endgames[] = {
        "Kg1 Rd1 Pa2 Pb3 Pf2 Pg3 Ph2 kg8 re8 bc8 pa7 pb6 pe6 pf7 pg7",  // endgame stage
        "Ke1 Ra1 Nb1 Bc1 ke8 rh8 bf8 ng8",                              // no pawns
        "Kh1 Pa4 Pb2 Pc5 kg6",                                          // square rule, lone king
        "Kb1 ke8 pg4 ph5 pa6 pd5",
    };
    for (const char* pieces : endgames) IncrementalMatchesFull(Built(pieces), 14, 8, 60);
}

TEST(Evaluation, IncrementalMatchesFull3D) {
    IncrementalMatchesFull(Initial(kGame3D, kRulesTournament), 12, 20, 60);
    IncrementalMatchesFull(Initial(kGame3D, kRulesStandard), 13, 20, 60);
}

}  // namespace
}  // namespace tarvex::engine
