#include "settings/OutputPolicy.h"

#include <iterator>

namespace quillon {

namespace {

OutputPlace PlaceOfByte(const std::string_view bytes, std::size_t index, bool withPictures) {
    const int number = bytes.size() > index ? static_cast<unsigned char>(bytes[index]) : 0;
    const int count = withPictures ? static_cast<int>(std::size(kWithPicturesOptions))
                                   : static_cast<int>(std::size(kWithoutPicturesOptions));
    if (number < 1 || number > count)
        return OutputPlace::kAskUnset;
    return withPictures ? kWithPicturesOptions[number - 1] : kWithoutPicturesOptions[number - 1];
}

}  // namespace

int OptionNumber(OutputPlace place, bool withPictures) {
    const auto find = [place](const auto& options) {
        for (std::size_t i = 0; i < std::size(options); ++i) {
            if (options[i] == place)
                return static_cast<int>(i) + 1;
        }
        return 0;
    };
    return withPictures ? find(kWithPicturesOptions) : find(kWithoutPicturesOptions);
}

OutputPolicy PolicyFromBytes(std::string_view bytes) {
    return {PlaceOfByte(bytes, 0, false), PlaceOfByte(bytes, 1, true)};
}

std::string PolicyBytes(const OutputPolicy& policy) {
    return {static_cast<char>(OptionNumber(policy.withoutPictures, false)),
            static_cast<char>(OptionNumber(policy.withPictures, true))};
}

std::string SettingsPathFor(std::string_view programPath) {
    const std::size_t keep = programPath.size() >= 3 ? programPath.size() - 3 : 0;
    return std::string(programPath.substr(0, keep)) + "opt";
}

}  // namespace quillon
