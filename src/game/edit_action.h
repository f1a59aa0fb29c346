// What the next click on a square does while the board is edited: nothing, remove the piece
// there, or add one piece of either side. The values are the Edit menu's.
#pragma once

namespace tarvex {

enum class EditAction : int {
    kNone = 0,
    kRemove = 1,
    kAddBlackPawn = 5,  // .. kAddBlackKing, in the order pawn, knight, bishop, rook, queen, king
    kAddBlackKing = 10,
    kAddWhitePawn = 11,  // .. kAddWhiteKing, in the same order
    kAddWhiteKing = 16,
};

// The action that adds the piece of code (-6..-1 Black, 1..6 White); kNone for no piece.
constexpr EditAction AddPieceAction(int code) {
    if (code >= 1 && code <= 6)
        return static_cast<EditAction>(static_cast<int>(EditAction::kAddWhitePawn) + code - 1);
    if (code <= -1 && code >= -6)
        return static_cast<EditAction>(static_cast<int>(EditAction::kAddBlackPawn) - code - 1);
    return EditAction::kNone;
}

// The piece code an add action puts on the board; 0 for the other actions.
constexpr int AddedPiece(EditAction action) {
    const int value = static_cast<int>(action);
    if (action >= EditAction::kAddWhitePawn && action <= EditAction::kAddWhiteKing)
        return value - static_cast<int>(EditAction::kAddWhitePawn) + 1;
    if (action >= EditAction::kAddBlackPawn && action <= EditAction::kAddBlackKing)
        return -(value - static_cast<int>(EditAction::kAddBlackPawn) + 1);
    return 0;
}

// An action as the menu hands it over; anything else is kNone.
constexpr EditAction EditActionFromValue(int value) {
    const auto action = static_cast<EditAction>(value);
    return action == EditAction::kRemove || AddedPiece(action) != 0 ? action : EditAction::kNone;
}

}  // namespace tarvex
