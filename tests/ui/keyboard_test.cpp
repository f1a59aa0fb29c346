#include "ui/keyboard.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "ui/ui_test_app.h"

namespace tarvex::ui {
namespace {

using testing::NewApp;
constexpr KeyModifiers kShift{true, false}, kShiftAlt{true, true};

// The complaint about a key, which may be a NUL character.
std::string Complaint(const char* format, int key) {
    char text[80];
    const int length = std::snprintf(text, sizeof text, format, key, key);
    return std::string(text, static_cast<size_t>(length));
}

std::string Typed(App& app, unsigned char key) {
    ConsoleCapture capture;
    KeyboardCommand(app, key);
    return capture.Text();
}

std::string Special(App& app, int key, KeyModifiers modifiers = {}) {
    ConsoleCapture capture;
    SpecialKeyCommand(app, key, modifiers);
    return capture.Text();
}

// Escape and Q quit; a key outside 27..122, or one in it without a command, complains.
TEST(KeyboardTest, QuitKeysAndUnknownKeys) {
    auto app = NewApp(kGame3D);
    ConsoleCapture quiet;
    for (unsigned char key : {'\x1b', 'Q', 'q'})
        EXPECT_EQ(KeyboardCommand(*app, key), KeyOutcome::kQuit) << key;
    for (int key : {0, 26, 0x24, 0x7b, 200}) {  // '$' has no command, '{' is past 'z'
        const char* format = "\nDon't know what to do with keyboard hit: '%c' (0x%x)\n";
        EXPECT_EQ(Typed(*app, static_cast<unsigned char>(key)), Complaint(format, key)) << key;
    }
    for (int key : {GLUT_KEY_F4, GLUT_KEY_F11, GLUT_KEY_F12, GLUT_KEY_HOME, GLUT_KEY_END, 0, 99,
                    GLUT_KEY_INSERT, 200, -1}) {
        const char* format = "\nDon't know what to do with KeyboardSpecial hit: '%c' (0x%x)";
        EXPECT_EQ(Special(*app, key), Complaint(format, key)) << key;
    }
    // freeglut reports the modifier keys on their own too.
    for (int key = GLUT_KEY_SHIFT_L; key <= GLUT_KEY_SUPER_R; ++key) {
        EXPECT_EQ(Special(*app, key), "") << key;
    }
}

TEST(KeyboardTest, MessagesThoughtsAndTheBoardCursor) {
    auto app = NewApp(kGame3D);
    EXPECT_EQ(Typed(*app, 'j'), "\nj=1");
    // Board 1 stands on pin 39; the next pin, 56, holds board 2; 59 is free (the new placement of
    // the boards is announced after).
    const std::string moved = Typed(*app, 'K');
    EXPECT_EQ(moved.rfind("\nj=1 k=39\nj=1 k=39", 0), 0u) << moved;
    EXPECT_EQ(moved.find("j=", 18), std::string::npos) << moved;
    EXPECT_EQ(app->controller.Current().abPin[1], 59u);
    // I shows the engine's thoughts and hides them again, quietly.
    EXPECT_EQ(Typed(*app, 'i'), "");
    EXPECT_TRUE(app->controller.ThoughtsShown());
    Typed(*app, 'I');
    EXPECT_FALSE(app->controller.ThoughtsShown());
    std::string text;
    for (char key : std::string_view("!gJJJrSbW")) text += Typed(*app, key);
    EXPECT_EQ(text,
              "\ncontact@tarvex.example.org\nW xang=300 yang=0 scale=1.6\nj=2\nj=3\nj=0"
              "\nTarvex playing Black\nTarvex playing White");
}

// The angles wrap round; the zoom stops at its least (the window tests turn and zoom the rest).
TEST(KeyboardTest, TurnsWrapAndTheZoomStops) {
    auto app = NewApp(kGame3D);
    ui::View& s = app->view;
    s.zAngle = 355, s.xAngle = 5, s.scale = 1.01f;
    Special(*app, GLUT_KEY_LEFT, kShiftAlt);  // Alt turns about the line of sight
    Special(*app, GLUT_KEY_UP, kShift);
    Special(*app, GLUT_KEY_PAGE_DOWN);
    EXPECT_EQ(s.zAngle, 5);
    EXPECT_FLOAT_EQ(s.xAngle, 355);
    EXPECT_FLOAT_EQ(s.scale, 1);
}

struct Seen {
    int projection, transparency, zAngle;
    float xAngle, yAngle, scale;
    bool operator==(const Seen&) const = default;
};

Seen CurrentView(const App& app) {
    const ui::View& s = app.view;
    return {s.orthographic ? 1 : 0, s.transparent ? 1 : 0, s.zAngle, s.xAngle, s.yAngle, s.scale};
}

TEST(KeyboardTest, BlackViewTurnsThe2DBoardOnly) {
    for (int kind : {kGame2D, kGame3D}) {
        auto app = NewApp(kind);
        const Seen reset = CurrentView(*app);
        app->view.xAngle = 100, app->view.yAngle = 90;
        Typed(*app, 'Z');  // turns the 2D board only
        const Seen turned =
            kind == kGame2D ? Seen{0, 0, 0, 340, 270, 2.0f} : Seen{0, 1, 0, 100, 90, reset.scale};
        EXPECT_EQ(CurrentView(*app), turned) << kind;
        Typed(*app, 'Z');
        EXPECT_EQ(CurrentView(*app), kind == kGame2D ? reset : turned) << kind;
    }
}

// In a directory of its own. A directory in the file's place cannot be written (not even by
// root); a file holding no view the program could have stored changes nothing.
TEST(KeyboardTest, FavoriteView) {
    const std::filesystem::path previous = std::filesystem::current_path();
    const std::filesystem::path directory =
        std::filesystem::temp_directory_path() / ("tarvex_favview_" + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
    std::filesystem::current_path(directory);
    auto app = NewApp(kGame3D);
    ui::View& s = app->view;
    const Seen reset = CurrentView(*app);
    s.xAngle = 12.5f, s.yAngle = 45, s.scale = 1.25f;
    EXPECT_EQ(Special(*app, GLUT_KEY_F5), "\nFavorite view LOADED");  // no file: a view reset
    EXPECT_EQ(CurrentView(*app), reset);
    std::filesystem::create_directory("favview.sav");
    EXPECT_EQ(Special(*app, GLUT_KEY_F6), "\nFavorite view SAVED");
    std::filesystem::remove("favview.sav");
    for (const char* text : {"12\n45\n", "400\n0\n1\n", "10\n10\n-1\n"}) {
        s.xAngle = 12.5f;
        const Seen before = CurrentView(*app);
        std::ofstream("favview.sav") << text;
        Special(*app, GLUT_KEY_F5);
        EXPECT_EQ(CurrentView(*app), before) << text;
    }
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(directory);
}

}  // namespace
}  // namespace tarvex::ui
