#include "common/testing/memory_file_system.h"

namespace qm::testing {

class MemoryFileSystem::Handle : public File {
public:
    Handle(MemoryFileSystem& owner, std::string path, FileAccess access, unsigned share)
        : owner_(owner), path_(std::move(path)), entry_{access, share} {
        it_ = owner_.handles_.emplace(path_, &entry_);
    }
    ~Handle() override { owner_.handles_.erase(it_); }

    std::int64_t size() override {
        if (owner_.failSize.count(path_)) return -1;
        return static_cast<std::int64_t>(data().size());
    }
    bool seekToStart() override {
        position_ = 0;
        return true;
    }
    bool seekToEnd() override {
        position_ = data().size();
        return true;
    }
    bool seekTo(std::int64_t offset) override {
        if (offset < 0) return false;
        position_ = static_cast<std::size_t>(offset);
        return true;
    }
    bool flush() override {
        return entry_.access == FileAccess::Write && !owner_.failFlush.count(path_);
    }
    bool read(std::size_t count, std::string& out) override {
        if (entry_.access != FileAccess::Read || owner_.failRead.count(path_)) return false;
        const std::string& all = data();
        out = position_ < all.size() ? all.substr(position_, count) : std::string();
        position_ += out.size();
        return true;
    }
    bool write(std::string_view bytes) override {
        if (entry_.access != FileAccess::Write) return false;
        bool fail = owner_.failWrite.count(path_) != 0;
        std::string_view written = fail ? bytes.substr(0, bytes.size() / 2) : bytes;
        std::string& all = owner_.files_[path_];
        if (all.size() < position_) all.resize(position_);
        all.replace(position_, written.size(), written);
        position_ += written.size();
        return !fail;
    }

private:
    const std::string& data() { return owner_.files_[path_]; }

    MemoryFileSystem& owner_;
    std::string path_;
    OpenHandle entry_;
    std::multimap<std::string, OpenHandle*>::iterator it_;
    std::size_t position_ = 0;
};

class MemoryFileSystem::Lock : public FileLock {
public:
    Lock(MemoryFileSystem& owner, std::string path) : owner_(owner), path_(std::move(path)) {
        owner_.locked_.insert(path_);
    }
    ~Lock() override { owner_.locked_.erase(path_); }

private:
    MemoryFileSystem& owner_;
    std::string path_;
};

MemoryFileSystem::MemoryFileSystem() = default;
MemoryFileSystem::~MemoryFileSystem() = default;

const std::string& MemoryFileSystem::contents(const std::string& path) const {
    static const std::string kNone;
    auto it = files_.find(path);
    return it == files_.end() ? kNone : it->second;
}

std::unique_ptr<File> MemoryFileSystem::open(const std::string& path, FileAccess access,
                                             unsigned share, FileDisposition disposition) {
    ++openCount;
    if (failOpen.count(path)) return nullptr;
    auto bitOf = [](FileAccess a) { return a == FileAccess::Read ? kShareRead : kShareWrite; };
    auto range = handles_.equal_range(path);
    for (auto it = range.first; it != range.second; ++it) {
        if (!(it->second->share & bitOf(access)) || !(share & bitOf(it->second->access))) {
            return nullptr;  // sharing violation
        }
    }
    bool exists = files_.count(path) != 0;
    if (!exists && disposition == FileDisposition::OpenExisting) return nullptr;
    if (!exists || disposition == FileDisposition::CreateAlways) files_[path].clear();
    return std::make_unique<Handle>(*this, path, access, share);
}

bool MemoryFileSystem::remove(const std::string& path) {
    if (!exists(path) || handles_.count(path) || failRemove.count(path)) return false;
    files_.erase(path);
    return true;
}

bool MemoryFileSystem::replace(const std::string& from, const std::string& to) {
    if (from == to || !exists(from) || failReplace.count(to) || handles_.count(from) ||
        handles_.count(to)) {
        return false;
    }
    files_[to] = std::move(files_[from]);
    files_.erase(from);
    return true;
}

std::vector<std::string> MemoryFileSystem::list(const std::string& pattern) {
    const std::size_t slash = pattern.rfind('\\') + 1;  // 0 without a folder
    const std::string folder = pattern.substr(0, slash);
    std::vector<std::string> names;
    for (const auto& file : files_) {
        const std::string& path = file.first;
        if (path.size() <= slash || path.compare(0, slash, folder) != 0) continue;
        std::string_view name = std::string_view(path).substr(slash);
        if (name.find('\\') == std::string_view::npos &&
            MatchesFileNamePattern(name, std::string_view(pattern).substr(slash))) {
            names.emplace_back(name);
        }
    }
    return names;
}

std::string MemoryFileSystem::createTemporary(const std::string& folder,
                                              const std::string& prefix) {
    if (failTemporary) return {};
    static const char kHex[] = "0123456789abcdef";
    const std::string base =
        folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + prefix.substr(0, 3);
    for (unsigned tries = 0; tries < 0x10000; ++tries) {
        unsigned unique = ++nextTemporary_ & 0xFFFF;
        if (unique == 0) continue;
        std::string digits;
        for (int shift = 12; shift >= 0; shift -= 4) digits += kHex[(unique >> shift) & 0xF];
        std::string path = base + digits + ".tmp";
        if (!exists(path)) {
            files_[path];
            return path;
        }
    }
    return {};
}

std::unique_ptr<FileLock> MemoryFileSystem::lock(const std::string& path) {
    ++lockCount;
    if (isLocked(path)) return nullptr;
    return std::make_unique<Lock>(*this, path);
}

}  // namespace qm::testing
