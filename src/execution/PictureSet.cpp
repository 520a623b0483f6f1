#include "execution/PictureSet.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>

#include "base/Text.h"

namespace quillon {

namespace {

std::vector<BatchPicture> InFolder(const BatchPicture& first,
                                   const std::vector<BatchPicture>& others,
                                   const std::string& folder) {
    std::vector<BatchPicture> pictures;
    pictures.push_back({folder + std::string(FileNameOf(first.path)), first.width, first.height});
    for (const BatchPicture& other : others)
        pictures.push_back(
            {folder + std::string(FileNameOf(other.path)), other.width, other.height});
    return pictures;
}

std::string Refusal(const std::string& reason) {
    return reason + ", so no picture was run.";
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16 bytes in the given order as UTF-8. Half a surrogate pair names no character and
// becomes "?", which no Windows file name holds, so it never leads to another file.
std::string Utf8FromUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    auto unit = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<std::uint32_t>(bigEndian ? (first << 8) | second
                                                    : (second << 8) | first);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const std::uint32_t code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 3 < bytes.size()) {
            const std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, code >= 0xD800 && code <= 0xDFFF ? '?' : code);
    }
    return out;
}

bool IsRelativePath(std::string_view path) {
    const bool rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
    const bool onADrive = path.size() >= 2 && path[1] == ':';
    return !rooted && !onADrive;
}

}  // namespace

bool UsesPictureSize(std::string_view body) {
    return body.find("$WIDTH") != std::string_view::npos ||
           body.find("$HEIGHT") != std::string_view::npos;
}

std::vector<std::string> PathsFromList(std::string_view bytes, const std::string& listFolder) {
    std::string text;
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")
        text = Utf8FromUtf16(bytes.substr(2), bytes[0] == '\xFE');
    else
        text = std::string(bytes.substr(0, 3) == "\xEF\xBB\xBF" ? bytes.substr(3) : bytes);
    std::vector<std::string> paths;
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t end = rest.find('\n');
        std::string_view line = TrimSpace(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
            line = TrimSpace(line.substr(1, line.size() - 2));
        if (line.empty() || line.front() == '#')
            continue;
        paths.push_back((IsRelativePath(line) ? listFolder : std::string()) + std::string(line));
    }
    return paths;
}

SetPlan PlanSet(std::string_view body, const std::vector<std::string>& pictures,
                const std::vector<std::string>& outputFolders,
                const std::vector<BatchPicture>& others, const LastWriteOf& lastWrite,
                const std::vector<SettingValue>& settings) {
    SetPlan plan;
    // What a picture's run would make, with sizes that differ from picture to picture, so
    // that a name made only of the size is not taken for a name that ignores the picture;
    // the real sizes are read again as each picture runs.
    auto outputName = [&](const std::string& picture, int size) {
        const BatchPlan batch =
            BuildBatch(body, false, InFolder({picture, size, size}, others, std::string()),
                       std::string(), nullptr, settings);
        return batch.unwritableName.empty() ? std::optional<std::string>(batch.outputFile)
                                            : std::nullopt;
    };
    const std::optional<std::string> one = outputName("quillon-a.jpg", 1);
    if (one && one->empty()) {
        plan.refusal = Refusal("The script names no output file");
        return plan;
    }
    if (one && !pictures.empty() && one == outputName("quillon-b.png", 2)) {
        plan.refusal = Refusal("Every picture would make " + outputFolders[0] + *one);
        return plan;
    }

    std::vector<SetPicture> planned;
    std::unordered_map<std::string, std::size_t> outputs;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        SetPicture picture{pictures[i], outputFolders[i],
                           outputName(pictures[i], static_cast<int>(i % 100000) + 1).value_or("")};
        if (!picture.outputName.empty())
            outputs.emplace(PathKey(picture.outputFolder + picture.outputName), i);
        planned.push_back(std::move(picture));
    }
    std::unordered_map<std::string, std::size_t> shared;
    for (std::size_t i = 0; i < others.size(); ++i)
        shared.emplace(PathKey(others[i].path), i);

    std::unordered_map<std::string, std::size_t> made;
    for (std::size_t i = 0; i < planned.size(); ++i) {
        SetPicture& picture = planned[i];
        // An output of an earlier run is no picture to run again, and the logo lying among
        // the photos is not one of them.
        const auto asOutput = outputs.find(PathKey(picture.path));
        if ((asOutput != outputs.end() && asOutput->second != i) ||
            shared.count(PathKey(picture.path)) != 0) {
            ++plan.leftOut;
            continue;
        }
        if (!picture.outputName.empty()) {
            const std::string output = picture.outputFolder + picture.outputName;
            const std::string key = PathKey(output);
            const auto [earlier, fresh] = made.emplace(key, i);
            if (!fresh) {
                plan.refusal =
                    Refusal("Both " + std::string(FileNameOf(pictures[earlier->second])) + " and " +
                            std::string(FileNameOf(picture.path)) + " would make " + output);
                plan.pictures.clear();
                return plan;
            }
            if (shared.count(key) != 0) {
                plan.refusal = Refusal(std::string(FileNameOf(picture.path)) + " would make " +
                                       output + ", which is one of the pictures the script reads");
                plan.pictures.clear();
                return plan;
            }
            if (lastWrite) {
                const std::optional<std::int64_t> outputTime = lastWrite(output);
                const std::optional<std::int64_t> pictureTime = lastWrite(picture.path);
                picture.outputExists = outputTime.has_value();
                picture.outputCurrent = outputTime && (!pictureTime || *outputTime >= *pictureTime);
            }
        }
        plan.pictures.push_back(std::move(picture));
    }
    return plan;
}

int ExistingOutputs(const SetPlan& plan) {
    return static_cast<int>(std::count_if(plan.pictures.begin(), plan.pictures.end(),
                                          [](const SetPicture& p) { return p.outputExists; }));
}

void SkipExisting(SetPlan& plan) {
    const auto kept = std::remove_if(plan.pictures.begin(), plan.pictures.end(),
                                     [](const SetPicture& p) { return p.outputCurrent; });
    plan.skipped += static_cast<int>(plan.pictures.end() - kept);
    plan.pictures.erase(kept, plan.pictures.end());
}

std::string JobFolderName(unsigned long processId, int k) {
    return "~quillon-" + std::to_string(processId) + "-" + std::to_string(k) + ".tmp";
}

std::optional<unsigned long> JobFolderOwner(std::string_view name) {
    constexpr std::string_view kStart = "~quillon-";
    constexpr std::string_view kEnd = ".tmp";
    if (name.size() <= kStart.size() + kEnd.size() || name.substr(0, kStart.size()) != kStart ||
        name.substr(name.size() - kEnd.size()) != kEnd)
        return std::nullopt;
    const std::string_view middle =
        name.substr(kStart.size(), name.size() - kStart.size() - kEnd.size());
    const std::size_t dash = middle.find('-');
    const std::string_view id = middle.substr(0, dash);
    const std::string_view job = dash == std::string_view::npos ? "" : middle.substr(dash + 1);
    auto digits = [](std::string_view text) {
        return !text.empty() && text.size() <= 10 &&
               text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!digits(id) || !digits(job))
        return std::nullopt;
    // Process ids are 32 bits wide; a larger number names no process of ours.
    const unsigned long long number = std::stoull(std::string(id));
    if (number > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<unsigned long>(number);
}

BatchPlan JobBatch(std::string_view body, bool eraseTemp, const BatchPicture& first,
                   const std::vector<BatchPicture>& others, const std::string& workFolder,
                   const NameEncoder& encode, const std::vector<SettingValue>& settings) {
    return BuildBatch(body, eraseTemp, InFolder(first, others, workFolder), workFolder, encode,
                      settings);
}

std::vector<std::string> JobInputs(const BatchPicture& first,
                                   const std::vector<BatchPicture>& others) {
    std::vector<BatchPicture> pictures = {first};
    pictures.insert(pictures.end(), others.begin(), others.end());
    std::vector<std::string> files;
    std::vector<std::string> keys;
    for (const BatchPicture& picture : pictures) {
        const std::string key = PathKey(FileNameOf(picture.path));
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
            keys.push_back(key);
            files.push_back(picture.path);
        }
    }
    return files;
}

std::string RunLogText(const RunLogHeader& header, const SetPlan& plan,
                       std::vector<PictureOutcome> outcomes) {
    std::sort(outcomes.begin(), outcomes.end(),
              [](const PictureOutcome& a, const PictureOutcome& b) { return a.index < b.index; });
    int counts[3] = {};
    for (const PictureOutcome& outcome : outcomes)
        ++counts[static_cast<int>(outcome.verdict)];
    std::string log = "Quillon batch log\r\nScript: " + header.scriptName + " (" +
                      header.scriptFile + ")\r\nStarted: " + header.startTime + "\r\n";
    log += std::to_string(counts[0] + counts[1]) + " created (" + std::to_string(counts[1]) +
           " with warnings), " + std::to_string(counts[2]) + " failed, " +
           std::to_string(plan.skipped) + " skipped, " + std::to_string(plan.leftOut) +
           " left out" + (header.cancelled ? "; cancelled" : "") + "\r\n\r\n";
    constexpr const char* kVerdicts[] = {"created ", "warning ", "failed "};
    for (const PictureOutcome& outcome : outcomes) {
        if (outcome.index >= plan.pictures.size())
            continue;
        log += kVerdicts[static_cast<int>(outcome.verdict)] + plan.pictures[outcome.index].path +
               " -> " + outcome.outputFile + "\r\n";
        std::string said = outcome.output;
        if (!outcome.keptAs.empty())
            said += (said.empty() ? "" : "\n") + ("The output made is kept as " + outcome.keptAs);
        // Every line ends in CR LF, whatever the tools printed.
        for (std::string_view rest = said; !rest.empty();) {
            const std::size_t end = rest.find_first_of("\r\n");
            log += "    " + std::string(rest.substr(0, end)) + "\r\n";
            if (end == std::string_view::npos)
                break;
            rest = rest.substr(end + (rest.compare(end, 2, "\r\n") == 0 ? 2 : 1));
        }
    }
    return log;
}

std::string FirstLines(std::string_view output, int lines) {
    std::string first;
    for (int n = 0; n < lines && !output.empty(); ++n) {
        const std::size_t end = output.find_first_of("\r\n");
        const std::string_view line = TrimSpace(output.substr(0, end));
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
