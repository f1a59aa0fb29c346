#include "engine/score.h"

namespace tarvex::engine {

int MateScore(int plies) {
    return kScoreKingTaken - plies;
}

}  // namespace tarvex::engine
