#include "core/settings.h"

namespace tarvex {

Settings& GetSettings() {
    static Settings settings;
    return settings;
}

}  // namespace tarvex
