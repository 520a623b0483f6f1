// How fast the reader and the scan go: a real folder of 1,000 scripts, and sources far
// larger than any script (one huge line, millions of short lines).
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "catalogue/Catalogue.h"
#include "catalogue/ScriptFolderAccess.h"

namespace {

using namespace quillon;

// Serves `total` bytes made of `pattern` repeated, after a head.
class RepeatingSource final : public ByteSource {
  public:
    RepeatingSource(std::string head, std::string pattern, std::size_t total)
        : head_(std::move(head)), pattern_(std::move(pattern)), left_(total) {}
    std::size_t Read(char* buffer, std::size_t capacity) override {
        std::size_t n = 0;
        while (n < capacity && headAt_ < head_.size())
            buffer[n++] = head_[headAt_++];
        while (n < capacity && left_ > 0) {
            buffer[n++] = pattern_[at_++ % pattern_.size()];
            --left_;
        }
        return n;
    }

  private:
    std::string head_, pattern_;
    std::size_t headAt_ = 0, at_ = 0, left_;
};

constexpr std::size_t k200MB = 200u * 1024u * 1024u;

void BM_ReadHugeLineWithoutTag(benchmark::State& state) {
    for (auto _ : state) {
        RepeatingSource source("", "abcdefghijklmnopqrstuvwxyz", k200MB);
        ScriptEntry entry;
        benchmark::DoNotOptimize(ReadScript(&source, entry));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * k200MB));
}
BENCHMARK(BM_ReadHugeLineWithoutTag)->Unit(benchmark::kMillisecond);

void BM_ReadMillionsOfShortLines(benchmark::State& state) {
    for (auto _ : state) {
        RepeatingSource source("", "convert a b\r\n", k200MB);
        ScriptEntry entry;
        benchmark::DoNotOptimize(ReadScript(&source, entry));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * k200MB));
}
BENCHMARK(BM_ReadMillionsOfShortLines)->Unit(benchmark::kMillisecond);

void BM_ScanFolderOf1000Scripts(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "quillon-bench-1000";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < 1000; ++i) {
        std::ofstream(folder / ("script" + std::to_string(i) + ".xml"), std::ios::binary)
            << "<?xml version=\"1.0\"?>\r\n<script args=\"1\" name=\"Script " << i
            << "\" erase_temp=\"true\">\r\nconvert $NAME.$EXT -resize 50% step.png\r\n"
               "convert step.png -sepia-tone 80% out.png\r\n</script>\r\n";
    }
    const ScriptFolder scripts = OpenScriptFolder(*ResolveFolder(folder.string()));
    for (auto _ : state) {
        ScriptCatalogue catalogue;
        std::string log;
        ScanCatalogue(catalogue, log, scripts);
        benchmark::DoNotOptimize(log.data());
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_ScanFolderOf1000Scripts)->Unit(benchmark::kMillisecond);

}  // namespace
