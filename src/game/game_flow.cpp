#include "game/game_flow.h"

#include <cstdio>
#include <memory>

#include "core/console.h"
#include "core/error_report.h"
#include "core/settings.h"
#include "game/game_setup.h"
#include "movegen/attacks.h"
#include "moves/draw_test.h"
#include "moves/make_move.h"
#include "moves/piece_ops.h"
#include "moves/promotion.h"

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
int CapturedCode(const Position& before, const Move& move, char kindAfter) {
    if (OffBoard(move.to)) return 0;
    const int onTarget = before.board[move.to];
    if (onTarget != 0) return onTarget;
    const int mover = OffBoard(move.from) ? 0 : before.board[move.from];
    const bool enPassant =
        (mover == kPawn || mover == -kPawn) && (kindAfter == 'x' || kindAfter == 'e');
    return enPassant ? -mover : 0;
}

void EndOfGame(Position& p) {
    GetSettings().playsBoth.store(0);
    GetSettings().engineSide.store(0);
    if (p.winner == 2) ConsolePrint("\nStalemate - draw");
}

// Tries the moves of position in order; true as soon as one is legal.
bool HasLegalMove(const Position& position) {
    auto list = std::make_unique<MoveTextList>();
    GenerateMoveTexts(position, *list);
    for (int i = 0; i < list->count; ++i) {
        if (LegalMove(position, &list->moves[i])) return true;
    }
    return false;
}

}  // namespace

int LegalMove(const Position& position, const Move* move) {
    if (move == nullptr) {
        ErrorReport(kStable, "NULL move @ LegalMove");
        ConsolePrint("\n!LegalMove");
        return 0;
    }
    auto list = std::make_unique<MoveTextList>();
    GenerateMoveTexts(position, *list);
    int result = 0;
    for (int i = 0; i < list->count; ++i) {
        if (!SameMove(list->moves[i], *move)) continue;
        auto scratch = std::make_unique<Position>(position);
        Move copy = *move;
        UserMoveScope trial(false);
        result = MakeMove(*scratch, position, copy);
        break;
    }
    if (result == 0) ConsolePrint("\n!LegalMove");
    return result;
}

const char* StoreMoveText(Game& game, const Move& move, unsigned ply) {
    char text[kMoveTextSize];
    MadeMoveText(move, text);
    std::snprintf(game.texts.texts[ply], kMoveTextSize, "%s", text);
    std::snprintf(game.texts.texts[0], kMoveTextSize, "%s", text);
    return game.texts.texts[ply];
}

const char* MoveTextAt(const Game& game, unsigned ply) {
    return ply <= kGameRecordSize ? game.texts.texts[ply] : "";
}

int PlayerMoved(Game& game, Move move) {
    Position& p = game.block.current;
    if (PlyLimitReached(p)) {
        ErrorReport(kStable, "game record full @ PlayerMoved");
        return 0;
    }
    if (LegalMove(p, &move) == 0) return 0;
    const unsigned ply = p.ply;
    game.block.record[ply] = move;
    auto before = std::make_unique<Position>(p);
    const int made = MakeMove(p, p, move);
    // The record keeps the move as made, with the promotion piece that was chosen.
    game.block.record[ply].kind = move.kind;
    int result = 0;
    if (made == 0) {
        ErrorReport(kStable, "PlayerMoved legal but bad do move");
    } else {
        if (move.kind == 'x' || move.kind == 'e') {
            const int captured = CapturedCode(*before, move, move.kind);
            if (captured != 0) RecordCapture(game.block.captured, captured);
        }
        if (p.flags & kDrawishMaterial) ConsolePrint("\nDraw");
        if (p.winner != 0) EndOfGame(p);
        PrintMoveNumber(p.ply, StoreMoveText(game, move, p.ply));
        result = 1;
    }
    p.flags &= ~kPromotionFlags;
    return result;
}

int FindWinner(Game& game, const Move* move) {
    Position& p = game.block.current;
    const unsigned whiteKing = p.pieces[kSlotKing].square;
    const unsigned blackKing = p.pieces[kBlackSlots + kSlotKing].square;
    if (p.winner != 0) {
        ErrorReport(kStable, "FindWinner: already has winner");
        return 1;
    }
    if (WhiteToMove(p) && AttackedByWhite(p, blackKing)) {
        ConsolePrint("\nBlack is mated!");
        p.winner = 1;
        return 1;
    }
    if (BlackToMove(p) && AttackedByBlack(p, whiteKing)) {
        ConsolePrint("\nWhite is mated!");
        p.winner = -1;
        return 1;
    }
    if (IsDraw(p, kRepetitions)) {
        ConsolePrint("\nDraw - you're repeating");
        p.winner = 2;
        return 1;
    }
    if (move == nullptr || LegalMove(p, move) == 0) return 0;
    auto copy = std::make_unique<Position>(p);
    Move made = *move;
    {
        UserMoveScope trial(false);
        MakeMove(*copy, p, made);
    }
    if (IsDraw(*copy, kRepetitions)) {
        ConsolePrint("\nDraw - I'm repeating");
        p.winner = 2;
        return 1;
    }
    const int32_t bishop = kMaterialValue[kBishop];
    if (NoPawns(p) && p.whiteMaterial <= bishop && p.blackMaterial <= bishop) {
        ConsolePrint("\nDraw - insufficient material");
        p.winner = 2;
        return 1;
    }
    if (HasLegalMove(*copy)) return 0;
    if (WhiteToMove(*copy) && AttackedByBlack(*copy, whiteKing)) {
        ConsolePrint("\nWhite is mated");
        p.winner = -1;
    } else if (BlackToMove(*copy) && AttackedByWhite(*copy, blackKing)) {
        ConsolePrint("\nBlack is mated");
        p.winner = 1;
    } else {
        ConsolePrint("\nStalemate");
        p.winner = 2;
    }
    return 1;
}

}  // namespace tarvex
