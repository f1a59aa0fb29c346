#include "board/position.h"

namespace tarvex {

void ClearPosition(Position& position) {
    position = Position{};
}

}  // namespace tarvex
