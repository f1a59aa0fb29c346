#include "rules/line_tables.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "board/attack_boards.h"
#include "board/geometry.h"
#include "rules/pin_columns.h"

namespace tarvex {
namespace {

constexpr int kMaxReachSteps = 10;
constexpr int kLineDirections[4] = {8, 1, 9, 7};

// ---- the Tournament edge step ----

// Pins that follow own pin (number 1..6) going towards Black, as groups: a group of two is
// the middle pair P2/P5, where the board at P5 is preferred when both stand.
struct PinStepSequence {
    int count;
    unsigned pins[4][2];  // second entry 65 for a single pin
};

PinStepSequence ForwardPins(const PinColumn& c, int number) {
    switch (number) {
        case 1:
            return {4, {{c.p3, kNoSquare}, {c.p5, c.p2}, {c.p4, kNoSquare}, {c.p6, kNoSquare}}};
        case 3:
            return {3, {{c.p5, c.p2}, {c.p4, kNoSquare}, {c.p6, kNoSquare}}};
        case 2:
        case 5:
            return {2, {{c.p4, kNoSquare}, {c.p6, kNoSquare}}};
        case 4:
            return {1, {{c.p6, kNoSquare}}};
        default:
            return {0, {}};
    }
}

PinStepSequence BackwardPins(const PinColumn& c, int number) {
    switch (number) {
        case 6:
            return {4, {{c.p4, kNoSquare}, {c.p5, c.p2}, {c.p3, kNoSquare}, {c.p1, kNoSquare}}};
        case 4:
            return {3, {{c.p5, c.p2}, {c.p3, kNoSquare}, {c.p1, kNoSquare}}};
        case 2:
        case 5:
            return {2, {{c.p3, kNoSquare}, {c.p1, kNoSquare}}};
        case 3:
            return {1, {{c.p1, kNoSquare}}};
        default:
            return {0, {}};
    }
}

// First board standing along the sequence, or -1.
int FirstBoardAlong(const Position& position, const PinStepSequence& sequence) {
    for (int i = 0; i < sequence.count; ++i) {
        for (unsigned pin : sequence.pins[i]) {
            if (pin == kNoSquare) continue;
            const int board = BoardAt(position, pin);
            if (board >= 0) return board;
        }
    }
    return -1;
}

unsigned ColumnStep(const Position& position, unsigned square, int d, bool emptyBoard) {
    const int board = AttackBoardOfSquare(square);
    const PinColumn& column = ColumnOfPin(position.abPin[board]);
    const unsigned offset = square - kBoardBase[board];
    const bool forward = d > 0;
    const unsigned start = forward ? column.rearOffset : column.frontOffset;
    const unsigned other = forward ? column.frontOffset : column.rearOffset;
    if (offset != column.rearOffset && offset != column.frontOffset) return kNoSquare;
    if (offset == start && !emptyBoard && !OwnOuterEmpty(position, column, board, other)) {
        return kNoSquare;
    }
    const int number = PinNumber(position.abPin[board]);
    const PinStepSequence sequence =
        forward ? ForwardPins(column, number) : BackwardPins(column, number);
    const int target = FirstBoardAlong(position, sequence);
    if (target < 0) return kNoSquare;
    return kBoardBase[target] + (forward ? column.rearOffset : column.frontOffset);
}

// The back rows of the boards at q1 and k1 (rear rows) and at q6 and k6 (front rows) join
// across the empty files between them.
unsigned BackRowStep(const Position& position, unsigned square, int d) {
    const int board = AttackBoardOfSquare(square);
    const unsigned pin = position.abPin[board];
    const unsigned offset = square - kBoardBase[board];
    const bool rearRow = offset == 0 || offset == 8;
    unsigned targetPin = kNoSquare, entry = 0;
    if (rearRow && d > 0 && pin == kPinQ1) targetPin = kPinK1, entry = 0;
    if (rearRow && d < 0 && pin == kPinK1) targetPin = kPinQ1, entry = 8;
    if (!rearRow && d > 0 && pin == kPinQ6) targetPin = kPinK6, entry = 1;
    if (!rearRow && d < 0 && pin == kPinK6) targetPin = kPinQ6, entry = 9;
    if (targetPin == kNoSquare) return kNoSquare;
    const int target = BoardAt(position, targetPin);
    return target < 0 ? kNoSquare : kBoardBase[target] + entry;
}

// ---- building ----

// Squares reached from start by up to ten steps in direction d, every square of every step
// list followed. Any step may use the edge step, so that a rook's line along an outer file
// that crosses several vacant pins has its direction here as it has its attacks.
uint64_t ReachableSet(const Position& position, unsigned start, int d, bool emptyBoard) {
    uint64_t reached = 0;
    uint64_t frontier = uint64_t{1} << start;
    StepList step;
    for (int depth = 0; depth < kMaxReachSteps && frontier != 0; ++depth) {
        uint64_t next = 0;
        for (unsigned s = 0; s < 64; ++s) {
            if ((frontier >> s & 1) == 0) continue;
            EdgeStep(position, s, d, step, emptyBoard);
            for (uint32_t i = 0; i < step.count; ++i) next |= uint64_t{1} << step.sq[i];
        }
        next &= ~reached;
        reached |= next;
        frontier = next;
    }
    return reached;
}

void SetReach(LineTables& t, int code, unsigned a, unsigned b) {
    t.reach[code + 6][a] |= uint64_t{1} << b;
}

void SetBoth(LineTables& t, int code, unsigned a, unsigned b) {
    SetReach(t, code, a, b);
    SetReach(t, -code, a, b);
}

void Build2D(LineTables& t) {
    for (unsigned s = 0; s < 64; ++s) {
        const int file = static_cast<int>(Column(s)), rank = static_cast<int>(Row(s));
        if (rank < 1 || rank > 6) continue;
        if (file > 0) SetReach(t, kPawn, s, s - 7), SetReach(t, -kPawn, s, s - 9);
        if (file < 7) SetReach(t, kPawn, s, s + 9), SetReach(t, -kPawn, s, s + 7);
    }
    for (unsigned a = 0; a < 64; ++a) {
        for (unsigned b = 0; b < 64; ++b) {
            if (a == b) continue;
            const int fa = static_cast<int>(Column(a)), ra = static_cast<int>(Row(a));
            const int fb = static_cast<int>(Column(b)), rb = static_cast<int>(Row(b));
            const int df = fa > fb ? fa - fb : fb - fa, dr = ra > rb ? ra - rb : rb - ra;
            if ((df == 1 && dr == 2) || (df == 2 && dr == 1)) SetBoth(t, kKnight, a, b);
            if (df == dr) SetBoth(t, kBishop, a, b), SetBoth(t, kQueen, a, b);
            if (df == 0 || dr == 0) SetBoth(t, kRook, a, b), SetBoth(t, kQueen, a, b);
            if (df < 2 && dr < 2) SetBoth(t, kKing, a, b);
            if (fb > fa && rb == ra) t.dir[a][b] = 8, t.dir[b][a] = -8;
            if (fb == fa && rb > ra) t.dir[a][b] = 1, t.dir[b][a] = -1;
            if (fb > fa && rb - ra == fb - fa) t.dir[a][b] = 9, t.dir[b][a] = -9;
            if (fb > fa && ra - rb == fb - fa) t.dir[a][b] = 7, t.dir[b][a] = -7;
        }
    }
}

void Build3D(const Position& position, LineTables& t) {
    struct StepUse {
        int direction;
        int codes[3];
    };
    static constexpr StepUse kSteps[] = {
        {-7, {kPawn, kKing, -kKing}},  {9, {kPawn, kKing, -kKing}},   {-9, {-kPawn, kKing, -kKing}},
        {7, {-kPawn, kKing, -kKing}},  {1, {kKing, -kKing, 0}},       {8, {kKing, -kKing, 0}},
        {-1, {kKing, -kKing, 0}},      {-8, {kKing, -kKing, 0}},      {10, {kKnight, -kKnight, 0}},
        {17, {kKnight, -kKnight, 0}},  {15, {kKnight, -kKnight, 0}},  {6, {kKnight, -kKnight, 0}},
        {-10, {kKnight, -kKnight, 0}}, {-17, {kKnight, -kKnight, 0}}, {-15, {kKnight, -kKnight, 0}},
        {-6, {kKnight, -kKnight, 0}},
    };
    StepList step;
    for (unsigned s = 0; s < 64; ++s) {
        for (const StepUse& use : kSteps) {
            DirTo(position, s, use.direction, step);
            for (uint32_t i = 0; i < step.count; ++i) {
                for (int code : use.codes) {
                    if (code != 0) SetReach(t, code, s, step.sq[i]);
                }
            }
        }
    }
    uint64_t reachable[64][4];
    for (unsigned a = 0; a < 64; ++a) {
        for (int k = 0; k < 4; ++k)
            reachable[a][k] = ReachableSet(position, a, kLineDirections[k], true);
    }
    // Pairs and directions in a fixed order, so that a later line overwrites an earlier one.
    for (unsigned a = 0; a < 64; ++a) {
        for (unsigned b = 0; b < 64; ++b) {
            if (a == b) continue;
            for (int k = 0; k < 4; ++k) {
                if ((reachable[a][k] >> b & 1) == 0) continue;
                const int d = kLineDirections[k];
                t.dir[a][b] = static_cast<int8_t>(d);
                t.dir[b][a] = static_cast<int8_t>(-d);
                const int slider = (d == 8 || d == 1) ? kRook : kBishop;
                SetBoth(t, slider, a, b), SetBoth(t, slider, b, a);
                SetBoth(t, kQueen, a, b), SetBoth(t, kQueen, b, a);
            }
        }
    }
}

// ---- the cache ----

// Every set ever built, by key; sets are never freed, because positions point at them.
struct SharedCache {
    std::mutex mutex;
    std::unordered_map<uint64_t, std::unique_ptr<LineTables>> tables;
};

SharedCache& Shared() {
    static SharedCache cache;
    return cache;
}

const LineTables& Fetch(const Position& position, uint64_t key) {
    SharedCache& cache = Shared();
    std::lock_guard lock(cache.mutex);
    auto found = cache.tables.find(key);
    if (found != cache.tables.end()) return *found->second;
    // Built under the lock, so that no thread ever sees a set being filled.
    auto built = std::make_unique<LineTables>();
    BuildLineTablesInto(position, *built);
    const LineTables& result = *built;
    cache.tables.emplace(key, std::move(built));
    return result;
}

}  // namespace

int EdgeStep(const Position& position, unsigned square, int d, StepList& out, bool emptyBoard) {
    if (DirTo(position, square, d, out) > 0) return static_cast<int>(out.count);
    if (!Is3D(position) || !TournamentRules(position) || !IsAttackBoardSquare(square)) return 0;
    unsigned next = kNoSquare;
    if (d == 1 || d == -1) next = ColumnStep(position, square, d, emptyBoard);
    if (d == 8 || d == -8) next = BackRowStep(position, square, d);
    if (next == kNoSquare) return 0;
    out.sq[0] = static_cast<uint8_t>(next);
    out.count = 1;
    return 1;
}

bool Reaches(const Position& position, unsigned target, unsigned start, int d) {
    if (target == start || OffBoard(target) || OffBoard(start)) return false;
    return (ReachableSet(position, start, d, false) >> target & 1) != 0;
}

void BuildLineTablesInto(const Position& position, LineTables& out) {
    std::memset(&out, 0, sizeof out);
    out.key = LineTablesKey(position);
    if (Is3D(position)) {
        // The build looks up thousands of steps: give it the direction table at hand.
        Position placed = position;
        placed.dirTable = &DirTableFor(position.abPin);
        Build3D(placed, out);
    } else {
        Build2D(out);
    }
}

const LineTables& FetchLineTables(const Position& position, uint64_t key) {
    return Fetch(position, key);
}

void AttachGeometry(Position& position) {
    if (Is3D(position)) {
        const DirTable* dirs = position.dirTable;
        if (dirs == nullptr || dirs->key != ConfigurationKey(position.abPin)) {
            position.dirTable = &DirTableFor(position.abPin);
        }
    } else {
        position.dirTable = nullptr;
    }
    position.lineTables = &LinesFor(position);
}

}  // namespace tarvex
