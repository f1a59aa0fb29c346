#include "game/game_flow.h"

#include <cstdio>
#include <memory>

#include "core/console.h"
#include "core/error_report.h"
#include "core/settings.h"
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
int CapturedCode(const Position& before, const Move& move, char kindAfter) {
    if (OffBoard(move.to)) return 0;
    const int onTarget = before.board[move.to];
    if (onTarget != 0) return onTarget;
    const int mover = OffBoard(move.from) ? 0 : before.board[move.from];
    const bool enPassant =
        (mover == kPawn || mover == -kPawn) && (kindAfter == 'x' || kindAfter == 'e');
    return enPassant ? -mover : 0;
}

// Tries the distinct generated moves of position with the gate, in order; true at the first
// that passes (each that fails prints "\n!LegalMove").
bool AnyMovePasses(const Position& position) {
    auto moves = std::make_unique<MoveBuffer>();
    const int count = GenerateDistinctMoves(position, moves->moves);
    for (int i = 0; i < count; ++i) {
        if (LegalMove(position, &moves->moves[i])) return true;
    }
    return false;
}

// The verdict on a side to move that has no legal move in position; reported on game's
// current position.
void NoMoveVerdict(Position& game, const Position& position) {
    const unsigned whiteKing = position.pieces[kSlotKing].square;
    const unsigned blackKing = position.pieces[kBlackSlots + kSlotKing].square;
    if (WhiteToMove(position) && AttackedByBlack(position, whiteKing)) {
        ConsolePrint("\nWhite is mated");
        game.winner = -1;
    } else if (BlackToMove(position) && AttackedByWhite(position, blackKing)) {
        ConsolePrint("\nBlack is mated");
        game.winner = 1;
    } else {
        ConsolePrint("\nStalemate");
        game.winner = 2;
    }
}

}  // namespace

void EngineStandsDown(GameBlock& block) {
    Settings& settings = GetSettings();
    settings.engineSide.store(0);
    block.playsBoth = 0;
    settings.stopRequest.store(1);
}

int LegalMove(const Position& position, const Move* move) {
    if (move == nullptr) {
        ErrorReport(kStable, "NULL move @ LegalMove");
        ConsolePrint("\n!LegalMove");
        return 0;
    }
    if (FindLegalMove(position, *move)) return 1;
    ConsolePrint("\n!LegalMove");
    return 0;
}

const char* MoveTextAt(const Game& game, unsigned ply) {
    return ply <= kGameRecordSize ? game.texts.texts[ply] : "";
}

int PlayerMoved(Game& game, Move move, const MoveContext& context, int notation) {
    Position& p = game.block.current;
    if (PlyLimitReached(p)) {
        ErrorReport(kStable, "game record full @ PlayerMoved");
        return 0;
    }
    if (LegalMove(p, &move) == 0) return 0;
    const unsigned ply = p.ply;
    game.block.record[ply] = move;
    auto before = std::make_unique<Position>(p);
    auto texts = std::make_unique<MoveTextList>();
    GenerateMoveTexts(p, notation, *texts);
    const int made = MakeMove(p, p, move, context);
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
        if (p.winner != 0) {
            EngineStandsDown(game.block);
            if (p.winner == 2) ConsolePrint("\nStalemate - draw");
        }
        char* text = game.texts.texts[p.ply];
        MadeMoveText(*before, *texts, move, notation, text);
        std::snprintf(game.texts.texts[0], kMoveTextSize, "%s", text);
        PrintMoveNumber(p.ply, text);
        result = 1;
    }
    p.flags &= ~kPromotionFlags;
    return result;
}

int FindWinner(Game& game, const Move* move) {
    Position& p = game.block.current;
    const KeyHistory& history = game.block.keyHistory;
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
    if (IsDraw(p, history, kRepetitions)) {
        ConsolePrint("\nDraw - you're repeating");
        p.winner = 2;
        return 1;
    }
    if (move == nullptr) {
        // A side to move with no legal move is mated or stalemated already.
        if (HasLegalMove(p)) return 0;
        NoMoveVerdict(p, p);
        return 1;
    }
    if (LegalMove(p, move) == 0) return 0;
    auto copy = std::make_unique<Position>(p);
    Move made = *move;
    MakeMove(*copy, p, made);
    if (IsDraw(*copy, history, kRepetitions)) {
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
    if (AnyMovePasses(*copy)) return 0;
    NoMoveVerdict(p, *copy);
    return 1;
}

}  // namespace tarvex
