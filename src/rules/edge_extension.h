// Tournament rules: a rook or queen on an attack board's outer file also attacks along that
// file across the other attack boards of its column, and along the back rows joining the
// boards at q1/k1 and q6/k6.
#pragma once

#include "board/position.h"

namespace tarvex {

// ORs the slot's extra attacks into the attack masks (nothing for a piece on a main level).
void EdgeExtension(Position& position, int slot);

}  // namespace tarvex
