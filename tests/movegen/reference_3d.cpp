#include "movegen/reference_3d.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <sstream>

#include "board/reference_geometry.h"

namespace tarvex::ref3d {
namespace {

using reference::kFiles;
using reference::kRanks;
using Place = reference::Place;

constexpr unsigned kSquares = 64;
constexpr int kBoards = 4;
constexpr int kLevels = 8;
constexpr int kMaxInCell = 4;
constexpr unsigned kFirstSideLevelSquare = 32;  // 32..63: the White and the Black level
constexpr unsigned kBoardBase[kBoards] = {0, 6, 16, 22};
constexpr unsigned kBoardOffsets[4] = {0, 1, 8, 9};
constexpr unsigned kSecondColumn = 8;  // offset of a board's second column
constexpr bool kDefaultWhite[kBoards] = {true, false, true, false};
constexpr int kBoardIdBase = 100;
constexpr int kNoBoardHere = -1;

// The twelve pins: square, column (0 queen's side, 1 king's side), number 1..6 in the column,
// and where an attack board may go from there (0 = no pin). The places the pins give a board's
// squares come from the board tests' reference geometry.
struct PinRow {
    unsigned square;
    int side;
    int number;
    unsigned towardWhite[3];
    unsigned towardBlack[3];
    unsigned sideways;
};
constexpr int kQueenSide = 0, kKingSide = 1;
constexpr PinRow kPinRows[] = {
    {32, kQueenSide, 1, {0, 0, 0}, {2, 35, 0}, 56},
    {35, kQueenSide, 2, {32, 2, 0}, {5, 0, 0}, 59},
    {2, kQueenSide, 3, {32, 0, 0}, {35, 5, 36}, 26},
    {5, kQueenSide, 4, {35, 2, 36}, {39, 0, 0}, 29},
    {36, kQueenSide, 5, {2, 0, 0}, {5, 39, 0}, 60},
    {39, kQueenSide, 6, {5, 36, 0}, {0, 0, 0}, 63},
    {56, kKingSide, 1, {0, 0, 0}, {59, 26, 0}, 32},
    {59, kKingSide, 2, {56, 26, 0}, {29, 0, 0}, 35},
    {26, kKingSide, 3, {56, 0, 0}, {59, 29, 60}, 2},
    {29, kKingSide, 4, {59, 26, 60}, {63, 0, 0}, 5},
    {60, kKingSide, 5, {26, 0, 0}, {29, 63, 0}, 36},
    {63, kKingSide, 6, {29, 60, 0}, {0, 0, 0}, 39},
};
constexpr unsigned kPinQ1 = 32, kPinQ6 = 39, kPinK1 = 56, kPinK6 = 63;

const PinRow* FindPinRow(unsigned square) {
    for (const PinRow& row : kPinRows) {
        if (row.square == square) return &row;
    }
    return nullptr;
}

unsigned PinSquare(int side, int number) {
    for (const PinRow& row : kPinRows) {
        if (row.side == side && row.number == number) return row.square;
    }
    return kSquares;
}

// Board 0..3 owning each square, or kNoBoardHere for a main-level square.
constexpr std::array<int, kSquares> kBoardOfSquare = [] {
    std::array<int, kSquares> table{};
    table.fill(kNoBoardHere);
    for (int board = 0; board < kBoards; ++board) {
        for (unsigned offset : kBoardOffsets) table[kBoardBase[board] + offset] = board;
    }
    return table;
}();

int BoardOf(unsigned square) {
    return square < kSquares ? kBoardOfSquare[square] : kNoBoardHere;
}

int BoardAt(const RefState& s, unsigned pin) {
    for (int board = 0; board < kBoards; ++board) {
        if (s.pins[board] == pin) return board;
    }
    return kNoBoardHere;
}

uint64_t Bit(unsigned square) {
    return uint64_t{1} << square;
}
// Column and row of an index: index / 8 and index % 8.
unsigned IndexColumn(unsigned square) {
    return square >> 3;
}
unsigned IndexRow(unsigned square) {
    return square & 7;
}
int Kind(int code) {
    return std::abs(code);
}
bool IsBoardId(int piece) {
    for (unsigned base : kBoardBase) {
        if (piece == kBoardIdBase + static_cast<int>(base)) return true;
    }
    return false;
}

// ---- geometry ----

struct Cell {
    int count = 0;
    unsigned squares[kMaxInCell] = {};
};

// File, rank and level of every square under one placement of the attack boards, and the
// squares standing at each file and rank in step-list order.
class Geometry {
public:
    explicit Geometry(const unsigned pins[kBoards]) {
        for (unsigned square = kSquares; square-- > 0;) {
            if (BoardOf(square) == kNoBoardHere) Enter(pins, square);
        }
        for (unsigned square = 0; square < kFirstSideLevelSquare; ++square) {
            if (BoardOf(square) != kNoBoardHere) Enter(pins, square);
        }
    }
    const Place& PlaceAt(unsigned square) const { return places_[square]; }
    int Level(unsigned square) const { return places_[square].level; }
    const Cell* At(int file, int rank) const {
        if (file < 0 || file >= kFiles || rank < 0 || rank >= kRanks) return nullptr;
        const Cell& cell = cells_[file][rank];
        return cell.count == 0 ? nullptr : &cell;
    }
    const Cell* Step(unsigned square, int df, int dr) const {
        const Place& place = places_[square];
        return place.file < 0 ? nullptr : At(place.file + df, place.rank + dr);
    }

private:
    void Enter(const unsigned pins[kBoards], unsigned square) {
        const Place place = reference::PlaceOf(pins, square);
        places_[square] = place;
        if (place.file < 0) return;
        Cell& cell = cells_[place.file][place.rank];
        if (cell.count < kMaxInCell) cell.squares[cell.count++] = square;
    }
    Place places_[kSquares];
    Cell cells_[kFiles][kRanks];
};

// ---- attacks ----

struct Delta {
    int df;
    int dr;
};
constexpr Delta kKnightJumps[] = {{1, 2},  {1, -2},  {2, 1},  {2, -1},
                                  {-1, 2}, {-1, -2}, {-2, 1}, {-2, -1}};
constexpr Delta kDiagonals[] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
constexpr Delta kOrthogonals[] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};

uint64_t CellMask(const Cell* cell) {
    uint64_t mask = 0;
    if (cell == nullptr) return mask;
    for (int i = 0; i < cell->count; ++i) mask |= Bit(cell->squares[i]);
    return mask;
}

template <size_t N>
uint64_t StepMask(const Geometry& geo, unsigned square, const Delta (&deltas)[N]) {
    uint64_t mask = 0;
    for (const Delta& d : deltas) mask |= CellMask(geo.Step(square, d.df, d.dr));
    return mask;
}

uint64_t PawnCaptureMask(const Geometry& geo, unsigned square, bool white) {
    const int dr = white ? 1 : -1;
    return CellMask(geo.Step(square, -1, dr)) | CellMask(geo.Step(square, 1, dr));
}

// One slider ray. Each step reaches every square at the next file and rank; a square is
// attacked while its level is open, an occupied square closes its level, and the ray goes on
// from an empty square of the step met once the step has marked something. Under Tournament
// rules any occupied square of a step ends the ray after that step.
uint64_t RayMask(const RefState& s, const Geometry& geo, unsigned square, Delta d) {
    const bool tournament = s.rules == RuleSet::kTournament;
    bool open[kLevels];
    std::fill(open, open + kLevels, true);
    uint64_t mask = 0;
    Place at = geo.PlaceAt(square);
    for (;;) {
        at.file += d.df;
        at.rank += d.dr;
        const Cell* cell = geo.At(at.file, at.rank);
        if (cell == nullptr) return mask;
        bool marked = false, goesOn = false, blocked = false;
        for (int i = 0; i < cell->count; ++i) {
            const unsigned t = cell->squares[i];
            const int level = geo.Level(t);
            if (open[level]) {
                mask |= Bit(t);
                marked = true;
            }
            if (s.board[t] != 0) {
                open[level] = false;
                blocked = true;
            } else if (marked) {
                goesOn = true;
            }
        }
        if (!goesOn || (tournament && blocked)) return mask;
    }
}

template <size_t N>
uint64_t RaysMask(const RefState& s, const Geometry& geo, unsigned square,
                  const Delta (&deltas)[N]) {
    uint64_t mask = 0;
    for (const Delta& d : deltas) mask |= RayMask(s, geo, square, d);
    return mask;
}

// ---- Tournament outer-file and back-row lines ----

// The outer-file squares of a board in a column: rear (lower rank) and front.
unsigned RearOuter(int board, int side) {
    return kBoardBase[board] + (side == kKingSide ? kSecondColumn : 0);
}
unsigned FrontOuter(int board, int side) {
    return RearOuter(board, side) + 1;
}

// One walk of a line: marks squares while marking is on, stops at the first piece.
class EdgeWalk {
public:
    EdgeWalk(const RefState& s, bool white, bool marking, uint64_t& mask)
        : s_(s), white_(white), marking_(marking), mask_(mask) {}

    void MarkOn() { marking_ = true; }

    // An empty square is marked and passed, an enemy piece marked and blocks, an own piece
    // blocks unmarked. Returns true when the square blocks.
    bool Check(unsigned square) {
        const int code = s_.board[square];
        if (code != 0 && (code > 0) == white_) return true;
        if (marking_) mask_ |= Bit(square);
        return code != 0;
    }

    // A board's two outer squares, rear first when going towards Black.
    bool Visit(int board, int side, bool forward) {
        const unsigned first = forward ? RearOuter(board, side) : FrontOuter(board, side);
        const unsigned second = forward ? FrontOuter(board, side) : RearOuter(board, side);
        return Check(first) || Check(second);
    }

private:
    const RefState& s_;
    bool white_;
    bool marking_;
    uint64_t& mask_;
};

constexpr int kGroup = 0;  // the pins 2 and 5 of a column, taken together
constexpr int kMaxItems = 4;
struct WalkItems {
    int count;
    int items[kMaxItems];
};
// Pins passed going towards Black, by the number of the piece's own pin (index 1..6).
constexpr WalkItems kForwardItems[7] = {
    {0, {}}, {4, {3, kGroup, 4, 6}}, {2, {4, 6}}, {3, {kGroup, 4, 6}}, {1, {6}}, {2, {4, 6}},
    {0, {}},
};
// Pins passed going towards White.
constexpr WalkItems kBackwardItems[7] = {
    {0, {}},
    {0, {}},
    {2, {3, 1}},
    {1, {1}},
    {3, {kGroup, 3, 1}},
    {2, {3, 1}},
    {4, {4, kGroup, 3, 1}},
};

// The pins 2 and 5 cover the same squares; returns true when the walk ends here.
bool WalkGroup(const RefState& s, EdgeWalk& walk, int side, bool forward) {
    const int b2 = BoardAt(s, PinSquare(side, 2));
    const int b5 = BoardAt(s, PinSquare(side, 5));
    if (b2 == kNoBoardHere) {
        if (b5 == kNoBoardHere) {
            walk.MarkOn();
            return false;
        }
        return walk.Visit(b5, side, forward);
    }
    if (walk.Visit(b2, side, forward)) {
        if (b5 != kNoBoardHere) walk.Visit(b5, side, forward);
        return true;
    }
    return b5 != kNoBoardHere && walk.Visit(b5, side, forward);
}

void WalkColumn(const RefState& s, EdgeWalk& walk, int side, const WalkItems& items, bool forward) {
    for (int i = 0; i < items.count; ++i) {
        const int item = items.items[i];
        if (item == kGroup) {
            if (WalkGroup(s, walk, side, forward)) return;
            continue;
        }
        const int board = BoardAt(s, PinSquare(side, item));
        const bool lastPin = item == 1 || item == 6;
        if (board == kNoBoardHere) {
            if (!lastPin) walk.MarkOn();
            continue;
        }
        if (walk.Visit(board, side, forward)) return;
    }
}

bool IsGroupPin(int number) {
    return number == 2 || number == 5;
}

// The outer squares (front or rear) that must be empty before a piece leaves its own board
// along the outer file; at pins 2 and 5 those of every board standing there.
bool OuterClear(const RefState& s, int board, const PinRow& pin, bool front) {
    auto clear = [&](int b) {
        return s.board[front ? FrontOuter(b, pin.side) : RearOuter(b, pin.side)] == 0;
    };
    if (!IsGroupPin(pin.number)) return clear(board);
    for (int number : {2, 5}) {
        const int b = BoardAt(s, PinSquare(pin.side, number));
        if (b != kNoBoardHere && !clear(b)) return false;
    }
    return true;
}

void ColumnLines(const RefState& s, unsigned square, int board, const PinRow& pin, bool white,
                 uint64_t& mask) {
    const unsigned rear = RearOuter(board, pin.side);
    if (square != rear && square != rear + 1) return;
    const bool onRear = square == rear;
    const bool forwardAllowed = onRear ? pin.number != 4 && OuterClear(s, board, pin, true) : true;
    if (forwardAllowed) {
        EdgeWalk walk(s, white, false, mask);
        WalkColumn(s, walk, pin.side, kForwardItems[pin.number], true);
    }
    const bool backwardAllowed = onRear ? true : OuterClear(s, board, pin, false);
    if (backwardAllowed) {
        EdgeWalk walk(s, white, false, mask);
        WalkColumn(s, walk, pin.side, kBackwardItems[pin.number], false);
    }
}

// The back rows joining the boards at q1 and k1 (rear rows) and at q6 and k6 (front rows).
struct BackRowLink {
    unsigned pin;
    unsigned leading;   // offset of the square that needs the other one empty
    unsigned trailing;  // the other square of the row
    unsigned targetPin;
    unsigned entry[2];  // offsets entered on the target board, in order
};
constexpr BackRowLink kBackRowLinks[] = {
    {kPinQ1, 0, 8, kPinK1, {0, 8}},
    {kPinK1, 8, 0, kPinQ1, {8, 0}},
    {kPinQ6, 1, 9, kPinK6, {1, 9}},
    {kPinK6, 9, 1, kPinQ6, {9, 1}},
};

void BackRowLines(const RefState& s, unsigned square, int board, bool white, uint64_t& mask) {
    const unsigned base = kBoardBase[board];
    for (const BackRowLink& link : kBackRowLinks) {
        if (s.pins[board] != link.pin) continue;
        const unsigned offset = square - base;
        if (offset != link.leading && offset != link.trailing) continue;
        if (offset == link.leading && s.board[base + link.trailing] != 0) continue;
        const int target = BoardAt(s, link.targetPin);
        if (target == kNoBoardHere) continue;
        EdgeWalk walk(s, white, true, mask);
        const unsigned targetBase = kBoardBase[target];
        if (!walk.Check(targetBase + link.entry[0])) walk.Check(targetBase + link.entry[1]);
    }
}

uint64_t EdgeLines(const RefState& s, unsigned square) {
    uint64_t mask = 0;
    const int board = BoardOf(square);
    if (board == kNoBoardHere) return mask;
    const PinRow* pin = FindPinRow(s.pins[board]);
    if (pin == nullptr) return mask;
    const bool white = s.board[square] > 0;
    ColumnLines(s, square, board, *pin, white, mask);
    BackRowLines(s, square, board, white, mask);
    return mask;
}

// Squares the piece on square attacks; edgeOnly receives those reached only along the
// Tournament outer-file and back-row lines.
uint64_t PieceAttacks(const RefState& s, const Geometry& geo, unsigned square,
                      uint64_t* edgeOnly = nullptr) {
    const int code = s.board[square];
    uint64_t rays = 0;
    switch (Kind(code)) {
        case kPawn:
            return PawnCaptureMask(geo, square, code > 0);
        case kKnight:
            return StepMask(geo, square, kKnightJumps);
        case kKing:
            return StepMask(geo, square, kOrthogonals) | StepMask(geo, square, kDiagonals);
        case kBishop:
            return RaysMask(s, geo, square, kDiagonals);
        case kRook:
            rays = RaysMask(s, geo, square, kOrthogonals);
            break;
        case kQueen:
            rays = RaysMask(s, geo, square, kDiagonals) | RaysMask(s, geo, square, kOrthogonals);
            break;
        default:
            return 0;
    }
    if (s.rules != RuleSet::kTournament) return rays;
    const uint64_t edge = EdgeLines(s, square);
    if (edgeOnly != nullptr) *edgeOnly = edge & ~rays;
    return rays | edge;
}

uint64_t SideAttacks(const RefState& s, const Geometry& geo, bool white) {
    uint64_t mask = 0;
    for (unsigned square = 0; square < kSquares; ++square) {
        const int code = s.board[square];
        if (code != 0 && (code > 0) == white) mask |= PieceAttacks(s, geo, square);
    }
    return mask;
}

// ---- move generation ----

bool IsEnemy(int code, bool white) {
    return code != 0 && (code > 0) != white;
}
bool IsOwn(int code, bool white) {
    return code != 0 && (code > 0) == white;
}

// A pawn of this colour standing on square has reached its last rank.
bool PromotesOn(const RefState& s, const Geometry& geo, bool white, unsigned square) {
    const int board = BoardOf(square);
    if (board != kNoBoardHere) {
        const unsigned offset = square - kBoardBase[board];
        const unsigned pin = s.pins[board];
        if (white) return (offset == 1 || offset == 9) && (pin == kPinQ6 || pin == kPinK6);
        return (offset == 0 || offset == 8) && (pin == kPinQ1 || pin == kPinK1);
    }
    return geo.Step(square, 0, white ? 1 : -1) == nullptr;
}

// A pawn may double-step from the start square of its own pawn slot; on an attack board the
// board must stand at its home pin.
bool MayDoubleStep(const RefState& s, unsigned square, bool white) {
    constexpr unsigned kWhiteStartRow = 1, kBlackStartRow = 6;
    if (IndexRow(square) != (white ? kWhiteStartRow : kBlackStartRow)) return false;
    if (s.pawnSlot[square] != static_cast<int>(IndexColumn(square))) return false;
    struct HomeNeed {
        unsigned squares[2];
        int board;
        unsigned pin;
    };
    static constexpr HomeNeed kNeeds[] = {
        {{1, 9}, 0, kPinQ1}, {{17, 25}, 2, kPinK1}, {{6, 14}, 1, kPinQ6}, {{22, 30}, 3, kPinK6}};
    for (const HomeNeed& need : kNeeds) {
        if (square == need.squares[0] || square == need.squares[1]) {
            return s.pins[need.board] == need.pin;
        }
    }
    return true;
}

// The pawn an attack-board move to pin `to` carries to its last rank: a White pawn on the
// board's upper rank going to q6 or k6, a Black pawn on its lower rank going to q1 or k1;
// kSquares when none.
unsigned PawnCarriedToPromotion(const RefState& s, int board, unsigned to) {
    const bool white = to == kPinQ6 || to == kPinK6;
    if (!white && to != kPinQ1 && to != kPinK1) return kSquares;
    const unsigned first = kBoardBase[board] + (white ? 1 : 0);
    for (unsigned square : {first, first + kSecondColumn}) {
        if (s.board[square] == (white ? kPawn : -kPawn)) return square;
    }
    return kSquares;
}

class Generator {
public:
    Generator(const RefState& s, const Geometry& geo)
        : s_(s), geo_(geo), white_(s.whiteToMove), enemyAttacks_(SideAttacks(s, geo, !white_)) {}

    std::vector<RefMove> Run() {
        for (unsigned square = 0; square < kSquares; ++square) {
            const int code = s_.board[square];
            if (!IsOwn(code, white_)) continue;
            if (Kind(code) == kPawn) {
                PawnMoves(square);
            } else {
                OfficerMoves(square);
            }
        }
        Castling();
        BoardMoves();
        return std::move(moves_);
    }

private:
    void Add(int piece, unsigned from, unsigned to, uint32_t features, char promotion = 0) {
        moves_.push_back({piece, from, to, promotion, features});
    }

    void AddPawnMove(unsigned from, unsigned to, uint32_t features) {
        if (PromotesOn(s_, geo_, white_, to)) {
            features |= kPromotion;
            if (BoardOf(to) != kNoBoardHere) features |= kBoardSquarePromotion;
            Add(s_.board[from], from, to, features, 'Q');
        } else {
            Add(s_.board[from], from, to, features);
        }
    }

    void OfficerMoves(unsigned from) {
        uint64_t edgeOnly = 0;
        const uint64_t targets = PieceAttacks(s_, geo_, from, &edgeOnly);
        const bool king = Kind(s_.board[from]) == kKing;
        for (unsigned to = 0; to < kSquares; ++to) {
            if ((targets & Bit(to)) == 0 || IsOwn(s_.board[to], white_)) continue;
            if (king && (enemyAttacks_ & Bit(to)) != 0) continue;
            uint32_t features = king ? uint32_t{kKingMove} : 0u;
            if (s_.board[to] != 0) features |= kCapture;
            if ((edgeOnly & Bit(to)) != 0) features |= kEdgeLine;
            Add(s_.board[from], from, to, features);
        }
    }

    void PawnMoves(unsigned from) {
        const int dr = white_ ? 1 : -1;
        PawnPushes(from, dr);
        for (int df : {-1, 1}) {
            const Cell* cell = geo_.Step(from, df, dr);
            if (cell == nullptr) continue;
            for (int i = 0; i < cell->count; ++i) {
                const unsigned to = cell->squares[i];
                if (IsEnemy(s_.board[to], white_)) AddPawnMove(from, to, kCapture);
            }
        }
        EnPassant(from, dr);
    }

    void PawnPushes(unsigned from, int dr) {
        const Cell* one = geo_.Step(from, 0, dr);
        if (one == nullptr) return;
        bool open[kLevels];
        std::fill(open, open + kLevels, true);
        bool anyEmpty = false, anyOccupied = false;
        for (int i = 0; i < one->count; ++i) {
            const unsigned to = one->squares[i];
            if (s_.board[to] != 0) {
                open[geo_.Level(to)] = false;
                anyOccupied = true;
            } else {
                anyEmpty = true;
                AddPawnMove(from, to, 0);
            }
        }
        if (!anyEmpty || !MayDoubleStep(s_, from, white_)) return;
        if (anyOccupied && s_.rules == RuleSet::kTournament) return;
        const Cell* two = geo_.Step(from, 0, 2 * dr);
        if (two == nullptr) return;
        const uint32_t features = kDoubleStep | (anyOccupied ? uint32_t{kOpenLevelDoubleStep} : 0u);
        for (int i = 0; i < two->count; ++i) {
            const unsigned to = two->squares[i];
            if (s_.board[to] == 0 && open[geo_.Level(to)]) AddPawnMove(from, to, features);
        }
    }

    // Onto every empty square at the file and rank the enemy pawn passed over.
    void EnPassant(unsigned from, int dr) {
        if (s_.epSquare == 0 || s_.epSquare >= kSquares) return;
        const Place& ep = geo_.PlaceAt(s_.epSquare);
        const Place& at = geo_.PlaceAt(from);
        if (at.rank + dr != ep.rank || std::abs(at.file - ep.file) != 1) return;
        const Cell* cell = geo_.At(ep.file, ep.rank);
        if (cell == nullptr) return;
        for (int i = 0; i < cell->count; ++i) {
            const unsigned to = cell->squares[i];
            if (s_.board[to] == 0) AddPawnMove(from, to, kEnPassant | kCapture);
        }
    }

    void Castling() {
        struct Castle {
            bool white;
            unsigned right;
            unsigned king;
            unsigned rook;
            unsigned to;
            bool toMustBeEmpty;
            uint32_t feature;
        };
        static constexpr Castle kCastles[] = {
            {true, kWhiteKingSide, 16, 24, 24, false, kCastleShort},
            {true, kWhiteQueenSide, 16, 0, 8, true, kCastleLong},
            {false, kBlackKingSide, 23, 31, 31, false, kCastleShort},
            {false, kBlackQueenSide, 23, 7, 15, true, kCastleLong},
        };
        const int sign = white_ ? 1 : -1;
        for (const Castle& c : kCastles) {
            if (c.white != white_ || (s_.castling & c.right) == 0) continue;
            if (s_.board[c.king] != sign * kKing || s_.board[c.rook] != sign * kRook) continue;
            if (c.toMustBeEmpty && s_.board[c.to] != 0) continue;
            if ((enemyAttacks_ & (Bit(c.king) | Bit(c.to))) != 0) continue;
            Add(sign * kKing, c.king, c.to, c.feature | kKingMove);
        }
    }

    void AddBoardMove(int board, unsigned to) {
        if (to == 0 || BoardAt(s_, to) != kNoBoardHere) return;
        const int id = kBoardIdBase + static_cast<int>(kBoardBase[board]);
        if (PawnCarriedToPromotion(s_, board, to) != kSquares) {
            Add(id, s_.pins[board], to, kBoardMove | kBoardMovePromotion, 'Q');
        } else {
            Add(id, s_.pins[board], to, kBoardMove);
        }
    }

    void BoardMoves() {
        const bool tournament = s_.rules == RuleSet::kTournament;
        for (int board = 0; board < kBoards; ++board) {
            if (s_.whiteOwns[board] != white_) continue;
            int occupied = 0, weight = 0, value = 0;
            for (unsigned offset : kBoardOffsets) {
                const int code = s_.board[kBoardBase[board] + offset];
                occupied += code != 0;
                weight += Kind(code);
                value += code;
            }
            if (tournament ? occupied > 1 : weight > 1) continue;
            const PinRow* route = FindPinRow(s_.pins[board]);
            if (route == nullptr) continue;
            if (value < 1) {
                for (unsigned to : route->towardWhite) AddBoardMove(board, to);
            }
            if (value >= 0) {
                for (unsigned to : route->towardBlack) AddBoardMove(board, to);
            }
            if (tournament) AddBoardMove(board, route->sideways);
        }
    }

    const RefState& s_;
    const Geometry& geo_;
    bool white_;
    uint64_t enemyAttacks_;
    std::vector<RefMove> moves_;
};

// ---- making moves ----

int PromotedKind(char letter) {
    return letter == 'N' ? kKnight : letter == 'B' ? kBishop : letter == 'R' ? kRook : kQueen;
}

void UpdateOwners(RefState& s) {
    for (int board = 0; board < kBoards; ++board) {
        int count = 0, code = 0;
        for (unsigned offset : kBoardOffsets) {
            const int c = s.board[kBoardBase[board] + offset];
            if (c != 0) {
                ++count;
                code = c;
            }
        }
        if (count == 0) s.whiteOwns[board] = kDefaultWhite[board];
        if (count == 1) s.whiteOwns[board] = code > 0;
    }
}

void PlayBoardMove(RefState& n, const RefMove& m) {
    const int board = BoardOf(static_cast<unsigned>(m.piece - kBoardIdBase));
    const unsigned promoted = PawnCarriedToPromotion(n, board, m.to);
    n.pins[board] = m.to;
    n.epSquare = 0;
    if (promoted == kSquares) return;
    n.board[promoted] = (n.board[promoted] > 0 ? 1 : -1) * PromotedKind(m.promotion);
    n.pawnSlot[promoted] = kNoPawnSlot;
}

// The enemy pawn taken en passant: the first enemy pawn at the file and rank behind the
// destination, in step-list order.
void TakeEnPassant(RefState& n, const Geometry& geo, unsigned to, bool white) {
    const Cell* behind = geo.Step(to, 0, white ? -1 : 1);
    if (behind == nullptr) return;
    for (int i = 0; i < behind->count; ++i) {
        const unsigned square = behind->squares[i];
        if (n.board[square] == (white ? -kPawn : kPawn)) {
            n.board[square] = 0;
            n.pawnSlot[square] = kNoPawnSlot;
            return;
        }
    }
}

void UpdateCastling(RefState& n, int piece, const RefMove& m, bool captured) {
    if (n.castling == 0) return;
    if (piece == kKing) n.castling &= ~(kWhiteKingSide | kWhiteQueenSide);
    if (piece == -kKing) n.castling &= ~(kBlackKingSide | kBlackQueenSide);
    struct RookHome {
        unsigned square;
        int rook;
        unsigned right;
    };
    static constexpr RookHome kHomes[] = {{24, kRook, kWhiteKingSide},
                                          {0, kRook, kWhiteQueenSide},
                                          {31, -kRook, kBlackKingSide},
                                          {7, -kRook, kBlackQueenSide}};
    for (const RookHome& home : kHomes) {
        if (piece == home.rook && m.from == home.square) n.castling &= ~home.right;
    }
    if (!captured) return;
    for (const RookHome& home : kHomes) {
        if (m.to == home.square && (n.castling & home.right) != 0) {
            n.castling &= ~home.right;
            return;
        }
    }
}

// After a double step next to an enemy pawn: the first square of the pawn's single-step list.
unsigned EnPassantSquareAfter(const RefState& n, const Geometry& geo, const RefMove& m,
                              bool white) {
    const int dr = white ? 1 : -1;
    const Place& from = geo.PlaceAt(m.from);
    const Place& to = geo.PlaceAt(m.to);
    if (to.file != from.file || to.rank != from.rank + 2 * dr) return 0;
    bool beside = false;
    for (int df : {-1, 1}) {
        const Cell* cell = geo.At(to.file + df, to.rank);
        for (int i = 0; cell != nullptr && i < cell->count; ++i) {
            beside = beside || n.board[cell->squares[i]] == (white ? -kPawn : kPawn);
        }
    }
    if (!beside) return 0;
    const Cell* passed = geo.At(from.file, from.rank + dr);
    return passed == nullptr ? 0 : passed->squares[0];
}

void PlayPieceMove(RefState& n, const RefState& s, const Geometry& geo, const RefMove& m) {
    const int piece = s.board[m.from];
    const bool white = piece > 0;
    bool captured = s.board[m.to] != 0;
    n.board[m.from] = 0;
    n.pawnSlot[m.from] = kNoPawnSlot;
    if ((m.features & kCastleShort) != 0) {
        n.board[m.from] = s.board[m.to];
    } else if ((m.features & kCastleLong) != 0) {
        const unsigned rookHome = white ? 0 : 7;
        n.board[m.from] = n.board[rookHome];
        n.board[rookHome] = 0;
    }
    n.board[m.to] = piece;
    n.pawnSlot[m.to] = Kind(piece) == kPawn ? s.pawnSlot[m.from] : kNoPawnSlot;
    if (Kind(piece) == kPawn && (m.features & kEnPassant) != 0) {
        TakeEnPassant(n, geo, m.to, white);
        captured = true;
    }
    if (Kind(piece) == kPawn && PromotesOn(s, geo, white, m.to)) {
        n.board[m.to] = (white ? 1 : -1) * PromotedKind(m.promotion);
        n.pawnSlot[m.to] = kNoPawnSlot;
    }
    n.epSquare = Kind(piece) == kPawn ? EnPassantSquareAfter(n, geo, m, white) : 0;
    UpdateCastling(n, piece, m, captured);
}

RefState PlayWith(const RefState& state, const Geometry& geo, const RefMove& move) {
    RefState next = state;
    if (IsBoardId(move.piece)) {
        PlayBoardMove(next, move);
    } else {
        PlayPieceMove(next, state, geo, move);
    }
    UpdateOwners(next);
    next.whiteToMove = !state.whiteToMove;
    return next;
}

bool KingAttackedWith(const RefState& s, const Geometry& geo, bool white) {
    const int king = white ? kKing : -kKing;
    unsigned target = kSquares;
    for (unsigned square = 0; square < kSquares; ++square) {
        if (s.board[square] == king) target = square;
    }
    if (target == kSquares) return true;
    for (unsigned square = 0; square < kSquares; ++square) {
        if (!IsEnemy(s.board[square], white)) continue;
        if ((PieceAttacks(s, geo, square) & Bit(target)) != 0) return true;
    }
    return false;
}

std::string PinText(unsigned pin) {
    const PinRow* row = FindPinRow(pin);
    if (row == nullptr) return "??";
    return std::string(1, row->side == kQueenSide ? 'q' : 'k') +
           static_cast<char>('0' + row->number);
}

char PieceLetter(int code) {
    static constexpr char kLetters[] = "?PNBRQK";
    const char letter = kLetters[std::min(Kind(code), kKing)];
    return code > 0 ? letter : static_cast<char>(letter - 'A' + 'a');
}

}  // namespace

RefState FromPosition(const Position& position) {
    constexpr int kPawnSlotCount = 8;
    RefState s;
    s.rules = TournamentRules(position) ? RuleSet::kTournament : RuleSet::kStandard;
    for (unsigned square = 0; square < kSquares; ++square) {
        const int code = position.board[square];
        s.board[square] = code;
        s.pawnSlot[square] = kNoPawnSlot;
        if (Kind(code) != kPawn || position.squareSlot[square] == kNoSlot) continue;
        const int first = code > 0 ? kSlotFirstPawn : kBlackSlots + kSlotFirstPawn;
        const int k = position.squareSlot[square] - first;
        if (k >= 0 && k < kPawnSlotCount) s.pawnSlot[square] = k;
    }
    for (int board = 0; board < kBoards; ++board) {
        s.pins[board] = position.abPin[board];
        s.whiteOwns[board] = position.abWhite[board] != 0;
    }
    s.castling = position.flags & kCastlingRights;
    s.epSquare = position.epSquare < kSquares ? position.epSquare : 0;
    s.whiteToMove = WhiteToMove(position);
    return s;
}

uint64_t AttackedSquares(const RefState& state, bool byWhite) {
    const Geometry geo(state.pins);
    return SideAttacks(state, geo, byWhite);
}

std::vector<RefMove> LegalMoves(const RefState& state) {
    const Geometry geo(state.pins);
    std::vector<RefMove> legal;
    for (const RefMove& move : Generator(state, geo).Run()) {
        const RefState next = PlayWith(state, geo, move);
        const bool attacked = IsBoardId(move.piece)
                                  ? KingAttackedWith(next, Geometry(next.pins), state.whiteToMove)
                                  : KingAttackedWith(next, geo, state.whiteToMove);
        if (attacked) continue;
        if (move.promotion == 0) {
            legal.push_back(move);
            continue;
        }
        for (char letter : {'Q', 'B', 'R', 'N'}) {
            RefMove variant = move;
            variant.promotion = letter;
            legal.push_back(variant);
        }
    }
    std::stable_sort(legal.begin(), legal.end());
    legal.erase(std::unique(legal.begin(), legal.end()), legal.end());
    return legal;
}

RefState Play(const RefState& state, const RefMove& move) {
    const Geometry geo(state.pins);
    return PlayWith(state, geo, move);
}

std::string MoveText(const RefMove& move) {
    std::ostringstream out;
    if (IsBoardId(move.piece)) {
        out << "board " << move.piece << ' ' << PinText(move.from) << '-' << PinText(move.to);
    } else {
        out << PieceLetter(move.piece) << move.from << '-' << move.to;
    }
    if (move.promotion != 0) out << '=' << move.promotion;
    return out.str();
}

std::string StateText(const RefState& state) {
    std::ostringstream out;
    for (int code : state.board) out << (code == 0 ? '.' : PieceLetter(code));
    for (int board = 0; board < kBoards; ++board) {
        out << (board == 0 ? ' ' : ',') << PinText(state.pins[board])
            << (state.whiteOwns[board] ? "w" : "b");
    }
    out << (state.whiteToMove ? " w" : " b") << " castling " << state.castling << " ep "
        << state.epSquare << (state.rules == RuleSet::kTournament ? " Tournament" : " Standard");
    return out.str();
}

}  // namespace tarvex::ref3d
