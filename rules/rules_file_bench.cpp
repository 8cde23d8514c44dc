// Loading a large rules file against reading its bytes into memory through
// the same files: loading must cost little beyond the read itself. Splitting
// the records into fields and working out the matching data wait for the
// rules' first use, measured on its own.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/native/host_file_system.h"
#include "rules/rules_file.h"

namespace qm {
namespace {

// About as many rules of this kind as the largest rules file holds.
constexpr int kRuleCount = 7000;

// Rules as the editor makes them (named after their location, every
// condition, both lists), saved in a folder of their own.
class BenchRulesFile {
public:
    BenchRulesFile() {
        char folder[] = "/tmp/qm-rules-bench-XXXXXX";
        if (!mkdtemp(folder)) std::abort();
        folder_ = folder;
        module_ = folder_ + "\\quellmark.dll";
        static const std::uint16_t kConditions[] = {PopupDomain | PopupExact, PopupExact,
                                                    SourceDomain | SourceExact, SourceExact};
        RuleSet rules;
        for (int i = 0; i < kRuleCount; ++i) {
            std::string n = std::to_string(i);
            Rule rule;
            rule.flags = static_cast<std::uint16_t>(kConditions[i % 4] | On | (i % 3 ? White : 0));
            rule.name = "site" + n + ".example ... page" + n + ".html";
            rule.popupLocation = "http://www.site" + n + ".example/popups/page" + n + ".html";
            rule.sourceLocation = "http://www.site" + n + ".example/articles/";
            rules.append(rule);
        }
        if (WriteRulesFile(files_, module_, rules)) std::abort();
        size_ = EncodeRules(rules).size();
    }
    ~BenchRulesFile() {
        files_.remove(RulesFilePath(module_));
        rmdir(folder_.c_str());
    }

    HostFileSystem& files() { return files_; }
    const std::string& module() const { return module_; }
    std::int64_t size() const { return static_cast<std::int64_t>(size_); }

private:
    HostFileSystem files_;
    std::string folder_;
    std::string module_;
    std::size_t size_ = 0;
};

// Baseline: what LoadRules does before it decodes.
void BM_ReadRulesFileBytes(benchmark::State& state) {
    BenchRulesFile file;
    const std::string path = RulesFilePath(file.module());
    for (auto _ : state) {
        std::unique_ptr<File> handle =
            file.files().open(path, FileAccess::Read, kShareRead, FileDisposition::OpenExisting);
        std::string data;
        handle->read(static_cast<std::size_t>(handle->size()), data);
        benchmark::DoNotOptimize(data);
        state.PauseTiming();
        data = std::string();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(BM_ReadRulesFileBytes)->Unit(benchmark::kMicrosecond);

// Second baseline: the least any loader into Rule values does after the
// read: split each well-formed record and copy its three texts, nothing else.
void BM_ReadAndSplitIntoRules(benchmark::State& state) {
    BenchRulesFile file;
    const std::string path = RulesFilePath(file.module());
    for (auto _ : state) {
        std::unique_ptr<File> handle =
            file.files().open(path, FileAccess::Read, kShareRead, FileDisposition::OpenExisting);
        std::string data;
        handle->read(static_cast<std::size_t>(handle->size()), data);
        std::vector<Rule> rules;
        rules.reserve(kRuleCount);
        for (std::size_t pos = 0; pos < data.size();) {
            std::size_t name = data.find('\x1B', pos) + 1;
            std::size_t popup = data.find('\x1B', name) + 1;
            std::size_t source = data.find('\x1B', popup) + 1;
            std::size_t end = data.find('\r', source);
            rules.push_back(
                Rule{static_cast<std::uint16_t>(data[pos]), data.substr(name, popup - 1 - name),
                     data.substr(popup, source - 1 - popup), data.substr(source, end - source)});
            pos = end + 2;
        }
        benchmark::DoNotOptimize(rules);
        state.PauseTiming();
        rules = std::vector<Rule>();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(BM_ReadAndSplitIntoRules)->Unit(benchmark::kMicrosecond);

// Like the baselines, the loaded buffers are freed outside the timing.
void BM_LoadRules(benchmark::State& state) {
    BenchRulesFile file;
    RuleSet rules;
    for (auto _ : state) {
        LoadRules(file.files(), file.module(), rules);
        benchmark::DoNotOptimize(rules);
        state.PauseTiming();
        if (rules.size() != kRuleCount) state.SkipWithError("not every rule loaded");
        rules = RuleSet();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(BM_LoadRules)->Unit(benchmark::kMicrosecond);

// Loaded rules are split into their fields, and their matching data worked
// out, on first use: here the first popup after the band starts, matching
// no rule, so every rule is read.
void BM_LoadRulesThenFirstMatch(benchmark::State& state) {
    BenchRulesFile file;
    RuleSet rules;
    for (auto _ : state) {
        LoadRules(file.files(), file.module(), rules);
        bool white = rules.MatchesWhiteList("http://ads.example/x", "http://news.example/");
        bool black = rules.MatchesBlackList("http://ads.example/x", "http://news.example/");
        benchmark::DoNotOptimize(white);
        benchmark::DoNotOptimize(black);
        state.PauseTiming();
        if (white || black) state.SkipWithError("a rule matched");
        rules = RuleSet();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(BM_LoadRulesThenFirstMatch)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm
