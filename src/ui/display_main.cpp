#include "ui/display_main.h"

#include <GL/freeglut.h>

namespace tarvex::ui {

void DisplayMain() {
    // The scene is empty until there is a game to draw.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

}  // namespace tarvex::ui
