// Header-only: a directory tree made by a test in a fresh temporary directory and removed
// with everything in it (unreadable parts included) when the test ends.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

// A memory file system where there is one, for trees of many entries.
inline std::string fastTempBase() {
    return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

class FileTree {
public:
    // base: where the tree goes; big trees are quicker on a memory file system.
    explicit FileTree(const std::string& base = "/tmp") {
        std::string pattern = base + "/tambergui-files-XXXXXX";
        const char* made = mkdtemp(pattern.data());
        root = made ? made : "";
        // Readable by an unprivileged child process too.
        if (made) chmod(made, 0755);
    }
    ~FileTree() {
        if (root.empty()) return;
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0755);
        chmod(root.c_str(), 0755);
        std::filesystem::remove_all(root, ec);
    }
    FileTree(const FileTree&) = delete;
    FileTree& operator=(const FileTree&) = delete;

    std::string path(const std::string& rel) const { return rel.empty() ? root : root + "/" + rel; }
    // Creates an empty file (the name may hold any bytes but '/' and NUL).
    bool file(const std::string& rel) const {
        const int fd = ::open(path(rel).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd < 0) return false;
        ::close(fd);
        return true;
    }
    bool dir(const std::string& rel) const { return ::mkdir(path(rel).c_str(), 0755) == 0; }
    bool link(const std::string& target, const std::string& rel) const {
        return ::symlink(target.c_str(), path(rel).c_str()) == 0;
    }

    std::string root;
};
