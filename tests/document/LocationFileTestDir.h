// Scratch directories and file helpers for the Location File tests.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace arvestra::testing {

// A fresh directory under the system's temporary directory, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvxtest.XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

    // Names of every entry in the directory, hidden ones included.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

  private:
    std::string path_;
};

// Points TMPDIR somewhere else for the life of the object.
class TmpdirOverride {
  public:
    explicit TmpdirOverride(const std::string& value) {
        const char* old = std::getenv("TMPDIR");
        hadOld_ = old != nullptr;
        if (hadOld_) old_ = old;
        ::setenv("TMPDIR", value.c_str(), 1);
    }
    ~TmpdirOverride() {
        if (hadOld_) {
            ::setenv("TMPDIR", old_.c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
    }
    TmpdirOverride(const TmpdirOverride&) = delete;
    TmpdirOverride& operator=(const TmpdirOverride&) = delete;

  private:
    bool hadOld_ = false;
    std::string old_;
};

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline unsigned ModeOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return 0;
    return info.st_mode & 07777;
}

}  // namespace arvestra::testing
