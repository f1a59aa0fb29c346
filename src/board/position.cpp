#include "board/position.h"

namespace tarvex {

void ClearPosition(Position& position, int gameKind, int rules) {
    position = Position{};
    position.gameKind = gameKind;
    position.rules = rules;
}

}  // namespace tarvex
