// libFuzzer target: any bytes as a script file. Besides crashes, hangs and undefined
// behaviour it checks what must hold for every input: the capacities, the result's
// consistency, and that the reader gives the same answer whatever chunks the bytes
// arrive in (the reader keeps state across chunk boundaries).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "catalogue/ScriptFormat.h"

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

void Check(bool condition) {
    if (!condition)
        std::abort();
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

    Check(wholeResult.count == choppedResult.count && wholeResult.fault == choppedResult.fault);
    Check(whole.body == chopped.body && whole.displayName == chopped.displayName &&
          whole.argCount == chopped.argCount && whole.eraseTemp == chopped.eraseTemp);
    Check(whole.body.size() <= kBodyCapacity && whole.displayName.size() <= kNameCapacity);
    Check(whole.eraseTemp <= 1);
    if (wholeResult.fault == ScriptFault::kNone)
        Check(wholeResult.count == whole.argCount);
    if (wholeResult.fault != ScriptFault::kNone)
        Check(wholeResult.count == kInvalidScript);

    // The one-line helpers on the same bytes.
    const std::string converted = ConvertBodyLine(text);
    Check(converted.size() >= 2 && converted.compare(converted.size() - 2, 2, "\r\n") == 0);
    (void)AttributeValue(text, "args=");
    (void)ArgsValueToCount(text);
    (void)ApplySingleArgShorthand(std::string(text.substr(0, 4096)));
    return 0;
}
