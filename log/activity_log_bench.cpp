// Trimming a 64 KB log against the least any trim must do: read the log's
// bytes and write the kept ones, through the same files on disk.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "guard/popup_record.h"
#include "common/native/host_file_system.h"
#include "log/activity_log.h"

namespace {

constexpr std::int32_t kMaxLogSize = 63;  // the largest the log settings allow

// A folder of its own holding a 64 KB log of 256 lines, 256 bytes each.
class BenchLog {
public:
    BenchLog() {
        char folder[] = "/tmp/qm-log-bench-XXXXXX";
        folder_ = mkdtemp(folder);
        module_ = folder_ + "\\quellmark.dll";
        path_ = qm::LogFilePath(module_);
        for (int i = 0; i < 256; ++i) {
            qm::PopupRecord record;
            record.title = L"popup " + std::to_wstring(i);
            record.url = std::wstring(256 - record.ToLogLine().size(), L'u');
            content_ += record.ToLogLine();
        }
        kept_ = qm::TrimmedLogContent(content_, qm::LogSizeLimit(kMaxLogSize),
                                      qm::kRemoveOldestEntries);
    }
    ~BenchLog() {
        files_.remove(path_);
        rmdir(folder_.c_str());
    }
    void Restore() {
        auto file = files_.open(path_, qm::FileAccess::Write, qm::kShareNone,
                                qm::FileDisposition::CreateAlways);
        if (!file || !file->write(content_)) std::abort();
    }

    qm::HostFileSystem& files() { return files_; }
    const std::string& module() const { return module_; }
    const std::string& path() const { return path_; }
    const std::string& kept() const { return kept_; }
    std::size_t size() const { return content_.size(); }

private:
    qm::HostFileSystem files_;
    std::string folder_;
    std::string module_;
    std::string path_;
    std::string content_;
    std::string kept_;
};

void BM_ReadAndWriteLogBytes(benchmark::State& state) {
    BenchLog log;
    for (auto _ : state) {
        state.PauseTiming();
        log.Restore();
        state.ResumeTiming();
        std::string content;
        {
            auto file = log.files().open(log.path(), qm::FileAccess::Read, qm::kShareRead,
                                         qm::FileDisposition::OpenAlways);
            file->read(static_cast<std::size_t>(file->size()), content);
        }
        auto file = log.files().open(log.path(), qm::FileAccess::Write, qm::kShareWrite,
                                     qm::FileDisposition::CreateAlways);
        file->write(log.kept());
        benchmark::DoNotOptimize(content);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(log.size()));
}
BENCHMARK(BM_ReadAndWriteLogBytes);

void BM_TrimLogRemovingOldest(benchmark::State& state) {
    BenchLog log;
    for (auto _ : state) {
        state.PauseTiming();
        log.Restore();
        state.ResumeTiming();
        qm::TrimLog(log.files(), log.module(), kMaxLogSize, qm::kRemoveOldestEntries);
    }
    std::string content;
    auto file = log.files().open(log.path(), qm::FileAccess::Read, qm::kShareRead,
                                 qm::FileDisposition::OpenExisting);
    if (!file || !file->read(log.size(), content) || content != log.kept()) {
        state.SkipWithError("the trim did not leave the kept lines");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(log.size()));
}
BENCHMARK(BM_TrimLogRemovingOldest);

}  // namespace
