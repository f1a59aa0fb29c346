#include "movegen/evasions.h"

#include <bit>
#include <cstdlib>

#include "board/attack_boards.h"
#include "board/dir_to.h"
#include "board/geometry.h"
#include "core/error_report.h"
#include "movegen/move_generation.h"
#include "rules/attacks.h"
#include "rules/line_tables.h"
#include "rules/pin_columns.h"

namespace tarvex {
namespace {

constexpr int kKingDirections[8] = {1, 9, 8, 7, -1, -9, -8, -7};
constexpr int kMaxLineSteps = 10;  // no line of either game is longer
// Pin numbers of an attack-board column from White's end to Black's; 2 and 5 cover the same
// squares on different levels.
constexpr int kPinOrder[6] = {1, 3, 2, 5, 4, 6};
constexpr int kPinOrderCount = 6;

struct Evader {
    Position& position;
    Move* out;
    int count = 0;
    bool white;
    int sign;
    uint32_t own;
    uint32_t enemy;
    int kingSlot;
    unsigned king;
    uint64_t blocks = 0;  // squares where a piece would stand between king and checker

    void Add(int piece, unsigned from, unsigned to, MoveKind kind) {
        FillMove(out[count++], piece, from, to, kNoScore, kind, 0);
    }

    bool OwnPieceOn(unsigned square) const { return position.board[square] * sign > 0; }
};

Evader MakeEvader(Position& position, Move* out) {
    const bool white = WhiteToMove(position);
    const int kingSlot = white ? kSlotKing : kBlackSlots + kSlotKing;
    return Evader{position,
                  out,
                  0,
                  white,
                  white ? 1 : -1,
                  white ? kWhiteHalf : kBlackHalf,
                  white ? kBlackHalf : kWhiteHalf,
                  kingSlot,
                  position.pieces[kingSlot].square};
}

// Every own piece attacking the checker's square takes it, the king included.
void CaptureChecker(Evader& e, unsigned checker) {
    uint32_t attackers = e.position.attacks[checker] & e.own;
    while (attackers != 0) {
        const int slot = std::countr_zero(attackers);
        attackers &= attackers - 1;
        const PieceEntry& entry = e.position.pieces[slot];
        e.Add(entry.code, entry.square, checker, MoveKind::kCapture);
    }
}

// 2D: the squares between king and checker along their rank, file or diagonal.
void BlockSquares2D(Evader& e, unsigned checker) {
    const int d = LinesFor(e.position).dir[e.king][checker];
    if (d == 0) return;
    unsigned s = static_cast<unsigned>(static_cast<int>(e.king) + d);
    for (int i = 0; i < kMaxLineSteps && s != checker && !OffBoard(s); ++i) {
        e.blocks |= uint64_t{1} << s;
        s = static_cast<unsigned>(static_cast<int>(s) + d);
    }
}

// Tournament rules: a king on an attack board checked along an outer file across the other
// boards of its column (or along the back rows joining the boards at pins 1 and at pins 6)
// may be shielded on the outer squares of the boards in between.
struct OuterFileWalk {
    Evader& e;
    const PinColumn& column;

    // Tries the outer squares of the board at pin, in the walk's order; false when one holds
    // a piece.
    bool Visit(unsigned pin, bool upward) {
        const int board = BoardAt(e.position, pin);
        if (board < 0) return true;
        const unsigned base = kBoardBase[board];
        const unsigned first = base + (upward ? column.rearOffset : column.frontOffset);
        const unsigned second = base + (upward ? column.frontOffset : column.rearOffset);
        for (unsigned square : {first, second}) {
            if (e.position.board[square] != 0) return false;
            e.blocks |= uint64_t{1} << square;
        }
        return true;
    }
};

int PinNumberIndex(int number) {
    for (int i = 0; i < kPinOrderCount; ++i) {
        if (kPinOrder[i] == number) return i;
    }
    return -1;
}

unsigned PinOfNumber(const PinColumn& c, int number) {
    switch (number) {
        case 1:
            return c.p1;
        case 2:
            return c.p2;
        case 3:
            return c.p3;
        case 4:
            return c.p4;
        case 5:
            return c.p5;
        default:
            return c.p6;
    }
}

bool IsMiddlePair(int index) {
    return index >= 0 && index < kPinOrderCount && (kPinOrder[index] == 2 || kPinOrder[index] == 5);
}

// Walks the boards after (upward) or before (downward) the king's board in its column until
// an outer square holds a piece.
void WalkOuterFile(Evader& e, int board, bool upward) {
    const unsigned pin = e.position.abPin[board];
    OuterFileWalk walk{e, ColumnOfPin(pin)};
    const int at = PinNumberIndex(PinNumber(pin));
    if (at < 0) return;
    const int step = upward ? 1 : -1;
    for (int i = at + step; i >= 0 && i < kPinOrderCount; i += step) {
        if (IsMiddlePair(i) && IsMiddlePair(i + step)) {
            // Both boards over the same squares are tried, pin 2 first.
            const bool clearTwo = walk.Visit(walk.column.p2, upward);
            const bool clearFive = walk.Visit(walk.column.p5, upward);
            if (!clearTwo || !clearFive) return;
            i += step;
            continue;
        }
        if (!walk.Visit(PinOfNumber(walk.column, kPinOrder[i]), upward)) return;
    }
}

// A king's board at pin 6 (pin 1) faces the board at the other side's pin 6 (pin 1) across
// the back rows: its two squares on rank 9 (rank 0), inner square first.
void TryBackRow(Evader& e, int board) {
    const unsigned pin = e.position.abPin[board];
    const int number = PinNumber(pin);
    if (number != 1 && number != 6) return;
    const bool queenSide = FindPin(pin)->side == BoardSide::kQueen;
    const unsigned otherPin =
        number == 6 ? (queenSide ? kPinK6 : kPinQ6) : (queenSide ? kPinK1 : kPinQ1);
    const int other = BoardAt(e.position, otherPin);
    if (other < 0) return;
    const unsigned rowOffset = number == 6 ? 1 : 0;
    const unsigned base = kBoardBase[other];
    // The other board's inner column is its first column on the king's side, its second on
    // the queen's side.
    const unsigned inner = base + rowOffset + (queenSide ? 0 : 8);
    const unsigned outer = base + rowOffset + (queenSide ? 8 : 0);
    for (unsigned square : {inner, outer}) {
        if (e.position.board[square] != 0) return;
        e.blocks |= uint64_t{1} << square;
    }
}

// The step from the king towards the checker as the files and ranks give it, or 0. The line
// tables miss some Tournament lines along the outer files (those that cross a vacant pin after
// their first two steps); the checker still stands straight along a file, rank or diagonal.
int ProjectedDirection(const Position& position, unsigned king, unsigned checker) {
    const Place3D from = SquarePlace3D(position.abPin, king);
    const Place3D to = SquarePlace3D(position.abPin, checker);
    if (from.file < 0 || to.file < 0) return 0;
    const int df = to.file - from.file, dr = to.rank - from.rank;
    if (df != 0 && dr != 0 && std::abs(df) != std::abs(dr)) return 0;
    return (df > 0 ? 8 : (df < 0 ? -8 : 0)) + (dr > 0 ? 1 : (dr < 0 ? -1 : 0));
}

// 3D: the squares of every step list from the king towards the checker, before the list that
// holds the checker; under Tournament rules also the outer-file and back-row squares of the
// attack boards the line may cross.
void BlockSquares3D(Evader& e, unsigned checker) {
    int d = LinesFor(e.position).dir[e.king][checker];
    if (d == 0) d = ProjectedDirection(e.position, e.king, checker);
    if (d == 0) {
        ErrorReport(kStable, "onboard attacker not found by K");
        return;
    }
    unsigned current = e.king;
    StepList step;
    bool met = false;
    for (int i = 0; i < kMaxLineSteps; ++i) {
        if (DirTo(e.position, current, d, step) == 0) break;
        for (uint32_t j = 0; j < step.count; ++j) met = met || step.sq[j] == checker;
        if (met) break;
        for (uint32_t j = 0; j < step.count; ++j) e.blocks |= uint64_t{1} << step.sq[j];
        current = step.sq[0];
    }
    if (met || !TournamentRules(e.position) || !IsAttackBoardSquare(current)) return;
    const int board = AttackBoardOfSquare(IsAttackBoardSquare(e.king) ? e.king : current);
    if (d == 1 || d == -1) WalkOuterFile(e, board, d == 1);
    TryBackRow(e, board);
}

// Moves onto the blocking squares: officers other than the king that attack an empty or
// enemy-held one, and pawns whose straight moves reach an empty one.
void Interpose(Evader& e) {
    const uint32_t kingBit = 1u << e.kingSlot;
    uint64_t squares = e.blocks;
    while (squares != 0) {
        const unsigned s = static_cast<unsigned>(std::countr_zero(squares));
        squares &= squares - 1;
        if (e.OwnPieceOn(s)) continue;
        uint32_t movers = e.position.attacks[s] & e.own & e.position.officerMask & ~kingBit;
        const MoveKind kind = e.position.board[s] == 0 ? MoveKind::kQuiet : MoveKind::kCapture;
        while (movers != 0) {
            const int slot = std::countr_zero(movers);
            movers &= movers - 1;
            const PieceEntry& entry = e.position.pieces[slot];
            e.Add(entry.code, entry.square, s, kind);
        }
    }
    uint32_t pawns = e.position.pieceMask & ~e.position.officerMask & e.own;
    Move pushes[2 * kMaxStepSquares];
    while (pawns != 0) {
        const int slot = std::countr_zero(pawns);
        pawns &= pawns - 1;
        const int n = AppendPawnPushes(e.position, slot, pushes);
        for (int i = 0; i < n; ++i) {
            if (e.blocks >> pushes[i].to & 1) e.out[e.count++] = pushes[i];
        }
    }
}

// Whether the king's step from its square to t in direction d keeps it on a checking
// slider's line, so that t stays attacked once the king has left. In the 3D game a piece at the
// king's file and rank on another level ends a Tournament ray there; under Standard rules a
// level closed earlier on the ray may leave t unattacked, so such steps are left to the
// legality test.
bool StaysOnCheckLine(const Evader& e, const LineTables& lines, uint32_t checkers, unsigned t,
                      int d) {
    bool onLine = false;
    uint32_t sliders = checkers & e.position.sliderMask;
    while (sliders != 0 && !onLine) {
        const int slot = std::countr_zero(sliders);
        sliders &= sliders - 1;
        onLine = Collinear(lines, e.position.pieces[slot].square, e.king, t);
    }
    if (!onLine || !Is3D(e.position)) return onLine;
    if (!TournamentRules(e.position)) return false;
    StepList back;
    DirTo(e.position, t, -d, back);
    for (uint32_t j = 0; j < back.count; ++j) {
        if (back.sq[j] != e.king && e.position.board[back.sq[j]] != 0) return false;
    }
    return true;
}

// The king's steps to squares no enemy attacks, leaving out a step straight away from a
// checking slider. In single check the capture of the checker is already listed.
void KingSteps(Evader& e, uint32_t checkers, unsigned checker) {
    const LineTables& lines = LinesFor(e.position);
    const bool single = std::popcount(checkers) == 1;
    const int kingCode = e.position.pieces[e.kingSlot].code;
    StepList step;
    for (int d : kKingDirections) {
        DirTo(e.position, e.king, d, step);
        for (uint32_t i = 0; i < step.count; ++i) {
            const unsigned t = step.sq[i];
            if ((single && t == checker) || e.OwnPieceOn(t)) continue;
            if ((e.position.attacks[t] & e.enemy) != 0) continue;
            if (!StaysOnCheckLine(e, lines, checkers, t, d))
                e.Add(kingCode, e.king, t, MoveKind::kQuiet);
        }
    }
}

// Under Standard rules two sliders may check along one line on different levels; a piece put
// between them on the king's level shields from both. The squares shared by every checker's
// line are the only ones that can.
void SharedBlockSquares3D(Evader& e, uint32_t checkers) {
    if ((checkers & ~e.position.sliderMask) != 0) return;
    uint64_t shared = ~uint64_t{0};
    while (checkers != 0 && shared != 0) {
        const int slot = std::countr_zero(checkers);
        checkers &= checkers - 1;
        e.blocks = 0;
        BlockSquares3D(e, e.position.pieces[slot].square);
        shared &= e.blocks;
    }
    e.blocks = shared;
}

}  // namespace

int GenerateEvasions(Position& position, Move* out) {
    Evader e = MakeEvader(position, out);
    const uint32_t checkers = position.attacks[e.king] & e.enemy;
    const bool three = Is3D(position);
    unsigned checker = kNoSquare;
    if (std::popcount(checkers) == 1) {
        const int checkerSlot = std::countr_zero(checkers);
        checker = position.pieces[checkerSlot].square;
        CaptureChecker(e, checker);
        const bool pawnChecker = std::abs(position.pieces[checkerSlot].code) == kPawn;
        if (!three && pawnChecker) e.count += AppendEnPassant(position, out + e.count);
        if ((position.sliderMask >> checkerSlot & 1) != 0) {
            if (three) {
                BlockSquares3D(e, checker);
            } else {
                BlockSquares2D(e, checker);
            }
        }
    } else if (three && checkers != 0) {
        SharedBlockSquares3D(e, checkers);
    }
    Interpose(e);
    if (three) {
        // A 3D en-passant capture may take the checker or land between, and moving an attack
        // board may carry a piece into the line or take away the squares it runs over.
        e.count += AppendEnPassant(position, out + e.count);
        for (int id : kBoardIds) e.count += GenerateAttackBoardMoves(position, id, out + e.count);
    }
    KingSteps(e, checkers, checker);
    return e.count;
}

}  // namespace tarvex
