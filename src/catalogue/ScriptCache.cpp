#include "catalogue/ScriptCache.h"

#include <charconv>
#include <cstdint>
#include <optional>

#include "base/Text.h"

namespace quillon {
namespace {

// 2: files without any CR are read by lines ending at LF; what 1 kept of them (one long
// tag line, an empty body) must be read again.
// 3: "<param " lines declare settings and are kept apart; 2 had them in the body.
constexpr std::string_view kFormat = "Quillon script cache 3\n";

// Every field is its length, a colon and its bytes, so that no byte of a name or a body
// can be taken for a separator.
void PutField(std::string& out, std::string_view field) {
    out += std::to_string(field.size());
    out += ':';
    out += field;
}

class FieldReader {
  public:
    explicit FieldReader(std::string_view bytes) : rest_(bytes) {}
    bool AtEnd() const { return rest_.empty(); }
    std::optional<std::string_view> Next(std::size_t longest) {
        std::size_t length = 0;
        const auto [end, error] =
            std::from_chars(rest_.data(), rest_.data() + rest_.size(), length);
        const std::size_t digits = static_cast<std::size_t>(end - rest_.data());
        if (error != std::errc() || digits == 0 || digits >= rest_.size() || *end != ':' ||
            length > longest || length > rest_.size() - digits - 1)
            return std::nullopt;
        const std::string_view field = rest_.substr(digits + 1, length);
        rest_.remove_prefix(digits + 1 + length);
        return field;
    }
    std::optional<unsigned> Number(unsigned highest) {
        const std::optional<std::string_view> field = Next(3);
        unsigned value = 0;
        if (!field || field->empty() ||
            std::from_chars(field->data(), field->data() + field->size(), value).ptr !=
                field->data() + field->size() ||
            value > highest)
            return std::nullopt;
        return value;
    }

  private:
    std::string_view rest_;
};

}  // namespace

ScriptCache ScriptCache::FromBytes(std::string_view bytes, const std::string& folderPath) {
    // The last 16 bytes are the fingerprint of all before them.
    constexpr std::size_t kSumLength = 16;
    if (bytes.size() < kFormat.size() + kSumLength || bytes.substr(0, kFormat.size()) != kFormat)
        return {};
    const std::string_view content = bytes.substr(0, bytes.size() - kSumLength);
    if (bytes.substr(content.size()) != Fingerprint(content))
        return {};
    FieldReader fields(content.substr(kFormat.size()));
    const std::optional<std::string_view> folder = fields.Next(content.size());
    if (!folder || *folder != folderPath)
        return {};
    ScriptCache cache;
    while (!fields.AtEnd()) {
        const auto name = fields.Next(kNameCapacity);
        const auto stamp = fields.Next(kNameCapacity);
        const auto count = fields.Number(255);
        const auto fault = fields.Number(static_cast<unsigned>(ScriptFault::kBadSetting));
        const auto cut = fields.Number(1);
        const auto displayName = fields.Next(kNameCapacity);
        const auto body = fields.Next(kBodyCapacity);
        const auto argCount = fields.Number(255);
        const auto eraseTemp = fields.Number(255);
        const auto lineCount = fields.Number(static_cast<unsigned>(kMostSettings) + 1);
        if (!name || !stamp || !count || !fault || !cut || !displayName || !body || !argCount ||
            !eraseTemp || !lineCount)
            return {};
        CachedScript script;
        script.read = {
            static_cast<std::uint8_t>(*count), static_cast<ScriptFault>(*fault), *cut != 0, {}};
        script.entry = {std::string(*name),
                        std::string(*displayName),
                        std::string(*body),
                        static_cast<std::uint8_t>(*argCount),
                        static_cast<std::uint8_t>(*eraseTemp),
                        {},
                        {}};
        for (unsigned i = 0; i < *lineCount; ++i) {
            const auto line = fields.Next(kSettingLineCapacity + 1);
            if (!line)
                return {};
            script.entry.settingLines.emplace_back(*line);
        }
        // The declarations are read again from their lines: cheaper to keep, and the same
        // reading gives the same settings and the same complaint.
        if (script.read.fault == ScriptFault::kNone ||
            script.read.fault == ScriptFault::kBadSetting) {
            SettingsRead settings =
                ReadSettings(script.entry.settingLines, script.entry.argCount == 1);
            script.entry.settings = std::move(settings.settings);
            script.read.settingProblem = std::move(settings.problem);
        }
        cache.Put(std::string(*name), std::string(*stamp), std::move(script));
    }
    return cache;
}

std::string ScriptCache::ToBytes(const std::string& folderPath) const {
    std::string out(kFormat);
    PutField(out, folderPath);
    for (const auto& [name, kept] : scripts_) {
        const auto& [stamp, script] = kept;
        PutField(out, name);
        PutField(out, stamp);
        PutField(out, std::to_string(script.read.count));
        PutField(out, std::to_string(static_cast<unsigned>(script.read.fault)));
        PutField(out, script.read.bodyCut ? "1" : "0");
        PutField(out, script.entry.displayName);
        PutField(out, script.entry.body);
        PutField(out, std::to_string(script.entry.argCount));
        PutField(out, std::to_string(script.entry.eraseTemp));
        PutField(out, std::to_string(script.entry.settingLines.size()));
        for (const std::string& line : script.entry.settingLines)
            PutField(out, line);
    }
    return out + Fingerprint(out);
}

const CachedScript* ScriptCache::Find(const std::string& fileName, const std::string& stamp) const {
    const auto found = scripts_.find(fileName);
    return found != scripts_.end() && found->second.first == stamp ? &found->second.second
                                                                   : nullptr;
}

void ScriptCache::Put(const std::string& fileName, const std::string& stamp, CachedScript script) {
    scripts_[fileName] = {stamp, std::move(script)};
}

}  // namespace quillon
