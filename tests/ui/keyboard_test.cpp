#include "ui/keyboard.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "core/console.h"

namespace tarvex::ui {
namespace {

const std::string kHelpScreen =
    "\narrow keys pan, page keys zoom, <shift> faster"
    "\nF2 \t new 2D game"
    "\nF3 \t new 3D game"
    "\nF5 \t fetch favorite view"
    "\nF6 \t store favorite view"
    "\nF7-F8 \t replay step back-forward"
    "\nF9 \t autoplay"
    "\nF10\t come to full stop"
    "\nA \t toggle axes"
    "\nB \t Tarvex play black"
    "\nC \t captured pieces toggle"
    "\nW \t Tarvex play white"
    "\nL \t list game"
    "\nO \t overhead view"
    "\nQ \t quit"
    "\nR \t restore game"
    "\nS \t save game"
    "\nT \t toggle transparency"
    "\nU \t undo one move"
    "\nV \t view reset"
    "\nZ \t black view toggle(2D)"
    "\nH \t help screen (press 'H' in main window)";

// Keys with a command, now or later: none of them may draw the complaint.
constexpr std::string_view kCommandKeys = "\x1bQq!#?AaBbCcGgHhJjKkLlOoRrSsTtUuVvWwZz";

std::string Complaint(const char* format, int key) {
    char text[80];
    const int length = std::snprintf(text, sizeof text, format, key, key);
    return std::string(text, static_cast<size_t>(length));
}

std::string Typed(unsigned char key, KeyOutcome* outcome = nullptr) {
    ConsoleCapture capture;
    const KeyOutcome result = KeyboardCommand(key);
    if (outcome != nullptr) *outcome = result;
    return capture.Text();
}

std::string TypedSpecial(int key) {
    ConsoleCapture capture;
    SpecialKeyCommand(key);
    return capture.Text();
}

TEST(KeyboardTest, HelpScreenIsExact) {
    EXPECT_EQ(Typed('H'), kHelpScreen);
    EXPECT_EQ(Typed('h'), kHelpScreen);
    EXPECT_EQ(TypedSpecial(GLUT_KEY_F1), kHelpScreen);
}

TEST(KeyboardTest, QuestionMarkPrintsTheBanner) {
    const std::string text = Typed('?');
    EXPECT_EQ(text.rfind("\nTarvex V2.87\n", 0), 0u) << text;
    ASSERT_GE(text.size(), 16u);
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
    // Exactly one line, the web address, between the version and the empty line.
    const std::string address = text.substr(14, text.size() - 16);
    EXPECT_FALSE(address.empty());
    EXPECT_EQ(address.find('\n'), std::string::npos) << address;
}

// Escape and Q quit silently; keys of later commands are quiet; every key without a command
// complains, each in the same words.
TEST(KeyboardTest, EveryKeyQuitsIsQuietOrComplains) {
    EXPECT_EQ(Typed('x'), "\nDon't know what to do with keyboard hit: 'x' (0x78)\n");
    EXPECT_EQ(Typed(0xff), "\nDon't know what to do with keyboard hit: '\xff' (0xff)\n");
    for (unsigned key = 0; key < 256; ++key) {
        const bool quits = key == 27 || key == 'Q' || key == 'q';
        KeyOutcome outcome;
        const std::string text = Typed(static_cast<unsigned char>(key), &outcome);
        EXPECT_EQ(outcome, quits ? KeyOutcome::kQuit : KeyOutcome::kDone) << key;
        if (key == 'H' || key == 'h' || key == '?') continue;
        const bool command = kCommandKeys.find(static_cast<char>(key)) != std::string_view::npos;
        const char* format = "\nDon't know what to do with keyboard hit: '%c' (0x%x)\n";
        EXPECT_EQ(text, command ? "" : Complaint(format, static_cast<int>(key))) << key;
    }
}

// Keys of later commands and the modifier keys (reported by freeglut on their own when pressed)
// are quiet; the rest complain without a newline at the end.
TEST(KeyboardSpecialTest, SpecialKeysAreQuietOrComplain) {
    EXPECT_EQ(TypedSpecial(GLUT_KEY_F4),
              "\nDon't know what to do with KeyboardSpecial hit: '\x04' (0x4)");
    for (int key : {GLUT_KEY_F4, GLUT_KEY_F11, GLUT_KEY_F12, GLUT_KEY_HOME, GLUT_KEY_END,
                    GLUT_KEY_INSERT, GLUT_KEY_DELETE, 0, 13, 99, 200, -1}) {
        const char* format = "\nDon't know what to do with KeyboardSpecial hit: '%c' (0x%x)";
        EXPECT_EQ(TypedSpecial(key), Complaint(format, key)) << key;
    }
    for (int key : {GLUT_KEY_F2, GLUT_KEY_F3, GLUT_KEY_F5, GLUT_KEY_F6, GLUT_KEY_F7, GLUT_KEY_F8,
                    GLUT_KEY_F9, GLUT_KEY_F10, GLUT_KEY_LEFT, GLUT_KEY_RIGHT, GLUT_KEY_UP,
                    GLUT_KEY_DOWN, GLUT_KEY_PAGE_UP, GLUT_KEY_PAGE_DOWN}) {
        EXPECT_EQ(TypedSpecial(key), "") << key;
    }
    for (int key = GLUT_KEY_SHIFT_L; key <= GLUT_KEY_SUPER_R; ++key) {
        EXPECT_EQ(TypedSpecial(key), "") << key;
    }
}

}  // namespace
}  // namespace tarvex::ui
