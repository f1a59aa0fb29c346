#include "board/hash.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvex {
namespace {

constexpr int kEmptyRow = 6;  // row of piece code 0

// The generator written out again: state * 214013 + 2531011 from state 1, bits 16..30.
std::vector<uint32_t> GeneratorValues(size_t count) {
    std::vector<uint32_t> values;
    uint64_t state = 1;
    for (size_t i = 0; i < count; ++i) {
        state = (state * 214013 + 2531011) % (uint64_t{1} << 32);
        values.push_back(static_cast<uint32_t>(state / 65536 % 32768));
    }
    return values;
}

TEST(HashGeneratorTest, FirstValuesOfTheSequence) {
    const std::vector<uint32_t> expected = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    EXPECT_EQ(GeneratorValues(expected.size()), expected);
    HashGenerator generator;
    for (uint32_t value : expected) EXPECT_EQ(generator.Next(), value);
}

// Square by square within each code, primary (bit 0 cleared) then secondary; the row of code 0
// draws nothing and stays zero.
TEST(HashTablesTest, WholeTablesFollowTheFillOrder) {
    static_assert(kHashTables.primary[0][0] == 40, "the tables are filled at compile time");
    const std::vector<uint32_t> values = GeneratorValues(2 * 12 * 64);
    size_t next = 0;
    for (int row = 0; row < kHashCodes; ++row) {
        for (int square = 0; square < 64; ++square) {
            const uint32_t primary = row == kEmptyRow ? 0 : values[next++] & ~1u;
            const uint32_t secondary = row == kEmptyRow ? 0 : values[next++];
            ASSERT_EQ(kHashTables.primary[row][square], primary) << row << " " << square;
            ASSERT_EQ(kHashTables.secondary[row][square], secondary) << row << " " << square;
        }
    }
    EXPECT_EQ(next, values.size());
}

TEST(HashKeyTest, PlacingAndRemovingAPieceAreTheSameXor) {
    Position position{};
    HashPiece(position, -kKnight, 17);
    EXPECT_EQ(position.hashKey, kHashTables.primary[-kKnight + 6][17]);
    EXPECT_EQ(position.hashKey2, kHashTables.secondary[-kKnight + 6][17]);
    HashPiece(position, kRook, 0);
    HashPiece(position, -kKnight, 17);
    EXPECT_EQ(position.hashKey, kHashTables.primary[kRook + 6][0]);
    HashPiece(position, kRook, 0);
    EXPECT_EQ(position.hashKey, 0u);
    EXPECT_EQ(position.hashKey2, 0u);
    HashPiece(position, kEmpty, 5);  // an empty square changes nothing
    EXPECT_EQ(position.hashKey, 0u);
}

TEST(HashKeyTest, ComputedKeysCarrySideEnPassantAndCastling) {
    Position position{};
    position.board[32] = kKing;
    position.board[39] = -kKing;
    HashPiece(position, kKing, 32);
    HashPiece(position, -kKing, 39);
    EXPECT_EQ(ComputeHashKey(position), position.hashKey);
    EXPECT_EQ(ComputeHashKey2(position), position.hashKey2);
    EXPECT_EQ(ComputeHashKey(position) & 1u, 0u);  // White to move
    position.ply = 1;
    position.epSquare = 42;
    position.flags = kWhiteKingSide | kBlackQueenSide | kInCheck;
    const uint32_t expected = position.hashKey ^ 1u ^ (42u << 8) ^ (9u << 16);
    EXPECT_EQ(ComputeHashKey(position), expected);
    EXPECT_EQ(ComputeHashKey2(position), position.hashKey2);  // side and rights not in it
}

TEST(HashKeyTest, PlacementOfTheAttackBoardsIsNotInTheKeys) {
    Position position{};
    position.board[9] = kPawn;
    const uint32_t key = ComputeHashKey(position);
    const uint32_t key2 = ComputeHashKey2(position);
    position.abPin[0] = 2;
    position.abWhite[0] = 0;
    EXPECT_EQ(ComputeHashKey(position), key);
    EXPECT_EQ(ComputeHashKey2(position), key2);
}

}  // namespace
}  // namespace tarvex
