#include "game/save_check.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <optional>

#include "board/attack_boards.h"
#include "board/geometry.h"
#include "core/game_types.h"
#include "game/game_options.h"
#include "game/game_setup.h"
#include "game/highlight.h"
#include "movegen/legal_moves.h"
#include "rules/attacks.h"
#include "rules/initial_position.h"
#include "rules/make_move.h"
#include "rules/position_setup.h"

namespace tarvex {
namespace {

constexpr int kMaxPieceCode = kKing;
constexpr int kSquares = static_cast<int>(kBoardSquares);
constexpr unsigned kMaxStage = 3;
constexpr int kNoSelection = 65;
constexpr uint32_t kKeptStartFlags = kCastlingRights | kWhiteCastled | kBlackCastled;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

bool OneOf(int value, std::initializer_list<int> allowed) {
    for (int a : allowed) {
        if (value == a) return true;
    }
    return false;
}

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

bool ValidAngle(float angle) {
    return std::isfinite(angle) && angle >= 0.0f && angle < 360.0f;
}

// The user's choices and the view settings.
std::string CheckSettings(const SaveImage& image) {
    if (!OneOf(image.gameKind, {kGame2D, kGame3D}))
        return Format("game kind %d out of range", image.gameKind);
    if (!InRange(image.rules, kRulesTournament, kRulesStandard))
        return Format("rules %d out of range", image.rules);
    if (!image.olderLayout && !InRange(image.notation, kNotationTournament, kNotationAlgebraic))
        return Format("notation %d out of range", image.notation);
    if (!image.olderLayout &&
        !OneOf(image.difficulty, {kDifficultyEasy, kDifficultyMedium, kDifficultyHard}))
        return Format("difficulty %d out of range", image.difficulty);
    if (!InRange(image.engineSide, -1, 1))
        return Format("engine side %d out of range", image.engineSide);
    if (!InRange(image.spread, kSpreadOff, kSpreadTeam))
        return Format("spread %d out of range", image.spread);
    if (!InRange(image.transparency, 0, 1))
        return Format("transparency %d out of range", image.transparency);
    if (!InRange(image.projection, 0, 1))
        return Format("projection %d out of range", image.projection);
    if (!std::isfinite(image.scale) || image.scale < kMinSavedScale || image.scale > kMaxSavedScale)
        return Format("scale %g out of range", static_cast<double>(image.scale));
    if (!ValidAngle(image.xAngle))
        return Format("x-angle %g out of range", static_cast<double>(image.xAngle));
    if (!ValidAngle(image.yAngle))
        return Format("y-angle %g out of range", static_cast<double>(image.yAngle));
    if (!InRange(image.stopRequest, 0, 1))
        return Format("stop request %d out of range", image.stopRequest);
    if (!InRange(image.tableMegabytes, 1, kMaxTableMegabytes))
        return Format("hash-table size %d out of range", image.tableMegabytes);
    if (!InRange(image.playsBoth, 0, 1))
        return Format("plays-both flag %d out of range", image.playsBoth);
    if (!InRange(image.startEdited, 0, 1))
        return Format("position-edited flag %d out of range", image.startEdited);
    return "";
}

// The selected square or attack board and the highlights of the display.
std::string CheckSelection(const SaveImage& image) {
    const int value = image.selection.value;
    const bool board = image.gameKind == kGame3D && IsAttackBoardId(value);
    if (value != kNoSelection && !InRange(value, 0, kSquares - 1) && !board)
        return Format("selection %d out of range", value);
    for (int square = 0; square < kSquares; ++square) {
        const uint8_t h = image.selection.highlights[square];
        if (!IsHighlightByte(h)) return Format("highlight %d of square %d out of range", h, square);
    }
    return "";
}

std::string CheckPins(const Position& p, const char* which) {
    for (int board = 0; board < kBoardCount; ++board) {
        if (!IsPin(p.abPin[board]))
            return Format("%s: pin %u of board %d out of range", which, p.abPin[board],
                          kBoardIds[board]);
        for (int other = 0; other < board; ++other) {
            if (p.abPin[other] == p.abPin[board])
                return Format("%s: boards %d and %d on one pin", which, kBoardIds[other],
                              kBoardIds[board]);
        }
        if (p.abWhite[board] > 1)
            return Format("%s: owner %u of board %d out of range", which, p.abWhite[board],
                          kBoardIds[board]);
    }
    return "";
}

// The fields of a Position image that a restore reads or that a position of the game holds.
std::string CheckPosition(const Position& p, const char* which) {
    for (int square = 0; square < kSquares; ++square) {
        if (!InRange(p.board[square], -kMaxPieceCode, kMaxPieceCode))
            return Format("%s: piece code %d on square %d out of range", which, p.board[square],
                          square);
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const PieceEntry& entry = p.pieces[slot];
        if (!InRange(entry.code, -kMaxPieceCode, kMaxPieceCode) || entry.square >= kBoardSquares)
            return Format("%s: piece list slot %d (code %d, square %u) out of range", which, slot,
                          entry.code, entry.square);
    }
    if (p.gameKind == kGame3D) {
        const std::string pins = CheckPins(p, which);
        if (!pins.empty()) return pins;
    }
    if (p.epSquare >= kBoardSquares)
        return Format("%s: en-passant square %u out of range", which, p.epSquare);
    if (p.ply > kMaxGamePly) return Format("%s: ply %u out of range", which, p.ply);
    if (p.quietPlies > kKeyHistorySize)
        return Format("%s: quiet plies %u out of range", which, p.quietPlies);
    if (p.stage > kMaxStage) return Format("%s: stage %u out of range", which, p.stage);
    if (!InRange(p.winner, -1, 2)) return Format("%s: winner %d out of range", which, p.winner);
    return "";
}

}  // namespace

std::string CheckSaveImage(const SaveImage& image) {
    std::string problem = CheckSettings(image);
    if (problem.empty()) problem = CheckSelection(image);
    if (problem.empty()) problem = CheckPosition(image.current, "current position");
    if (problem.empty() && image.startEdited != 0)
        problem = CheckPosition(image.start, "start position");
    if (problem.empty() && image.startEdited != 0 && image.start.ply > image.current.ply)
        problem = Format("current position: ply %u below the start position's %u",
                         image.current.ply, image.start.ply);
    return problem;
}

int RestoredStartPosition(const SaveImage& image, Position& out) {
    ClearPosition(out, image.gameKind, image.rules);
    if (image.startEdited == 0) return 1;
    const Position& in = image.start;
    if (image.gameKind == kGame3D) {
        std::copy(std::begin(in.abPin), std::end(in.abPin), std::begin(out.abPin));
        std::copy(std::begin(in.abWhite), std::end(in.abWhite), std::begin(out.abWhite));
    }
    std::copy(std::begin(in.board), std::end(in.board), std::begin(out.board));
    std::copy(std::begin(in.pieces), std::end(in.pieces), std::begin(out.pieces));
    out.flags = in.flags & kKeptStartFlags;
    out.epSquare = in.epSquare;
    out.quietPlies = in.quietPlies;
    out.ply = in.ply;
    out.stage = in.stage;
    // The piece list says which pawns on start squares have moved there.
    if (!BuildPosition(out, MovedStartPawns(out))) return 0;
    MarkInCheck(out);
    return 1;
}

std::string ReplaySaveImage(SaveImage& image) {
    auto p = std::make_unique<Position>();
    const bool edited = image.startEdited != 0;
    const int built = edited ? RestoredStartPosition(image, *p)
                             : SetUpInitialPosition(*p, image.gameKind, image.rules);
    if (built == 0) return "the start position cannot be set up";
    // Made as the rebuild makes them: the start built again, the moves in place.
    if (edited && !BuildPosition(*p, MovedStartPawns(*p)))
        return "the start position cannot be set up";
    auto history = std::make_unique<KeyHistory>();
    const MoveContext context{history.get(), nullptr, false};
    for (unsigned ply = edited ? image.start.ply : 0; ply < image.current.ply; ++ply) {
        Move move = image.record[ply];
        const std::optional<Move> legal = FindLegalMove(*p, move);
        if (!legal) return Format("recorded move at ply %u is not legal", ply);
        move.kind = legal->kind;
        image.record[ply].kind = legal->kind;
        if (!MakeMove(*p, *p, move, context))
            return Format("recorded move at ply %u cannot be made", ply);
    }
    return "";
}

}  // namespace tarvex
