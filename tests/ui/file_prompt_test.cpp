#include "ui/file_prompt.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "game/user_move.h"
#include "ui/keyboard.h"
#include "ui/ui_test_app.h"

namespace tarvex::ui {
namespace {

using testing::NewApp;
namespace fs = std::filesystem;

// Every key from 0 to 255 on a line: printable characters are taken while there is room,
// BackSpace and Ctrl+U edit, nothing else is an editing key.
TEST(FilePromptTest, EditLine) {
    std::string line = "a";
    for (unsigned key = 0; key < 256; ++key) {
        const auto c = static_cast<unsigned char>(key);
        std::string edited = "x";
        const bool printable = key >= 32 && key <= 126;
        const bool editing = printable || c == kKeyBackSpace || c == kKeyKillLine;
        EXPECT_EQ(EditFileName(edited, c), editing) << key;
        if (printable || !editing) {
            EXPECT_EQ(edited, printable ? std::string("x") + static_cast<char>(c) : "x") << key;
        }
    }
    EXPECT_TRUE(EditFileName(line, kKeyKillLine));
    EXPECT_EQ(line, "");
    EXPECT_TRUE(EditFileName(line, kKeyBackSpace));  // nothing to remove
    EXPECT_EQ(line, "");
    for (size_t i = 0; i < kFileNameLength + 5; ++i) EditFileName(line, 'n');
    EXPECT_EQ(line, std::string(kFileNameLength, 'n'));
}

// A name without an extension in its last path component gets the default one, when it fits.
TEST(FilePromptTest, DefaultExtension) {
    const std::string fills(kFileNameLength - 4, 'n');  // with ".sav", exactly the room
    const struct {
        std::string line;
        std::optional<std::string> name;
    } cases[] = {{"game.", "game."},
                 {"old.games/game", "old.games/game.sav"},
                 {"old.games\\game", "old.games\\game.sav"},
                 {"", std::nullopt},
                 {fills, fills + ".sav"},
                 {fills + "n", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(NameWithDefaultExtension(c.line, "sav"), c.name) << c.line;
}

// The prompt's runs of the file commands, in a directory of their own.
class FilePromptGame : public ::testing::Test {
protected:
    FilePromptGame() {
        directory_ = fs::temp_directory_path() / ("tarvex_prompt_" + std::to_string(getpid()));
        fs::create_directories(directory_);
        fs::current_path(directory_);
        app_ = NewApp(kGame2D);
        ConsoleCapture quiet;
        app_->controller.SetEngineSide(0);
    }
    ~FilePromptGame() override {
        fs::current_path(previous_);
        fs::remove_all(directory_);
    }

    std::string Keys(std::string_view keys) {
        ConsoleCapture capture;
        for (char key : keys) FilePromptKey(*app_, static_cast<unsigned char>(key));
        return capture.Text();
    }
    std::string Command(unsigned char key, KeyModifiers modifiers = {}) {
        ConsoleCapture capture;
        KeyboardCommand(*app_, key, modifiers);
        return capture.Text();
    }
    void Play(unsigned from, unsigned to) {
        ConsoleCapture quiet;
        const Position& p = app_->controller.Current();
        ASSERT_TRUE(app_->controller.UserMove(BuildUserMove(p, from, to)));
    }

    fs::path previous_ = fs::current_path();
    fs::path directory_;
    std::unique_ptr<App> app_;
};

constexpr unsigned kE2 = 33, kE4 = 35, kH7 = 62;
constexpr std::string_view kKill = "\x15";
const std::string kEnter(1, static_cast<char>(kKeyEnter));
const std::string kEscape(1, static_cast<char>(kKeyEscape));

// The save name is shared by saving and restoring and kept between uses; a typed name gets the
// default extension; a restore brings back the game and, for a game from an edited start (whose
// rebuild keeps the selection), the window's selection.
TEST_F(FilePromptGame, SaveAndRestoreThroughThePrompt) {
    {
        ConsoleCapture quiet;
        ASSERT_TRUE(app_->controller.ApplyEdit(EditAction::kRemove, kH7));
    }
    Play(kE2, kE4);
    Selection& selection = app_->selection;
    selection.value = kE4;
    selection.highlights[36] = kHighlightEmpty;
    app_->controller.SetSpread(kSpreadTeam);
    Command('s');
    ASSERT_TRUE(app_->filePrompt.open);
    EXPECT_EQ(app_->filePrompt.command, FileCommand::kSave);
    EXPECT_EQ(app_->filePrompt.text, "tarvex.sav");
    const std::string saved = Keys(std::string(kKill) + "mine" + kEnter);
    EXPECT_FALSE(app_->filePrompt.open);
    EXPECT_EQ(saved, "\nSaving mine.sav ...complete\n");
    EXPECT_EQ(fs::file_size("mine.sav"), static_cast<uintmax_t>(kSaveFileSize));
    EXPECT_EQ(app_->saveName, "mine.sav");

    {
        ConsoleCapture quiet;
        app_->controller.NewGame(kGame2D);
    }
    EXPECT_EQ(selection.value, kNothingSelected);
    Command('R');
    EXPECT_EQ(app_->filePrompt.command, FileCommand::kRestore);
    EXPECT_EQ(app_->filePrompt.text, "mine.sav");
    const std::string restored = Keys(kEnter);
    EXPECT_EQ(restored.rfind("\nRestore game ...", 0), 0u) << restored;
    EXPECT_NE(restored.find("complete!\n"), std::string::npos) << restored;
    EXPECT_EQ(app_->controller.Current().ply, 1u);
    EXPECT_EQ(app_->controller.Current().board[kE4], 1);
    EXPECT_EQ(selection.value, kE4);
    EXPECT_EQ(selection.firstPick, kE4);  // the next click moves the restored selection
    EXPECT_EQ(selection.highlights[36], kHighlightEmpty);
    EXPECT_EQ(selection.highlights[37], kNoHighlight);
    EXPECT_EQ(app_->controller.Options().spread, kSpreadTeam);
    ConsoleCapture quiet;
    app_->controller.Undo(1);  // back to the edited start
    EXPECT_EQ(app_->controller.Current().board[kE2], 1);
    EXPECT_EQ(app_->controller.Current().board[kH7], 0);
}

// Escape runs the command as cancelled and leaves the save name as it was; Enter on an empty
// line or a name too long keeps the prompt open with the reason.
TEST_F(FilePromptGame, CancelAndRefusedNames) {
    Command('S');
    Keys(std::string(kKill) + "other" + kEscape);
    EXPECT_FALSE(app_->filePrompt.open);
    EXPECT_EQ(app_->saveName, "tarvex.sav");
    EXPECT_FALSE(fs::exists("other.sav"));

    Command('s');
    EXPECT_EQ(Keys(std::string(kKill) + kEnter), "");
    EXPECT_TRUE(app_->filePrompt.open);
    EXPECT_STRNE(app_->filePrompt.problem, "");
    EXPECT_EQ(Keys("a"), "");  // typing clears the reason
    EXPECT_STREQ(app_->filePrompt.problem, "");
    EXPECT_EQ(Keys(std::string(kFileNameLength, 'n') + kEnter), "");
    EXPECT_TRUE(app_->filePrompt.open);
    EXPECT_STRNE(app_->filePrompt.problem, "");
    Keys(kEscape);
    EXPECT_FALSE(app_->filePrompt.open);
}

}  // namespace
}  // namespace tarvex::ui
