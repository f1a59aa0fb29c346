// The program's one GLUT window: GLUT start-up, the window and its callbacks, the periodic
// tick of the main thread, and leaving the main loop.
#pragma once

namespace tarvex::ui {

// Starts GLUT with the command line. When no display can be opened, prints one line to
// stderr and ends the program with a failure status.
void InitGlut(int* argc, char** argv);

// Creates the 800 x 800 window with its title and sets the fixed drawing state.
void CreateMainWindow();

// Installs the window's callbacks and starts the main thread's periodic tick.
void InstallCallbacks();

// Reshape callback: the viewport covers the whole window.
void Reshape(int width, int height);

// Makes glutMainLoop return, after which main stops the engine thread and ends the program.
void Quit();

}  // namespace tarvex::ui
