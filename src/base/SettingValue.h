// One script setting's value on its way into a batch, already checked against what the
// script declared; shared by the catalogue, which checks it, and the batch builder.
#pragma once

#include <string>

namespace quillon {

struct SettingValue {
    std::string name;  // the placeholder without its "$"
    std::string text;  // what replaces it
    // Free text the user typed: it reaches the tools through an environment variable inside
    // quotes, so no byte of it is ever read as batch syntax.
    bool typed = false;
};

}  // namespace quillon
