// Trimming a 64 KB log against the least any trim must do: read the log's
// bytes and write the kept ones, through the same files on disk.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "guard/popup_record.h"
#include "log/activity_log.h"

namespace {

// Host files under the log's Windows-style names ('\' becomes '/'). Sharing
// modes are not enforced: the benchmark runs alone.
class HostFile : public qm::File {
public:
    explicit HostFile(int fd) : fd_(fd) {}
    ~HostFile() override { close(fd_); }

    std::int64_t size() override {
        struct stat info;
        return fstat(fd_, &info) == 0 ? info.st_size : -1;
    }
    bool seekToStart() override { return lseek(fd_, 0, SEEK_SET) == 0; }
    bool seekToEnd() override { return lseek(fd_, 0, SEEK_END) >= 0; }
    bool read(std::size_t count, std::string& data) override {
        data.resize(count);
        ssize_t got = ::read(fd_, data.data(), count);
        data.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return got >= 0;
    }
    bool write(std::string_view data) override {
        return ::write(fd_, data.data(), data.size()) == static_cast<ssize_t>(data.size());
    }

private:
    int fd_;
};

class HostFileSystem : public qm::FileSystem {
public:
    std::unique_ptr<qm::File> open(const std::string& path, qm::FileAccess access, unsigned,
                                   qm::FileDisposition disposition) override {
        int flags = access == qm::FileAccess::Read ? O_RDONLY : O_WRONLY;
        if (disposition != qm::FileDisposition::OpenExisting) flags |= O_CREAT;
        if (disposition == qm::FileDisposition::CreateAlways) flags |= O_TRUNC;
        int fd = ::open(HostPath(path).c_str(), flags, 0644);
        if (fd < 0) return nullptr;
        return std::make_unique<HostFile>(fd);
    }
    bool remove(const std::string& path) override { return unlink(HostPath(path).c_str()) == 0; }
    bool replace(const std::string& from, const std::string& to) override {
        return rename(HostPath(from).c_str(), HostPath(to).c_str()) == 0;
    }

private:
    static std::string HostPath(std::string path) {
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    }
};

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

    HostFileSystem& files() { return files_; }
    const std::string& module() const { return module_; }
    const std::string& path() const { return path_; }
    const std::string& kept() const { return kept_; }
    std::size_t size() const { return content_.size(); }

private:
    HostFileSystem files_;
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
