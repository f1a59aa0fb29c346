// tarvex-tool moves: the legal moves of a position, one a line, sorted.
//
//   2D game   e2e4, e7e8q (promotion letter), castling as the king's move (e1g1)
//   3D game   33-2, 25-26q: square indexes and the promotion letter;
//             T100:q1-q3: attack board 100 from pin q1 to pin q3
//
// Also the position options and move texts that perft shares.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <regex>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "board/attack_boards.h"
#include "core/console.h"
#include "movegen/legal_moves.h"
#include "rules/initial_position.h"
#include "text/position_text.h"
#include "text/square_names.h"
#include "tool_commands.h"

namespace tarvex::tool {
namespace {

constexpr const char* kCommand = "moves";

int ParseGame(const char* command, std::string_view word, ToolPosition& out) {
    if (word == "2d") {
        out.game = kGame2D;
    } else if (word == "3d") {
        out.game = kGame3D;
    } else {
        return ArgumentError(command, "bad game '%s' (use 2d or 3d)", std::string(word).c_str());
    }
    return kExitOk;
}

int ParseRules(const char* command, std::string_view word, ToolPosition& out) {
    if (word == "tournament") {
        out.rules = kRulesTournament;
    } else if (word == "standard") {
        out.rules = kRulesStandard;
    } else {
        return ArgumentError(command, "bad rules '%s' (use tournament or standard)",
                             std::string(word).c_str());
    }
    return kExitOk;
}

char PromotionLetter(const Move& move) {
    return IsPromotionKind(move.kind)
               ? static_cast<char>(std::tolower(static_cast<unsigned char>(KindChar(move.kind))))
               : 0;
}

// Sorting key: piece moves before attack-board moves, then squares, then promotion letter.
bool MoveBefore(const Move& a, const Move& b) {
    const auto key = [](const Move& m) {
        return std::make_tuple(IsBoardMove(m), m.from, m.to, PromotionLetter(m));
    };
    return key(a) < key(b);
}

int ParseArguments(int argc, char** argv, ToolPosition& options) {
    for (int i = 1; i < argc; ++i) {
        const int status = ParseToolPosition(kCommand, argc, argv, i, options);
        if (status == kExitOk) continue;
        if (status != -1) return status;
        if (argv[i][0] == '-') return ArgumentError(kCommand, "unknown option '%s'", argv[i]);
        return ArgumentError(kCommand, "unexpected argument '%s'", argv[i]);
    }
    return kExitOk;
}

}  // namespace

int ParseToolPosition(const char* command, int argc, char** argv, int& i, ToolPosition& out) {
    const std::string_view word = argv[i];
    if (word != "--game" && word != "--rules" && word != "--pos") return -1;
    if (i + 1 == argc) return ArgumentError(command, "missing value after %s", argv[i]);
    const char* value = argv[++i];
    if (word == "--game") return ParseGame(command, value, out);
    if (word == "--rules") return ParseRules(command, value, out);
    out.text = value;
    return kExitOk;
}

int SetUpToolPosition(const char* command, const ToolPosition& options, Position& out) {
    const std::string_view text =
        options.text != nullptr ? std::string_view(options.text) : StartPositionText(options.game);
    std::string error;
    bool read = false;
    RunQuietly([&] { read = ReadPositionText(options.game, options.rules, text, out, error); });
    if (!read) return ArgumentError(command, "bad position: %s", error.c_str());
    return kExitOk;
}

void RunQuietly(const std::function<void()>& work) {
    std::string printed;
    {
        ConsoleCapture capture;
        work();
        printed = capture.Text();
    }
    static const std::regex kBuildNotice("\nBuilding [a-z0-9?]* #[0-9]+");
    const std::string rest = std::regex_replace(printed, kBuildNotice, "");
    if (!rest.empty()) std::fprintf(stderr, "%s\n", rest.c_str());
}

std::string ToolMoveText(const Position& position, const Move& move) {
    const char letter = PromotionLetter(move);
    std::string text;
    if (IsBoardMove(move)) {
        text = "T" + std::to_string(move.piece) + ":" + ShortPinName(move.from) + "-" +
               ShortPinName(move.to);
    } else if (Is3D(position)) {
        text = std::to_string(move.from) + "-" + std::to_string(move.to);
    } else {
        text = SquareName2D(move.from) + SquareName2D(move.to);
    }
    if (letter != 0) text += letter;
    return text;
}

int RunMoves(int argc, char** argv) {
    ToolPosition options;
    const int status = ParseArguments(argc, argv, options);
    if (status != kExitOk) return status;
    Position position;
    if (SetUpToolPosition(kCommand, options, position) != kExitOk) return kExitUsage;
    std::vector<Move> moves;
    RunQuietly([&] { moves = LegalMoves(position); });
    std::sort(moves.begin(), moves.end(), MoveBefore);
    for (const Move& move : moves) ConsolePrint("%s\n", ToolMoveText(position, move).c_str());
    return kExitOk;
}

}  // namespace tarvex::tool
