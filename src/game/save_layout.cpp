#include "game/save_layout.h"

#include <cstring>

namespace tarvex {
namespace {

// ---- little-endian words at an offset ----

void PutU32(uint8_t* out, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}
void PutI32(uint8_t* out, size_t offset, int32_t value) {
    PutU32(out, offset, static_cast<uint32_t>(value));
}
void PutF32(uint8_t* out, size_t offset, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutU32(out, offset, bits);
}

uint32_t GetU32(const uint8_t* in, size_t offset) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(in[offset + i]) << (8 * i);
    return value;
}
int32_t GetI32(const uint8_t* in, size_t offset) {
    return static_cast<int32_t>(GetU32(in, offset));
}
float GetF32(const uint8_t* in, size_t offset) {
    const uint32_t bits = GetU32(in, offset);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Arrays of words and of bytes.
template <typename T, size_t N>
void PutWords(uint8_t* out, size_t offset, const T (&values)[N]) {
    for (size_t i = 0; i < N; ++i) PutU32(out, offset + 4 * i, static_cast<uint32_t>(values[i]));
}
template <typename T, size_t N>
void GetWords(const uint8_t* in, size_t offset, T (&values)[N]) {
    for (size_t i = 0; i < N; ++i) values[i] = static_cast<T>(GetU32(in, offset + 4 * i));
}
template <size_t N>
void PutBytes(uint8_t* out, size_t offset, const uint8_t (&values)[N]) {
    std::memcpy(out + offset, values, N);
}
template <size_t N>
void GetBytes(const uint8_t* in, size_t offset, uint8_t (&values)[N]) {
    std::memcpy(values, in + offset, N);
}

// A Move: from, to, score, piece as words, then kind, givesCheck and two fill bytes (0).
void PutMove(uint8_t* out, size_t offset, const Move& move) {
    PutU32(out, offset, move.from);
    PutU32(out, offset + 4, move.to);
    PutI32(out, offset + 8, move.score);
    PutI32(out, offset + 12, move.piece);
    out[offset + 16] = static_cast<uint8_t>(move.kind);
    out[offset + 17] = move.givesCheck;
    out[offset + 18] = out[offset + 19] = 0;
}
Move GetMove(const uint8_t* in, size_t offset) {
    Move move;
    move.from = GetU32(in, offset);
    move.to = GetU32(in, offset + 4);
    move.score = GetI32(in, offset + 8);
    move.piece = GetI32(in, offset + 12);
    move.kind = static_cast<MoveKind>(in[offset + 16]);
    move.givesCheck = in[offset + 17];
    return move;
}

// ---- the Position image ----
// Offsets of its fields; the words at 0, 2196 and 2304 are the pointer words, those at
// 1660..1683, 2252, 2260 and 2276..2303 reserved. The evaluation's work areas that the image
// once held (636..1351, 1356..1367, 1376..1643 but the engine score at 1384, 1652..1659, the
// reply move at 2224, the threat term at 2244 and the total at 2308) are written as zero.
namespace image {
constexpr size_t kPins = 4, kOwners = 20, kHashKey = 36, kHashKey2 = 40, kSliderMask = 44,
                 kPromoMask = 48, kOfficerMask = 52, kPieceMask = 56, kSquareSlot = 316,
                 kDirtySlots = 1352, kWhiteMaterial = 1368, kBlackMaterial = 1372,
                 kEngineScore = 1384, kWhitePassed = 1644, kBlackPassed = 1648, kAttacks = 1684,
                 kXrays = 1940, kMoveCount = 2200, kLastMove = 2204, kQuietPlies = 2264,
                 kWinner = 2272;
}  // namespace image

// The game's engine score, held in the current position's image.
constexpr size_t kGameEngineScore = kSaveCurrentOffset + image::kEngineScore;

// ---- the save file ----
// Offsets of the current layout.
namespace current {
constexpr size_t kEdited = 4624, kSelection = 4636, kHighlights = 4640, kSpread = 4708,
                 kTransparency = 4712, kRules = 4716, kEngineSide = 4720, kNotation = 4724,
                 kDifficulty = 4728, kScale = 4732, kProjection = 4736, kXAngle = 4740,
                 kYAngle = 4744, kStopRequest = 4748, kTableSize = 4752, kKeys = 24756,
                 kPlaysBoth = 28756;
}  // namespace current

// Offsets of the older layout (its current and start Positions lie where the current
// layout's do, the edited flag right after the start Position).
namespace older {
constexpr size_t kGameKind = 4644, kSelection = 4648, kHighlights = 4652, kHighlightCount = 4,
                 kSpread = 4720, kTransparency = 4724, kRules = 4728, kEngineSide = 4732,
                 kScale = 4744, kProjection = 4748, kXAngle = 4752, kYAngle = 4756,
                 kStopRequest = 4764, kTableSize = 4792, kRecord = 4864, kKeys = 44864,
                 kPlaysBoth = 48876;
}  // namespace older

// The fields both layouts place alike: the two Positions and the edited flag.
void DecodePositions(const uint8_t* in, SaveImage& image) {
    DecodePositionImage(in + kSaveCurrentOffset, image.current);
    DecodePositionImage(in + kSaveStartOffset, image.start);
    image.startEdited = GetI32(in, current::kEdited);
    image.engineScore = GetI32(in, kGameEngineScore);
}

void DecodeCurrent(const uint8_t* in, SaveImage& image) {
    using namespace current;
    image.gameKind = GetI32(in, kSaveGameKindOffset);
    image.selection.value = GetI32(in, kSelection);
    GetBytes(in, kHighlights, image.selection.highlights);
    image.spread = GetI32(in, kSpread);
    image.transparency = GetI32(in, kTransparency);
    image.rules = GetI32(in, kRules);
    image.engineSide = GetI32(in, kEngineSide);
    image.notation = GetI32(in, kNotation);
    image.difficulty = GetI32(in, kDifficulty);
    image.scale = GetF32(in, kScale);
    image.projection = GetI32(in, kProjection);
    image.xAngle = GetF32(in, kXAngle);
    image.yAngle = GetF32(in, kYAngle);
    image.stopRequest = GetI32(in, kStopRequest);
    image.tableMegabytes = GetI32(in, kTableSize);
    for (unsigned i = 0; i < kGameRecordSize; ++i) {
        image.record[i] = GetMove(in, kSaveRecordOffset + kMoveImageSize * i);
    }
    GetWords(in, kKeys, image.keyHistory.keys);
    image.playsBoth = GetI32(in, kPlaysBoth);
    image.olderLayout = false;
}

void DecodeOlder(const uint8_t* in, SaveImage& image) {
    using namespace older;
    image.gameKind = GetI32(in, kGameKind);
    image.selection = SavedSelection{};
    image.selection.value = GetI32(in, kSelection);
    std::memcpy(image.selection.highlights, in + kHighlights, kHighlightCount);
    image.spread = GetI32(in, kSpread);
    image.transparency = GetI32(in, kTransparency);
    image.rules = GetI32(in, kRules);
    image.engineSide = GetI32(in, kEngineSide);
    image.scale = GetF32(in, kScale);
    image.projection = GetI32(in, kProjection);
    image.xAngle = GetF32(in, kXAngle);
    image.yAngle = GetF32(in, kYAngle);
    image.stopRequest = GetI32(in, kStopRequest);
    image.tableMegabytes = GetI32(in, kTableSize);
    for (unsigned i = 0; i < kGameRecordSize; ++i) {
        image.record[i] = GetMove(in, kRecord + kMoveImageSize * i);
    }
    GetWords(in, kKeys, image.keyHistory.keys);
    image.playsBoth = GetI32(in, kPlaysBoth);
    image.olderLayout = true;
}

}  // namespace

void EncodePositionImage(const Position& p, uint8_t* out) {
    using namespace image;
    std::memset(out, 0, kPositionImageSize);
    PutWords(out, kPins, p.abPin);
    PutWords(out, kOwners, p.abWhite);
    PutU32(out, kHashKey, p.hashKey);
    PutU32(out, kHashKey2, p.hashKey2);
    PutU32(out, kSliderMask, p.sliderMask);
    PutU32(out, kPromoMask, p.promoMask);
    PutU32(out, kOfficerMask, p.officerMask);
    PutU32(out, kPieceMask, p.pieceMask);
    PutWords(out, kImageBoardOffset, p.board);
    PutBytes(out, kSquareSlot, p.squareSlot);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        PutI32(out, kImagePiecesOffset + 8 * slot, p.pieces[slot].code);
        PutU32(out, kImagePiecesOffset + 8 * slot + 4, p.pieces[slot].square);
    }
    PutU32(out, kImageStageOffset, p.stage);
    PutU32(out, kDirtySlots, p.dirtySlots);
    PutI32(out, kWhiteMaterial, p.whiteMaterial);
    PutI32(out, kBlackMaterial, p.blackMaterial);
    PutI32(out, kEngineScore, 0);  // the game's engine score: see EncodeSaveImage
    PutU32(out, kWhitePassed, p.whitePassed);
    PutU32(out, kBlackPassed, p.blackPassed);
    PutWords(out, kAttacks, p.attacks);
    PutWords(out, kXrays, p.xrays);
    PutU32(out, kMoveCount, 0);  // the search's list length, not kept
    PutMove(out, kLastMove, p.lastMove);
    PutU32(out, kImageFlagsOffset, p.flags);
    PutU32(out, kImageEpSquareOffset, p.epSquare);
    PutU32(out, kQuietPlies, p.quietPlies);
    PutU32(out, kImagePlyOffset, p.ply);
    PutI32(out, kWinner, p.winner);
}

void DecodePositionImage(const uint8_t* in, Position& p) {
    using namespace image;
    p.dirTable = nullptr;
    p.lineTables = nullptr;
    p.parent = nullptr;
    GetWords(in, kPins, p.abPin);
    GetWords(in, kOwners, p.abWhite);
    p.hashKey = GetU32(in, kHashKey);
    p.hashKey2 = GetU32(in, kHashKey2);
    p.sliderMask = GetU32(in, kSliderMask);
    p.promoMask = GetU32(in, kPromoMask);
    p.officerMask = GetU32(in, kOfficerMask);
    p.pieceMask = GetU32(in, kPieceMask);
    GetWords(in, kImageBoardOffset, p.board);
    GetBytes(in, kSquareSlot, p.squareSlot);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        p.pieces[slot].code = GetI32(in, kImagePiecesOffset + 8 * slot);
        p.pieces[slot].square = GetU32(in, kImagePiecesOffset + 8 * slot + 4);
    }
    p.stage = GetU32(in, kImageStageOffset);
    p.dirtySlots = GetU32(in, kDirtySlots);
    p.whiteMaterial = GetI32(in, kWhiteMaterial);
    p.blackMaterial = GetI32(in, kBlackMaterial);
    p.whitePassed = GetU32(in, kWhitePassed);
    p.blackPassed = GetU32(in, kBlackPassed);
    GetWords(in, kAttacks, p.attacks);
    GetWords(in, kXrays, p.xrays);
    p.lastMove = GetMove(in, kLastMove);
    p.flags = GetU32(in, kImageFlagsOffset);
    p.epSquare = GetU32(in, kImageEpSquareOffset);
    p.quietPlies = GetU32(in, kQuietPlies);
    p.ply = GetU32(in, kImagePlyOffset);
    p.winner = GetI32(in, kWinner);
}

void EncodeSaveImage(const SaveImage& image, uint8_t* out) {
    using namespace current;
    std::memset(out, 0, kSaveFileSize);
    EncodePositionImage(image.current, out + kSaveCurrentOffset);
    EncodePositionImage(image.start, out + kSaveStartOffset);
    PutI32(out, kGameEngineScore, image.engineScore);
    PutI32(out, kEdited, image.startEdited);
    PutI32(out, kSaveGameKindOffset, image.gameKind);
    PutI32(out, kSelection, image.selection.value);
    PutBytes(out, kHighlights, image.selection.highlights);
    PutI32(out, kSpread, image.spread);
    PutI32(out, kTransparency, image.transparency);
    PutI32(out, kRules, image.rules);
    PutI32(out, kEngineSide, image.engineSide);
    PutI32(out, kNotation, image.notation);
    PutI32(out, kDifficulty, image.difficulty);
    PutF32(out, kScale, image.scale);
    PutI32(out, kProjection, image.projection);
    PutF32(out, kXAngle, image.xAngle);
    PutF32(out, kYAngle, image.yAngle);
    PutI32(out, kStopRequest, image.stopRequest);
    PutI32(out, kTableSize, image.tableMegabytes);
    for (unsigned i = 0; i < kGameRecordSize; ++i) {
        PutMove(out, kSaveRecordOffset + kMoveImageSize * i, image.record[i]);
    }
    PutWords(out, kKeys, image.keyHistory.keys);
    PutI32(out, kPlaysBoth, image.playsBoth);
}

bool DecodeSaveImage(const uint8_t* bytes, size_t size, SaveImage& image) {
    if (size != static_cast<size_t>(kSaveFileSize) && size != static_cast<size_t>(kOldSaveFileSize))
        return false;
    DecodePositions(bytes, image);
    if (size == static_cast<size_t>(kSaveFileSize)) {
        DecodeCurrent(bytes, image);
    } else {
        DecodeOlder(bytes, image);
    }
    image.current.gameKind = image.start.gameKind = image.gameKind;
    image.current.rules = image.start.rules = image.rules;
    return true;
}

}  // namespace tarvex
