#include "engine/first_legal_chooser.h"

#include <memory>

#include "movegen/legal_moves.h"

namespace tarvex::engine {

SearchResult FirstLegalChooser::Choose(const Position& root, const KeyHistory& /*history*/,
                                       const SearchLimits& /*limits*/) {
    auto list = std::make_unique<LegalMoveList>();
    Position copy = root;
    SearchResult result;
    if (ListLegalMoves(copy, *list) > 0) result.move = list->moves[0];
    result.depth = 1;
    result.nodes = static_cast<uint64_t>(list->count);
    return result;
}

}  // namespace tarvex::engine
