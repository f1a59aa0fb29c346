#include "ui/file_prompt.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <iterator>

#include "game/save_game.h"
#include "ui/panel.h"
#include "ui/view.h"

namespace tarvex::ui {
namespace {

constexpr unsigned char kFirstPrintable = ' ';
constexpr unsigned char kLastPrintable = '~';
constexpr const char* kNoName = "type a file name";
constexpr const char* kNameTooLong = "the name is too long";

// ---- the panel, in window pixels (y down), centred like the promotion chooser ----

constexpr int kPanelWidth = 520;
constexpr int kPanelHeight = 100;
constexpr int kMargin = 12;
constexpr int kFieldTop = 14;  // below the panel's top
constexpr int kFieldHeight = 28;
constexpr int kTextInset = 6;
constexpr int kHintBaseline = 70;  // below the panel's top
constexpr int kProblemBaseline = 90;
constexpr const char* kHint = "Enter: OK      Esc: Cancel";
constexpr const char* kCaret = "_";

// The end of the line that fits in the field with the caret: a long name shows its tail.
const char* VisibleTail(const std::string& line) {
    const int room = kPanelWidth - 2 * kMargin - 2 * kTextInset - TextWidth(kCaret);
    const char* tail = line.c_str();
    while (*tail != 0 && TextWidth(tail) > room) ++tail;
    return tail;
}

void DrawPanel(const FilePrompt& prompt) {
    int left, top;
    PanelCorner(kPanelWidth, kPanelHeight, left, top);
    DrawPanelFrame(left, top, kPanelWidth, kPanelHeight, FilePromptTitle(prompt.command));
    Rectangle(left + kMargin, top + kFieldTop, kPanelWidth - 2 * kMargin, kFieldHeight);
    glColor3f(0.0f, 0.0f, 0.0f);
    const std::string shown = std::string(VisibleTail(prompt.text)) + kCaret;
    Text(left + kMargin + kTextInset, top + kFieldTop + kFieldHeight - 8, shown.c_str());
    Text(left + kMargin, top + kHintBaseline, kHint);
    glColor3f(0.8f, 0.0f, 0.0f);
    Text(left + kMargin, top + kProblemBaseline, prompt.problem);
}

bool IsSaveFile(FileCommand command) {
    return command != FileCommand::kList;
}

// What the command does without a name: the shared save name, or a listing's default.
std::string NameOnCancel(const App& app, FileCommand command) {
    return IsSaveFile(command) ? app.saveName : std::string(kDefaultListName);
}

void ClosePrompt(App& app) {
    app.filePrompt.open = false;
    app.filePrompt.text.clear();
    app.filePrompt.problem = "";
}

}  // namespace

bool EditFileName(std::string& line, unsigned char key) {
    if (key >= kFirstPrintable && key <= kLastPrintable) {
        if (line.size() < kFileNameLength) line += static_cast<char>(key);
        return true;
    }
    if (key == kKeyBackSpace) {
        if (!line.empty()) line.pop_back();
        return true;
    }
    if (key == kKeyKillLine) {
        line.clear();
        return true;
    }
    return false;
}

std::optional<std::string> NameWithDefaultExtension(const std::string& line,
                                                    const char* extension) {
    if (line.empty()) return std::nullopt;
    const size_t slash = line.find_last_of("/\\");
    const size_t base = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = line.find('.', base);
    std::string name = line;
    if (dot == std::string::npos || dot == base) name = name + "." + extension;
    if (name.size() > kFileNameLength) return std::nullopt;
    return name;
}

const char* FilePromptTitle(FileCommand command) {
    switch (command) {
        case FileCommand::kSave:
            return "Save game";
        case FileCommand::kRestore:
            return "Restore game";
        case FileCommand::kList:
            break;
    }
    return "List game to file";
}

const char* DefaultExtension(FileCommand command) {
    return IsSaveFile(command) ? "sav" : "txt";
}

void OpenFilePrompt(App& app, FileCommand command) {
    FilePrompt& prompt = app.filePrompt;
    prompt.open = true;
    prompt.command = command;
    prompt.text = NameOnCancel(app, command);
    prompt.problem = "";
}

bool FilePromptKey(App& app, unsigned char key) {
    FilePrompt& prompt = app.filePrompt;
    const FileCommand command = prompt.command;
    if (key == kKeyEscape) {
        ClosePrompt(app);
        RunFileCommand(app, command, NameOnCancel(app, command), true);
        return false;
    }
    if (key != kKeyEnter) {
        if (EditFileName(prompt.text, key)) prompt.problem = "";
        return true;
    }
    const std::optional<std::string> name =
        NameWithDefaultExtension(prompt.text, DefaultExtension(command));
    if (!name) {
        prompt.problem = prompt.text.empty() ? kNoName : kNameTooLong;
        return true;
    }
    ClosePrompt(app);
    if (IsSaveFile(command)) app.saveName = *name;  // the next save or restore offers it
    RunFileCommand(app, command, *name, false);
    return false;
}

namespace {

// The view of a restored file: the 2D reset for what the file does not hold (axes, captured
// pieces, z-angle), then the file's own.
void RestoreView(App& app, const SavedView& saved) {
    View& view = app.view;
    ViewReset(view, kGame2D);
    view.transparent = saved.transparency != 0;
    view.orthographic = saved.projection == 1;
    view.scale = saved.scale;
    view.xAngle = saved.xAngle;
    view.yAngle = saved.yAngle;
}

}  // namespace

void RunFileCommand(App& app, FileCommand command, const std::string& name, bool cancelled) {
    SavedSelection saved;
    Selection& selection = app.selection;
    switch (command) {
        case FileCommand::kSave:
            saved.value = static_cast<int32_t>(selection.value);
            std::copy(std::begin(selection.highlights), std::end(selection.highlights),
                      saved.highlights);
            saved.view = SavedView{app.view.transparent ? 1 : 0, app.view.orthographic ? 1 : 0,
                                   app.view.scale, app.view.xAngle, app.view.yAngle};
            SaveGame(app.controller, name, saved, cancelled);
            break;
        case FileCommand::kRestore:
            if (RestoreGame(app.controller, name, saved, cancelled)) {
                selection.value = static_cast<unsigned>(saved.value);
                // A restored selection is picked as if clicked: the next click moves from it.
                selection.firstPick = selection.value;
                selection.secondPick = kNothingSelected;
                std::copy(std::begin(saved.highlights), std::end(saved.highlights),
                          selection.highlights);
                RestoreView(app, saved.view);
            }
            break;
        case FileCommand::kList:
            ListGameToFile(app.controller, name, cancelled);
            break;
    }
}

void DrawFilePrompt(const App& app) {
    if (!app.filePrompt.open) return;
    const PanelDrawing drawing;
    DrawPanel(app.filePrompt);
}

void FollowFilePrompt(App& app) {
    FilePrompt& prompt = app.filePrompt;
    if (prompt.open == prompt.menuDetached) return;
    glutSetMenu(app.mainMenu);
    if (prompt.open) {
        glutDetachMenu(GLUT_RIGHT_BUTTON);
    } else {
        glutAttachMenu(GLUT_RIGHT_BUTTON);
    }
    prompt.menuDetached = prompt.open;
}

}  // namespace tarvex::ui
