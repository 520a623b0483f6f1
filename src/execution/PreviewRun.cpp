#include "execution/PreviewRun.h"

#include "base/Text.h"
#include "execution/ImageMagickTools.h"
#include "execution/PictureSet.h"

namespace quillon {

std::vector<PreviewInput> PreviewInputs(const std::vector<PreviewPicture>& pictures) {
    std::vector<PreviewInput> inputs;
    if (pictures.empty())
        return inputs;
    std::vector<BatchPicture> others;
    for (std::size_t i = 1; i < pictures.size(); ++i)
        others.push_back({pictures[i].path, 0, 0});
    for (const std::string& path : JobInputs({pictures.front().path, 0, 0}, others)) {
        for (const PreviewPicture& picture : pictures) {
            if (picture.path == path) {
                inputs.push_back({picture.copy, std::string(FileNameOf(path))});
                break;
            }
        }
    }
    return inputs;
}

std::string PreviewFailureText(std::string_view printed, std::string_view outputName,
                               bool written) {
    // ImageMagick 7's notice that "convert" is an old name says nothing about the script.
    std::string first = FirstLines(WithoutDeprecationNotices(printed), 1);
    if (!first.empty())
        return first;
    return (written ? "the script made an empty " : "the script made no ") +
           std::string(outputName.empty() ? "picture" : outputName);
}

}  // namespace quillon
