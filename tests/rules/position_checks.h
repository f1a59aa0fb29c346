// Checks of a Position against what its piece list implies, written without the code they
// check where that is practical. Each returns an empty string when all is well, otherwise a
// description of the first problem found. Free of GoogleTest so that the benchmarks can use
// them too.
#pragma once

#include <string>
#include <vector>

#include "board/move.h"
#include "board/position.h"

namespace tarvex {

// For a completed position: board, squareSlot and pieces agree; the slot masks, material sums,
// promotion candidates, castling rights, attack-board owners and both hash keys are what the
// pieces imply; attacks and xrays equal a fresh regeneration of a copy; the in-check bit tells
// whether the side to move is attacked, and the side that just moved is not.
std::string CompletedPositionProblem(const Position& position);

// Names of the fields in which two records differ; parent is left out.
std::vector<std::string> DifferingFields(const Position& a, const Position& b);

// Console text less the "\nBuilding <name> #<n>" notices of new attack-board placements.
std::string WithoutBuildNotices(const std::string& text);

// The squares the piece on from attacks, in ascending order.
std::vector<unsigned> Attacked(const Position& p, unsigned from);

// A readable form for failure messages.
std::string MoveText(const Move& move);

}  // namespace tarvex
