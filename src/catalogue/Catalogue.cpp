#include "catalogue/Catalogue.h"

#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "base/Text.h"

namespace quillon {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kScanHeading = "Program initial scan: looking for all .xml in ";
constexpr std::string_view kRescanHeading =
    "Scripts changed on disk: looking again for all .xml in ";
constexpr std::string_view kInvalidTail =
    "--> Invalid xml. Not listing it in the drop-down menu\r\n\r\n";

std::string_view FaultLine(ScriptFault fault) {
    switch (fault) {
        case ScriptFault::kNoTag:
            return "No tag <SCRIPT ...> found!\r\n";
        case ScriptFault::kNoArgs:
            return "No tag parameter <script ARGS=\"\"> found!\r\n";
        case ScriptFault::kNoName:
            return "No tag parameter <script NAME=\"\"> found!\r\n";
        case ScriptFault::kBadSetting:
        case ScriptFault::kNone:
            break;
    }
    return {};
}

ScriptReadResult ReadFromFolder(const ScriptFolder& folder, const std::string& fileName,
                                ScriptEntry& entry) {
    std::unique_ptr<ByteSource> source = folder.open(fileName);
    return ReadScript(source.get(), entry);
}

ScriptReadResult ReadThroughCache(const ScriptFolder& folder, const std::string& fileName,
                                  ScriptEntry& entry, const ScriptCache& earlier,
                                  ScriptCache& fresh) {
    const std::string stamp = folder.stampOf ? folder.stampOf(fileName) : std::string();
    if (stamp.empty())
        return ReadFromFolder(folder, fileName, entry);
    CachedScript script;
    if (const CachedScript* kept = earlier.Find(fileName, stamp)) {
        script = *kept;
    } else {
        script.entry = entry;
        script.read = ReadFromFolder(folder, fileName, script.entry);
    }
    entry = script.entry;
    fresh.Put(fileName, stamp, script);
    return script.read;
}

// Appends the log block of position's read and returns its argument count or kInvalidScript.
std::uint8_t LogValidation(std::string& validationLog, int position, const std::string& fileName,
                           const ScriptReadResult& read, const ScriptEntry& entry) {
    validationLog +=
        "Extracting info from xml #" + std::to_string(position) + " - \"" + fileName + "\"";
    validationLog += kCrLf;
    if (read.fault != ScriptFault::kNone) {
        validationLog += FaultLine(read.fault);
        if (read.fault == ScriptFault::kBadSetting)
            validationLog += read.settingProblem + std::string(kCrLf);
        validationLog += kInvalidTail;
        return kInvalidScript;
    }
    validationLog += "Found correct tag <script ...>";
    if (entry.eraseTemp != 0)
        validationLog += " with \"erase_temp\" option activated";
    validationLog += kCrLf;
    validationLog += "Description: \"" + TrimBlanks(entry.displayName) + "\"";
    validationLog += kCrLf;
    validationLog +=
        "This script takes " + std::to_string(entry.argCount) + " input pic(s) as parameter\r\n";
    if (!entry.settings.empty()) {
        validationLog += "Settings:";
        for (const SettingDeclaration& setting : entry.settings)
            validationLog += " $" + setting.name;
        validationLog += kCrLf;
    }
    if (read.bodyCut) {
        validationLog += "Warning: the script is longer than " + std::to_string(kBodyCapacity) +
                         " characters; everything after that is left out and will not run\r\n";
    }
    validationLog += kCrLf;
    return read.count;
}

// The scripts a catalogue offers, in order, as comparable tuples. Blank positions stand for
// files that are no scripts (or for none), so a file that is no script changes nothing.
using OfferedScript =
    std::tuple<std::string, std::string, std::string, int, int, std::vector<std::string>>;
std::vector<OfferedScript> OfferedScripts(const ScriptCatalogue& catalogue) {
    std::vector<OfferedScript> offered;
    for (int k = 1; k <= catalogue.Size(); ++k) {
        const ScriptEntry& entry = catalogue.At(k);
        if (!TrimBlanks(entry.fileName).empty())
            offered.emplace_back(entry.fileName, entry.displayName, entry.body, entry.argCount,
                                 entry.eraseTemp, entry.settingLines);
    }
    return offered;
}

}  // namespace

std::string WithOneTrailingSeparator(std::string path, char separator) {
    while (!path.empty() && (path.back() == separator || path.back() == '/'))
        path.pop_back();
    path.push_back(separator);
    return path;
}

void ScanCatalogue(ScriptCatalogue& catalogue, std::string& validationLog,
                   const ScriptFolder& folder, ScriptCache* cache) {
    catalogue.Reset(1);
    validationLog = std::string(kScanHeading) + folder.path;
    validationLog += kCrLf;

    const std::vector<std::string> names = folder.listScripts();
    if (names.empty()) {
        catalogue.At(1).displayName = kNoScriptMarker;
        validationLog += "No xml found!\r\n\r\n";
        return;
    }
    catalogue.At(1).fileName = names.front().substr(0, kNameCapacity);
    for (std::size_t i = 1; i < names.size(); ++i) {
        ScriptEntry entry;
        entry.fileName = names[i].substr(0, kNameCapacity);
        catalogue.Append(std::move(entry));
    }
    validationLog +=
        "Found a total of " + std::to_string(names.size()) + " xml. Analysis started...";
    validationLog += "\r\n\r\n";

    // The log lists the files from the last position down. The invalid ones are dropped in
    // one pass afterwards: removing each where it stands moved every later entry, which made
    // a folder of thousands of scripts take seconds.
    const ScriptCache earlier = cache ? std::move(*cache) : ScriptCache();
    ScriptCache fresh;
    std::vector<bool> invalid(static_cast<std::size_t>(catalogue.Size()) + 1, false);
    for (int k = catalogue.Size(); k >= 1; --k) {
        ScriptEntry& entry = catalogue.At(k);
        const std::string fileName = TrimBlanks(entry.fileName);
        const ScriptReadResult read = ReadThroughCache(folder, fileName, entry, earlier, fresh);
        invalid[static_cast<std::size_t>(k)] =
            LogValidation(validationLog, k, fileName, read, entry) == kInvalidScript;
    }
    if (cache)
        *cache = std::move(fresh);
    int kept = 0;
    for (int k = 1; k <= catalogue.Size(); ++k) {
        if (!invalid[static_cast<std::size_t>(k)] && ++kept != k)
            catalogue.At(kept) = std::move(catalogue.At(k));
    }
    for (int k = kept + 1; k <= catalogue.Size(); ++k)
        catalogue.At(k) = ScriptEntry{};
    if (catalogue.Size() == 1 && TrimBlanks(catalogue.At(1).fileName).empty()) {
        catalogue.At(1).displayName = kNoScriptMarker;
    }
}

bool RescanCatalogue(ScriptCatalogue& catalogue, std::string& validationLog,
                     const ScriptFolder& folder, ScriptCache* cache) {
    ScriptCatalogue fresh;
    std::string freshLog;
    ScanCatalogue(fresh, freshLog, folder, cache);
    if (OfferedScripts(fresh) == OfferedScripts(catalogue))
        return false;
    catalogue = std::move(fresh);
    validationLog += kRescanHeading;
    validationLog += std::string_view(freshLog).substr(kScanHeading.size());
    return true;
}

int PositionOfFile(const ScriptCatalogue& catalogue, const std::string& fileName) {
    const std::string wanted = TrimBlanks(fileName);
    if (wanted.empty())
        return 0;
    int sameButCase = 0;
    for (int k = 1; k <= catalogue.Size(); ++k) {
        const std::string name = TrimBlanks(catalogue.At(k).fileName);
        if (name == wanted)
            return k;
        if (sameButCase == 0 && EqualsIgnoringAsciiCase(name, wanted))
            sameButCase = k;
    }
    return sameButCase;
}

std::uint8_t ValidateScript(ScriptCatalogue& catalogue, std::string& validationLog,
                            const ScriptFolder& folder, int position) {
    ScriptEntry& entry = catalogue.At(position);
    const std::string fileName = TrimBlanks(entry.fileName);
    const ScriptReadResult read = ReadFromFolder(folder, fileName, entry);
    return LogValidation(validationLog, position, fileName, read, entry);
}

void RemoveCatalogueEntry(ScriptCatalogue& catalogue, int position) {
    if (!catalogue.Contains(position))
        return;
    for (int k = position; k < catalogue.Size(); ++k)
        catalogue.At(k) = catalogue.At(k + 1);
    catalogue.At(catalogue.Size()) = ScriptEntry{};
}

std::vector<std::string> CatalogueListItems(const ScriptCatalogue& catalogue) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(catalogue.Size()));
    for (int k = 1; k <= catalogue.Size(); ++k)
        items.push_back(TrimBlanks(catalogue.At(k).displayName));
    return items;
}

}  // namespace quillon
