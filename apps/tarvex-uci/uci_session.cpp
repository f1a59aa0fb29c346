#include "uci_session.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

#include "core/game_types.h"
#include "core/version.h"
#include "engine/parameter_text.h"
#include "movegen/legal_moves.h"
#include "uci_output.h"

namespace tarvex::uci {
namespace {

using Words = std::vector<std::string>;

constexpr const char* kCommands[] = {"uci",  "isready", "ucinewgame", "position",
                                     "go",   "stop",    "ponderhit",  "setoption",
                                     "quit", "debug",   "register"};

struct DifficultyName {
    const char* name;
    int depth;
};
constexpr DifficultyName kDifficulties[] = {
    {"Easy", kDifficultyEasy}, {"Medium", kDifficultyMedium}, {"Hard", kDifficultyHard}};

Words Split(const std::string& line) {
    std::istringstream stream(line);
    Words words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

// The line from its first known command on (the protocol skips unknown leading tokens).
Words FromFirstCommand(Words words) {
    const auto known = [](const std::string& word) {
        return std::find(std::begin(kCommands), std::end(kCommands), word) != std::end(kCommands);
    };
    words.erase(words.begin(), std::find_if(words.begin(), words.end(), known));
    return words;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Joins words[from, to) with blanks.
std::string Joined(const Words& words, size_t from, size_t to) {
    std::string text;
    for (size_t i = from; i < to && i < words.size(); ++i) text += (i > from ? " " : "") + words[i];
    return text;
}

bool ReadInt(const std::string& text, int low, int high, int& out) {
    int value = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (problem != std::errc{} || end != text.data() + text.size()) return false;
    if (value < low || value > high) return false;
    out = value;
    return true;
}

// The engine's maximum depth for a go depth (0: none): the deepening stops below it, and its
// first depth is 2, which go depth 1 gets too.
int MaxDepth(int64_t depth, int difficulty) {
    constexpr int kFirstSearchedDepth = 2;
    const int64_t wanted = depth > 0 ? std::min<int64_t>(depth + 1, difficulty) : difficulty;
    return static_cast<int>(std::max<int64_t>(wanted, kFirstSearchedDepth + 1));
}

bool SingleLegalMove(const Position& position) {
    auto scratch = std::make_unique<Position>(position);
    auto list = std::make_unique<LegalMoveList>();
    return ListLegalMoves(*scratch, *list) == 1;
}

void Problem(const std::string& text) {
    SendLine("info string " + text);
}

}  // namespace

UciSession::UciSession()
    : engine_(std::make_unique<engine::Engine>()),
      search_(std::make_unique<SearchThread>(*engine_)),
      difficulty_(kDifficultyHard) {}

UciSession::~UciSession() {
    search_->Stop();
}

bool UciSession::Handle(const std::string& line) {
    const Words words = FromFirstCommand(Split(line));
    if (words.empty()) {
        if (!Split(line).empty()) Problem("unknown command '" + Split(line)[0] + "'");
        return true;
    }
    const std::string& command = words[0];
    if (command == "uci") {
        Identify();
    } else if (command == "isready") {
        SendLine("readyok");
    } else if (command == "ucinewgame") {
        NewGame();
    } else if (command == "position") {
        SetPosition(words);
    } else if (command == "go") {
        Go(words);
    } else if (command == "stop") {
        search_->Stop();
    } else if (command == "ponderhit") {
        search_->PonderHit();
    } else if (command == "setoption") {
        SetOption(words);
    } else if (command == "quit") {
        search_->Stop();
        return false;
    }
    return true;  // debug and register change nothing
}

void UciSession::Identify() const {
    SendLine(std::string("id name ") + kProgramName + " " + kVersionMajor + "." + kVersionMinor);
    SendLine("id author the Tarvex developers");
    SendLine("option name Hash type spin default " +
             std::to_string(engine::kDefaultTableMegabytes) + " min " +
             std::to_string(kMinHashMegabytes) + " max " + std::to_string(kMaxHashMegabytes));
    SendLine("option name Clear Hash type button");
    SendLine("option name Move Overhead type spin default " + std::to_string(kDefaultOverheadMs) +
             " min 0 max " + std::to_string(kMaxOverheadMs));
    SendLine("option name Difficulty type combo default Hard var Easy var Medium var Hard");
    SendLine(
        "option name Thinking type combo default Clock var Clock var Classic var 1 var 3 "
        "var 10 var 30");
    SendLine("option name ParamFile type string default <empty>");
    SendLine("uciok");
}

void UciSession::NewGame() {
    search_->Stop();
    engine_->NewGame();
    positions_.Reset();
}

// setoption name <name words> [value <value words>]
void UciSession::SetOption(const Words& words) {
    const auto nameAt = std::find(words.begin(), words.end(), "name");
    const auto valueAt = std::find(words.begin(), words.end(), "value");
    if (nameAt == words.end()) return Problem("setoption needs a name");
    const size_t first = static_cast<size_t>(nameAt - words.begin()) + 1;
    const size_t last = static_cast<size_t>(valueAt - words.begin());
    const std::string name = Lower(Joined(words, first, last));
    const std::string value = valueAt == words.end() ? "" : Joined(words, last + 1, words.size());
    // Options change the engine only between searches.
    search_->Stop();
    int number = 0;
    if (name == "hash") {
        if (!ReadInt(value, kMinHashMegabytes, kMaxHashMegabytes, number)) {
            return Problem("bad value '" + value + "' for Hash (use 1 to 1024)");
        }
        engine_->SetTableSize(number);
    } else if (name == "clear hash") {
        engine_->NewGame();
    } else if (name == "move overhead") {
        if (!ReadInt(value, 0, kMaxOverheadMs, number)) {
            return Problem("bad value '" + value + "' for Move Overhead (use 0 to 5000)");
        }
        overheadMs_ = number;
    } else if (name == "difficulty") {
        for (const DifficultyName& level : kDifficulties) {
            if (Lower(value) == Lower(level.name)) return void(difficulty_ = level.depth);
        }
        Problem("bad value '" + value + "' for Difficulty (use Easy, Medium or Hard)");
    } else if (name == "thinking") {
        SetThinking(value);
    } else if (name == "paramfile") {
        SetParamFile(value);
    } else {
        Problem("unknown option '" + Joined(words, first, last) + "'");
    }
}

// Clock: the go command's limits and clock; Classic or a number of seconds: the game's level.
void UciSession::SetThinking(const std::string& value) {
    if (Lower(value) == "clock") return thinking_.reset();
    if (const std::optional<ThinkingTime> thinking = ParseThinkingTime(Lower(value))) {
        thinking_ = *thinking;
        return;
    }
    Problem("bad value '" + value + "' for Thinking (use Clock, Classic, 1, 3, 10 or 30)");
}

// The evaluation's parameters from a file, or the built-in ones for an empty path. A file that
// does not read changes nothing.
void UciSession::SetParamFile(const std::string& path) {
    auto book = std::make_unique<engine::ParameterBook>(engine::BuiltInParameters());
    std::string error;
    if (!path.empty() && path != "<empty>" && !engine::ReadParameterFile(path, *book, error)) {
        return Problem(error + "; the parameters stay as they were");
    }
    engine_->SetParameters(*book);
}

void UciSession::SetPosition(const Words& words) {
    std::string error;
    if (!positions_.Read(words, error)) {
        Problem(error + "; the position stays as it was");
    }
}

void UciSession::Go(const Words& words) {
    const Clock::time_point start = Clock::now();
    search_->Stop();
    const GoCommand go = ReadGoCommand(words);
    const Position& root = *positions_.Game().position;
    SearchJob job;
    job.game = positions_.Game();
    job.start = start;
    job.maxDepth = MaxDepth(go.depth, difficulty_);
    job.nodes = go.nodes > 0 ? static_cast<uint64_t>(go.nodes) : 0;
    job.holdBestMove = go.infinite || go.ponder;
    job.pondering = go.ponder;
    if (thinking_) {
        // The game's level, whatever the go command's clock and limits say.
        job.level = LimitsFor(difficulty_, *thinking_);
    } else if (!go.infinite) {
        job.budget = PlanTime(go, WhiteToMove(root), overheadMs_, SingleLegalMove(root));
    }
    search_->Start(std::move(job));
}

}  // namespace tarvex::uci
