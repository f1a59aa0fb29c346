#include "moves/random_mover.h"

#include "board/attack_boards.h"
#include "board/dir_to.h"
#include "board/geometry.h"
#include "core/settings.h"
#include "moves/make_move.h"
#include "moves/position_setup.h"

namespace tarvex {
namespace {

constexpr char kPromotionKinds[] = {'Q', 'B', 'R', 'N', '-'};

int Abs(int code) {
    return code < 0 ? -code : code;
}

// True when the promotion rules put a pawn of code on square on its last rank.
bool OnLastRank(const Position& position, int code, unsigned square) {
    const bool white = code > 0;
    if (!Is3D()) return Row(square) == (white ? 7u : 0u);
    if (IsAttackBoardSquare(square)) {
        const int board = AttackBoardOfSquare(square);
        const unsigned offset = square - kBoardBase[board];
        const unsigned pin = position.abPin[board];
        const bool upperRank = offset == 1 || offset == 9;
        if (white) return upperRank && (pin == kPinQ6 || pin == kPinK6);
        return !upperRank && (pin == kPinQ1 || pin == kPinK1);
    }
    StepList next;
    return DirTo(position, square, white ? 1 : -1, next) == 0;
}

struct Context {
    const Position& p;
    bool white;
    int sign;
    std::vector<Candidate>& out;
    RandomMover& random;

    bool Own(int code) const { return code * sign > 0; }
    bool EnemyAttacks(unsigned q) const {
        return (p.attacks[q] & (white ? kBlackHalf : kWhiteHalf)) != 0;
    }
    void Add(int piece, unsigned from, unsigned to, char kind, MoveClass moveClass) {
        out.push_back({MakeMoveRecord(piece, from, to, kind), moveClass});
    }
    // A pawn move, in all its promotion kinds when it reaches the last rank.
    void AddPawn(unsigned from, unsigned to, char kind, MoveClass moveClass) {
        const int pawn = sign * kPawn;
        if (!OnLastRank(p, pawn, to)) return Add(pawn, from, to, kind, moveClass);
        for (char promotion : kPromotionKinds) Add(pawn, from, to, promotion, kPromotion);
    }
    // Captures are written '-' now and then: making the move must turn them into 'x'.
    char CaptureKind() { return random.Below(2) == 0 ? 'x' : '-'; }
};

void AttackMoves(Context& c) {
    const int first = c.white ? 0 : kBlackSlots;
    for (int s = first; s < first + kBlackSlots; ++s) {
        const int code = c.p.pieces[s].code;
        if (code == 0) continue;
        const unsigned from = c.p.pieces[s].square;
        for (unsigned q = 0; q < 64; ++q) {
            if ((c.p.attacks[q] >> s & 1) == 0) continue;
            const int target = c.p.board[q];
            if (c.Own(target) || Abs(target) == kKing) continue;
            if (Abs(code) != kPawn) {
                c.Add(code, from, q, target != 0 ? c.CaptureKind() : '-', kPieceMove);
            } else if (target != 0) {
                c.AddPawn(from, q, c.CaptureKind(), kPieceMove);
            }
        }
    }
}

void PawnPushes2D(Context& c, unsigned from) {
    const int row = static_cast<int>(Row(from));
    if (row + c.sign < 0 || row + c.sign > 7) return;
    const unsigned one = from + c.sign;
    if (c.p.board[one] != 0) return;
    c.AddPawn(from, one, '-', kPawnPush);
    const unsigned two = one + c.sign;
    if (row == (c.white ? 1 : 6) && c.p.board[two] == 0) c.Add(c.sign, from, two, '-', kDoubleStep);
}

// A double step from a pawn's first rank on an attack board needs that board at home.
bool HomeBoardsAllow(const Position& p, unsigned from) {
    if (!IsAttackBoardSquare(from)) return true;
    const int board = AttackBoardOfSquare(from);
    return p.abPin[board] == kHomePin[board];
}

void PawnPushes3D(Context& c, int slot, unsigned from) {
    StepList one;
    if (DirTo(c.p, from, c.sign, one) == 0) return;
    bool open[kLevelCount] = {true, true, true, true, true, true, true, true};
    bool blocked = false;
    for (uint32_t i = 0; i < one.count; ++i) {
        if (c.p.board[one.sq[i]] == 0) continue;
        open[SquarePlace3D(c.p.abPin, one.sq[i]).level] = false;
        blocked = true;
    }
    for (uint32_t i = 0; i < one.count; ++i) {
        if (c.p.board[one.sq[i]] == 0) c.AddPawn(from, one.sq[i], '-', kPawnPush);
    }
    if (Row(from) != (c.white ? 1u : 6u) || !PawnMayDoubleStep(slot, from)) return;
    if (!HomeBoardsAllow(c.p, from) || (TournamentRules() && blocked)) return;
    StepList two;
    DirTo(c.p, one.sq[0], c.sign, two);
    for (uint32_t i = 0; i < two.count; ++i) {
        const unsigned u = two.sq[i];
        if (c.p.board[u] == 0 && open[SquarePlace3D(c.p.abPin, u).level]) {
            c.Add(c.sign, from, u, '-', kDoubleStep);
        }
    }
}

void PawnPushes(Context& c) {
    const int first = (c.white ? 0 : kBlackSlots) + kSlotFirstPawn;
    for (int s = first; s < first + 8; ++s) {
        if (c.p.pieces[s].code != c.sign * kPawn) continue;
        if (Is3D())
            PawnPushes3D(c, s, c.p.pieces[s].square);
        else
            PawnPushes2D(c, c.p.pieces[s].square);
    }
}

struct CastlingRule {
    uint32_t right;
    unsigned king, rook, to;
    char kind;
    unsigned empty[3];  // kNoSquare fills
    unsigned safe[3];   // squares the enemy may not attack
};

// 2D: the rook lands beside the king; 3D: short castling exchanges king and rook, long
// castling needs the queen's square free.
constexpr CastlingRule kCastling2D[] = {
    {kWhiteKingSide, 32, 56, 48, 'S', {40, 48, kNoSquare}, {32, 40, 48}},
    {kWhiteQueenSide, 32, 0, 16, 'L', {8, 16, 24}, {32, 24, 16}},
    {kBlackKingSide, 39, 63, 55, 'S', {47, 55, kNoSquare}, {39, 47, 55}},
    {kBlackQueenSide, 39, 7, 23, 'L', {15, 23, 31}, {39, 31, 23}},
};
constexpr CastlingRule kCastling3D[] = {
    {kWhiteKingSide, 16, 24, 24, 'S', {kNoSquare, kNoSquare, kNoSquare}, {16, 24, kNoSquare}},
    {kWhiteQueenSide, 16, 0, 8, 'L', {8, kNoSquare, kNoSquare}, {16, 8, kNoSquare}},
    {kBlackKingSide, 23, 31, 31, 'S', {kNoSquare, kNoSquare, kNoSquare}, {23, 31, kNoSquare}},
    {kBlackQueenSide, 23, 7, 15, 'L', {15, kNoSquare, kNoSquare}, {23, 15, kNoSquare}},
};

void Castling(Context& c) {
    for (const CastlingRule& rule : Is3D() ? kCastling3D : kCastling2D) {
        if ((c.p.flags & rule.right) == 0 || (rule.right & (c.white ? 3u : 12u)) == 0) continue;
        if (c.p.board[rule.king] != c.sign * kKing || c.p.board[rule.rook] != c.sign * kRook)
            continue;
        bool allowed = true;
        for (unsigned q : rule.empty) allowed = allowed && (q == kNoSquare || c.p.board[q] == 0);
        for (unsigned q : rule.safe) allowed = allowed && (q == kNoSquare || !c.EnemyAttacks(q));
        if (allowed) {
            c.Add(c.sign * kKing, rule.king, rule.to, rule.kind,
                  rule.kind == 'S' ? kShortCastling : kLongCastling);
        }
    }
}

void EnPassant(Context& c) {
    const unsigned ep = c.p.epSquare;
    if (ep == 0 || ep >= 64) return;
    const char kind = c.white ? 'e' : 'E';
    if (!Is3D()) {
        if (Row(ep) != (c.white ? 5u : 2u)) return;
        const unsigned left = c.white ? ep - 9 : ep - 7, right = c.white ? ep + 7 : ep + 9;
        if (Column(ep) != 0 && c.p.board[left] == c.sign) c.Add(c.sign, left, ep, kind, kEnPassant);
        if (Column(ep) != 7 && c.p.board[right] == c.sign)
            c.Add(c.sign, right, ep, kind, kEnPassant);
        return;
    }
    // From the squares diagonally behind the passed-over square, forwards onto every level.
    const int pairs[2][2] = {{c.white ? -9 : -7, c.white ? 9 : 7},
                             {c.white ? 7 : 9, c.white ? -7 : -9}};
    for (const auto& pair : pairs) {
        StepList behind;
        DirTo(c.p, ep, pair[0], behind);
        for (uint32_t i = 0; i < behind.count; ++i) {
            const unsigned s = behind.sq[i];
            if (c.p.board[s] != c.sign) continue;
            StepList ahead;
            DirTo(c.p, s, pair[1], ahead);
            for (uint32_t j = 0; j < ahead.count; ++j) {
                if (c.p.board[ahead.sq[j]] == 0) c.Add(c.sign, s, ahead.sq[j], kind, kEnPassant);
            }
        }
    }
}

struct PinMoves {
    unsigned pin;
    unsigned towardsWhite[3];
    unsigned towardsBlack[3];
    unsigned sideways;
};

constexpr unsigned kNone = kNoSquare;
constexpr PinMoves kPinMoves[] = {
    {kPinQ1, {kNone, kNone, kNone}, {kPinQ3, kPinQ2, kNone}, kPinK1},
    {kPinQ2, {kPinQ1, kPinQ3, kNone}, {kPinQ4, kNone, kNone}, kPinK2},
    {kPinQ3, {kPinQ1, kNone, kNone}, {kPinQ2, kPinQ4, kPinQ5}, kPinK3},
    {kPinQ4, {kPinQ2, kPinQ3, kPinQ5}, {kPinQ6, kNone, kNone}, kPinK4},
    {kPinQ5, {kPinQ3, kNone, kNone}, {kPinQ4, kPinQ6, kNone}, kPinK5},
    {kPinQ6, {kPinQ4, kPinQ5, kNone}, {kNone, kNone, kNone}, kPinK6},
    {kPinK1, {kNone, kNone, kNone}, {kPinK2, kPinK3, kNone}, kPinQ1},
    {kPinK2, {kPinK1, kPinK3, kNone}, {kPinK4, kNone, kNone}, kPinQ2},
    {kPinK3, {kPinK1, kNone, kNone}, {kPinK2, kPinK4, kPinK5}, kPinQ3},
    {kPinK4, {kPinK2, kPinK3, kPinK5}, {kPinK6, kNone, kNone}, kPinQ4},
    {kPinK5, {kPinK3, kNone, kNone}, {kPinK4, kPinK6, kNone}, kPinQ5},
    {kPinK6, {kPinK4, kPinK5, kNone}, {kNone, kNone, kNone}, kPinQ6},
};

bool BoardMovePromotes(const Position& p, int board, unsigned to) {
    const unsigned base = kBoardBase[board];
    if (to == kPinQ6 || to == kPinK6)
        return p.board[base + 1] == kPawn || p.board[base + 9] == kPawn;
    if (to == kPinQ1 || to == kPinK1) return p.board[base] == -kPawn || p.board[base + 8] == -kPawn;
    return false;
}

void BoardMoves(Context& c) {
    for (int b = 0; b < kBoardCount; ++b) {
        if (c.p.abWhite[b] != (c.white ? 1u : 0u)) continue;
        int occupied = 0, weight = 0, value = 0;
        for (unsigned offset : {0u, 1u, 8u, 9u}) {
            const int code = c.p.board[kBoardBase[b] + offset];
            occupied += code != 0;
            weight += Abs(code);
            value += code;
        }
        if (TournamentRules() ? occupied > 1 : weight > 1) continue;
        for (const PinMoves& entry : kPinMoves) {
            if (entry.pin != c.p.abPin[b]) continue;
            std::vector<unsigned> targets;
            if (value < 1)
                targets.insert(targets.end(), entry.towardsWhite, entry.towardsWhite + 3);
            if (value >= 0)
                targets.insert(targets.end(), entry.towardsBlack, entry.towardsBlack + 3);
            if (TournamentRules()) targets.push_back(entry.sideways);
            for (unsigned to : targets) {
                if (to == kNone || BoardAtPin(c.p, to) != kNoBoard) continue;
                c.Add(kBoardIds[b], entry.pin, to, 'T',
                      BoardMovePromotes(c.p, b, to) ? kBoardPromotion : kBoardMove);
            }
        }
    }
}

// Preferred half of the time. 3D short castling is open from the first move on and would
// otherwise use up the rights before long castling ever becomes possible.
bool Rare(MoveClass moveClass) {
    return (moveClass == kShortCastling && !Is3D()) || moveClass == kLongCastling ||
           moveClass == kEnPassant || moveClass == kPromotion || moveClass == kBoardPromotion;
}

}  // namespace

const char* MoveClassName(int moveClass) {
    static const char* const kNames[kMoveClassCount] = {
        "piece move", "pawn push", "double step", "short castling", "long castling",
        "en passant", "promotion", "board move",  "board promotion"};
    return moveClass >= 0 && moveClass < kMoveClassCount ? kNames[moveClass] : "?";
}

RandomMover::RandomMover(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}

uint32_t RandomMover::Below(uint32_t n) {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<uint32_t>((state_ * 2685821657736338717ull) >> 32) % n;
}

void RandomMover::Candidates(const Position& position, std::vector<Candidate>& out) {
    out.clear();
    const bool white = WhiteToMove(position);
    Context c{position, white, white ? 1 : -1, out, *this};
    AttackMoves(c);
    PawnPushes(c);
    Castling(c);
    EnPassant(c);
    if (Is3D()) BoardMoves(c);
}

size_t RandomMover::Pick() {
    size_t rare = 0;
    for (const Candidate& c : candidates_) rare += Rare(c.moveClass);
    if (rare == 0 || Below(2) == 0) return Below(static_cast<uint32_t>(candidates_.size()));
    size_t k = Below(static_cast<uint32_t>(rare));
    for (size_t i = 0; i < candidates_.size(); ++i) {
        if (Rare(candidates_[i].moveClass) && k-- == 0) return i;
    }
    return 0;
}

bool RandomMover::Play(Position& child, const Position& parent, Candidate& played, long& refused) {
    Candidates(parent, candidates_);
    while (!candidates_.empty()) {
        const size_t i = Pick();
        Candidate candidate = candidates_[i];
        if (MakeMove(child, parent, candidate.move) != 0) {
            played = candidate;
            return true;
        }
        ++refused;
        candidates_[i] = candidates_.back();
        candidates_.pop_back();
    }
    return false;
}

}  // namespace tarvex
