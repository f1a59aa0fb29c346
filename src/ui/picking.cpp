#include "ui/picking.h"

#include <GL/glu.h>

#include "core/console.h"
#include "ui/draw_board.h"
#include "ui/view.h"

namespace tarvex::ui {
namespace {

constexpr int kSelectionWords = 512;
constexpr GLuint kNoName = static_cast<GLuint>(-1);
constexpr GLuint kPostRow = 2;        // the row of the king's side posts' first squares
constexpr GLuint kFirstPostName = 9;  // names from here on in that row are posts

// The result of a record with the names (a, b): a square (row, column) or a post (row, board).
unsigned ResultOf(GLuint a, GLuint b) {
    if (a == kPostRow && b >= kFirstPostName) return b;
    return 8 * a + b;
}

void PrintRecord(int x, int y, int hits, const GLuint* names, GLuint count) {
    ConsolePrint("\nx=%d y=%d hits=%d", x, y, hits);
    ConsolePrint("\n number of names for this hit = %u; names are", count);
    for (GLuint i = 0; i < count; ++i) ConsolePrint(" %d ", static_cast<int>(names[i]));
    ConsolePrint("\n");
}

}  // namespace

unsigned Pick(const App& app, int x, int y) {
    GLuint buffer[kSelectionWords];
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glSelectBuffer(kSelectionWords, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(kNoName);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x, viewport[3] - y, 1.0, 1.0, viewport);
    ViewSetUp(app.view);
    DrawSquares(app, GL_SELECT);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glFlush();
    const int hits = glRenderMode(GL_RENDER);
    // Each record: the number of names, the depth range, the names. The first record with two
    // names decides, except that a post wins over a square: the post of board 116 stands
    // behind its own first square, which is drawn before it and would hide it from the pointer.
    unsigned result = kNothingSelected;
    const GLuint* record = buffer;
    for (int i = 0; i < hits; ++i) {
        const GLuint count = record[0];
        const GLuint* names = record + 3;
        record = names + count;
        if (count != 2) {
            if (result == kNothingSelected) PrintRecord(x, y, hits, names, count);
            continue;
        }
        const unsigned hit = ResultOf(names[0], names[1]);
        if (hit >= kBoardSquares) return hit;
        if (result == kNothingSelected) result = hit;
    }
    return result;
}

}  // namespace tarvex::ui
