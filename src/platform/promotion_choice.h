// The question put to the user when one of his pawns promotes. The window answers it with its
// in-window chooser; the headless tools answer it from their input.
#pragma once

namespace tarvex::platform {

class PromotionChoice {
public:
    virtual ~PromotionChoice() = default;
    // The piece the pawn becomes: 5 queen, 2 knight, 4 rook or 3 bishop.
    virtual int Choose() = 0;
};

}  // namespace tarvex::platform
