// The byte layout of a saved game. A save file is written and read field by field at fixed
// little-endian offsets, whatever the in-memory layout of the records: the current layout of
// 28760 bytes, and an older layout of 49440 bytes from which only some fields are read.
//
// Decoding checks nothing: a decoded SaveImage holds whatever the file said, and the restore
// checks every field (save_check.h) before it takes any.
#pragma once

#include <cstddef>
#include <cstdint>

#include "board/move.h"
#include "board/position.h"
#include "game/game_block.h"
#include "game/save_game.h"
#include "rules/repetition.h"

namespace tarvex {

// A Position as a file holds it: 2312 bytes, see EncodePositionImage.
inline constexpr size_t kPositionImageSize = 2312;

// Offsets of the current layout that tests and tools name.
inline constexpr size_t kSaveCurrentOffset = 0;
inline constexpr size_t kSaveStartOffset = 2312;
inline constexpr size_t kSaveGameKindOffset = 4632;
inline constexpr size_t kSaveRecordOffset = 4756;
inline constexpr size_t kMoveImageSize = 20;
// Offsets within a Position image.
inline constexpr size_t kImageBoardOffset = 60;
inline constexpr size_t kImagePiecesOffset = 380;
inline constexpr size_t kImageStageOffset = 1348;
inline constexpr size_t kImageFlagsOffset = 2248;
inline constexpr size_t kImageEpSquareOffset = 2256;
inline constexpr size_t kImagePlyOffset = 2268;

// Everything a save file holds, decoded.
struct SaveImage {
    Position current;  // gameKind and rules are the file's game kind and rules
    Position start;    // the same
    int32_t startEdited = 0;
    int32_t engineScore = 0;  // the game's: held in the current position's image
    int32_t gameKind = 0;
    SavedSelection selection;
    int32_t spread = 0;
    int32_t transparency = 0;
    int32_t rules = 0;
    int32_t engineSide = 0;
    int32_t notation = 0;    // current layout only
    int32_t difficulty = 0;  // current layout only
    float scale = 0;
    int32_t projection = 0;
    float xAngle = 0;
    float yAngle = 0;
    int32_t stopRequest = 0;
    int32_t tableMegabytes = 0;
    Move record[kGameRecordSize];
    KeyHistory keyHistory;
    int32_t playsBoth = 0;
    bool olderLayout = false;  // the file holds neither notation nor difficulty
};

// Writes position into the kPositionImageSize bytes at out: pointer and reserved words as 0.
void EncodePositionImage(const Position& position, uint8_t* out);
// Reads the image at in into position; pointers become null, gameKind and rules are left.
void DecodePositionImage(const uint8_t* in, Position& position);

// Writes the kSaveFileSize bytes of the current layout.
void EncodeSaveImage(const SaveImage& image, uint8_t* out);
// Reads a file of either layout, told apart by size; false for any other size. Fields the
// older layout lacks keep what image held, except the highlights past its first four, which
// become 65 (none).
bool DecodeSaveImage(const uint8_t* bytes, size_t size, SaveImage& image);

}  // namespace tarvex
