// The 3D move generator checked against an independent reference written from the geometry and
// the movement rules (reference_3d.h): both must give the same legal moves, the same attacked
// squares and the same position after every move, on hand-made positions at the corners of the
// rules and on every position of seeded random games under both rule sets. The expected values
// of the corner cases are checked by hand on the program's side (attacks, move generation and
// make-move tests), so that the two generators cannot share a mistake there.
#include "movegen/reference_3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <vector>

#include "core/console.h"
#include "movegen/legal_moves.h"
#include "movegen/move_names.h"
#include "movegen/random_positions.h"
#include "rules/attacks.h"
#include "support/positions.h"
#include "text/position_text.h"

namespace tarvex {
namespace {

using ref3d::RefMove;
using ref3d::RefState;
using ref3d::RuleSet;

constexpr RuleSet kBothRules[] = {RuleSet::kTournament, RuleSet::kStandard};

uint64_t Bit(unsigned square) {
    return uint64_t{1} << square;
}

int RulesSetting(RuleSet rules) {
    return rules == RuleSet::kTournament ? kRulesTournament : kRulesStandard;
}

// ---- the real generator, as a player sees its moves ----

struct ProgramList {
    std::vector<RefMove> moves;  // sorted, each once
    std::vector<Move> records;   // the program's record of each
};

ProgramList ProgramLegalMoves(Position& position) {
    std::vector<std::pair<RefMove, Move>> pairs;
    for (const Move& m : LegalMoves(position)) {
        pairs.emplace_back(
            RefMove{m.piece, m.from, m.to, IsPromotionKind(m.kind) ? KindChar(m.kind) : '\0'}, m);
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
    if (!MakeMove(child, position, record)) {
        difference = "MakeMove refused the listed move " + ref3d::MoveText(move) + " in " +
                     WritePositionText(position);
        return false;
    }
    const RefState want = ref3d::Play(state, move);
    const RefState got = ref3d::FromPosition(child);
    if (want != got) {
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
        {"a line blocked at q2 still reaches the board at q5",
         Squares3D({{48, 'K'}, {55, 'k'}, {1, 'R'}, {6, 'n'}}) + " q1w,q2b,k1w,q5b w - -"},
        {"back rows join q1 with k1 and q6 with k6",
         Squares3D({{48, 'K'}, {55, 'k'}, {8, 'R'}, {16, 'n'}, {15, 'Q'}}) +
             " q1w,q6w,k1b,k6b w - -"},
        {"long castling needs square 8 unattacked",
         Squares3D({{16, 'K'}, {0, 'R'}, {24, 'R'}, {55, 'k'}, {35, 'r'}}) +
             " q1w,q6b,k1w,k6b w KQ -"},
        {"a board carrying one knight moves under Tournament rules only",
         Squares3D({{48, 'K'}, {55, 'k'}, {0, 'N'}}) + " q1w,q6b,k2w,k6b w - -"},
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
                << c.what << " (rules " << RulesSetting(rules) << ")";
            if (reference != program.moves) continue;
            for (size_t i = 0; i < reference.size(); ++i) {
                Position child;
                std::string difference;
                MakeBoth(position, state, reference[i], program.records[i], child, difference);
                EXPECT_EQ(difference, "") << c.what << " (rules " << RulesSetting(rules) << ")";
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
    return RandomGames(rules, seed).Run(positions);
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
