#include "engine/parameter_text.h"

namespace tarvex::engine {

std::string WriteParameterText(const ParameterBook&) {
    return {};
}

bool ReadParameterText(std::string_view, ParameterBook&, std::string& error) {
    error = "reading parameter text is not available yet";
    return false;
}

bool ReadParameterFile(const std::string& path, ParameterBook&, std::string& error) {
    error = path + ": reading parameter files is not available yet";
    return false;
}

bool IsFixedSlot(int, int) {
    return false;
}

}  // namespace tarvex::engine
