#include "ui/display_main.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "board/attack_boards.h"
#include "core/error_report.h"
#include "core/version.h"
#include "game/game_flow.h"
#include "text/notation.h"
#include "text/square_names.h"
#include "ui/draw_board.h"
#include "ui/file_prompt.h"
#include "ui/promotion_chooser.h"
#include "ui/view.h"

namespace tarvex::ui {
namespace {

constexpr float kWhiteSide[3] = {0.9f, 0.9f, 0.7f};
constexpr float kBlackSide[3] = {0.6f, 0.6f, 0.8f};
constexpr float kRed[3] = {1.0f, 0.0f, 0.0f};
constexpr float kOrange[3] = {1.0f, 0.5f, 0.0f};
constexpr float kGreen[3] = {0.0f, 1.0f, 0.0f};
constexpr float kWhite[3] = {1.0f, 1.0f, 1.0f};
// Where the text starts: the left edge and the top line, in scene units of a square window
// (a wider or taller one moves them with the projection's stretch, keeping them in the corner).
constexpr float kTextLeft = -10.0f, kTextTop = 10.0f;
constexpr float kTextLeftOrtho = -7.0f, kTextTopOrtho = 7.0f;
// The engine's thoughts go one line below the three others.
constexpr float kThoughtsLine = 3.0f;
void* const kTextFont = GLUT_BITMAP_TIMES_ROMAN_24;

constexpr const char* kEditPrompts[] = {"remove from where?",
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        "add black pawn where?",
                                        "add black knight where?",
                                        "add black bishop where?",
                                        "add black rook where?",
                                        "add black queen where?",
                                        "add black king where?",
                                        "add white pawn where?",
                                        "add white knight where?",
                                        "add white bishop where?",
                                        "add white rook where?",
                                        "add white queen where?",
                                        "add white king where?"};

void CopyColour(float out[3], const float in[3]) {
    std::memcpy(out, in, 3 * sizeof(float));
}

// The piece letter of a code: "kqrbnp PNBRQK" by code + 6, "?" outside -6..+7.
char PieceLetter(int code) {
    static constexpr char kLetters[] = "kqrbnp PNBRQK";
    if (code < -6 || code > 7) return '?';
    return code == 7 ? '?' : kLetters[code + 6];
}

void Header(const App& app, char* out) {
    const Game& game = app.controller.CurrentGame();
    const unsigned ply = game.block.current.ply;
    const int action = static_cast<int>(app.view.editAction);
    if (action >= 1 && action <= 16 && kEditPrompts[action - 1] != nullptr) {
        std::snprintf(out, kTextLineSize, "%s", kEditPrompts[action - 1]);
    } else if (game.replayIndex >= 0) {
        std::snprintf(out, kTextLineSize, "Replay %d of %d", game.replayIndex, ply);
    } else if (ply > 0) {
        const char* text = MoveTextAt(game, ply);
        if (ply % 2 == 1) {
            std::snprintf(out, kTextLineSize, "%u. %s", ply / 2 + 1, text);
        } else {
            std::snprintf(out, kTextLineSize, "%u. ... %s", (ply - 1) / 2 + 1, text);
        }
    } else {
        std::snprintf(out, kTextLineSize, "%s", kWindowTitle);
    }
}

// The banner line and its colour; an engine side other than -1, 0 and +1 leaves both alone.
void Banner(App& app) {
    const GameOptions& options = app.controller.Options();
    const Position& p = app.controller.Current();
    const int side = options.engineSide;
    TextLines& text = app.text;
    if (side == 0) {
        const char* rules = "";
        if (p.gameKind == kGame3D) {
            rules = options.rules == kRulesStandard ? " (Standard)" : " (Tournament)";
        }
        std::snprintf(text.banner, kTextLineSize, "Tarvex not playing%s", rules);
        CopyColour(text.bannerColour, kOrange);
    } else if (side == 1 || side == -1) {
        std::snprintf(text.banner, kTextLineSize, "%s",
                      side == SideSign(p) ? "My move" : "Your move");
        CopyColour(text.bannerColour, WhiteToMove(p) ? kWhiteSide : kBlackSide);
    } else {
        ErrorReport(kUnstable, "bad setting @ DisplayMain");
    }
}

// The level's name in the selection line (Tournament and Algebraic notation).
const char* LevelName(const Position& p, unsigned square, int notation) {
    switch (SquareLevel(p, square)) {
        case kWhiteLevel:
            return "W";
        case kNeutralLevel:
            return "N";
        case kBlackLevel:
            return "B";
        case 3:
        case 5:
        case 7:
            return AttackBoardPinName(p, square, notation == kNotationAlgebraic);
        default:
            return "OOC";
    }
}

void SelectionLine(const App& app, char* out) {
    const Position& p = app.controller.Current();
    const unsigned selected = app.selection.value;
    const int notation = app.controller.Options().notation;
    if (selected == kNothingSelected) {
        std::snprintf(out, kTextLineSize, "%u plies", p.ply);
        return;
    }
    if (IsAttackBoardId(static_cast<int>(selected))) {
        std::snprintf(out, kTextLineSize, "%s",
                      selected == 100 || selected == 106 ? "Queen's Level" : "Kings's Level");
        return;
    }
    const char letter = PieceLetter(std::abs(p.board[selected]));
    const SquareText name = SquareName(p, selected, notation);
    if (!Is3D(p)) {
        std::snprintf(out, kTextLineSize, "%c%s", letter, name.text);
    } else if (notation == kNotationStandard) {
        std::snprintf(out, kTextLineSize, "%c%s(%d)", letter, name.text, SquareLevel(p, selected));
    } else {
        std::snprintf(out, kTextLineSize, "%c%s%s", letter, name.text,
                      LevelName(p, selected, notation));
    }
}

void Message(App& app, TextPass& pass) {
    const Position& p = app.controller.Current();
    if (p.lastMove.givesCheck != 0) {
        static constexpr const char* kVerdicts[] = {"CHECKMATE", "CHECK", "CHECKMATE"};
        const char* word = p.winner == 2                       ? "STALEMATE"
                           : (p.winner >= -1 && p.winner <= 1) ? kVerdicts[p.winner + 1]
                                                               : "YOU TELL ME";
        std::snprintf(pass.message, kTextLineSize, "%s", word);
        CopyColour(pass.messageColour, kRed);
    } else if (app.text.message[0] != 0) {
        std::snprintf(pass.message, kTextLineSize, "%s", app.text.message);
        CopyColour(pass.messageColour, kWhite);
    } else if (const std::optional<GameHint> hint = app.controller.CurrentHint()) {
        std::snprintf(pass.message, kTextLineSize, "hint: %s", hint->text.c_str());
        CopyColour(pass.messageColour, kWhite);
    } else {
        SelectionLine(app, pass.message);
        CopyColour(pass.messageColour, kGreen);
    }
    app.text.message[0] = 0;  // a message is shown once
}

void DrawLine(float x, float y, const char* text, const float colour[3]) {
    glColor3fv(colour);
    glRasterPos3f(x, y, 0.0f);
    for (const char* c = text; *c != 0; ++c) glutBitmapCharacter(kTextFont, *c);
}

int LineWidth(const std::string& text) {
    return glutBitmapLength(kTextFont, reinterpret_cast<const unsigned char*>(text.c_str()));
}

// The line shortened to fit in pixels: whole words from its end first (the principal variation
// is last), then characters.
std::string CutToWidth(std::string line, int pixels) {
    while (!line.empty() && LineWidth(line) > pixels) {
        const size_t blank = line.find_last_of(' ');
        line.resize(blank != std::string::npos && blank > 0 ? blank : line.size() - 1);
    }
    return line;
}

// The engine's thoughts from (x, y) on, cut at the window's right edge.
void DrawThoughts(float x, float y, const std::string& line) {
    glRasterPos3f(x, y, 0.0f);
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int room = viewport[2] - static_cast<int>(raster[0]);
    DrawLine(x, y, CutToWidth(line, room).c_str(), kWhite);
}

}  // namespace

TextPass ComposeText(App& app) {
    TextPass pass{};
    Header(app, pass.header);
    std::snprintf(app.text.header, kTextLineSize, "%s", pass.header);
    const unsigned ply = app.controller.Current().ply;
    CopyColour(pass.headerColour, ply % 2 == 1 ? kWhiteSide : kBlackSide);
    Banner(app);
    Message(app, pass);
    return pass;
}

void DisplayMain() {
    App& app = TheApp();
    const View& view = app.view;
    glutSetWindow(app.mainWindow);
    glDrawBuffer(GL_BACK);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_FLAT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    ViewSetUp(view);
    DrawSquares(app, GL_RENDER);
    DrawPieces(app);
    if (view.capturedShown) DrawCapturedPieces(app);
    if (view.axes) {
        glDisable(GL_LIGHTING);
        DrawAxes();
        glEnable(GL_LIGHTING);
    }
    glDisable(GL_LIGHTING);
    const TextPass pass = ComposeText(app);
    glPushAttrib(GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    const bool ortho = view.orthographic;
    const ViewStretch stretch = CurrentStretch(view);
    const auto left = static_cast<float>((ortho ? kTextLeftOrtho : kTextLeft) * stretch.x);
    const auto top = static_cast<float>((ortho ? kTextTopOrtho : kTextTop) * stretch.y);
    DrawLine(left, top - 1, app.text.banner, app.text.bannerColour);
    DrawLine(left, top, pass.header, pass.headerColour);
    DrawLine(left, top - 2, pass.message, pass.messageColour);
    if (app.controller.ThoughtsShown()) {
        DrawThoughts(left, top - kThoughtsLine, app.controller.ThoughtsLine());
    }
    glPopMatrix();
    glPopAttrib();
    DrawPromotionChooser(app);
    DrawFilePrompt(app);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glutSwapBuffers();
    glFlush();
}

}  // namespace tarvex::ui
