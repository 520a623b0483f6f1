#include "catalogue/ScriptFormat.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace quillon {
namespace {

constexpr char kCtrlZ = 0x1A;
constexpr std::string_view kTagOpening = "<script ";
constexpr std::string_view kClosingLine = "</script>";
constexpr std::string_view kParamOpening = "<param ";
constexpr std::string_view kArgsKeyword = "args=";
constexpr std::string_view kNameKeyword = "name=";
constexpr std::string_view kEraseKeyword = "erase_temp=";
constexpr std::string_view kQuotedTrue = "\"true\"";

// The shorthand only ever inserts a "1" after a placeholder word, so the first
// kBodyCapacity characters of the rewritten body depend on at most this many more
// characters of the converted one (the longest word, "$HEIGHT", and the digit after it).
constexpr std::size_t kShorthandLookahead = 16;

// Finds a fixed lower-case pattern in a stream of lower-cased bytes (Knuth-Morris-Pratt,
// so a pattern like "\"true\"" that overlaps itself is still found after a false start).
class StreamMatcher {
  public:
    explicit StreamMatcher(std::string_view pattern) : pattern_(pattern), border_(pattern.size()) {
        std::size_t k = 0;
        for (std::size_t i = 1; i < pattern_.size(); ++i) {
            while (k > 0 && pattern_[i] != pattern_[k])
                k = border_[k - 1];
            if (pattern_[i] == pattern_[k])
                ++k;
            border_[i] = k;
        }
    }

    // True when an occurrence ends with this byte.
    bool Feed(char lowered) {
        while (matched_ > 0 && pattern_[matched_] != lowered)
            matched_ = border_[matched_ - 1];
        if (pattern_[matched_] == lowered)
            ++matched_;
        if (matched_ == pattern_.size()) {
            matched_ = border_[matched_ - 1];
            return true;
        }
        return false;
    }

    void Reset() { matched_ = 0; }

  private:
    std::string_view pattern_;
    std::vector<std::size_t> border_;
    std::size_t matched_ = 0;
};

// Reads the leading number of an "args" value one character at a time. The integer part
// is kept modulo 256 and the fraction only as far as rounding needs it, so a value of any
// length gives the exact low eight bits of its rounded magnitude.
class CountReader {
  public:
    void Feed(char c) {
        const bool digit = c >= '0' && c <= '9';
        switch (state_) {
            case State::kLeading:
                if (c == ' ' || c == '\t')
                    return;
                if (c == '+' || c == '-') {
                    negative_ = c == '-';
                    state_ = State::kSign;
                    return;
                }
                [[fallthrough]];
            case State::kSign:
            case State::kInteger:
                if (digit) {
                    state_ = State::kInteger;
                    integerLow8_ = (integerLow8_ * 10u + static_cast<unsigned>(c - '0')) & 0xFFu;
                } else if (c == '.') {
                    state_ = State::kFraction;
                } else {
                    state_ = State::kDone;
                }
                return;
            case State::kFraction:
                if (!digit) {
                    state_ = State::kDone;
                } else if (firstFractionDigit_ < 0) {
                    firstFractionDigit_ = c - '0';
                } else if (c != '0') {
                    beyondFirstDigit_ = true;
                }
                return;
            case State::kDone:
                return;
        }
    }

    std::uint8_t Count() const {
        bool roundUp = firstFractionDigit_ > 5 || (firstFractionDigit_ == 5 && beyondFirstDigit_);
        if (firstFractionDigit_ == 5 && !beyondFirstDigit_)
            roundUp = (integerLow8_ & 1u) != 0;
        unsigned magnitude = (integerLow8_ + (roundUp ? 1u : 0u)) & 0xFFu;
        return static_cast<std::uint8_t>(negative_ ? (256u - magnitude) & 0xFFu : magnitude);
    }

  private:
    enum class State { kLeading, kSign, kInteger, kFraction, kDone };
    State state_ = State::kLeading;
    bool negative_ = false;
    unsigned integerLow8_ = 0;
    int firstFractionDigit_ = -1;
    bool beyondFirstDigit_ = false;
};

// Follows one attribute through a line: its keyword's first occurrence, then the text
// between the next two double quotes. A value without a closing quote runs to the line's
// end; a keyword with no quote after it has an empty value.
class AttributeScanner {
  public:
    AttributeScanner(std::string_view keyword, std::size_t valueCapacity)
        : keyword_(keyword), valueCapacity_(valueCapacity) {}

    void Feed(char original, char lowered) {
        switch (state_) {
            case State::kSearching:
                if (keyword_.Feed(lowered))
                    state_ = State::kBeforeValue;
                return;
            case State::kBeforeValue:
                if (original == '"')
                    state_ = State::kInValue;
                return;
            case State::kInValue:
                if (original == '"') {
                    state_ = State::kDone;
                    return;
                }
                count_.Feed(original);
                if (value_.size() < valueCapacity_)
                    value_.push_back(original);
                return;
            case State::kDone:
                return;
        }
    }

    bool Found() const { return state_ != State::kSearching; }
    const std::string& Value() const { return value_; }
    std::uint8_t Count() const { return count_.Count(); }

    void Reset() {
        keyword_.Reset();
        state_ = State::kSearching;
        value_.clear();
        count_ = CountReader{};
    }

  private:
    enum class State { kSearching, kBeforeValue, kInValue, kDone };
    StreamMatcher keyword_;
    std::size_t valueCapacity_;
    State state_ = State::kSearching;
    std::string value_;
    CountReader count_;
};

// Appends to a string but never past its limit, so a huge body line costs no memory.
class BoundedText {
  public:
    BoundedText(std::string& text, std::size_t limit) : text_(text), limit_(limit) {}
    void Put(char c) {
        if (text_.size() < limit_)
            text_.push_back(c);
    }
    void Put(std::string_view s) { text_.append(s.substr(0, Room())); }
    void PutRepeated(char c, std::uint64_t count) {
        text_.append(static_cast<std::size_t>(count < Room() ? count : Room()), c);
    }
    bool Full() const { return text_.size() >= limit_; }

  private:
    std::size_t Room() const { return Full() ? 0 : limit_ - text_.size(); }
    std::string& text_;
    std::size_t limit_;
};

// Converts a body line as its bytes arrive. Trailing blanks and a final backslash can only
// be judged at the line's end, so blanks are counted and a backslash held back until the
// next character decides what they are.
class LineConverter {
  public:
    explicit LineConverter(BoundedText& out) : out_(out) {}

    void Feed(char c) {
        const bool first = !started_;
        started_ = true;
        if (c == ' ') {
            ++pendingBlanks_;
            return;
        }
        if (heldBackslash_) {
            heldBackslash_ = false;
            if (pendingBlanks_ == 0 && (c == '(' || c == ')')) {
                out_.Put(c);
                return;
            }
            out_.Put('\\');
        }
        out_.PutRepeated(' ', pendingBlanks_);
        pendingBlanks_ = 0;
        switch (c) {
            case '\\':
                heldBackslash_ = true;
                break;
            case '#':
                out_.Put(first ? std::string_view("::") : std::string_view("#"));
                break;
            case '\'':
                out_.Put('"');
                break;
            case '%':
                out_.Put("%%");
                break;
            default:
                out_.Put(c);
        }
    }

    void FeedBlanks(std::uint64_t count) {
        if (count == 0)
            return;
        Feed(' ');
        pendingBlanks_ += count - 1;
    }

    void EndLine() {
        if (heldBackslash_)
            out_.Put('^');
        out_.Put("\r\n");
        started_ = heldBackslash_ = false;
        pendingBlanks_ = 0;
    }

  private:
    BoundedText& out_;
    bool started_ = false;
    bool heldBackslash_ = false;
    std::uint64_t pendingBlanks_ = 0;
};

// Watches a body line for the closing "</script>" (blanks around it allowed, any case) and
// for the "<param " that opens a declaration. Until the line can be neither, its characters
// are held back, as a count of leading blanks, the matched letters and a count of trailing
// blanks, and handed to the converter only once it is clear they are body text. The rest of
// a declaration line is kept apart, never converted.
class BodyLineReader {
  public:
    BodyLineReader(BoundedText& body, std::vector<std::string>& declarations)
        : converter_(body), declarations_(declarations) {}

    void Feed(char c) {
        if (state_ == State::kBody) {
            converter_.Feed(c);
            return;
        }
        if (state_ == State::kParam) {
            // One byte past the capacity is enough to tell the line was too long.
            if (declaration_.size() <= kSettingLineCapacity)
                declaration_.push_back(c);
            return;
        }
        if (c == ' ') {
            if (state_ == State::kLeading) {
                ++leadingBlanks_;
                return;
            }
            if (state_ == State::kTrailing || (closingAlive_ && matched_ == kClosingLine.size())) {
                state_ = State::kTrailing;
                ++trailingBlanks_;
                return;
            }
        }
        if (state_ != State::kTrailing) {
            const char lowered = AsciiLower(c);
            const bool closing = closingAlive_ && matched_ < kClosingLine.size() &&
                                 lowered == kClosingLine[matched_];
            const bool param = paramAlive_ && matched_ < kParamOpening.size() &&
                               lowered == kParamOpening[matched_];
            if (closing || param) {
                heldLetters_[matched_++] = c;
                closingAlive_ = closing;
                paramAlive_ = param;
                state_ = param && matched_ == kParamOpening.size() ? State::kParam : State::kWord;
                return;
            }
        }
        Release();
        converter_.Feed(c);
    }

    // Returns true when the line was the closing line.
    bool EndLine() {
        const bool closing = (state_ == State::kWord || state_ == State::kTrailing) &&
                             closingAlive_ && matched_ == kClosingLine.size();
        if (state_ == State::kParam) {
            // One more than the most a script may declare tells that it declared too many.
            if (declarations_.size() <= kMostSettings)
                declarations_.push_back(std::move(declaration_));
            declaration_.clear();
        } else if (!closing) {
            Release();
            converter_.EndLine();
        }
        state_ = State::kLeading;
        leadingBlanks_ = trailingBlanks_ = 0;
        matched_ = 0;
        closingAlive_ = paramAlive_ = true;
        return closing;
    }

  private:
    // Hands what was held back to the converter, once: the held text is forgotten, so a
    // second call (at the end of a line already known to be body text) adds nothing.
    void Release() {
        converter_.FeedBlanks(leadingBlanks_);
        for (std::size_t i = 0; i < matched_; ++i)
            converter_.Feed(heldLetters_[i]);
        converter_.FeedBlanks(trailingBlanks_);
        leadingBlanks_ = trailingBlanks_ = 0;
        matched_ = 0;
        state_ = State::kBody;
    }

    enum class State { kLeading, kWord, kTrailing, kParam, kBody };
    LineConverter converter_;
    std::vector<std::string>& declarations_;
    std::string declaration_;
    State state_ = State::kLeading;
    std::uint64_t leadingBlanks_ = 0;
    std::uint64_t trailingBlanks_ = 0;
    std::array<char, kClosingLine.size()> heldLetters_{};
    std::size_t matched_ = 0;
    bool closingAlive_ = true;
    bool paramAlive_ = true;
};

// Applies the tag and body rules to a file's lines as their bytes arrive. Byte and LineEnd
// return false once nothing later in the file can change the reading.
class ScriptLines {
  public:
    ScriptLines()
        : bodyText_(body_, kBodyCapacity + kShorthandLookahead),
          bodyLine_(bodyText_, declarations_) {}
    ScriptLines(const ScriptLines&) = delete;
    ScriptLines& operator=(const ScriptLines&) = delete;

    bool Byte(char c) {
        if (inBody_) {
            bodyLine_.Feed(c);
            return !bodyText_.Full();
        }
        const char lowered = AsciiLower(c);
        if (tag_.Feed(lowered))
            tagInLine_ = true;
        if (erase_.Found() && quotedTrue_.Feed(lowered))
            trueAfterErase_ = true;
        args_.Feed(c, lowered);
        name_.Feed(c, lowered);
        erase_.Feed(c, lowered);
        return true;
    }

    bool LineEnd() {
        if (inBody_)
            return !bodyLine_.EndLine() && !bodyText_.Full();
        if (!tagInLine_) {
            tag_.Reset();
            args_.Reset();
            name_.Reset();
            erase_.Reset();
            quotedTrue_.Reset();
            trueAfterErase_ = false;
            return true;
        }
        inBody_ = true;
        return true;
    }

    ScriptReadResult Finish(ScriptEntry& entry) {
        if (!inBody_)
            return {kInvalidScript, ScriptFault::kNoTag};
        if (!args_.Found())
            return {kInvalidScript, ScriptFault::kNoArgs};
        entry.argCount = args_.Count();
        if (!name_.Found())
            return {kInvalidScript, ScriptFault::kNoName};
        entry.displayName = name_.Value();
        entry.eraseTemp = (erase_.Found() && trueAfterErase_) ? 1 : 0;
        if (entry.argCount == 1)
            body_ = ApplySingleArgShorthand(std::move(body_));
        const bool cut = body_.size() > kBodyCapacity;
        if (cut)
            body_.resize(kBodyCapacity);
        entry.body = std::move(body_);
        SettingsRead settings = ReadSettings(declarations_, entry.argCount == 1);
        entry.settingLines = std::move(declarations_);
        entry.settings = std::move(settings.settings);
        if (!settings.problem.empty())
            return {kInvalidScript, ScriptFault::kBadSetting, cut, std::move(settings.problem)};
        return {entry.argCount, ScriptFault::kNone, cut};
    }

  private:
    StreamMatcher tag_{kTagOpening};
    AttributeScanner args_{kArgsKeyword, 0};
    AttributeScanner name_{kNameKeyword, kNameCapacity};
    AttributeScanner erase_{kEraseKeyword, 0};
    StreamMatcher quotedTrue_{kQuotedTrue};
    bool tagInLine_ = false;
    bool trueAfterErase_ = false;
    bool inBody_ = false;
    std::string body_;
    std::vector<std::string> declarations_;
    BoundedText bodyText_;
    BodyLineReader bodyLine_;
};

// Cuts the file's text into lines for a ScriptLines. By CR rules, CR LF and a lone CR end a
// line and a lone LF is text; by LF rules (a file without any CR) an LF ends a line.
class LineCutter {
  public:
    explicit LineCutter(bool crRules) : lineEnd_(crRules ? '\r' : '\n') {}

    void Feed(char c) {
        if (done_)
            return;
        if (c == lineEnd_) {
            afterCr_ = c == '\r';
            lineHasText_ = false;
            done_ = !lines_.LineEnd();
            return;
        }
        if (c == '\n' && afterCr_) {
            afterCr_ = false;
            return;
        }
        afterCr_ = false;
        lineHasText_ = true;
        done_ = !lines_.Byte(c);
    }

    // The end of the text: a last line without an end counts when it has text.
    ScriptReadResult Finish(ScriptEntry& entry) {
        if (!done_ && lineHasText_)
            lines_.LineEnd();
        return lines_.Finish(entry);
    }

    bool Done() const { return done_; }

  private:
    char lineEnd_;
    bool afterCr_ = false;
    bool lineHasText_ = false;
    bool done_ = false;
    ScriptLines lines_;
};

}  // namespace

std::size_t FileByteSource::Read(char* buffer, std::size_t capacity) {
    return file_ ? std::fread(buffer, 1, capacity, file_.get()) : 0;
}

std::size_t MemoryByteSource::Read(char* buffer, std::size_t capacity) {
    const std::size_t n = text_.size() < capacity ? text_.size() : capacity;
    text_.copy(buffer, n);
    text_.remove_prefix(n);
    return n;
}

AttributeResult AttributeValue(std::string_view tagLine, std::string_view keyword) {
    AttributeScanner scanner(keyword, tagLine.size());
    for (char c : tagLine)
        scanner.Feed(c, AsciiLower(c));
    return {scanner.Found(), scanner.Value()};
}

std::uint8_t ArgsValueToCount(std::string_view value) {
    CountReader reader;
    for (char c : value)
        reader.Feed(c);
    return reader.Count();
}

std::string ConvertBodyLine(std::string_view line) {
    std::string out;
    BoundedText text(out, line.size() * 2 + 2);
    LineConverter converter(text);
    for (char c : line)
        converter.Feed(c);
    converter.EndLine();
    return out;
}

namespace {
void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    std::size_t start = 0;
    for (auto hit = text.find(from); hit != std::string::npos; hit = text.find(from, start)) {
        out.append(text, start, hit - start).append(to);
        start = hit + from.size();
    }
    out.append(text, start, std::string::npos);
    text.swap(out);
}
}  // namespace

std::string ApplySingleArgShorthand(std::string body) {
    for (std::string_view word : {"$EXT", "$NAME", "$WIDTH", "$HEIGHT"}) {
        const std::string once = std::string(word) + "1";
        ReplaceAll(body, word, once);
        ReplaceAll(body, once + "1", once);
    }
    return body;
}

ScriptReadResult ReadScript(ByteSource* source, ScriptEntry& entry) {
    if (source == nullptr)
        return {kInvalidScript, ScriptFault::kNoTag};

    // Editors on other systems save lines that end in LF alone. Read by CR rules such a file
    // would be one long line, a script that does nothing; so a text without any CR has its
    // lines end at LF. Whether a CR comes is known only at the end, so both readings run
    // until the first CR settles it (the CR reading is then still on its first line).
    LineCutter crRules(true);
    std::optional<LineCutter> lfRules(std::in_place, false);
    std::array<char, 64 * 1024> chunk;
    bool textEnded = false;
    while (!textEnded && !crRules.Done()) {
        const std::size_t got = source->Read(chunk.data(), chunk.size());
        if (got == 0)
            break;
        for (std::size_t i = 0; i < got && !crRules.Done(); ++i) {
            const char c = chunk[i];
            if (c == kCtrlZ) {
                textEnded = true;
                break;
            }
            if (c == '\r')
                lfRules.reset();
            crRules.Feed(c);
            if (lfRules)
                lfRules->Feed(c);
        }
    }
    return lfRules ? lfRules->Finish(entry) : crRules.Finish(entry);
}

}  // namespace quillon
