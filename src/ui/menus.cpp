#include "ui/menus.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <span>

#include "core/error_report.h"
#include "ui/file_prompt.h"
#include "ui/main_window.h"
#include "ui/view.h"

namespace tarvex::ui {
namespace {

struct Entry {
    const char* label;
    int value;
};

constexpr int kQuitValue = 3;
constexpr int kEngineBoth = 2;
constexpr int kGameNew = 0, kGameList = 2, kGameSave = 5, kGameRestore = 6, kGameHint = 7;
// The Thinking time entries' values: 0 for the classic budget, else the seconds.
constexpr int kThinkingClassic = 0;
constexpr int kThinkingNone = -1;  // a budget the menu does not offer
constexpr int kViewReset = 3, kViewBlack = 4;
// The Edit menu's own entries; Remove piece hands over its edit action's value.
constexpr int kEditRemove = static_cast<int>(EditAction::kRemove);
constexpr int kEditClear = 2, kEditWhiteMoves = 3, kEditBlackMoves = 4;
static_assert(kEditClear != kEditRemove && kEditWhiteMoves != kEditRemove &&
              kEditBlackMoves != kEditRemove);

constexpr int AddValue(int code) {
    return static_cast<int>(AddPieceAction(code));
}

constexpr Entry kEngineEntries[] = {
    {"Plays white", 1}, {"Plays black", -1}, {"Plays both", kEngineBoth}, {"Does not play", 0}};
constexpr Entry kDifficultyEntries[] = {
    {"Easy", kDifficultyEasy}, {"Medium", kDifficultyMedium}, {"Hard", kDifficultyHard}};
constexpr Entry kThinkingEntries[] = {{"Classic", kThinkingClassic},
                                      {"1 second", kThinkingSeconds[0]},
                                      {"3 seconds", kThinkingSeconds[1]},
                                      {"10 seconds", kThinkingSeconds[2]},
                                      {"30 seconds", kThinkingSeconds[3]}};
constexpr Entry kUndoEntries[] = {
    {"1 ply", 1}, {"2 plies", 2}, {"4 plies", 4}, {"8 plies", 8}, {"16 plies", 16}};
constexpr Entry kModeEntries[] = {{"2D", kGame2D}, {"3D", kGame3D}};
constexpr Entry kRulesEntries[] = {{"Tournament", kRulesTournament}, {"Standard", kRulesStandard}};
constexpr Entry kNotationEntries[] = {{"Tournament", kNotationTournament},
                                      {"Standard", kNotationStandard},
                                      {"Algebraic", kNotationAlgebraic}};
constexpr Entry kSpreadEntries[] = {
    {"Off", kSpreadOff}, {"Piece", kSpreadPiece}, {"Team", kSpreadTeam}};
constexpr Entry kProjectionEntries[] = {{"Perspective", 0}, {"Orthographic", 1}};
constexpr Entry kOffOnEntries[] = {{"Off", 0}, {"On", 1}};
constexpr Entry kOpacityEntries[] = {{"Transparent", 1}, {"Opaque", 0}};
constexpr Entry kWhitePieceEntries[] = {
    {"Pawn", AddValue(kPawn)}, {"Knight", AddValue(kKnight)}, {"Bishop", AddValue(kBishop)},
    {"Rook", AddValue(kRook)}, {"Queen", AddValue(kQueen)},   {"King", AddValue(kKing)}};
constexpr Entry kBlackPieceEntries[] = {
    {"Pawn", AddValue(-kPawn)}, {"Knight", AddValue(-kKnight)}, {"Bishop", AddValue(-kBishop)},
    {"Rook", AddValue(-kRook)}, {"Queen", AddValue(-kQueen)},   {"King", AddValue(-kKing)}};
// The entries after the submenus.
constexpr Entry kEditEntries[] = {{"Remove piece", kEditRemove},
                                  {"White's move", kEditWhiteMoves},
                                  {"Black's move", kEditBlackMoves},
                                  {"Clear board", kEditClear}};
constexpr Entry kGameEntries[] = {{"New game", kGameNew},
                                  {"List game", kGameList},
                                  {"Save game", kGameSave},
                                  {"Restore game", kGameRestore},
                                  {"Hint", kGameHint}};
constexpr Entry kViewEntries[] = {{"BlackView", kViewBlack}, {"Reset View", kViewReset}};

// The labels of a radio-style submenu: the chosen entry in capitals, the others in lower case.
std::vector<std::string> RadioLabels(std::span<const Entry> entries, int chosen) {
    std::vector<std::string> labels;
    for (const Entry& entry : entries) {
        std::string label = entry.label;
        for (char& c : label) {
            const auto u = static_cast<unsigned char>(c);
            c = static_cast<char>(entry.value == chosen ? std::toupper(u) : std::tolower(u));
        }
        labels.push_back(std::move(label));
    }
    return labels;
}

// The radio-style submenus whose handlers rewrite their own labels.
std::span<const Entry> LabelledEntries(Menu menu) {
    switch (menu) {
        case Menu::kEngine:
            return kEngineEntries;
        case Menu::kRules:
            return kRulesEntries;
        case Menu::kNotation:
            return kNotationEntries;
        case Menu::kThinking:
            return kThinkingEntries;
        default:
            return {};
    }
}

// Writes labels over the entries of GLUT's current menu.
void ChangeLabels(std::span<const Entry> entries, const std::vector<std::string>& labels) {
    for (size_t i = 0; i < labels.size() && i < entries.size(); ++i) {
        glutChangeToMenuEntry(static_cast<int>(i + 1), labels[i].c_str(), entries[i].value);
    }
}

MenuOutcome EngineCommand(GameController& controller, int value) {
    if (value == kEngineBoth) {
        controller.SetPlaysBoth(true);  // the engine side stays
    } else if (value == 1 || value == -1 || value == 0) {
        controller.SetEngineSide(value);
    } else {
        return {};
    }
    return {false, RadioLabels(kEngineEntries, value)};
}

MenuOutcome GameCommand(App& app, int value) {
    switch (value) {
        case kGameNew:
            app.controller.NewGameOfCurrentKind();  // prints the banner first
            break;
        case kGameList:
            OpenFilePrompt(app, FileCommand::kList);
            break;
        case kGameSave:
            OpenFilePrompt(app, FileCommand::kSave);
            break;
        case kGameRestore:
            OpenFilePrompt(app, FileCommand::kRestore);
            break;
        case kGameHint:
            app.controller.RequestHint();
            break;
        default:
            ErrorReport(kStable, "unknown selection @ DoGameMenu");
            break;
    }
    return {};
}

MenuOutcome ThinkingCommand(GameController& controller, int value) {
    ThinkingTime thinking;
    if (value != kThinkingClassic) {
        const auto seconds =
            std::find(std::begin(kThinkingSeconds), std::end(kThinkingSeconds), value);
        if (seconds == std::end(kThinkingSeconds)) return {};
        thinking = {ThinkingTime::Kind::kSeconds, value};
    }
    controller.SetThinkingTime(thinking);
    return {false, ThinkingLabels(thinking)};
}

void EditCommand(App& app, int value) {
    GameController& controller = app.controller;
    app.view.editAction = EditAction::kNone;
    switch (value) {
        case kEditRemove:
            app.view.editAction = EditAction::kRemove;
            break;
        case kEditClear:
            controller.EditClearBoard();
            break;
        case kEditWhiteMoves:
        case kEditBlackMoves:
            controller.EditSideToMove(value == kEditWhiteMoves);
            break;
        default:
            break;
    }
}

// The GLUT callback of one menu. While the promotion chooser or the file prompt is open every
// choice is ignored.
template <Menu menu>
void MenuChosen(int value) {
    App& app = TheApp();
    if (!ModalOpen(app)) {
        const MenuOutcome outcome = MenuCommand(app, menu, value);
        ChangeLabels(LabelledEntries(menu), outcome.labels);  // the chosen one is current
        if (outcome.quit) Quit();
        FollowFilePrompt(app);
    }
    glutPostRedisplay();
}

void AddEntries(std::span<const Entry> entries) {
    for (const Entry& entry : entries) glutAddMenuEntry(entry.label, entry.value);
}

int CreateMenu(void (*handler)(int), std::span<const Entry> entries) {
    const int menu = glutCreateMenu(handler);
    AddEntries(entries);
    return menu;
}

}  // namespace

MenuOutcome MenuCommand(App& app, Menu menu, int value) {
    GameController& controller = app.controller;
    View& view = app.view;
    const int gameKind = controller.Current().gameKind;
    if (menu != Menu::kGame || value != kGameHint) controller.ClearHint();
    switch (menu) {
        case Menu::kMain:
            if (value == kQuitValue) return {true, {}};
            ErrorReport(kStable, "Unknown main menu value");
            break;
        case Menu::kGame:
            return GameCommand(app, value);
        case Menu::kEngine:
            return EngineCommand(controller, value);
        case Menu::kDifficulty:
            controller.SetDifficulty(value);  // the hook rewrites the labels
            break;
        case Menu::kThinking:
            return ThinkingCommand(controller, value);
        case Menu::kUndo:
            controller.Undo(value);
            break;
        case Menu::kMode:
            controller.NewGame(value);
            break;
        case Menu::kRules:
            controller.SetRules(value);
            return {false, RadioLabels(kRulesEntries, value)};
        case Menu::kNotation:
            controller.SetNotation(value);
            return {false, RadioLabels(kNotationEntries, value)};
        case Menu::kSpread:
            controller.SetSpread(value);
            break;
        case Menu::kProjection:
            view.orthographic = value == 1;
            break;
        case Menu::kAxes:
            view.axes = value == 1;
            break;
        case Menu::kOpacity:
            view.transparent = value == 1;
            break;
        case Menu::kCaptured:
            view.capturedShown = value == 1;
            break;
        case Menu::kView:
            if (value == kViewReset) {
                ViewReset(view, gameKind);
            } else if (value == kViewBlack) {
                BlackView(view, gameKind);
            } else {
                ErrorReport(kStable, "Unknown View Menu value");
            }
            break;
        case Menu::kEdit:
            EditCommand(app, value);
            break;
        case Menu::kAddPiece:
            view.editAction = EditActionFromValue(value);
            break;
    }
    return {};
}

std::vector<std::string> DifficultyLabels(int difficulty) {
    const bool named = difficulty == kDifficultyMedium || difficulty == kDifficultyHard;
    return RadioLabels(kDifficultyEntries, named ? difficulty : kDifficultyEasy);
}

std::vector<std::string> ThinkingLabels(ThinkingTime thinking) {
    int chosen = kThinkingNone;
    if (thinking.kind == ThinkingTime::Kind::kClassic) chosen = kThinkingClassic;
    if (thinking.kind == ThinkingTime::Kind::kSeconds) chosen = static_cast<int>(thinking.amount);
    return RadioLabels(kThinkingEntries, chosen);
}

void ShowDifficultyLabels(App& app, int difficulty) {
    const int current = glutGetMenu();
    glutSetMenu(app.difficultyMenu);
    ChangeLabels(kDifficultyEntries, DifficultyLabels(difficulty));
    if (current != 0) glutSetMenu(current);
}

void BuildMenus(App& app) {
    const GameOptions& options = app.controller.Options();
    // The radio-style submenus show the current choice from the start (the Difficulty labels
    // stay as created until a choice or a new game rewrites them).
    const int rules = CreateMenu(MenuChosen<Menu::kRules>, kRulesEntries);
    ChangeLabels(kRulesEntries, RadioLabels(kRulesEntries, options.rules));
    const int notation = CreateMenu(MenuChosen<Menu::kNotation>, kNotationEntries);
    ChangeLabels(kNotationEntries, RadioLabels(kNotationEntries, options.notation));
    const int engine = CreateMenu(MenuChosen<Menu::kEngine>, kEngineEntries);
    ChangeLabels(kEngineEntries, MenuCommand(app, Menu::kEngine, -1).labels);
    app.difficultyMenu = CreateMenu(MenuChosen<Menu::kDifficulty>, kDifficultyEntries);
    const int thinking = CreateMenu(MenuChosen<Menu::kThinking>, kThinkingEntries);
    ChangeLabels(kThinkingEntries, ThinkingLabels(options.thinking));
    const int undo = CreateMenu(MenuChosen<Menu::kUndo>, kUndoEntries);
    const int spread = CreateMenu(MenuChosen<Menu::kSpread>, kSpreadEntries);
    const int whitePieces = CreateMenu(MenuChosen<Menu::kAddPiece>, kWhitePieceEntries);
    const int blackPieces = CreateMenu(MenuChosen<Menu::kAddPiece>, kBlackPieceEntries);

    const int edit = glutCreateMenu(MenuChosen<Menu::kEdit>);
    glutAddSubMenu("Add white ...", whitePieces);
    glutAddSubMenu("Add black ...", blackPieces);
    AddEntries(kEditEntries);

    const int game = glutCreateMenu(MenuChosen<Menu::kGame>);
    glutAddSubMenu("Tarvex", engine);
    glutAddSubMenu("Difficulty", app.difficultyMenu);
    glutAddSubMenu("Thinking time", thinking);
    glutAddSubMenu("Undo", undo);
    AddEntries(kGameEntries);

    const int projection = CreateMenu(MenuChosen<Menu::kProjection>, kProjectionEntries);
    const int axes = CreateMenu(MenuChosen<Menu::kAxes>, kOffOnEntries);
    const int captured = CreateMenu(MenuChosen<Menu::kCaptured>, kOffOnEntries);
    const int opacity = CreateMenu(MenuChosen<Menu::kOpacity>, kOpacityEntries);
    const int view = glutCreateMenu(MenuChosen<Menu::kView>);
    glutAddSubMenu("Projection", projection);
    glutAddSubMenu("Axes", axes);
    glutAddSubMenu("Opacity", opacity);
    glutAddSubMenu("Captured", captured);
    AddEntries(kViewEntries);

    const int mode = CreateMenu(MenuChosen<Menu::kMode>, kModeEntries);

    glutCreateMenu(MenuChosen<Menu::kMain>);
    glutAddSubMenu("Game", game);
    glutAddSubMenu("Mode", mode);
    glutAddSubMenu("Rules", rules);
    glutAddSubMenu("Notation", notation);
    glutAddSubMenu("Spread", spread);
    glutAddSubMenu("View", view);
    glutAddSubMenu("Edit", edit);
    glutAddMenuEntry("Quit", kQuitValue);
    glutAttachMenu(GLUT_RIGHT_BUTTON);

    GameController& controller = app.controller;
    ControllerHooks hooks = controller.Hooks();
    hooks.difficulty = [&app](int difficulty) { ShowDifficultyLabels(app, difficulty); };
    controller.SetHooks(std::move(hooks));
}

}  // namespace tarvex::ui
