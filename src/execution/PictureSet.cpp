#include "execution/PictureSet.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>

#include "base/Text.h"

namespace quillon {

namespace {

constexpr const char* kSetExtensions[] = {"jpg", "jpeg", "png", "gif", "bmp", "tif", "tiff"};

// A picture's file name; Windows takes "/" in a path as it takes a backslash.
std::string NameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// Windows compares file names regardless of case; quotes are no part of a name.
std::string FileKey(std::string_view path) {
    std::string key;
    for (char c : AsciiLowered(path)) {
        if (c != '"')
            key += c;
    }
    return key;
}

std::string_view Trim(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return std::string_view();
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(start, end - start + 1);
}

std::vector<BatchPicture> InFolder(const BatchPicture& first,
                                   const std::vector<BatchPicture>& others,
                                   const std::string& folder) {
    std::vector<BatchPicture> pictures;
    pictures.push_back({folder + NameOf(first.path), first.width, first.height});
    for (const BatchPicture& other : others)
        pictures.push_back({folder + NameOf(other.path), other.width, other.height});
    return pictures;
}

std::string Refusal(const std::string& reason) {
    return reason + ", so no picture was run.";
}

}  // namespace

bool UsesPictureSize(std::string_view body) {
    return body.find("$WIDTH") != std::string_view::npos ||
           body.find("$HEIGHT") != std::string_view::npos;
}

bool IsSetPictureName(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return false;
    const std::string extension = AsciiLowered(fileName.substr(dot + 1));
    for (const char* known : kSetExtensions) {
        if (extension == known)
            return true;
    }
    return false;
}

std::vector<std::string> SetFromFolder(const std::string& folder,
                                       const std::vector<std::string>& fileNames) {
    std::vector<std::string> names;
    for (const std::string& name : fileNames) {
        if (IsSetPictureName(name))
            names.push_back(name);
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return AsciiLowered(a) < AsciiLowered(b);
    });
    for (std::string& name : names)
        name.insert(0, folder);
    return names;
}

std::vector<std::string> SetFromList(std::string_view text) {
    std::vector<std::string> paths;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
            line = Trim(line.substr(1, line.size() - 2));
        if (!line.empty())
            paths.emplace_back(line);
    }
    return paths;
}

SetPlan PlanSet(std::string_view body, const std::vector<std::string>& pictures,
                const std::vector<std::string>& outputFolders,
                const std::vector<BatchPicture>& others) {
    SetPlan plan;
    std::unordered_map<std::string, std::size_t> inputs;
    for (std::size_t i = 0; i < pictures.size(); ++i)
        inputs.emplace(FileKey(pictures[i]), i);
    std::unordered_map<std::string, std::size_t> shared;
    for (std::size_t i = 0; i < others.size(); ++i)
        shared.emplace(FileKey(others[i].path), i);

    std::unordered_map<std::string, std::size_t> outputs;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        // Sizes that differ from picture to picture, so that a name made only of the size
        // is not taken for a name that ignores the picture; the real sizes are checked
        // again as each picture runs.
        const int size = static_cast<int>(i % 100000) + 1;
        const BatchPlan batch =
            BuildBatch(body, false, InFolder({pictures[i], size, size}, others, std::string()),
                       std::string(), nullptr);
        SetPicture picture{pictures[i], outputFolders[i], batch.outputFile};
        if (batch.unwritableName.empty()) {
            if (picture.outputName.empty()) {
                plan.refusal = Refusal("The script names no output file");
                return plan;
            }
            const std::string output = picture.outputFolder + picture.outputName;
            const std::string key = FileKey(output);
            const auto [earlier, fresh] = outputs.emplace(key, i);
            if (!fresh) {
                plan.refusal = Refusal("Both " + NameOf(pictures[earlier->second]) + " and " +
                                       NameOf(pictures[i]) + " would make " + output);
                return plan;
            }
            const auto input = inputs.find(key);
            if ((input != inputs.end() && input->second != i) || shared.count(key) != 0) {
                plan.refusal = Refusal(NameOf(pictures[i]) + " would make " + output +
                                       ", which is one of the pictures the script reads");
                return plan;
            }
        }
        plan.pictures.push_back(std::move(picture));
    }
    return plan;
}

std::string JobFolderName(unsigned long processId, int k) {
    return "~quillon-" + std::to_string(processId) + "-" + std::to_string(k) + ".tmp";
}

BatchPlan JobBatch(std::string_view body, bool eraseTemp, const BatchPicture& first,
                   const std::vector<BatchPicture>& others, const std::string& workFolder,
                   const NameEncoder& encode) {
    return BuildBatch(body, eraseTemp, InFolder(first, others, workFolder), workFolder, encode);
}

std::vector<std::string> JobInputs(const BatchPicture& first,
                                   const std::vector<BatchPicture>& others) {
    std::vector<BatchPicture> pictures = {first};
    pictures.insert(pictures.end(), others.begin(), others.end());
    std::vector<std::string> files;
    std::vector<std::string> keys;
    for (const BatchPicture& picture : pictures) {
        const std::string key = FileKey(NameOf(picture.path));
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
            keys.push_back(key);
            files.push_back(picture.path);
        }
    }
    return files;
}

std::string SetLogText(const SetPlan& plan, std::vector<PictureOutcome> outcomes) {
    std::sort(outcomes.begin(), outcomes.end(),
              [](const PictureOutcome& a, const PictureOutcome& b) { return a.index < b.index; });
    std::string log;
    for (const PictureOutcome& outcome : outcomes) {
        if (outcome.verdict == PictureVerdict::kCreated || outcome.index >= plan.pictures.size())
            continue;
        log += (outcome.verdict == PictureVerdict::kWarning ? "warning " : "failed ") +
               plan.pictures[outcome.index].path + " -> " + outcome.outputFile + "\r\n";
        log += outcome.output + "\r\n\r\n";
    }
    return log;
}

std::string FirstLines(std::string_view output, int lines) {
    std::string first;
    for (int n = 0; n < lines && !output.empty(); ++n) {
        const std::size_t end = output.find_first_of("\r\n");
        const std::string_view line = Trim(output.substr(0, end));
        output = end == std::string_view::npos ? std::string_view() : output.substr(end);
        output = output.substr(std::min(output.find_first_not_of("\r\n"), output.size()));
        if (line.empty()) {
            --n;
            continue;
        }
        if (!first.empty())
            first += '\r';
        first += line;
    }
    return first;
}

}  // namespace quillon
