// The simplest engine: it plays the first legal move. It proves the engine thread's path
// without a search and serves as a test double.
#pragma once

#include "engine/move_chooser.h"

namespace tarvex::engine {

class FirstLegalChooser : public MoveChooser {
public:
    SearchResult Choose(const Position& root, const KeyHistory& history,
                        const SearchLimits& limits) override;
    void NewGame() override {}
};

}  // namespace tarvex::engine
