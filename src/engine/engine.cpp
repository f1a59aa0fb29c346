#include "engine/engine.h"

namespace tarvex::engine {

Engine::Engine(int tableMegabytes) : Engine(BuiltInParameters(), tableMegabytes) {}

Engine::Engine(const ParameterBook& book, int tableMegabytes)
    : searcher_(std::make_unique<Searcher>(book)) {
    searcher_->Table().Resize(tableMegabytes);
}

SearchResult Engine::Choose(const Position& root, const KeyHistory& history,
                            const SearchLimits& limits) {
    return searcher_->Choose(root, history, limits, stop_);
}

void Engine::NewGame() {
    searcher_->Clear();
}

void Engine::SetParameters(const ParameterBook& book) {
    const int megabytes = TableSize();
    searcher_ = std::make_unique<Searcher>(book);
    searcher_->Table().Resize(megabytes);
}

void Engine::SetTableSize(int megabytes) {
    searcher_->Table().Resize(megabytes);
}

}  // namespace tarvex::engine
