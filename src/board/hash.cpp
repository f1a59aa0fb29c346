#include "board/hash.h"

namespace tarvex {

uint32_t ComputeHashKey(const Position& position) {
    uint32_t key = position.ply & 1;
    for (unsigned square = 0; square < 64; ++square) {
        key ^= kHashTables.primary[position.board[square] + 6][square];
    }
    key ^= position.epSquare << 8;
    key ^= (position.flags & kCastlingRights) << 16;
    if (Is3D(position)) {
        for (int board = 0; board < 4; ++board)
            key ^= kPinHashTables.primary[board][position.abPin[board] & 63];
    }
    return key;
}

uint32_t ComputeHashKey2(const Position& position) {
    uint32_t key = 0;
    for (unsigned square = 0; square < 64; ++square) {
        key ^= kHashTables.secondary[position.board[square] + 6][square];
    }
    if (Is3D(position)) {
        for (int board = 0; board < 4; ++board)
            key ^= kPinHashTables.secondary[board][position.abPin[board] & 63];
    }
    return key;
}

}  // namespace tarvex
