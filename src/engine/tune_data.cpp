// Quiet positions and the data lines of the tuner.
#include "engine/tune_data.h"

#include <bit>
#include <charconv>
#include <cstdio>

#include "engine/evaluation.h"
#include "engine/static_exchange.h"
#include "text/position_text.h"

namespace tarvex::engine {
namespace {

constexpr std::string_view kWord2D = "2d";
constexpr std::string_view kWordTournament = "3d-tournament";
constexpr std::string_view kWordStandard = "3d-standard";

// A game's result or an outside judge's win chance: a number from 0 to 1.
bool ReadResult(std::string_view word, double& result) {
    double value = -1;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !(value >= 0 && value <= 1)) {
        return false;
    }
    result = value;
    return true;
}

// A result as its word: 1, 0.5, 0, or a chance to four places.
std::string ResultWord(double result) {
    if (result == 1) return "1";
    if (result == 0.5) return "0.5";
    if (result == 0) return "0";
    char word[16];
    std::snprintf(word, sizeof word, "%.4f", result);
    return word;
}

// The next space-separated word of text from at, at moved past it.
std::string_view NextWord(std::string_view text, size_t& at) {
    const size_t end = std::min(text.find(' ', at), text.size());
    const std::string_view word = text.substr(at, end - at);
    at = end < text.size() ? end + 1 : end;
    return word;
}

}  // namespace

bool IsQuietPosition(const Position& position) {
    if (position.flags & kInCheck) return false;
    // The enemy pieces the side to move attacks (a king is never captured).
    const uint32_t own = WhiteToMove(position) ? kWhiteHalf : kBlackHalf;
    const uint32_t kings = 1u << kSlotKing | 1u << (kBlackSlots + kSlotKing);
    for (uint32_t m = position.pieceMask & ~own & ~kings; m != 0; m &= m - 1) {
        const unsigned q = position.pieces[std::countr_zero(m)].square;
        if ((position.attacks[q] & own) != 0 && CaptureWins(position, q, 0)) return false;
    }
    return true;
}

std::string_view TuneGameWord(int gameKind, int rules) {
    if (gameKind == kGame2D) return kWord2D;
    return rules == kRulesStandard ? kWordStandard : kWordTournament;
}

bool ReadTuneGameWord(std::string_view word, int& gameKind, int& rules) {
    gameKind = word == kWord2D ? kGame2D : kGame3D;
    rules = word == kWordStandard ? kRulesStandard : kRulesTournament;
    return word == kWord2D || word == kWordTournament || word == kWordStandard;
}

std::string WriteTuneLine(double result, const Position& position) {
    std::string line(ResultWord(result));
    line.append(" ").append(TuneGameWord(position.gameKind, position.rules)).append(" ");
    return line + WritePositionText(position);
}

bool ReadTuneLine(std::string_view line, TunePosition& out, std::string& error) {
    size_t at = 0;
    const std::string_view resultWord = NextWord(line, at);
    double result = 0;
    if (!ReadResult(resultWord, result)) {
        error = "bad result '" + std::string(resultWord) + "'";
        return false;
    }
    const std::string_view gameWord = NextWord(line, at);
    int gameKind = 0, rules = 0;
    if (!ReadTuneGameWord(gameWord, gameKind, rules)) {
        error = "bad game '" + std::string(gameWord) + "'";
        return false;
    }
    Position position;
    if (!ReadPositionText(gameKind, rules, line.substr(at), position, error)) return false;
    SetStage(position);
    // Evaluated as a search root would be: the draw score leans against the side to move.
    if (WhiteToMove(position)) position.flags |= kWhiteAtRoot;
    out.result = result;
    out.position = position;
    return true;
}

}  // namespace tarvex::engine
