// tarvex-tool geometry: prints the squares of a game and every step DirTo gives from them.
//
//   square <index> <file> <rank> <level> <x> <y> <z>     one line per index 0..63
//   dir <square> <direction> <destination>...            one line per non-empty step
//
// Ranks are written as in square names (1..8 in the 2D game, 0..9 in the 3D game); x, y, z
// are the drawing coordinates. Steps come square by square, directions in table-slot order.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "board/attack_boards.h"
#include "board/dir_to.h"
#include "board/geometry.h"
#include "board/position.h"
#include "core/console.h"
#include "text/square_names.h"
#include "tool_commands.h"

namespace tarvex::tool {
namespace {

constexpr const char* kCommand = "geometry";
constexpr int kPinsGiven = kBoardCount;
constexpr size_t kStepLineSize = 64;  // "dir 63 -17" and four squares fit easily

struct GeometryOptions {
    int game = kGame3D;
    uint32_t pins[kBoardCount] = {kPinQ1, kPinQ6, kPinK1, kPinK6};
};

// A pin by any of its names as written in the pin table ("QL1", "Q1", "q1").
const PinInfo* PinNamed(std::string_view name) {
    for (const PinInfo& pin : kPins) {
        if (name == pin.longName || name == pin.algName || name == pin.shortName) return &pin;
    }
    return nullptr;
}

int ParsePins(std::string_view text, GeometryOptions& options) {
    int count = 0;
    while (true) {
        const size_t comma = text.find(',');
        const std::string name(text.substr(0, comma));
        const PinInfo* pin = PinNamed(name);
        if (pin == nullptr) return ArgumentError(kCommand, "unknown pin '%s'", name.c_str());
        if (count == kPinsGiven) {
            return ArgumentError(kCommand, "--pins takes four pins, one per attack board");
        }
        for (int i = 0; i < count; ++i) {
            if (options.pins[i] == pin->square) {
                return ArgumentError(kCommand, "two boards on pin %s", pin->shortName);
            }
        }
        options.pins[count++] = pin->square;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (count != kPinsGiven) {
        return ArgumentError(kCommand, "--pins takes four pins, one per attack board");
    }
    return kExitOk;
}

int ParseGame(std::string_view text, GeometryOptions& options) {
    if (text == "2d") {
        options.game = kGame2D;
    } else if (text == "3d") {
        options.game = kGame3D;
    } else {
        return ArgumentError(kCommand, "bad game '%s' (use 2d or 3d)", std::string(text).c_str());
    }
    return kExitOk;
}

int ParseArguments(int argc, char** argv, GeometryOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        const bool game = word == "--game";
        if (!game && word != "--pins") {
            const char* problem = word.starts_with("-") ? "unknown option" : "unexpected argument";
            return ArgumentError(kCommand, "%s '%s'", problem, argv[i]);
        }
        if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
        const int status = game ? ParseGame(argv[++i], options) : ParsePins(argv[++i], options);
        if (status != kExitOk) return status;
    }
    return kExitOk;
}

void PrintSquare(const Position& position, const GeometryOptions& options, unsigned square) {
    std::string name = SquareName2D(square);
    int level = SquareLevel(position, square);
    if (options.game == kGame3D) {
        const Place3D place = SquarePlace3D(options.pins, square);
        name = PlaceName3D(place);
        level = place.level;
    }
    const Coords c = SquareCoords(position, Column(square), Row(square));
    ConsolePrint("square %u %c %c %d %g %g %g\n", square, name[0], name[1], level,
                 static_cast<double>(c.x), static_cast<double>(c.y), static_cast<double>(c.z));
}

void PrintSteps(const Position& position, unsigned square) {
    for (int direction : kDirections) {
        StepList out{};
        const int count = DirTo(position, square, direction, out);
        if (count == 0) continue;
        char line[kStepLineSize];
        int length = std::snprintf(line, sizeof line, "dir %u %d", square, direction);
        for (int i = 0; i < count; ++i) {
            length += std::snprintf(line + length, sizeof line - static_cast<size_t>(length), " %u",
                                    static_cast<unsigned>(out.sq[i]));
        }
        ConsolePrint("%s\n", line);
    }
}

}  // namespace

int RunGeometry(int argc, char** argv) {
    GeometryOptions options;
    const int status = ParseArguments(argc, argv, options);
    if (status != kExitOk) return status;
    Position position{};
    position.gameKind = options.game;
    std::memcpy(position.abPin, options.pins, sizeof position.abPin);
    if (options.game == kGame3D) {
        // Build the placement's table first, so that its announcement stays out of the listing.
        ConsoleRedirect discard([](std::string_view) {});
        position.dirTable = &DirTableFor(options.pins);
    }
    for (unsigned square = 0; square < kBoardSquares; ++square)
        PrintSquare(position, options, square);
    for (unsigned square = 0; square < kBoardSquares; ++square) PrintSteps(position, square);
    return kExitOk;
}

}  // namespace tarvex::tool
