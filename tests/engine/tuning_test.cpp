// The tuner's inputs: the weights an evaluation reads and their exact slopes, quiet positions,
// and data lines that keep the 3D rules.
#include <gtest/gtest.h>

#include <string>

#include "engine/evaluation.h"
#include "engine/slot_watcher.h"
#include "engine/tune_data.h"
#include "text/position_text.h"

namespace tarvex::engine {
namespace {

// Marks the slots read and moves one of them.
class Recorder final : public SlotWatcher {
public:
    int32_t Read(int slot, int32_t value) override {
        read[static_cast<unsigned>(slot)] = true;
        return slot == moved ? value + shift : value;
    }
    std::array<bool, kParameterCount> read{};
    int moved = -1;
    int32_t shift = 0;
};

TunePosition FromLine(const std::string& line) {
    TunePosition out;
    std::string error;
    EXPECT_TRUE(ReadTuneLine(line, out, error)) << error;
    return out;
}

int WhiteScore(const Evaluator& evaluator, Position position) {
    EvalState record;
    return evaluator.Evaluate(position, record, kFullEvaluation, 2) * SideSign(position);
}

// A lone pawn on e4 reads its square's weight once; moving that weight moves the score by
// exactly as much, and a watcher that moves nothing changes nothing.
TEST(Tuning, WatchedEvaluationReadsAndMovesTheSlot) {
    const Position position = FromLine("1 2d 4k3/8/8/8/4P3/8/8/4K3 w - - 0 1").position;
    const int e4 = 8 * 4 + 3;
    Evaluator plain;
    Evaluator watched;
    Recorder recorder;
    watched.Watch(&recorder);
    EXPECT_EQ(WhiteScore(watched, position), WhiteScore(plain, position));
    EXPECT_TRUE(recorder.read[slot::kPawnSquares + e4]);
    EXPECT_FALSE(recorder.read[slot::kPawnSquares + e4 + 1]);
    recorder.moved = slot::kPawnSquares + e4;
    recorder.shift = 128;
    EXPECT_EQ(WhiteScore(watched, position), WhiteScore(plain, position) + 128);
}

TEST(Tuning, QuietPositions) {
    EXPECT_TRUE(IsQuietPosition(FromLine("1 2d " + std::string(kStartText2D)).position));
    // The knight on e5 hangs to the pawn on d4, for White to move only.
    const char* hanging = "4k3/8/8/4n3/3P4/8/8/4K3 ";
    EXPECT_FALSE(IsQuietPosition(FromLine(std::string("1 2d ") + hanging + "w - - 0 1").position));
    EXPECT_TRUE(IsQuietPosition(FromLine(std::string("1 2d ") + hanging + "b - - 0 1").position));
    // A defended pawn that only a queen attacks wins nothing.
    EXPECT_TRUE(IsQuietPosition(FromLine("0.5 2d 4k3/8/4p3/3p4/8/8/3Q4/4K3 w - - 0 1").position));
    // In check.
    EXPECT_FALSE(IsQuietPosition(FromLine("0 2d 4k3/8/8/8/8/8/4r3/4K3 w - - 0 1").position));
}

// The 3D position text does not name its rules: the data line does.
TEST(Tuning, DataLinesKeepTheGameAndRules) {
    const std::string line = "0.5 3d-standard " + std::string(kStartText3D);
    const TunePosition read = FromLine(line);
    EXPECT_EQ(read.result, 0.5);
    EXPECT_EQ(read.position.gameKind, kGame3D);
    EXPECT_EQ(read.position.rules, kRulesStandard);
    EXPECT_EQ(WriteTuneLine(read.result, read.position), line);
    TunePosition untouched;
    std::string error;
    EXPECT_FALSE(ReadTuneLine("1 3d-blitz " + std::string(kStartText3D), untouched, error));
    EXPECT_EQ(error, "bad game '3d-blitz'");
    EXPECT_FALSE(ReadTuneLine("2 2d " + std::string(kStartText2D), untouched, error));
    EXPECT_FALSE(ReadTuneLine("0.5x 2d " + std::string(kStartText2D), untouched, error));
    // A judge's win chance instead of a result.
    EXPECT_EQ(FromLine("0.6234 2d " + std::string(kStartText2D)).result, 0.6234);
}

}  // namespace
}  // namespace tarvex::engine
