#include "game/game_flow.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/console.h"
#include "core/error_report.h"
#include "game/game_setup.h"
#include "movegen/legal_moves.h"
#include "rules/attacks.h"
#include "rules/make_move.h"
#include "rules/piece_ops.h"
#include "text/notation.h"

namespace tarvex {
namespace {

constexpr uint32_t kPromotionFlags = kWhitePromoted | kBlackPromoted;
constexpr int kRepetitions = 3;

bool NoPawns(const Position& p) {
    return (p.pieceMask & kWhiteHalf) == (p.officerMask & kWhiteHalf) &&
           (p.pieceMask & kBlackHalf) == (p.officerMask & kBlackHalf);
}

void PrintMoveNumber(unsigned ply, const char* text) {
    if (ply % 2 == 1) {
        ConsolePrint("\n%d. %s", static_cast<int>((ply - 1) / 2 + 1), text);
    } else {
        ConsolePrint("\n%d. ... %s", static_cast<int>((ply - 2) / 2 + 1), text);
    }
}

// The piece a move takes: what stands on its square, or the pawn taken en passant.
int CapturedCode(const Position& before, const Move& move) {
    if (OffBoard(move.to) || (move.kind != MoveKind::kCapture && move.kind != MoveKind::kEnPassant))
        return 0;
    const int onTarget = before.board[move.to];
    if (onTarget != 0) return onTarget;
    const int mover = OffBoard(move.from) ? 0 : before.board[move.from];
    return mover == kPawn || mover == -kPawn ? -mover : 0;
}

// The verdict on a side to move without a legal move: sets the winner, returns the message.
const char* NoMoveVerdict(Position& p) {
    const unsigned whiteKing = p.pieces[kSlotKing].square;
    const unsigned blackKing = p.pieces[kBlackSlots + kSlotKing].square;
    if (WhiteToMove(p) && AttackedByBlack(p, whiteKing)) {
        p.winner = -1;
        return "\nWhite is mated";
    }
    if (BlackToMove(p) && AttackedByWhite(p, blackKing)) {
        p.winner = 1;
        return "\nBlack is mated";
    }
    p.winner = 2;
    return "\nStalemate";
}

// The verdict on the result of a move (p, the game's position after it; before, the position
// it was made from): a repetition, too little material, or a side left without a move. Sets
// p's winner and returns the message to print, or nullptr when the game goes on.
const char* JudgeResult(Position& p, const Position& before, const KeyHistory& history) {
    if (IsDraw(p, history, kRepetitions)) {
        p.winner = 2;
        return "\nDraw - I'm repeating";
    }
    // The material is counted on the position the move was made from, as it always was.
    const int32_t bishop = kMaterialValue[kBishop];
    if (NoPawns(before) && before.whiteMaterial <= bishop && before.blackMaterial <= bishop) {
        p.winner = 2;
        return "\nDraw - insufficient material";
    }
    return HasLegalMove(p) ? nullptr : NoMoveVerdict(p);
}

}  // namespace

std::optional<Move> GateMove(const Position& position, const Move& move) {
    std::optional<Move> legal = FindLegalMove(position, move);
    if (!legal) ConsolePrint("\n!LegalMove");
    return legal;
}

const char* MoveTextAt(const Game& game, unsigned ply) {
    return ply <= kGameRecordSize ? game.texts.texts[ply] : "";
}

bool EnterMove(Game& game, Move move, const MoveContext& context, int notation, MoveEntry entry) {
    Position& p = game.block.current;
    if (PlyLimitReached(p)) {
        ErrorReport(kStable, "game record full @ PlayerMoved");
        return false;
    }
    if (!GateMove(p, move)) return false;
    const unsigned ply = p.ply;
    auto before = std::make_unique<Position>(p);
    auto texts = std::make_unique<MoveTextList>();
    if (entry.writeText) GenerateMoveTexts(p, notation, *texts);
    // The move is made as given: a user's promotion that names no piece asks for it here.
    const uint8_t givenCheck = move.givesCheck;
    const bool made = MakeMove(p, p, move, context);
    p.flags &= ~kPromotionFlags;
    if (!made) {
        ErrorReport(kStable, "PlayerMoved legal but bad do move");
        return false;
    }
    // The record keeps the move as made, with the promotion piece that was chosen, but its check
    // byte as given: saved games have always carried it so.
    game.block.record[ply] = move;
    game.block.record[ply].givesCheck = givenCheck;
    if (const int captured = CapturedCode(*before, move)) {
        RecordCapture(game.block.captured, captured);
    }
    const char* verdict = entry.judge ? JudgeResult(p, *before, game.block.keyHistory) : nullptr;
    char* text = game.texts.texts[p.ply];
    if (entry.writeText) {
        MadeMoveText(*before, *texts, move, notation, text);
        std::snprintf(game.texts.texts[0], kMoveTextSize, "%s", text);
    }
    if (!entry.announce) return true;
    if (verdict != nullptr) ConsolePrint("%s", verdict);
    if (p.flags & kDrawishMaterial) ConsolePrint("\nDraw");
    if (p.winner == 2) ConsolePrint("\nStalemate - draw");
    PrintMoveNumber(p.ply, text);
    return true;
}

bool DecidedBeforeMove(Game& game) {
    Position& p = game.block.current;
    const unsigned whiteKing = p.pieces[kSlotKing].square;
    const unsigned blackKing = p.pieces[kBlackSlots + kSlotKing].square;
    if (p.winner != 0) {
        ErrorReport(kStable, "FindWinner: already has winner");
        return true;
    }
    if (WhiteToMove(p) && AttackedByWhite(p, blackKing)) {
        ConsolePrint("\nBlack is mated!");
        p.winner = 1;
        return true;
    }
    if (BlackToMove(p) && AttackedByBlack(p, whiteKing)) {
        ConsolePrint("\nWhite is mated!");
        p.winner = -1;
        return true;
    }
    if (IsDraw(p, game.block.keyHistory, kRepetitions)) {
        ConsolePrint("\nDraw - you're repeating");
        p.winner = 2;
        return true;
    }
    return false;
}

bool DecidedByNoMove(Game& game) {
    Position& p = game.block.current;
    if (HasLegalMove(p)) return false;
    ConsolePrint("%s", NoMoveVerdict(p));
    return true;
}

}  // namespace tarvex
