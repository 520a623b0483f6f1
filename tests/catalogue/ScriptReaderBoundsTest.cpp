// The reader must cope with files far larger than any script without holding them.
#include "catalogue/ScriptFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace quillon {
namespace {

// Serves a head, then `fill` repeated up to `total` bytes, then a tail; nothing is stored.
class GeneratedSource final : public ByteSource {
  public:
    GeneratedSource(std::string head, std::string fill, std::uint64_t fillBytes, std::string tail)
        : head_(std::move(head)),
          fill_(std::move(fill)),
          fillBytes_(fillBytes),
          tail_(std::move(tail)) {}

    std::size_t Read(char* buffer, std::size_t capacity) override {
        std::size_t n = 0;
        while (n < capacity) {
            if (headAt_ < head_.size()) {
                buffer[n++] = head_[headAt_++];
            } else if (served_ < fillBytes_) {
                const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(
                    {capacity - n, fillBytes_ - served_, fill_.size() - served_ % fill_.size()}));
                std::memcpy(buffer + n, fill_.data() + served_ % fill_.size(), chunk);
                n += chunk;
                served_ += chunk;
            } else if (tailAt_ < tail_.size()) {
                buffer[n++] = tail_[tailAt_++];
            } else {
                break;
            }
        }
        totalServed_ += n;
        return n;
    }

    std::uint64_t TotalServed() const { return totalServed_; }

  private:
    std::string head_, fill_;
    std::uint64_t fillBytes_;
    std::string tail_;
    std::size_t headAt_ = 0, tailAt_ = 0;
    std::uint64_t served_ = 0, totalServed_ = 0;
};

// Large enough that holding it would show; the 200 MB figures come from the benchmark.
constexpr std::uint64_t kLarge = 8ull * 1024 * 1024;

TEST(ReaderBounds, HugeLineBeforeTheTagIsSkipped) {
    GeneratedSource source("", "abcdefghij", kLarge, "\r\n<script args=\"1\" name=\"late\">\r\nx");
    ScriptEntry entry;
    EXPECT_EQ(ReadScript(&source, entry).count, 1);
    EXPECT_EQ(entry.body, "x\r\n");
}

TEST(ReaderBounds, TagAfterMillionsOfLeadingBlanksIsFound) {
    GeneratedSource source("", " ", kLarge, "<script args=\"2\" name=\"far\">\r\nconvert\r\n");
    ScriptEntry entry;
    EXPECT_EQ(ReadScript(&source, entry).count, 2);
    EXPECT_EQ(entry.displayName, "far");
}

TEST(ReaderBounds, ClosingLineAfterMillionsOfBlanksIsRecognised) {
    GeneratedSource source("<script args=\"0\" name=\"c\">\r\na\r\n", " ", kLarge,
                           "</script>\r\nafter\r\n");
    ScriptEntry entry;
    ReadScript(&source, entry);
    EXPECT_EQ(entry.body, "a\r\n");
}

TEST(ReaderBounds, HugeBodyLineStopsReadingOnceTheBodyIsFull) {
    GeneratedSource source("<script args=\"0\" name=\"big\">\r\n", "%", kLarge, "");
    ScriptEntry entry;
    ReadScript(&source, entry);
    EXPECT_EQ(entry.body, std::string(kBodyCapacity, '%'));
    EXPECT_LT(source.TotalServed(), 1024u * 1024u);
}

TEST(ReaderBounds, MillionsOfShortLinesWithoutTag) {
    GeneratedSource source("", "<scrip\r\n", kLarge, "");
    ScriptEntry entry;
    EXPECT_EQ(ReadScript(&source, entry).fault, ScriptFault::kNoTag);
    EXPECT_EQ(source.TotalServed(), kLarge);
}

TEST(ReaderBounds, TrailingBlanksOfAHugeLineStillVanish) {
    GeneratedSource source("<script args=\"0\" name=\"t\">\r\nend \\", " ", kLarge, "\r\n");
    ScriptEntry entry;
    ReadScript(&source, entry);
    EXPECT_EQ(entry.body, "end ^\r\n");
}

}  // namespace
}  // namespace quillon
