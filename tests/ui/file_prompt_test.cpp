#include "ui/file_prompt.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "ui/keyboard.h"
#include "ui/ui_test_app.h"

namespace tarvex::ui {
namespace {

using testing::NewApp;
namespace fs = std::filesystem;

// Printable characters are taken while there is room, BackSpace and Ctrl+U edit, and other
// keys are no editing keys.
TEST(FilePromptTest, EditLine) {
    std::string line = "ab";
    for (unsigned char key : {'\t', '\x7f', '\x80', '\xff'}) EXPECT_FALSE(EditFileName(line, key));
    EXPECT_TRUE(EditFileName(line, ' '));
    EXPECT_TRUE(EditFileName(line, '~'));
    EXPECT_EQ(line, "ab ~");
    EXPECT_TRUE(EditFileName(line, kKeyBackSpace));
    EXPECT_EQ(line, "ab ");
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
    fs::path previous_ = fs::current_path();
    fs::path directory_;
    std::unique_ptr<App> app_;
};

constexpr std::string_view kKill = "\x15";
const std::string kEnter(1, static_cast<char>(kKeyEnter));
const std::string kEscape(1, static_cast<char>(kKeyEscape));

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
