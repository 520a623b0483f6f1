// libFuzzer target: any bytes as a script file. Besides crashes, hangs and undefined
// behaviour it checks what must hold for every input: the capacities, the result's
// consistency, that the reader gives the same answer whatever chunks the bytes arrive in
// (the reader keeps state across chunk boundaries), and that the streaming reader and its
// one-line helpers agree with the plain whole-file reading of the same rules.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "catalogue/ScriptFormat.h"
#include "support/PlainScriptReader.h"

namespace {

using namespace quillon;

// Hands out the bytes in chunks of a size taken from the input itself.
class ChoppedSource final : public ByteSource {
  public:
    ChoppedSource(std::string_view text, std::size_t chunk) : text_(text), chunk_(chunk) {}
    std::size_t Read(char* buffer, std::size_t capacity) override {
        const std::size_t n = std::min({capacity, chunk_, text_.size()});
        text_.copy(buffer, n);
        text_.remove_prefix(n);
        return n;
    }

  private:
    std::string_view text_;
    std::size_t chunk_;
};

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "script reader check failed: %s\n", what);
        std::abort();
    }
}

void CheckSameRead(const ScriptReadResult& resultA, const ScriptEntry& a,
                   const ScriptReadResult& resultB, const ScriptEntry& b, const char* what) {
    Check(resultA.count == resultB.count && resultA.fault == resultB.fault &&
              resultA.settingProblem == resultB.settingProblem,
          what);
    Check(a.fileName == b.fileName && a.displayName == b.displayName && a.body == b.body &&
              a.argCount == b.argCount && a.eraseTemp == b.eraseTemp &&
              a.settingLines == b.settingLines,
          what);
}

// An entry that already holds a script, as a re-validated catalogue position does: a
// failed read must leave the fields after the failing check as they were.
ScriptEntry EarlierEntry() {
    ScriptEntry entry;
    entry.fileName = "earlier.xml";
    entry.displayName = "earlier name";
    entry.body = "earlier body\r\n";
    entry.argCount = 7;
    entry.eraseTemp = 1;
    return entry;
}

void CheckAgainstPlainReading(std::string_view text, ScriptEntry start, const char* what) {
    ScriptEntry streamed = start;
    MemoryByteSource source(text);
    const ScriptReadResult streamedResult = ReadScript(&source, streamed);
    ScriptEntry plainlyRead = start;
    const ScriptReadResult plainResult = plain::ReadScript(text, plainlyRead);
    CheckSameRead(streamedResult, streamed, plainResult, plainlyRead, what);
}

void CheckSameAttribute(std::string_view text, std::string_view keyword) {
    const AttributeResult streamed = AttributeValue(text, keyword);
    const AttributeResult plainValue = plain::Attribute(text, keyword);
    Check(streamed.found == plainValue.found && streamed.value == plainValue.value,
          "AttributeValue differs from the plain reading");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    ScriptEntry whole;
    MemoryByteSource wholeSource(text);
    const ScriptReadResult wholeResult = ReadScript(&wholeSource, whole);

    ScriptEntry chopped;
    ChoppedSource choppedSource(text, size == 0 ? 1 : 1 + data[0] % 7);
    const ScriptReadResult choppedResult = ReadScript(&choppedSource, chopped);

    CheckSameRead(wholeResult, whole, choppedResult, chopped, "chunk sizes change the reading");
    Check(whole.body.size() <= kBodyCapacity && whole.displayName.size() <= kNameCapacity,
          "capacity exceeded");
    Check(whole.eraseTemp <= 1, "eraseTemp is not a flag");
    if (wholeResult.fault == ScriptFault::kNone)
        Check(wholeResult.count == whole.argCount, "result is not the stored count");
    if (wholeResult.fault != ScriptFault::kNone)
        Check(wholeResult.count == kInvalidScript, "a failure does not give 255");

    CheckAgainstPlainReading(text, ScriptEntry{}, "ReadScript differs from the plain reading");
    CheckAgainstPlainReading(text, EarlierEntry(),
                             "ReadScript differs from the plain reading on a filled entry");

    // The one-line helpers on the same bytes.
    const std::string converted = ConvertBodyLine(text);
    Check(converted == plain::ConvertLine(text), "ConvertBodyLine differs from the plain reading");
    for (std::string_view keyword : {"args=", "name=", "erase_temp="})
        CheckSameAttribute(text, keyword);
    Check(ArgsValueToCount(text) == plain::Count(text),
          "ArgsValueToCount differs from the plain reading");
    const std::string prefix(text.substr(0, 4096));
    Check(ApplySingleArgShorthand(prefix) == plain::Shorthand(prefix),
          "ApplySingleArgShorthand differs from the plain reading");
    return 0;
}
