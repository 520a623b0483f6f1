// A second writing of the batch rules, plain rather than quick: every rule a whole-string pass
// over copies, in the order the rules give. The fuzzer holds the batch builder against it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "execution/BatchScript.h"

namespace quillon::plain {

std::string DoublePercents(std::string_view text);
PictureName PictureNameOf(std::string_view path);
std::string ReplacePlaceholders(std::string_view body, const std::vector<SlotValues>& slots);
std::string OutputFileOf(std::string_view body, const std::string& outputFolder);
std::string EraseList(std::string_view body, const std::vector<std::string>& keptNames);
BatchPlan BuildBatch(std::string_view body, bool eraseTemp,
                     const std::vector<BatchPicture>& pictures, const std::string& outputFolder,
                     const NameEncoder& encode);

}  // namespace quillon::plain
