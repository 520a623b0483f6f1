#include "settings/OutputPolicy.h"

#include <algorithm>
#include <iterator>

namespace quillon {

namespace {

template <std::size_t N>
OutputPlace PlaceNumbered(const OutputPlace (&options)[N], std::string_view bytes,
                          std::size_t index) {
    const std::size_t number = bytes.size() > index ? static_cast<unsigned char>(bytes[index]) : 0;
    return number >= 1 && number <= N ? options[number - 1] : OutputPlace::kAskUnset;
}

template <std::size_t N>
int NumberOf(const OutputPlace (&options)[N], OutputPlace place) {
    const OutputPlace* found = std::find(std::begin(options), std::end(options), place);
    return found == std::end(options) ? 0 : static_cast<int>(found - options) + 1;
}

}  // namespace

int OptionNumber(OutputPlace place, bool withPictures) {
    return withPictures ? NumberOf(kWithPicturesOptions, place)
                        : NumberOf(kWithoutPicturesOptions, place);
}

OutputPolicy PolicyFromBytes(std::string_view bytes) {
    return {PlaceNumbered(kWithoutPicturesOptions, bytes, 0),
            PlaceNumbered(kWithPicturesOptions, bytes, 1)};
}

std::string PolicyBytes(const OutputPolicy& policy) {
    return {static_cast<char>(OptionNumber(policy.withoutPictures, false)),
            static_cast<char>(OptionNumber(policy.withPictures, true))};
}

namespace {
// The byte's high bits mark it as ours, so that an older file's stray third byte reads as
// nothing chosen.
constexpr unsigned char kChoicesMark = 0x40;
constexpr unsigned char kSubfoldersBit = 0x01;
constexpr unsigned char kKeepDatesBit = 0x02;
}  // namespace

SetRunChoices ChoicesFromBytes(std::string_view bytes) {
    if (bytes.size() < 3)
        return {};
    const auto byte = static_cast<unsigned char>(bytes[2]);
    if ((byte & ~(kSubfoldersBit | kKeepDatesBit)) != kChoicesMark)
        return {};
    return {(byte & kSubfoldersBit) != 0, (byte & kKeepDatesBit) != 0};
}

char ChoicesByte(const SetRunChoices& choices) {
    return static_cast<char>(kChoicesMark | (choices.withSubfolders ? kSubfoldersBit : 0) |
                             (choices.keepDates ? kKeepDatesBit : 0));
}

std::string SettingsPathFor(std::string_view programPath) {
    const std::size_t keep = programPath.size() >= 3 ? programPath.size() - 3 : 0;
    return std::string(programPath.substr(0, keep)) + "opt";
}

}  // namespace quillon
