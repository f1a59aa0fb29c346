// The searcher: all the state of one engine's search and the searches themselves. Beside each
// position of its stack it keeps that position's generated moves and evaluation record; it is
// the evaluator its moves' attack regeneration runs, in the record of the position made. The root
// search and the node search prove bounds with null-window calls; the quiescence search settles
// captures below the nominal depth; the MTD driver deepens from depth 2 and moves a lower and an
// upper bound toward each other at each depth. Nothing here is shared between two searchers.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "board/dir_to.h"
#include "board/geometry.h"
#include "board/move.h"
#include "board/position.h"
#include "engine/eval_memory.h"
#include "engine/evaluation.h"
#include "engine/move_chooser.h"
#include "engine/score.h"
#include "engine/transposition_table.h"
#include "movegen/move_generation.h"
#include "rules/move_context.h"
#include "rules/repetition.h"

namespace tarvex::engine {

inline constexpr int kMaxPly = 160;        // search positions on the stack
inline constexpr int kKillerPlies = 60;    // plies that keep killer moves
inline constexpr int kExtensionRoom = 20;  // no extension once depth + ply reaches root + 20

// A list entry worth trying: a piece on its from-square, or an attack-board move.
bool ValidMove(const Position& position, const Move& move);

// The child's hash keys, formed without making the move: the mover leaves its square, the
// captured piece goes, the mover arrives, the side changes. (Castling's rook, en passant and
// promotion are not followed: such children are simply not found.)
void ChildKeys(const Position& position, const Move& move, uint32_t& low, uint32_t& high);

// The effort clock: a budget counted in readings instead of time, so that a search does the
// same work on any machine. Every reading advances the counter by one.
struct EffortClock {
    enum State { kOff, kRunning, kExpired };
    static constexpr float kLimit = 10.0f;
    static constexpr double kIterationShare = 0.7;

    float counter = 0.0f;
    State state = kOff;
    float start = 0.0f;
    float limit = kLimit;

    float Read() { return counter += 1.0f; }
    void Start();
    float Elapsed();
    bool Expired();
    bool IterationBudgetSpent(bool singleMove);
};

// The generated moves of a position on the search stack: the list, in the move buffer of the ply
// that generated it, and its length. A null list is not generated yet; making a move into a
// stack position clears its entry.
struct GeneratedMoves {
    Move* list = nullptr;
    uint32_t count = 0;
};

class Searcher final : private PositionEvaluator {
public:
    explicit Searcher(const ParameterBook& book = BuiltInParameters());

    // A new game: the table and the history, killer and counter-move tables are cleared.
    void Clear();
    TranspositionTable& Table() { return table_; }

    // One move's search of root (a complete position) under limits; the game's earlier keys in
    // history. The result's score is from the side to move's point of view.
    SearchResult Choose(const Position& root, const KeyHistory& history, const SearchLimits& limits,
                        const StopToken& stop);

    // The parts of a search, open to the tests. Begin sets up a search as Choose does (the
    // limits, stop token and key history stay in use until the next Begin) and returns the root
    // copy, at ply 0 of the stack.
    Position& Begin(const Position& root, const KeyHistory& history, const SearchLimits& limits,
                    const StopToken& stop);
    uint64_t Nodes() const { return nodes_; }
    // The generated moves of a position on the stack.
    GeneratedMoves& MovesOf(const Position& position) { return moves_[IndexOf(position)]; }
    // The evaluation record of a position on the stack.
    EvalState& EvalOf(const Position& position) { return records_[IndexOf(position)]; }
    EffortClock& Clock() { return clock_; }

    // ---- the driver ----
    int ChooseMove(Position& root, Move& best);
    int MtdSearch(Position& root, Move& best, int depth, int guess);
    bool MtdConverged(Position& root, int lower, int depth);
    void PrepareRootList(Position& root, const Move& best);
    bool ResearchAfterDrop(Position& root, const Move& best, int& value);
    bool StopTest();
    void Report(Position& root, int depth, int value);

    // ---- the alpha-beta search ----
    int SearchRoot(Position& root, int depth, int gamma, Move& best);
    int Search(Position& position, int depth, int gamma, int ply);
    // What searching a node's moves found: the best value and its move's index, or that the stop
    // test fired (the search then returns the best value found so far).
    struct MovesSearched {
        int best = kScoreNoMove;
        int bestIndex = -1;
        bool stopped = false;
    };
    MovesSearched SearchMoves(Position& position, Move* list, int count, int depth, int extended,
                              bool threatened, int gamma, int ply);
    int ChildValue(Position& position, Position& child, int depth, int extended, bool threatened,
                   bool own, int gamma, int ply);
    int ExtendedDepth(Position& position, int depth, int ply, int value, int gamma);
    bool NullMove(Position& position, int depth, int gamma, int ply, int extended, int& value);
    bool TryHashChildren(Position& position, Move* list, int count, int depth, int gamma,
                         int& value, Move* best, int ply);
    int DrawValue(const Position& node) const;

    // ---- ordering and the tables it learns ----
    void GenerateAndOrder(Position& position, int ply, const Move* hashMove, int gamma);
    void OrderMoves(Position& position, Move* list, int count, int ply, const Move* hashMove,
                    int gamma);
    void RecordCutoff(Position& position, const Move& move, int depth, int ply);
    void ResetSearchTables(unsigned rootPly);
    void SortByScore(Move* list, int count);
    int ChildTableBonus(uint32_t keyLow, uint32_t keyHigh, int gamma) const;
    Move* BufferOfPly(int ply);

    // ---- the quiescence search ----
    int QuiescenceEntry(Position& position, int gamma, int ply);
    int Quiesce(Position& position, int gamma, int ply);
    int QuiesceCheck(Position& position, int gamma, int ply);

private:
    size_t IndexOf(const Position& position) const {
        return static_cast<size_t>(&position - stack_.data());
    }
    bool OnStack(const Position& position) const {
        return &position >= stack_.data() && &position < stack_.data() + stack_.size();
    }
    // Readies the records of the stack position child for a move made into it from parent.
    void StartMove(const Position& child, const Position& parent);
    // The evaluation attack regeneration asks for, in the position's record.
    void EvaluateRegenerated(Position& position) override;
    bool TryQuiet(Position& position, Move move, int gamma, int ply, int& best);

    // The position at a ply of the stack (children of ply p are made at p + 1).
    Position& At(int ply) { return stack_[static_cast<size_t>(ply)]; }
    bool OwnSide(const Position& position) const;

    TranspositionTable table_;
    EvaluationMemory memory_;  // answers of the evaluations' threat and exchange computations
    Evaluator evaluator_;      // the searcher's parameter book, with memory_
    std::vector<Position> stack_;
    std::vector<GeneratedMoves> moves_;                 // parallel to stack_
    std::vector<EvalState> records_;                    // evaluation records, parallel to stack_
    std::vector<std::unique_ptr<MoveBuffer>> buffers_;  // one per ply, grown 30 at a time
    std::unique_ptr<Move[]> merge_;                     // the sort's merge buffer
    // The ordering's child keys, one pair per move, formed before the children are looked up.
    std::unique_ptr<uint32_t[][2]> childKeys_ = std::make_unique<uint32_t[][2]>(kMaxMoves);
    uint32_t history_[64][64] = {};
    Move killers_[kKillerPlies][2] = {};  // [0]: last capture that cut off, [1]: last other
    Move counterMoves_[64][64] = {};
    bool nullMoveAt_[kMaxPly + 2] = {};
    Move hashMove_;  // the current hash move of the ordering

    KeyHistory keys_{};    // the game's key history, extended by the search's moves
    MoveContext context_;  // the search's moves write keys_
    EffortClock clock_;
    const SearchLimits* limits_ = nullptr;
    const StopToken* stop_ = nullptr;
    std::chrono::steady_clock::time_point startTime_;
    bool stopped_ = false;  // the stop test has fired in this search

    int maxDepth_ = 4;  // the difficulty
    int rootDepth_ = 0;
    uint64_t nodes_ = 0;
    uint64_t lastCheck_ = 0;          // node count at the last clock check
    unsigned previousRootPly_ = 0;    // for the ageing of the history
    unsigned lastSearchRootPly_ = 0;  // a lower root ply clears the table
    int previousStage_ = -1;
    int searches_ = 0;  // root searches in the current MTD call
    bool mateFound_ = false;
    int completedDepth_ = 0;
};

}  // namespace tarvex::engine
