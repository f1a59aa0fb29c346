// tarvex-tool play: the game controller without a window. One command a line, from standard
// input or a script file; the console shows exactly what the program prints, and the tool's
// own answers are lines starting with "= " (or "error: "), which the program never prints.
//
// The engine plays its side as in the window: after every command, while the engine is to move,
// the session ticks the controller (the plays-both rule) and has the engine search and commit
// its move on this thread.
#include <cctype>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "board/attack_boards.h"
#include "board/geometry.h"
#include "core/console.h"
#include "engine/engine.h"
#include "game/edit_action.h"
#include "game/game_controller.h"
#include "game/game_flow.h"
#include "game/game_pgn.h"
#include "game/save_game.h"
#include "game/user_move.h"
#include "movegen/legal_moves.h"
#include "rules/make_move.h"
#include "text/notation.h"
#include "text/position_text.h"
#include "text/square_names.h"
#include "tool_commands.h"

namespace tarvex::tool {
namespace {

// Answers a promotion question with the letter the move command gave (a queen by default).
class ScriptedPromotion : public platform::PromotionChoice {
public:
    void Set(int piece) { piece_ = piece; }
    int Choose() override { return piece_; }

private:
    int piece_ = kQueen;
};

using Words = std::vector<std::string>;

void Answer(const std::string& text) {
    ConsolePrint("\n= %s", text.c_str());
}
void Error(const std::string& text) {
    ConsolePrint("\nerror: %s", text.c_str());
}

bool ParseInt(const std::string& word, long& out) {
    char* end = nullptr;
    out = std::strtol(word.c_str(), &end, 10);
    return !word.empty() && end != nullptr && *end == 0;
}

// A square as an index 0..63, or a 2D name like e2.
bool ParseSquare(const Position& position, const std::string& word, unsigned& out) {
    long index;
    if (ParseInt(word, index)) {
        if (index < 0 || index > 63) return false;
        out = static_cast<unsigned>(index);
        return true;
    }
    if (Is3D(position)) return false;
    const std::optional<unsigned> named = ParseSquare2D(word);
    if (named) out = *named;
    return named.has_value();
}

bool ParsePin(const std::string& word, unsigned& out) {
    for (const PinInfo& pin : kPins) {
        if (word == pin.shortName || word == pin.longName || word == pin.algName) {
            out = pin.square;
            return true;
        }
    }
    return false;
}

constexpr char kEditPieceLetters[] = "PNBRQK";

int PromotionPiece(const std::string& word) {
    if (word == "q") return kQueen;
    if (word == "r") return kRook;
    if (word == "b") return kBishop;
    if (word == "n") return kKnight;
    return 0;
}

class PlaySession {
public:
    explicit PlaySession(const engine::ParameterBook& book) : engine_(book) {
        controller_.SetPromotionChoice(&promotion_);
        ConnectEngine(controller_, engine_);
    }

    void Run(std::istream& in) {
        std::string line;
        while (std::getline(in, line)) {
            Execute(line);
            EngineTurns();
        }
        ConsolePrint("\n");
    }

private:
    void Execute(const std::string& line) {
        std::istringstream stream(line);
        Words words;
        for (std::string word; stream >> word;) words.push_back(word);
        if (words.empty() || words[0][0] == '#') return;
        const std::string& command = words[0];
        if (command == "new") return New(words);
        if (command == "rules") {
            return Choice(words, {"tournament", "standard"},
                          [this](int i) { controller_.SetRules(i); });
        }
        if (command == "notation") {
            return Choice(words, {"tournament", "standard", "algebraic"},
                          [this](int i) { controller_.SetNotation(i); });
        }
        if (command == "engine") {
            static constexpr int kSides[] = {0, 1, -1};
            return Choice(words, {"none", "white", "black", "both"}, [this](int i) {
                if (i == 3) return controller_.SetPlaysBoth(true);
                controller_.SetEngineSide(kSides[i]);
            });
        }
        if (command == "difficulty") {
            static constexpr int kLevels[] = {kDifficultyEasy, kDifficultyMedium, kDifficultyHard};
            return Choice(words, {"easy", "medium", "hard"},
                          [this](int i) { controller_.SetDifficulty(kLevels[i]); });
        }
        if (command == "think") return Think(words);
        if (command == "hint") return words.size() == 1 ? Hint() : Error("usage: hint");
        if (command == "thoughts") {
            return Choice(words, {"off", "on"},
                          [this](int i) { controller_.SetThoughtsShown(i == 1); });
        }
        if (command == "go") return words.size() == 1 ? Go() : Error("usage: go");
        if (command == "setup") return SetUp(line);
        if (command == "move") return PlayMove(words);
        if (command == "undo")
            return Number(words, [this](long n) { controller_.Undo(static_cast<int>(n)); });
        if (command == "replay")
            return Number(words, [this](long n) { controller_.Replay(static_cast<int>(n)); });
        if (command == "endreplay") return controller_.EndReplay();
        if (command == "list") return List(words);
        if (command == "save") return SaveOrRestore(words, true);
        if (command == "restore") return SaveOrRestore(words, false);
        if (command == "edit") return Edit(words);
        if (command == "pos") return Answer(WritePositionText(controller_.Current()));
        if (command == "moves") return ListMoves();
        if (command == "pgn") return WritePgnFile(words);
        Error("unknown command '" + command + "'");
    }

    void New(const Words& words) {
        if (words.size() != 2 || (words[1] != "2" && words[1] != "3"))
            return Error("usage: new 2|3");
        controller_.NewGame(words[1] == "2" ? kGame2D : kGame3D);
    }

    // Calls choose with the index of the word among names.
    void Choice(const Words& words, std::vector<const char*> names,
                const std::function<void(int)>& choose) {
        for (size_t i = 0; words.size() == 2 && i < names.size(); ++i) {
            if (words[1] != names[i]) continue;
            choose(static_cast<int>(i));
            return;
        }
        Error("bad argument for " + words[0]);
    }

    // setup TEXT: the position text of the current game kind becomes the game's current and
    // start position.
    void SetUp(const std::string& line) {
        const std::string text = line.substr(line.find("setup") + 5);
        const Position& current = controller_.Current();
        auto position = std::make_unique<Position>();
        std::string error;
        bool read = false;
        {
            ConsoleCapture quiet;  // the announcement of a new attack-board placement
            read = ReadPositionText(current.gameKind, controller_.Options().rules, text, *position,
                                    error);
        }
        if (!read) return Error("bad position: " + error);
        controller_.SetUpPosition(*position);
    }

    template <typename Action>
    void Number(const Words& words, Action action) {
        long value;
        if (words.size() != 2 || !ParseInt(words[1], value) || value < -100000 || value > 100000) {
            return Error("usage: " + words[0] + " N");
        }
        action(value);
    }

    void PlayMove(const Words& words) {
        Move move;
        if (BuildMove(words, move)) controller_.UserMove(move);
    }

    // The engine's side of the game after a command: while the engine is to move, the
    // plays-both rule, then one search and commit. The play ends when the engine has no move to
    // make, the game is decided, the record is full, or a move was not committed.
    void EngineTurns() {
        for (;;) {
            controller_.Tick();
            const Position& p = controller_.Current();
            if (p.winner != 0 || PlyLimitReached(p)) return;
            const unsigned ply = p.ply;
            if (!controller_.PlayEngineMove(engine_)) return;
            if (controller_.Current().ply == ply) return;
        }
    }

    // go: the engine moves once for the side to move, then plays the side it played before.
    void Go() {
        const Position& p = controller_.Current();
        const int side = SideSign(p);
        const int before = controller_.Options().engineSide;
        const bool both = controller_.CurrentGame().block.playsBoth != 0;
        if (p.winner != 0 || PlyLimitReached(p)) return Error("the game is over");
        if (before != side) controller_.SetEngineSide(side);
        const bool moved = controller_.PlayEngineMove(engine_);
        if (before != side) {
            controller_.SetEngineSide(before);
            if (both) controller_.SetPlaysBoth(true);
        }
        if (!moved) Error("the engine has no move to make");
    }

    // think classic|1|3|10|30 (seconds a move), think nodes N: how long the engine thinks.
    void Think(const Words& words) {
        std::optional<ThinkingTime> thinking;
        if (words.size() == 2) thinking = ParseThinkingTime(words[1]);
        if (words.size() == 3) thinking = ParseThinkingBudget(words[1] + ":" + words[2]);
        if (!thinking) return Error("usage: think classic|1|3|10|30 or think nodes N");
        controller_.SetThinkingTime(*thinking);
    }

    // hint: the engine's move for the user's side, at the game's level; the game stays as it
    // is.
    void Hint() {
        if (!controller_.FindHint(engine_)) return Answer("no hint: not your turn");
        const std::optional<GameHint> hint = controller_.CurrentHint();
        if (hint) Answer("hint: " + hint->text);
    }

    bool BuildMove(const Words& words, Move& move) {
        if (words.size() < 3 || words.size() > 4) {
            Error("usage: move FROM TO [q|r|b|n] or move T<board> <pin>");
            return false;
        }
        const Position& p = controller_.Current();
        if (words[1][0] == 'T') {
            long id;
            unsigned pin;
            if (!Is3D(p) || !ParseInt(words[1].substr(1), id) ||
                !IsAttackBoardId(static_cast<int>(id)) || !ParsePin(words[2], pin) ||
                words.size() != 3) {
                Error("bad attack-board move");
                return false;
            }
            move = BuildBoardMove(p, static_cast<int>(id), pin);
            return true;
        }
        unsigned from, to;
        if (!ParseSquare(p, words[1], from) || !ParseSquare(p, words[2], to)) {
            Error("bad square");
            return false;
        }
        int piece = kQueen;
        if (words.size() == 4 && (piece = PromotionPiece(words[3])) == 0) {
            Error("bad promotion letter '" + words[3] + "'");
            return false;
        }
        promotion_.Set(piece);
        move = BuildUserMove(p, from, to);
        return true;
    }

    // The legal moves with their texts as made (a check marked).
    void ListMoves() {
        const Position& current = controller_.Current();
        const int notation = controller_.Options().notation;
        auto list = std::make_unique<MoveTextList>();
        GenerateMoveTexts(current, notation, *list);
        for (int i = 0; i < list->count; ++i) {
            const std::optional<Move> made = FindLegalMove(current, list->moves[i]);
            if (!made) continue;
            char text[kMoveTextSize];
            MadeMoveText(current, *list, *made, notation, text);
            Answer(ToolMoveText(current, list->moves[i]) + " " + text);
        }
    }

    // save FILE, restore FILE: the file name is the one word after the command.
    void SaveOrRestore(const Words& words, bool save) {
        if (words.size() != 2) return Error("usage: " + words[0] + " FILE");
        if (save) {
            SaveGame(controller_, words[1], selection_);
        } else {
            RestoreGame(controller_, words[1], selection_);
        }
    }

    // list: the moves on the console; list FILE: the listing into a file as well.
    void List(const Words& words) {
        if (words.size() == 1) return controller_.ListGame();
        if (words.size() != 2) return Error("usage: list [FILE]");
        ListGameToFile(controller_, words[1]);
    }

    // edit clear|white|black, edit remove SQ, edit add wQ|bN|... SQ: the Edit menu and the
    // click on a square that applies a pending removal or addition.
    void Edit(const Words& words) {
        const std::string what = words.size() >= 2 ? words[1] : "";
        if (words.size() == 2 && (what == "clear" || what == "white" || what == "black")) {
            if (what == "clear") return controller_.EditClearBoard();
            return controller_.EditSideToMove(what == "white");
        }
        EditAction action = EditAction::kNone;
        unsigned square = 0;
        if (what == "remove" && words.size() == 3) {
            action = EditAction::kRemove;
        } else if (what == "add" && words.size() == 4) {
            action = EditAddAction(words[2]);
        }
        if (action == EditAction::kNone) {
            return Error("usage: edit clear|white|black|remove SQ|add wQ|bN|... SQ");
        }
        if (!ParseSquare(controller_.Current(), words.back(), square)) return Error("bad square");
        controller_.ApplyEdit(action, square);
    }

    // The edit action that adds the piece of a word like "wQ" or "bn"; kNone for anything else.
    static EditAction EditAddAction(const std::string& word) {
        if (word.size() != 2 || (word[0] != 'w' && word[0] != 'b')) return EditAction::kNone;
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(word[1])));
        const char* found = std::strchr(kEditPieceLetters, letter);
        if (letter == 0 || found == nullptr) return EditAction::kNone;
        const int piece = static_cast<int>(found - kEditPieceLetters) + 1;
        return AddPieceAction(word[0] == 'w' ? piece : -piece);
    }

    // pgn FILE: the game so far as PGN (2D game); the engine's sides are Tarvex's.
    void WritePgnFile(const Words& words) {
        if (words.size() != 2) return Error("usage: pgn FILE");
        const bool both = controller_.CurrentGame().block.playsBoth != 0;
        const int engineSide = controller_.Options().engineSide;
        PgnHeader header;
        header.event = "Tarvex game";
        header.site = "tarvex-tool";
        header.date = PgnToday();
        header.white = both || engineSide > 0 ? "Tarvex" : "Player";
        header.black = both || engineSide < 0 ? "Tarvex" : "Player";
        std::string text, error;
        const char* result = PgnResultOf(controller_.Current());
        if (!WriteGamePgn(controller_.CurrentGame(), header, result, text, error)) {
            return Error(error);
        }
        std::ofstream file(words[1]);
        if (!(file << text) || !file.flush()) return Error("cannot write '" + words[1] + "'");
        Answer("pgn written to " + words[1]);
    }

    ScriptedPromotion promotion_;
    SavedSelection selection_;  // nothing is selected without a window
    engine::Engine engine_;
    GameController controller_;
};

}  // namespace

int RunPlay(int argc, char** argv) {
    std::ifstream file;
    auto book = std::make_unique<engine::ParameterBook>(engine::BuiltInParameters());
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--script") == 0 && i + 1 < argc) {
            file.open(argv[++i]);
            if (!file) return ArgumentError("play", "cannot read the script '%s'", argv[i]);
        } else if (std::strcmp(argv[i], "--params") == 0 && i + 1 < argc) {
            if (ParamsOption("play", argv[++i], *book) != kExitOk) return kExitUsage;
        } else {
            return ArgumentError("play", "unknown argument '%s'", argv[i]);
        }
    }
    PlaySession session(*book);
    session.Run(file.is_open() ? static_cast<std::istream&>(file) : std::cin);
    return kExitOk;
}

}  // namespace tarvex::tool
