// The engine: one searcher with all its state behind the MoveChooser face. Create as many as
// you like; they share nothing but the constant tables.
#pragma once

#include "engine/move_chooser.h"
#include "engine/parameters.h"
#include "engine/searcher.h"

namespace tarvex::engine {

class Engine : public MoveChooser {
public:
    // A table of the given size in megabytes (the game's is 8).
    explicit Engine(int tableMegabytes = kDefaultTableMegabytes);
    // An engine that evaluates with its own copy of the given parameter book.
    explicit Engine(const ParameterBook& book, int tableMegabytes = kDefaultTableMegabytes);

    SearchResult Choose(const Position& root, const KeyHistory& history,
                        const SearchLimits& limits) override;
    void NewGame() override;

    // Evaluates with a copy of book from the next search on; the table and the learnt tables
    // start afresh, as in a new game.
    void SetParameters(const ParameterBook& book);

    // The table's size in megabytes; a new size clears it.
    void SetTableSize(int megabytes);
    int TableSize() const { return searcher_->Table().Megabytes(); }
    int TablePermille() const { return searcher_->Table().Permille(); }

private:
    std::unique_ptr<Searcher> searcher_;
};

}  // namespace tarvex::engine
