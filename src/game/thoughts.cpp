#include "game/thoughts.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

#include "engine/score.h"
#include "movegen/legal_moves.h"
#include "rules/make_move.h"
#include "text/notation.h"

namespace tarvex {
namespace {

constexpr int kHundredth = engine::kScorePawn / 100;

// Makes move on a copy of position into child and returns its text; "" when it is not legal
// there.
std::string MadeText(const Position& position, const Move& move, int notation, Position& child) {
    std::optional<Move> legal = FindLegalMove(position, move);
    if (!legal) return "";
    auto list = std::make_unique<MoveTextList>();
    GenerateMoveTexts(position, notation, *list);
    auto parent = std::make_unique<Position>(position);
    parent->parent = nullptr;
    if (!MakeMove(child, *parent, *legal)) return "";
    child.parent = nullptr;
    char text[kMoveTextSize];
    MadeMoveText(position, *list, *legal, notation, text);
    return text;
}

}  // namespace

std::string WhiteScoreText(int score, bool whiteToMove) {
    const int white = whiteToMove ? score : -score;
    if (engine::IsMateScore(white)) {
        // A table that already proves the mate may give one ply beyond a mate in one.
        const int plies = engine::kScoreKingTaken - std::abs(white);
        const int moves = std::max(1, (plies + 1) / 2);
        return "mate " + std::to_string(white > 0 ? moves : -moves);
    }
    const int hundredths = white / kHundredth;  // toward zero, as the other tools round
    const int whole = std::abs(hundredths) / 100, part = std::abs(hundredths) % 100;
    return std::string(hundredths < 0 ? "-" : "+") + std::to_string(whole) +
           (part < 10 ? ".0" : ".") + std::to_string(part);
}

std::string MoveTextOf(const Position& position, const Move& move, int notation) {
    auto child = std::make_unique<Position>();
    return MadeText(position, move, notation, *child);
}

std::string ThoughtsText(const Position& root, const engine::SearchProgress& progress,
                         int notation) {
    std::string line = "depth " + std::to_string(progress.depth) + " " +
                       WhiteScoreText(progress.score, WhiteToMove(root)) + " nodes " +
                       std::to_string(progress.nodes) + " pv";
    auto position = std::make_unique<Position>(root);
    auto child = std::make_unique<Position>();
    for (const Move& move : progress.pv) {
        const std::string text = MadeText(*position, move, notation, *child);
        if (text.empty()) break;
        line += " " + text;
        *position = *child;
    }
    return line;
}

}  // namespace tarvex
