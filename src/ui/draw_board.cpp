#include "ui/draw_board.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "board/attack_boards.h"
#include "board/geometry.h"
#include "board/position.h"
#include "game/game_block.h"
#include "movegen/board_moves.h"
#include "ui/piece_models.h"

namespace tarvex::ui {
namespace {

struct Colour {
    GLfloat r, g, b;
};
constexpr Colour kLightSquare{0.65f, 0.65f, 0.65f};  // row + column odd
constexpr Colour kDarkSquare{0.45f, 0.45f, 0.45f};   // row + column even
constexpr Colour kSelectionColour{1.0f, 0.25f, 0.0f};
constexpr Colour kMoveColour{0.0f, 1.0f, 0.0f};      // highlight 0
constexpr Colour kAttackedColour{0.2f, 0.8f, 0.0f};  // highlight 1
constexpr Colour kCaptureColour{1.0f, 0.0f, 1.0f};   // highlight 255
constexpr Colour kPinMarkerColour{1.0f, 1.0f, 0.0f};
constexpr Colour kWhiteSideColour{0.9f, 0.9f, 0.7f};
constexpr Colour kBlackSideColour{0.6f, 0.6f, 0.8f};
constexpr Colour kAxesColour{1.0f, 1.0f, 0.0f};

void SetColour(const Colour& colour) {
    glColor3f(colour.r, colour.g, colour.b);
}
const Colour& SideColour(bool white) {
    return white ? kWhiteSideColour : kBlackSideColour;
}

// The transparency pattern: every other pixel, in a checkerboard (32 rows of 32 bits, the
// rows alternating 0xAAAAAAAA and 0x55555555, starting with 0xAAAAAAAA).
constexpr std::array<GLubyte, 128> MakeStipple() {
    std::array<GLubyte, 128> pattern{};
    for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = (i / 4) % 2 == 0 ? 0xAA : 0x55;
    return pattern;
}
constexpr std::array<GLubyte, 128> kStipple = MakeStipple();

// Every square is a unit square in the plane z = 0 of a frame whose origin is its corner.
// Squares are laid out by the drawing grid: row index >> 3 and column index & 7.
constexpr unsigned kGridSize = 8;

// Tessellation of the posts and the pin markers.
constexpr GLint kSlices = 10;
constexpr GLint kStacks = 8;
constexpr double kPostRadius = 0.1;
constexpr double kPostHeight = 1.0;
constexpr double kMarkerRadius = 0.1;
constexpr double kMarkerHeight = 0.05;

// A piece stands in the middle of its square, just above it.
constexpr GLfloat kPieceLift = 0.01f;

// The corner of a square in scene coordinates (reports a board at a bad pin).
Coords Corner(const Position& position, unsigned square) {
    return SquareCoords(position, Column(square), Row(square));
}

// One GLU quadric for the cylinders of one drawing call.
class Quadric {
public:
    Quadric() : quadric_(gluNewQuadric()) {}
    ~Quadric() {
        if (quadric_ != nullptr) gluDeleteQuadric(quadric_);
    }
    Quadric(const Quadric&) = delete;
    Quadric& operator=(const Quadric&) = delete;
    void Cylinder(double base, double top, double height) {
        if (quadric_ != nullptr) gluCylinder(quadric_, base, top, height, kSlices, kStacks);
    }

private:
    GLUquadric* quadric_;
};

// Where an attack board at pin may go, for the markers of a selected board: "back" towards
// White (direction value 0 or less), "forward" towards Black (0 or more), "across" to the other
// side (Tournament rules). The marker of a pin stands at the corner (cornerX, cornerY) of the
// pin's square, where the post of a board at that pin meets the level.
struct PinNeighbours {
    unsigned pin;
    unsigned back[3];
    unsigned forward[3];
    unsigned across;
    int cornerX, cornerY;
};
constexpr unsigned kNone = kNoSquare;
constexpr PinNeighbours kPinNeighbours[kPinCount] = {
    {2, {32, kNone, kNone}, {35, 5, 36}, 26, 0, 0},
    {5, {35, 2, 36}, {39, kNone, kNone}, 29, 0, 1},
    {26, {56, kNone, kNone}, {59, 29, 60}, 2, 1, 0},
    {29, {59, 26, 60}, {63, kNone, kNone}, 5, 1, 1},
    {32, {kNone, kNone, kNone}, {2, 35, kNone}, 56, 0, 0},
    {35, {32, 2, kNone}, {5, kNone, kNone}, 59, 0, 1},
    {36, {2, kNone, kNone}, {5, 39, kNone}, 60, 0, 0},
    {39, {5, 36, kNone}, {kNone, kNone, kNone}, 63, 0, 1},
    {56, {kNone, kNone, kNone}, {59, 26, kNone}, 32, 1, 0},
    {59, {56, 26, kNone}, {29, kNone, kNone}, 35, 1, 1},
    {60, {26, kNone, kNone}, {29, 63, kNone}, 36, 1, 0},
    {63, {29, 60, kNone}, {kNone, kNone, kNone}, 39, 1, 1},
};

const PinNeighbours* NeighboursOf(unsigned pin) {
    for (const PinNeighbours& entry : kPinNeighbours) {
        if (entry.pin == pin) return &entry;
    }
    return nullptr;
}

// A yellow cone on a free pin, unless a board stands there.
void DrawPinMarker(const Position& position, unsigned pin, Quadric& quadric) {
    const PinNeighbours* at = NeighboursOf(pin);
    if (at == nullptr || BoardAtPin(position, pin) != kNoBoard) return;
    const Coords corner = Corner(position, pin);
    glPushMatrix();
    glTranslatef(corner.x + static_cast<GLfloat>(at->cornerX),
                 corner.y + static_cast<GLfloat>(at->cornerY), corner.z);
    quadric.Cylinder(kMarkerRadius, 0.0, kMarkerHeight);
    glPopMatrix();
}

// The markers of the free pins to which the attack board may move now; nothing when the
// attack-board rules do not let it move.
void DrawPinMarkers(const Position& position, int identifier, Quadric& quadric) {
    const int board = BoardIndexOf(identifier);
    if (board < 0) return;
    int direction = 0;
    if (!BoardCanMove(position, identifier, direction)) return;
    const PinNeighbours* from = NeighboursOf(position.abPin[board]);
    if (from == nullptr) return;
    SetColour(kPinMarkerColour);
    if (direction <= 0) {
        for (const unsigned pin : from->back) DrawPinMarker(position, pin, quadric);
    }
    if (direction >= 0) {
        for (const unsigned pin : from->forward) DrawPinMarker(position, pin, quadric);
    }
    if (TournamentRules(position)) DrawPinMarker(position, from->across, quadric);
}

// The squares of the hint the user asked for, marked as the selection is.
struct HintSquares {
    unsigned from = kNoSquare;
    unsigned to = kNoSquare;
    bool Has(unsigned square) const { return square == from || square == to; }
};
HintSquares HintOf(const App& app) {
    const std::optional<GameHint> hint = app.controller.CurrentHint();
    if (!hint) return {};
    return {hint->move.from, hint->move.to};
}

// The square's colour: the selection or the hint, else by its highlight byte; a byte that means
// nothing (2..64, 128..254) leaves the current colour.
void SetSquareColour(const App& app, const HintSquares& hint, unsigned square, unsigned row,
                     unsigned column) {
    if (square == app.selection.value || hint.Has(square)) {
        SetColour(kSelectionColour);
        return;
    }
    const uint8_t highlight = app.selection.highlights[square];
    if (highlight == kHighlightOccupied) {
        SetColour(kCaptureColour);
    } else if (highlight == kHighlightEmpty) {
        SetColour(kMoveColour);
    } else if (highlight == kHighlightAttacked) {
        SetColour(kAttackedColour);
    } else if (highlight >= kNoHighlight && highlight <= kLastNoHighlight) {
        const bool light = ((row + column) & 1) != 0;
        SetColour(light ? kLightSquare : kDarkSquare);
    }
}

// Whether square is the first square of an attack board (whose identifier is square + 100):
// the board's post is drawn in that square's frame.
bool IsBoardBase(unsigned square) {
    for (const unsigned base : kBoardBase) {
        if (base == square) return true;
    }
    return false;
}

// Kings' squares for turning the 2D knights and bishops; kNoSquare when a side has none.
struct KingSquares {
    unsigned white = kNoSquare;
    unsigned black = kNoSquare;
};
KingSquares FindKings(const Position& position) {
    KingSquares kings;
    for (unsigned square = 0; square < kBoardSquares; ++square) {
        const int code = position.board[square];
        if (code == kKing && kings.white == kNoSquare) kings.white = square;
        if (code == -kKing && kings.black == kNoSquare) kings.black = square;
    }
    return kings;
}

// The turn of a knight or bishop, in degrees (it is rotated by minus this about z). In the 3D
// game White's face Black and Black's face White; in the 2D game each faces the enemy king.
double OrientAngle(const Position& position, int code, unsigned square, const KingSquares& kings) {
    const bool white = code > 0;
    if (Is3D(position)) return white ? 0.0 : 180.0;
    const unsigned king = white ? kings.black : kings.white;
    if (king == kNoSquare) return 0.0;
    const int fileDelta = static_cast<int>(king / 8) - static_cast<int>(square / 8);
    const int rankDelta = static_cast<int>(king % 8) - static_cast<int>(square % 8);
    // The 0.01 keeps a piece on the king's rank from dividing by zero.
    double angle = std::atan(fileDelta / (rankDelta + 0.01)) * 360.0 / 6.2831853072;
    if (rankDelta < 0) angle += 180.0;
    return angle;
}

bool IsOriented(int type) {
    return type == kKnight || type == kBishop;
}

// The pieces are lit with unit normals whatever the view's scale: the zoom would otherwise
// shorten the normals and darken the pieces as they grow.
class LitSolids {
public:
    LitSolids() {
        glPushAttrib(GL_ENABLE_BIT);
        glEnable(GL_NORMALIZE);
    }
    ~LitSolids() { glPopAttrib(); }
    LitSolids(const LitSolids&) = delete;
    LitSolids& operator=(const LitSolids&) = delete;
};

// A piece's model in its side's colour at (x, y, z), turned by -angle about z.
void DrawPiece(int code, GLfloat x, GLfloat y, GLfloat z, double angle) {
    glPushMatrix();
    glTranslatef(x, y, z);
    SetColour(SideColour(code > 0));
    if (angle != 0.0) glRotated(-angle, 0.0, 0.0, 1.0);
    DrawPieceModel(std::abs(code));
    glPopMatrix();
}

// A line figure of the axes' letters.
void Line(GLfloat x0, GLfloat y0, GLfloat z0, GLfloat x1, GLfloat y1, GLfloat z1) {
    glBegin(GL_LINES);
    glVertex3f(x0, y0, z0);
    glVertex3f(x1, y1, z1);
    glEnd();
}

constexpr GLfloat kAxisLength = 4.0f;
constexpr GLfloat kLetterOffset = 4.4f;
constexpr GLfloat kLetterScale = 0.4f;

}  // namespace

void DrawSquares(const App& app, GLenum renderMode) {
    const Position& position = app.controller.Current();
    const bool select = renderMode == GL_SELECT;
    const bool is3D = Is3D(position);
    const bool transparent = app.view.transparent;
    const unsigned selected = app.selection.value;
    const HintSquares hint = select ? HintSquares{} : HintOf(app);
    Quadric quadric;

    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_STIPPLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DITHER);
    if (transparent) glPolygonStipple(kStipple.data());
    for (unsigned row = 0; row < kGridSize; ++row) {
        if (select) glLoadName(row);
        for (unsigned column = 0; column < kGridSize; ++column) {
            const unsigned square = row * kGridSize + column;
            const bool post = is3D && IsBoardBase(square);
            const unsigned identifier = square + 100;  // the board's, when post holds
            if (post && selected == identifier) {
                DrawPinMarkers(position, static_cast<int>(identifier), quadric);
                SetColour(kSelectionColour);
            }
            if (select) glPushName(column);
            SetSquareColour(app, hint, square, row, column);
            glPushMatrix();
            const Coords corner = Corner(position, square);
            glTranslatef(corner.x, corner.y, corner.z);
            if (transparent) glEnable(GL_POLYGON_STIPPLE);
            glRectf(0.0f, 0.0f, 1.0f, 1.0f);
            glDisable(GL_POLYGON_STIPPLE);
            if (select) glPopName();
            if (post) {
                // The post reaches one unit down from the point where the board's four squares
                // meet, to the pin.
                SetColour(selected == identifier
                              ? kSelectionColour
                              : SideColour(WhiteOwns(position, static_cast<int>(identifier))));
                glTranslatef(1.0f, 1.0f, -1.0f);
                if (select) glPushName(identifier);
                quadric.Cylinder(kPostRadius, kPostRadius, kPostHeight);
                if (select) glPopName();
            }
            glPopMatrix();
        }
    }
    glPopAttrib();
}

void DrawPieces(const App& app) {
    const Position& position = app.controller.Current();
    const KingSquares kings = FindKings(position);
    const LitSolids lit;
    for (unsigned square = 0; square < kBoardSquares; ++square) {
        const int code = position.board[square];
        if (code == kEmpty) continue;
        const Coords corner = Corner(position, square);
        const double angle =
            IsOriented(std::abs(code)) ? OrientAngle(position, code, square, kings) : 0.0;
        DrawPiece(code, corner.x + 0.5f, corner.y + 0.5f, corner.z + kPieceLift, angle);
    }
}

void DrawCapturedPieces(const App& app) {
    if (!app.view.capturedShown) return;
    // Black's losses in a column right of the board, White's left of it, from the top down.
    constexpr GLfloat kColumnX = 4.5f, kTopY = 4.0f, kStep = 0.6f;
    const CapturedList& captured = app.controller.CurrentGame().block.captured;
    const int count = captured.count < kCapturedCapacity ? captured.count : kCapturedCapacity;
    const LitSolids lit;
    int whiteCount = 0, blackCount = 0;
    for (int i = 0; i < count; ++i) {
        const int code = captured.codes[i];
        const int type = std::abs(code);
        if (type < kPawn || type > kQueen) continue;
        const bool white = code > 0;
        const int n = white ? whiteCount++ : blackCount++;
        DrawPiece(code, white ? -kColumnX : kColumnX, kTopY - kStep * static_cast<GLfloat>(n),
                  kPieceLift, 0.0);
    }
}

void DrawAxes() {
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    SetColour(kAxesColour);
    glLineWidth(2.0f);
    glBegin(GL_LINE_STRIP);
    glVertex3f(kAxisLength, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, kAxisLength, 0.0f);
    glEnd();
    Line(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, kAxisLength);

    // "X" in the x-y plane.
    glPushMatrix();
    glTranslatef(kLetterOffset, 0.0f, 0.0f);
    glScalef(kLetterScale, kLetterScale, kLetterScale);
    Line(0.0f, -0.5f, 0.0f, 1.0f, 0.5f, 0.0f);
    Line(0.0f, 0.5f, 0.0f, 1.0f, -0.5f, 0.0f);
    glPopMatrix();

    // "Y" in the x-y plane.
    glPushMatrix();
    glTranslatef(0.0f, kLetterOffset, 0.0f);
    glScalef(kLetterScale, kLetterScale, kLetterScale);
    glBegin(GL_LINE_STRIP);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.6f, 0.0f);
    glVertex3f(-0.5f, 1.0f, 0.0f);
    glEnd();
    Line(0.0f, 0.6f, 0.0f, 0.5f, 1.0f, 0.0f);
    glPopMatrix();

    // "Z" in the y-z plane, its strokes running along z.
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, kLetterOffset);
    glScalef(kLetterScale, kLetterScale, kLetterScale);
    glBegin(GL_LINE_STRIP);
    glVertex3f(0.0f, 0.5f, 1.0f);
    glVertex3f(0.0f, 0.5f, 0.0f);
    glVertex3f(0.0f, -0.5f, 1.0f);
    glVertex3f(0.0f, -0.5f, 0.0f);
    glEnd();
    Line(0.0f, 0.0f, 0.25f, 0.0f, 0.0f, 0.75f);
    glPopMatrix();

    glLineWidth(1.0f);
    glPopAttrib();
}

}  // namespace tarvex::ui
