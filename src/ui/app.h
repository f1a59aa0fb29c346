// The application record: everything the window's callbacks work on. main sets it up, points
// the callbacks at it and tears it down after GLUT's loop returns; the callbacks keep no state
// of their own. The view (angles, zoom, projection, transparency...) is the window's own; the
// user's game choices are the controller's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "board/geometry.h"
#include "engine/move_chooser.h"
#include "game/edit_action.h"
#include "game/engine_thread.h"
#include "game/game_controller.h"
#include "game/highlight.h"
#include "game/save_game.h"

namespace tarvex::ui {

inline constexpr unsigned kNothingSelected = kNoSquare;  // 65

// How the board is looked at, and the edit action the next click applies.
struct View {
    float xAngle = 300.0f;  // degrees in [0, 360)
    float yAngle = 0.0f;    // degrees in [0, 360)
    int zAngle = 0;         // degrees in [0, 360)
    float scale = 1.6f;     // uniform zoom factor
    bool orthographic = false;
    bool transparent = true;  // levels drawn stippled
    bool axes = false;
    bool capturedShown = true;
    bool blackView = false;  // the 2D board is turned for Black
    EditAction editAction = EditAction::kNone;
};

// What the user has picked: nothing, a square or an attack board, and the squares the display
// highlights around it.
struct Selection {
    unsigned value = kNothingSelected;  // 65, a square 0..63, or a board 100/106/116/122
    unsigned firstPick = kNothingSelected;
    unsigned secondPick = kNothingSelected;
    uint8_t highlights[64];
    Selection() { ClearHighlights(); }
    void ClearHighlights() {
        for (uint8_t& h : highlights) h = kNoHighlight;
    }
};

// A drag with the middle button turns the view: where the pointer was last seen.
struct ViewDrag {
    bool active = false;
    int x = 0;
    int y = 0;
};

// The three text lines of the window.
inline constexpr int kTextLineSize = 64;
struct TextLines {
    char header[kTextLineSize] = "";
    char banner[kTextLineSize] = "BANNER_STRING";
    float bannerColour[3] = {1.0f, 1.0f, 1.0f};
    char message[kTextLineSize] = "";  // shown once by the next redraw
};

// The promotion chooser: while open, the user's promoting move waits for its piece and every
// other input is ignored.
struct PromotionPrompt {
    bool open = false;
    Move move;
};

// A file name the user types, with its terminator: the room the file commands keep for one.
inline constexpr size_t kFileNameSize = 260;

enum class FileCommand { kSave, kRestore, kList };

// The file-name prompt: while open, the edit line takes the keys and every other input is
// ignored; Enter or Escape runs the command (Escape as cancelled).
struct FilePrompt {
    bool open = false;
    FileCommand command = FileCommand::kSave;
    std::string text;           // the edit line
    const char* problem = "";   // why Enter was refused, shown under the line
    bool menuDetached = false;  // the right button's menu is off while the prompt is open
};

struct App {
    explicit App(std::unique_ptr<engine::MoveChooser> engineIn);
    ~App() { engineThread.Stop(); }
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    GameController controller;
    std::unique_ptr<engine::MoveChooser> engine;
    game::EngineThread engineThread;  // after the engine and the controller it uses
    int mainWindow = 0;               // the GLUT window
    int mainMenu = 0;                 // the GLUT menu on the right button
    int difficultyMenu = 0;           // the GLUT menu whose labels follow the difficulty
    Selection selection;
    View view;
    TextLines text;
    PromotionPrompt promotion;
    FilePrompt filePrompt;
    // The name shared by saving and restoring, kept between uses.
    std::string saveName = kDefaultSaveName;
    ViewDrag drag;
    int boardCursor = 0;        // the attack board that "K" moves (0..3), chosen with "J"
    uint64_t drawnChanges = 0;  // the controller's change count the window last drew
    // The hint and the thoughts line as the window last drew them: the engine thread brings
    // both without changing the game.
    std::string drawnEngineText;
};

// A modal panel (the promotion chooser or the file prompt) is open: input goes to it alone.
inline bool ModalOpen(const App& app) {
    return app.promotion.open || app.filePrompt.open;
}

// The record the callbacks reach; set once by main.
App& TheApp();
void SetApp(App* app);

// Writes a message for the window's message line (shown once).
void ShowMessage(App& app, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace tarvex::ui
