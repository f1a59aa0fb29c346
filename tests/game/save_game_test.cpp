// Saved games: the file's byte layout, restoring in both layouts, files that are refused, saves
// that fail without harming the old file.
#include "game/save_game.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cctype>
#include <csignal>
#include <cstring>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/game_types.h"
#include "game/banner.h"
#include "game/game_flow.h"
#include "game/save_check.h"
#include "game/save_layout.h"
#include "game_test_support.h"
#include "movegen/legal_moves.h"
#include "save_test_support.h"
#include "text/position_text.h"

namespace tarvex::testing {
namespace {

// Offsets of the current layout's settings.
constexpr size_t kEdited = 4624, kSelection = 4636, kHighlights = 4640, kSpread = 4708,
                 kTransparency = 4712, kRules = 4716, kEngineSide = 4720, kNotation = 4724,
                 kDifficulty = 4728, kScale = 4732, kProjection = 4736, kXAngle = 4740,
                 kYAngle = 4744, kStopRequest = 4748, kTableSize = 4752, kPlaysBoth = 28756;
constexpr size_t kStart = kSaveStartOffset;

std::string BannerText() {
    ConsoleCapture out;
    PrintBanner();
    return out.Text();
}

// Every choice and the view, to tell whether a restore changed any.
auto SettingsNow(const GameController& controller, const SavedSelection& saved) {
    const GameOptions& o = controller.Options();
    const SavedView& v = saved.view;
    return std::tuple(controller.Current().gameKind, o.engineSide, o.difficulty, o.rules,
                      o.notation, o.spread, v.projection, v.transparency, v.xAngle, v.yAngle,
                      v.scale);
}

Bytes GameBytes(const Game& game) {
    const auto* raw = reinterpret_cast<const uint8_t*>(&game);
    return Bytes(raw, raw + sizeof(Game));
}

class SaveGameTest : public ControllerTest {
protected:
    SaveGameTest() {
        ControllerHooks hooks;
        hooks.title = [this](const char* name) { titles_.push_back(name); };
        hooks.difficulty = [this](int difficulty) { difficulties_.push_back(difficulty); };
        controller_.SetHooks(hooks);
    }

    // The first legal moves of the 3D game, an attack-board move among them.
    void Play3D(int plies) {
        for (int i = 0; i < plies; ++i) {
            Position p = P();
            const std::vector<Move> moves = LegalMoves(p);
            ASSERT_FALSE(moves.empty());
            Move chosen = moves.front();
            for (const Move& m : moves) {
                if (IsBoardMove(m) == (i == 1)) {
                    chosen = m;
                    break;
                }
            }
            ConsoleCapture quiet;
            ASSERT_TRUE(controller_.UserMove(chosen));
        }
    }

    std::string Save(const std::string& name, int expected = 1) {
        ConsoleCapture out;
        EXPECT_EQ(SaveGame(controller_, name, selection_), expected) << out.Text();
        return out.Text();
    }
    std::string Restore(const std::string& name, int expected = 1) {
        ConsoleCapture out;
        EXPECT_EQ(RestoreGame(controller_, name, selection_), expected) << out.Text();
        return out.Text();
    }

    // A 2D game of three plies with every setting of the file away from its default.
    void ChosenGame() {
        NewGame(kGame2D, kRulesStandard, kNotationAlgebraic);
        Play({{"e2", "e4"}, {"e7", "e5"}, {"g1", "f3"}});
        controller_.SetSpread(kSpreadTeam);
        selection_.view = SavedView{1, 1, 1.25f, 10.5f, 20.25f};
        controller_.SetDifficulty(kDifficultyMedium);
        controller_.SetEngineSide(1, false);
        selection_.value = 12;
        selection_.highlights[3] = 255;
    }

    // Something else entirely: a 3D game with other settings.
    void Disturb() {
        NewGame(kGame3D, kRulesTournament, kNotationTournament);
        controller_.SetSpread(kSpreadOff);
        controller_.SetDifficulty(kDifficultyHard);
        selection_ = SavedSelection{};
        selection_.view.scale = 3.0f;
    }

    ScratchDir dir_;
    SavedSelection selection_;
    std::vector<std::string> titles_;
    std::vector<int> difficulties_;
};

TEST_F(SaveGameTest, TheFileHoldsEachFieldAtItsOffset) {
    ChosenGame();
    const std::string name = dir_.Path("game.sav");
    EXPECT_EQ(Save(name), "\nSaving " + name + " ...complete\n");
    EXPECT_EQ(titles_, std::vector<std::string>{name});
    const Bytes file = ReadBytes(name);
    ASSERT_EQ(file.size(), 28760u);

    EXPECT_EQ(Word(file, kSaveGameKindOffset), 2u);
    EXPECT_EQ(Word(file, kImagePlyOffset), 3u);  // the ply inside the current Position
    EXPECT_EQ(Word(file, kStart + kImagePlyOffset), 0u);
    EXPECT_EQ(Word(file, kEdited), 0u);
    EXPECT_EQ(SignedWord(file, kImageBoardOffset + 4 * Sq("e4")), kPawn);
    // The last record entry: from, to, score, piece, kind.
    const size_t last = kSaveRecordOffset + kMoveImageSize * 2;
    EXPECT_EQ(Word(file, last), Sq("g1"));
    EXPECT_EQ(Word(file, last + 4), Sq("f3"));
    EXPECT_EQ(SignedWord(file, last + 12), kKnight);
    EXPECT_EQ(file[last + 16], '-');

    EXPECT_EQ(Word(file, kSelection), 12u);
    EXPECT_EQ(file[kHighlights + 3], 255);
    EXPECT_EQ(file[kHighlights + 4], 65);
    EXPECT_EQ(Word(file, kSpread), 2u);
    EXPECT_EQ(Word(file, kTransparency), 1u);
    EXPECT_EQ(Word(file, kRules), 1u);
    EXPECT_EQ(SignedWord(file, kEngineSide), 1);
    EXPECT_EQ(Word(file, kNotation), 2u);
    EXPECT_EQ(Word(file, kDifficulty), 8u);
    EXPECT_EQ(FloatWord(file, kScale), 1.25f);
    EXPECT_EQ(Word(file, kProjection), 1u);
    EXPECT_EQ(FloatWord(file, kXAngle), 10.5f);
    EXPECT_EQ(FloatWord(file, kYAngle), 20.25f);
    EXPECT_EQ(Word(file, kStopRequest), 0u);
    EXPECT_EQ(Word(file, kTableSize), 8u);
    EXPECT_EQ(Word(file, kPlaysBoth), 0u);
}

// Within a Position image, the bytes a restore reads: all but the evaluation's work areas, the
// engine score and the reply move (a restore rebuilds or ignores them), and the flags' bits
// that only the evaluation sets.
bool RestoreReads(size_t offset) {
    constexpr size_t kIgnored[][2] = {
        {636, 1348}, {1352, 1368}, {1376, 1660}, {2224, 2248}, {2308, 2312}};
    for (const auto& range : kIgnored) {
        if (offset >= range[0] && offset < range[1]) return false;
    }
    return true;
}

// Games saved before the evaluation's work areas left the Position come back as the program
// showed them then, and saving one again writes the same bytes wherever a restore reads.
TEST_F(SaveGameTest, FilesSavedEarlierComeBackTheSame) {
    constexpr uint32_t kKingExtras = 0x78000u;  // the square-control extras the king chose
    constexpr uint32_t kOldEvaluationValid = 0x10004000u;  // once kept in the flags
    constexpr uint32_t kEvaluationFlags = kOldEvaluationValid | kKingExtras | kDrawishMaterial;
    for (const char* name : {"s2d_capture", "s2d_promo", "s3d_board", "s3d_start"}) {
        const std::string path = std::string(TARVEX_TEST_DATA) + "/saves/" + name;
        Restore(path + ".sav");
        std::string shown = "= " + WritePositionText(P()) + "\n";
        {
            ConsoleCapture out;
            controller_.ListGame();
            std::istringstream lines(out.Text());
            for (std::string line; std::getline(lines, line);) {
                const size_t first = line.find_first_not_of(' ');
                if (first != std::string::npos && std::isdigit(line[first])) shown += line + "\n";
            }
        }
        EXPECT_EQ(shown, ReadText(path + ".expected")) << name;

        const Bytes before = ReadBytes(path + ".sav");
        const std::vector<uint8_t> again = SaveGameBytes(controller_, selection_);
        ASSERT_EQ(again.size(), before.size()) << name;
        for (size_t i = 0; i < before.size(); ++i) {
            const bool image = i < kSaveGameKindOffset;
            const size_t offset = image ? i % kPositionImageSize : 0;
            if (image && !RestoreReads(offset)) continue;
            // The stop request is checked but never applied: the engine thread keeps its own.
            if (i >= kStopRequest && i < kStopRequest + 4) continue;
            if (image && offset >= kImageFlagsOffset && offset < kImageFlagsOffset + 4) {
                const size_t at = i - (offset - kImageFlagsOffset);
                EXPECT_EQ(Word(Bytes(again), at) & ~kEvaluationFlags,
                          Word(before, at) & ~kEvaluationFlags)
                    << name << " flags at " << at;
                i = at + 3;
                continue;
            }
            EXPECT_EQ(again[i], before[i]) << name << " byte " << i;
        }
    }
}

TEST_F(SaveGameTest, ARestoredGameGoesOnWithTheSameTexts) {
    ChosenGame();
    const uint32_t key = P().hashKey;
    const std::string name = dir_.Path("game.sav");
    Save(name);
    Disturb();
    titles_.clear();
    difficulties_.clear();

    const std::string out = Restore(name);
    EXPECT_EQ(out, "\nRestore game ..." + BannerText() + "complete!\n");
    EXPECT_EQ(titles_, std::vector<std::string>{name});
    ASSERT_FALSE(difficulties_.empty());
    EXPECT_EQ(difficulties_.back(), kDifficultyMedium);
    EXPECT_EQ(controller_.Options().rules, kRulesStandard);
    EXPECT_EQ(controller_.Options().notation, kNotationAlgebraic);
    EXPECT_EQ(selection_.view.projection, 1);
    EXPECT_EQ(selection_.view.yAngle, 20.25f);
    // The closing rebuild: the engine plays nobody, any search stops; the rebuild from the
    // standard start sets the spread to Piece and clears the selection, as every undo does.
    EXPECT_EQ(controller_.Options().engineSide, 0);
    EXPECT_EQ(G().block.playsBoth, 0);
    EXPECT_EQ(controller_.Options().spread, kSpreadPiece);
    EXPECT_EQ(selection_.value, 65);

    EXPECT_EQ(P().ply, 3u);
    EXPECT_EQ(P().hashKey, key);
    EXPECT_STREQ(MoveTextAt(G(), 0), "Nf3");
    EXPECT_EQ(User("b8", "c6"), "\n2. ... Nc6");
}

TEST_F(SaveGameTest, TheOlderLayoutKeepsTheNotationAndPlaysEasy) {
    ChosenGame();
    const std::string current = dir_.Path("current.sav");
    Save(current);
    const std::string older = dir_.Path("older.sav");
    WriteBytes(older, OlderLayoutOf(ReadBytes(current), kNotationTournament, kDifficultyHard));
    Disturb();
    controller_.SetNotation(kNotationStandard);
    selection_ = SavedSelection{};
    difficulties_.clear();

    EXPECT_EQ(Restore(older), "\nRestore game ..." + BannerText() + "complete!\n");
    EXPECT_EQ(controller_.Options().notation, kNotationStandard);
    EXPECT_EQ(difficulties_, std::vector<int>{kDifficultyEasy});
    EXPECT_EQ(selection_.view.xAngle, 10.5f);
    EXPECT_STREQ(MoveTextAt(G(), 3), "Nf3");
}

// ---- files that are not restored ----

struct Refusal {
    const char* game;  // "2d", "edited" or "3d"
    size_t offset;
    uint32_t value;
    const char* message;
};

class RefusedFileTest : public SaveGameTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedFileTest, ChangesNothing) {
    const Refusal& refusal = GetParam();
    const std::string game = refusal.game;
    if (game == "3d") {
        NewGame(kGame3D);
        Play3D(3);
    } else {
        NewGame(kGame2D);
        if (game == "edited") {
            ConsoleCapture quiet;
            controller_.ApplyEdit(EditAction::kRemove, Sq("a2"));
        }
        Play({{"e2", "e4"}, {"e7", "e5"}, {"g1", "f3"}});
    }
    const std::string name = dir_.Path("refused.sav");
    Save(name);
    Bytes bytes = ReadBytes(name);
    SetWord(bytes, refusal.offset, refusal.value);
    WriteBytes(name, bytes);

    Disturb();
    selection_.value = 7;
    titles_.clear();
    difficulties_.clear();
    const Bytes gameBefore = GameBytes(G());
    const auto settingsBefore = SettingsNow(controller_, selection_);
    const std::string out = Restore(name, 0);
    EXPECT_NE(out.find(std::string("\nrefused: ") + refusal.message + "\n"), std::string::npos)
        << out;
    EXPECT_EQ(out.rfind("\nRestore game ...", 0), 0u) << out;
    EXPECT_EQ(out.substr(out.size() - 10), "complete!\n");
    EXPECT_TRUE(GameBytes(G()) == gameBefore);
    EXPECT_EQ(SettingsNow(controller_, selection_), settingsBefore);
    EXPECT_EQ(selection_.value, 7);
    EXPECT_TRUE(titles_.empty());
    EXPECT_TRUE(difficulties_.empty());
}

constexpr size_t kBoard = kImageBoardOffset, kPieces = kImagePiecesOffset;
const uint32_t kNaN = 0x7FC00000u;
uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

INSTANTIATE_TEST_SUITE_P(
    EveryField, RefusedFileTest,
    ::testing::Values(
        Refusal{"2d", kEngineSide, 2, "engine side 2 out of range"},
        Refusal{"2d", kScale, kNaN, "scale nan out of range"},
        Refusal{"2d", kXAngle, Bits(360.0f), "x-angle 360 out of range"},
        Refusal{"2d", kSelection, 64, "selection 64 out of range"},
        Refusal{"2d", kHighlights + 4, 0x41414102u, "highlight 2 of square 4 out of range"},
        Refusal{"2d", kBoard + 4 * 10, 7,
                "current position: piece code 7 on square 10 out of range"},
        Refusal{"2d", kPieces + 8 * 3 + 4, 64,
                "current position: piece list slot 3 (code 4, square 64) out of range"},
        Refusal{"2d", kSaveRecordOffset + kMoveImageSize * 1 + 4, Sq("e3"),
                "recorded move at ply 1 is not legal"},
        Refusal{"3d", 8, 32, "current position: boards 100 and 106 on one pin"},
        Refusal{"edited", kStart + kBoard + 4 * 32, 0, "the start position cannot be set up"},
        Refusal{"edited", kStart + kImagePlyOffset, 4,
                "current position: ply 3 below the start position's 4"}));

// ---- saves that fail ----

// A write that fails halfway (the file-size limit stands in for a full disk, which even root
// cannot write past) leaves the old file as it was and no temporary file beside it.
TEST_F(SaveGameTest, AFailedWriteKeepsTheOldFile) {
    NewGame(kGame2D);
    const std::string name = dir_.Path("game.sav");
    Save(name);
    ::chmod(name.c_str(), 0640);
    const Bytes old = ReadBytes(name);
    Play({{"e2", "e4"}});
    titles_.clear();

    rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1000;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string out = Save(name, 0);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(out, "\nSaving " + name + " ...failed\n");
    EXPECT_TRUE(ReadBytes(name) == old);
    EXPECT_EQ(dir_.Names(), std::vector<std::string>{"game.sav"});
    EXPECT_TRUE(titles_.empty());

    // The next save replaces the file whole and keeps its permissions.
    Save(name);
    EXPECT_EQ(Word(ReadBytes(name), kImagePlyOffset), 1u);
    struct stat info;
    ASSERT_EQ(::stat(name.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(dir_.Names(), std::vector<std::string>{"game.sav"});
}

}  // namespace
}  // namespace tarvex::testing
