#include "settings/OutputPolicy.h"

namespace quillon {

OutputPolicy PolicyFromBytes(std::string_view bytes) {
    OutputPolicy policy;
    policy.zeroArgPolicy = bytes.size() >= 1 ? static_cast<unsigned char>(bytes[0]) : -1;
    policy.argPolicy = bytes.size() >= 2 ? static_cast<unsigned char>(bytes[1]) : -1;
    return policy;
}

std::string SettingsPathFor(std::string_view programPath) {
    const std::size_t keep = programPath.size() >= 3 ? programPath.size() - 3 : 0;
    return std::string(programPath.substr(0, keep)) + "opt";
}

}  // namespace quillon
