#include "movegen/reference_3d.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <sstream>

#include "board/reference_geometry.h"

namespace tarvex::ref3d {
namespace {

using reference::kBoardLowest;
using reference::kFiles;
using reference::kRanks;
using Place = reference::Place;

constexpr unsigned kSquares = 64;
constexpr int kBoards = 4;
constexpr int kLevels = 8;
constexpr int kMaxInCell = 4;
constexpr unsigned kFirstSideLevelSquare = 32;  // 32..63: the White and the Black level
constexpr unsigned kBoardOffsets[4] = {0, 1, 8, 9};
constexpr unsigned kSecondColumn = 8;  // offset of a board's second column
constexpr bool kDefaultWhite[kBoards] = {true, false, true, false};
constexpr int kBoardIdBase = 100;
constexpr int kNoBoardHere = -1;

// The twelve pins: square, column (0 queen's side, 1 king's side), number 1..6 in the column,
// and where an attack board may go from there (0 = no pin). The places the pins give a board's
// squares come from the board tests' reference geometry.
constexpr int kMaxRoutes = 3;
struct PinRow {
    unsigned square;
    int side;
    int number;
    unsigned towardWhite[kMaxRoutes];
    unsigned towardBlack[kMaxRoutes];
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

constexpr int kPinsPerColumn = 6;
// Per board, the pin it starts on.
constexpr unsigned kHomePins[kBoards] = {kPinQ1, kPinQ6, kPinK1, kPinK6};

const PinRow* FindPinRow(unsigned square) {
    const PinRow* row = std::ranges::find(kPinRows, square, &PinRow::square);
    return row == std::end(kPinRows) ? nullptr : row;
}

unsigned PinSquare(int side, int number) {
    return kPinRows[side * kPinsPerColumn + number - 1].square;
}

// Board 0..3 holding square, or kNoBoardHere for a main-level square.
int BoardOf(unsigned square) {
    return reference::BoardHolding(square);
}

int BoardAt(const RefState& s, unsigned pin) {
    const unsigned* at = std::find(s.pins, s.pins + kBoards, pin);
    return at == s.pins + kBoards ? kNoBoardHere : static_cast<int>(at - s.pins);
}

uint64_t Bit(unsigned square) {
    return uint64_t{1} << square;
}
bool IsBoardId(int piece) {
    return std::ranges::count(kBoardLowest, static_cast<unsigned>(piece - kBoardIdBase)) > 0;
}

// ---- geometry ----

struct Cell {
    int count = 0;
    unsigned squares[kMaxInCell] = {};
    const unsigned* begin() const { return squares; }
    const unsigned* end() const { return squares + count; }
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
    // An empty cell off the board.
    const Cell& At(int file, int rank) const {
        static constexpr Cell kNone;
        if (file < 0 || file >= kFiles || rank < 0 || rank >= kRanks) return kNone;
        return cells_[file][rank];
    }
    const Cell& Step(unsigned square, int df, int dr) const {
        const Place& place = places_[square];
        return place.file < 0 ? At(-1, -1) : At(place.file + df, place.rank + dr);
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
    int df, dr;
};
constexpr Delta kKnightJumps[] = {{1, 2},  {1, -2},  {2, 1},  {2, -1},
                                  {-1, 2}, {-1, -2}, {-2, 1}, {-2, -1}};
// The four diagonals, then the four orthogonals.
constexpr Delta kEight[] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}, {0, 1}, {0, -1}, {1, 0}, {-1, 0}};
constexpr Delta kWhitePawnTakes[] = {{-1, 1}, {1, 1}};
constexpr Delta kBlackPawnTakes[] = {{-1, -1}, {1, -1}};

struct Motion {
    std::span<const Delta> deltas;
    bool slide;
};
// By piece kind, pawn to king; a Black pawn takes the other way.
constexpr Motion kMotions[] = {{{}, false},
                               {kWhitePawnTakes, false},
                               {kKnightJumps, false},
                               {std::span(kEight).first(4), true},
                               {std::span(kEight).last(4), true},
                               {kEight, true},
                               {kEight, false}};

uint64_t CellMask(const Cell& cell) {
    uint64_t mask = 0;
    for (unsigned t : cell) mask |= Bit(t);
    return mask;
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
        const Cell& cell = geo.At(at.file, at.rank);
        bool marked = false, goesOn = false, blocked = false;
        for (unsigned t : cell) {
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

// ---- Tournament outer-file and back-row lines ----

// The outer-file squares of a board in a column: rear (lower rank) and front.
unsigned RearOuter(int board, int side) {
    return kBoardLowest[board] + (side == kKingSide ? kSecondColumn : 0);
}
unsigned FrontOuter(int board, int side) {
    return RearOuter(board, side) + 1;
}

// One walk of a line: marks squares while marking is on, stops at the first piece.
struct EdgeWalk {
    const RefState& s;
    bool white;
    bool marking;
    uint64_t& mask;

    // An empty square is marked and passed, an enemy piece marked and blocks, an own piece
    // blocks unmarked. Returns true when the square blocks.
    bool Check(unsigned square) {
        const int code = s.board[square];
        if (code != 0 && (code > 0) == white) return true;
        if (marking) mask |= Bit(square);
        return code != 0;
    }

    // A board's two outer squares, rear first when going towards Black.
    bool Visit(int board, int side, bool forward) {
        const unsigned rear = RearOuter(board, side);
        return forward ? Check(rear) || Check(rear + 1) : Check(rear + 1) || Check(rear);
    }
};

// Pin numbers passed going towards Black and towards White, by the number of the piece's own
// pin (index 1..6); 'g' is the pins 2 and 5 of a column, taken together.
constexpr const char* kForwardItems[7] = {"", "3g46", "46", "g46", "6", "46", ""};
constexpr const char* kBackwardItems[7] = {"", "", "31", "1", "g31", "31", "4g31"};

// The pins 2 and 5 cover the same squares; returns true when the walk ends here.
bool WalkGroup(const RefState& s, EdgeWalk& walk, int side, bool forward) {
    const int b2 = BoardAt(s, PinSquare(side, 2));
    const int b5 = BoardAt(s, PinSquare(side, 5));
    if (b2 == kNoBoardHere && b5 == kNoBoardHere) {
        walk.marking = true;
        return false;
    }
    const bool ends2 = b2 != kNoBoardHere && walk.Visit(b2, side, forward);
    const bool ends5 = b5 != kNoBoardHere && walk.Visit(b5, side, forward);
    return ends2 || ends5;
}

void WalkColumn(const RefState& s, bool white, uint64_t& mask, int side, const char* items,
                bool forward) {
    EdgeWalk walk{s, white, false, mask};
    for (; *items != 0; ++items) {
        const int item = *items - '0';
        if (*items == 'g') {
            if (WalkGroup(s, walk, side, forward)) return;
            continue;
        }
        const int board = BoardAt(s, PinSquare(side, item));
        const bool lastPin = item == 1 || item == 6;
        if (board == kNoBoardHere) {
            if (!lastPin) walk.marking = true;
            continue;
        }
        if (walk.Visit(board, side, forward)) return;
    }
}

// The outer squares (front or rear) that must be empty before a piece leaves its own board
// along the outer file; at pins 2 and 5 those of every board standing there.
bool OuterClear(const RefState& s, int board, const PinRow& pin, bool front) {
    auto clear = [&](int b) {
        return s.board[front ? FrontOuter(b, pin.side) : RearOuter(b, pin.side)] == 0;
    };
    if (pin.number != 2 && pin.number != 5) return clear(board);
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
    if (!onRear || (pin.number != 4 && OuterClear(s, board, pin, true))) {
        WalkColumn(s, white, mask, pin.side, kForwardItems[pin.number], true);
    }
    if (onRear || OuterClear(s, board, pin, false)) {
        WalkColumn(s, white, mask, pin.side, kBackwardItems[pin.number], false);
    }
}

// The back rows joining the boards at q1 and k1 (rear rows) and at q6 and k6 (front rows).
// leading: offset of the square that needs the other (trailing) one empty; the target board
// is entered at the same offsets, in that order.
struct BackRowLink {
    unsigned pin, leading, trailing, targetPin;
};
constexpr BackRowLink kBackRowLinks[] = {
    {kPinQ1, 0, 8, kPinK1}, {kPinK1, 8, 0, kPinQ1}, {kPinQ6, 1, 9, kPinK6}, {kPinK6, 9, 1, kPinQ6}};

void BackRowLines(const RefState& s, unsigned square, int board, bool white, uint64_t& mask) {
    const unsigned base = kBoardLowest[board];
    for (const BackRowLink& link : kBackRowLinks) {
        if (s.pins[board] != link.pin) continue;
        const unsigned offset = square - base;
        if (offset != link.leading && offset != link.trailing) continue;
        if (offset == link.leading && s.board[base + link.trailing] != 0) continue;
        const int target = BoardAt(s, link.targetPin);
        if (target == kNoBoardHere) continue;
        EdgeWalk walk{s, white, true, mask};
        const unsigned targetBase = kBoardLowest[target];
        if (!walk.Check(targetBase + link.leading)) walk.Check(targetBase + link.trailing);
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
    const int kind = std::abs(code);
    if (kind < kPawn || kind > kKing) return 0;
    const Motion& motion = kMotions[kind];
    uint64_t rays = 0;
    for (const Delta& d : code == -kPawn ? std::span(kBlackPawnTakes) : motion.deltas) {
        rays |= motion.slide ? RayMask(s, geo, square, d) : CellMask(geo.Step(square, d.df, d.dr));
    }
    if (kind != kRook && kind != kQueen) return rays;
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
        const unsigned offset = square - kBoardLowest[board];
        const unsigned pin = s.pins[board];
        if (white) return (offset == 1 || offset == 9) && (pin == kPinQ6 || pin == kPinK6);
        return (offset == 0 || offset == 8) && (pin == kPinQ1 || pin == kPinK1);
    }
    return geo.Step(square, 0, white ? 1 : -1).count == 0;
}

// A pawn may double-step from the start square of its own pawn slot; on an attack board the
// board must stand at its home pin.
bool MayDoubleStep(const RefState& s, unsigned square, bool white) {
    constexpr unsigned kWhiteStartRow = 1, kBlackStartRow = 6;
    if ((square & 7) != (white ? kWhiteStartRow : kBlackStartRow)) return false;
    if (s.pawnSlot[square] != static_cast<int>(square >> 3)) return false;
    const int board = BoardOf(square);
    return board == kNoBoardHere || s.pins[board] == kHomePins[board];
}

// The pawn an attack-board move to pin `to` carries to its last rank: a White pawn on the
// board's upper rank going to q6 or k6, a Black pawn on its lower rank going to q1 or k1;
// kSquares when none.
unsigned PawnCarriedToPromotion(const RefState& s, int board, unsigned to) {
    const bool white = to == kPinQ6 || to == kPinK6;
    if (!white && to != kPinQ1 && to != kPinK1) return kSquares;
    const unsigned first = kBoardLowest[board] + (white ? 1 : 0);
    for (unsigned square : {first, first + kSecondColumn}) {
        if (s.board[square] == (white ? kPawn : -kPawn)) return square;
    }
    return kSquares;
}

// The four castlings: the right, the king's and the rook's home squares and the king's
// destination: the rook's square when castling short, an empty square when castling long.
struct Castle {
    bool white;
    unsigned right, king, rook, to;
};
constexpr Castle kCastles[] = {{true, kWhiteKingSide, 16, 24, 24},
                               {true, kWhiteQueenSide, 16, 0, 8},
                               {false, kBlackKingSide, 23, 31, 31},
                               {false, kBlackQueenSide, 23, 7, 15}};

class Generator {
public:
    Generator(const RefState& s, const Geometry& geo)
        : s_(s), geo_(geo), white_(s.whiteToMove), enemyAttacks_(SideAttacks(s, geo, !white_)) {}

    std::vector<RefMove> Run() {
        for (unsigned square = 0; square < kSquares; ++square) {
            const int code = s_.board[square];
            if (!IsOwn(code, white_)) continue;
            std::abs(code) == kPawn ? PawnMoves(square) : OfficerMoves(square);
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
        const bool promotes = PromotesOn(s_, geo_, white_, to);
        if (promotes) features |= kPromotion;
        if (promotes && BoardOf(to) != kNoBoardHere) features |= kBoardSquarePromotion;
        Add(s_.board[from], from, to, features, promotes ? 'Q' : 0);
    }

    void OfficerMoves(unsigned from) {
        uint64_t edgeOnly = 0;
        const uint64_t targets = PieceAttacks(s_, geo_, from, &edgeOnly);
        const bool king = std::abs(s_.board[from]) == kKing;
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
        const uint64_t takes = PieceAttacks(s_, geo_, from);
        for (unsigned to = 0; to < kSquares; ++to) {
            if ((takes & Bit(to)) != 0 && IsEnemy(s_.board[to], white_))
                AddPawnMove(from, to, kCapture);
        }
        EnPassant(from, dr);
    }

    void PawnPushes(unsigned from, int dr) {
        bool open[kLevels];
        std::fill(open, open + kLevels, true);
        bool anyEmpty = false, anyOccupied = false;
        for (unsigned to : geo_.Step(from, 0, dr)) {
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
        const uint32_t features = kDoubleStep | (anyOccupied ? uint32_t{kOpenLevelDoubleStep} : 0u);
        for (unsigned to : geo_.Step(from, 0, 2 * dr)) {
            if (s_.board[to] == 0 && open[geo_.Level(to)]) AddPawnMove(from, to, features);
        }
    }

    // Onto every empty square at the file and rank the enemy pawn passed over.
    void EnPassant(unsigned from, int dr) {
        if (s_.epSquare == 0 || s_.epSquare >= kSquares) return;
        const Place& ep = geo_.PlaceAt(s_.epSquare);
        const Place& at = geo_.PlaceAt(from);
        if (at.rank + dr != ep.rank || std::abs(at.file - ep.file) != 1) return;
        for (unsigned to : geo_.At(ep.file, ep.rank)) {
            if (s_.board[to] == 0) AddPawnMove(from, to, kEnPassant | kCapture);
        }
    }

    void Castling() {
        const int sign = white_ ? 1 : -1;
        for (const Castle& c : kCastles) {
            if (c.white != white_ || (s_.castling & c.right) == 0) continue;
            if (s_.board[c.king] != sign * kKing || s_.board[c.rook] != sign * kRook) continue;
            const bool isShort = c.to == c.rook;
            if (!isShort && s_.board[c.to] != 0) continue;
            if ((enemyAttacks_ & (Bit(c.king) | Bit(c.to))) != 0) continue;
            Add(sign * kKing, c.king, c.to, (isShort ? kCastleShort : kCastleLong) | kKingMove);
        }
    }

    void AddBoardMove(int board, unsigned to) {
        if (to == 0 || BoardAt(s_, to) != kNoBoardHere) return;
        const int id = kBoardIdBase + static_cast<int>(kBoardLowest[board]);
        const bool promotes = PawnCarriedToPromotion(s_, board, to) != kSquares;
        Add(id, s_.pins[board], to, kBoardMove | (promotes ? kBoardMovePromotion : 0u),
            promotes ? 'Q' : 0);
    }

    void BoardMoves() {
        const bool tournament = s_.rules == RuleSet::kTournament;
        for (int board = 0; board < kBoards; ++board) {
            if (s_.whiteOwns[board] != white_) continue;
            int occupied = 0, weight = 0, value = 0;
            for (unsigned offset : kBoardOffsets) {
                const int code = s_.board[kBoardLowest[board] + offset];
                occupied += code != 0;
                weight += std::abs(code);
                value += code;
            }
            if (tournament ? occupied > 1 : weight > 1) continue;
            const PinRow* route = FindPinRow(s_.pins[board]);
            if (route == nullptr) continue;
            for (int i = 0; i < kMaxRoutes; ++i) {
                if (value < 1) AddBoardMove(board, route->towardWhite[i]);
                if (value >= 0) AddBoardMove(board, route->towardBlack[i]);
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
            const int c = s.board[kBoardLowest[board] + offset];
            count += c != 0;
            code = c != 0 ? c : code;
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
    for (unsigned square : geo.Step(to, 0, white ? -1 : 1)) {
        if (n.board[square] == (white ? -kPawn : kPawn)) {
            n.board[square] = 0;
            n.pawnSlot[square] = kNoPawnSlot;
            return;
        }
    }
}

void UpdateCastling(RefState& n, int piece, const RefMove& m, bool captured) {
    for (const Castle& c : kCastles) {
        const int sign = c.white ? 1 : -1;
        const bool rookLeaves = piece == sign * kRook && m.from == c.rook;
        if (piece == sign * kKing || rookLeaves || (captured && m.to == c.rook)) {
            n.castling &= ~c.right;
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
        for (unsigned t : geo.At(to.file + df, to.rank)) {
            beside = beside || n.board[t] == (white ? -kPawn : kPawn);
        }
    }
    if (!beside) return 0;
    return geo.At(from.file, from.rank + dr).squares[0];
}

void PlayPieceMove(RefState& n, const RefState& s, const Geometry& geo, const RefMove& m) {
    const int piece = s.board[m.from];
    const bool white = piece > 0;
    bool captured = s.board[m.to] != 0;
    n.board[m.from] = 0;
    n.pawnSlot[m.from] = kNoPawnSlot;
    if ((m.features & (kCastleShort | kCastleLong)) != 0) {  // the rook goes to the king's square
        const unsigned rook = (m.features & kCastleShort) != 0 ? m.to : white ? 0 : 7;
        n.board[m.from] = s.board[rook];
        n.board[rook] = 0;
    }
    n.board[m.to] = piece;
    n.pawnSlot[m.to] = std::abs(piece) == kPawn ? s.pawnSlot[m.from] : kNoPawnSlot;
    if (std::abs(piece) == kPawn && (m.features & kEnPassant) != 0) {
        TakeEnPassant(n, geo, m.to, white);
        captured = true;
    }
    if (std::abs(piece) == kPawn && PromotesOn(s, geo, white, m.to)) {
        n.board[m.to] = (white ? 1 : -1) * PromotedKind(m.promotion);
        n.pawnSlot[m.to] = kNoPawnSlot;
    }
    n.epSquare = std::abs(piece) == kPawn ? EnPassantSquareAfter(n, geo, m, white) : 0;
    UpdateCastling(n, piece, m, captured);
}

RefState PlayWith(const RefState& state, const Geometry& geo, const RefMove& move) {
    RefState next = state;
    IsBoardId(move.piece) ? PlayBoardMove(next, move) : PlayPieceMove(next, state, geo, move);
    UpdateOwners(next);
    next.whiteToMove = !state.whiteToMove;
    return next;
}

bool KingAttackedWith(const RefState& s, const Geometry& geo, bool white) {
    const int king = white ? kKing : -kKing;
    const int* target = std::find(s.board, s.board + kSquares, king);
    if (target == s.board + kSquares) return true;
    return (SideAttacks(s, geo, !white) & Bit(static_cast<unsigned>(target - s.board))) != 0;
}

std::string PinText(unsigned pin) {
    return reference::PinAt(pin) != nullptr ? reference::PinAt(pin)->name : "??";
}

char PieceLetter(int code) {
    static constexpr char kLetters[] = "?PNBRQK";
    const char letter = kLetters[std::min(std::abs(code), kKing)];
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
        if (std::abs(code) != kPawn || position.squareSlot[square] == kNoSlot) continue;
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
        // A board move changes the geometry the king is attacked in.
        const Geometry& after = IsBoardId(move.piece) ? Geometry(next.pins) : geo;
        if (KingAttackedWith(next, after, state.whiteToMove)) continue;
        for (char letter : move.promotion == 0 ? std::string(1, '\0') : std::string("QBRN")) {
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
