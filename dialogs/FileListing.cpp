#include "dialogs/FileListing.h"

#include "text/Utf8.h"

#include <mntent.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

bool isHidden(const std::string& name) {
    return name.empty() || name[0] == '.';
}

// Directory entries keep the type the directory reported; links and unknown types are asked
// again through the status of their target.
bool entryIsDirectory(const fs::directory_entry& entry) {
    std::error_code ec;
    return entry.is_directory(ec) && !ec;
}

void sortByBytes(std::vector<FileEntry>& group) {
    // std::string compares as unsigned bytes (memcmp), which is the order wanted.
    std::sort(group.begin(), group.end(),
              [](const FileEntry& a, const FileEntry& b) { return a.rawName < b.rawName; });
}

FileEntry makeEntry(std::string raw, bool isDirectory) {
    FileEntry e;
    e.name = displayFileName(raw);
    e.isDirectory = isDirectory;
    e.rawName = std::move(raw);
    return e;
}

bool isDeviceBacked(const char* fsname) {
    const std::string name = fsname ? fsname : "";
    return name.rfind("/dev/", 0) == 0 && name.rfind("/dev/loop", 0) != 0;
}

}  // namespace

std::string displayFileName(const std::string& raw) {
    std::string out;
    out.reserve(raw.size());
    size_t i = 0;
    while (i < raw.size()) {
        const Utf8Step step = decodeUtf8(raw.data() + i, raw.size() - i);
        const int len = step.length > 0 ? step.length : 1;
        const bool control = step.codePoint < 0x20 || step.codePoint == 0x7F ||
                             (step.codePoint >= 0x80 && step.codePoint < 0xA0);
        if (step.codePoint == kReplacementChar || control)
            out += kReplacement;
        else
            out.append(raw, i, static_cast<size_t>(len));
        i += static_cast<size_t>(len);
    }
    return out;
}

bool matchesExtensionFilter(const std::string& name, const std::vector<std::string>& filters) {
    if (filters.empty()) return true;
    const std::string ext = fs::path(name).extension().string();
    if (ext.empty()) return false;
    return std::any_of(filters.begin(), filters.end(),
                       [&](const std::string& f) { return equalsIgnoringAsciiCase(ext, f); });
}

bool isRootDirectory(const std::string& dir) {
    const fs::path p(dir);
    return p == p.root_path();
}

DirectoryListing listDirectory(const std::string& dir, const std::vector<std::string>& filters) {
    DirectoryListing listing;
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec) return listing;
    listing.readable = true;
    std::vector<FileEntry> dirs, files;
    const fs::directory_iterator end;
    while (it != end) {
        const fs::directory_entry& entry = *it;
        std::string raw = entry.path().filename().string();
        if (!isHidden(raw)) {
            if (entryIsDirectory(entry))
                dirs.push_back(makeEntry(std::move(raw), true));
            else if (matchesExtensionFilter(raw, filters))
                files.push_back(makeEntry(std::move(raw), false));
        }
        it.increment(ec);
        if (ec) break;  // what was read so far stays listed
    }
    listing.complete = !ec;
    sortByBytes(dirs);
    sortByBytes(files);
    listing.entries.reserve(dirs.size() + files.size() + 1);
    if (!isRootDirectory(dir)) listing.entries.push_back(makeEntry("..", true));
    std::move(dirs.begin(), dirs.end(), std::back_inserter(listing.entries));
    std::move(files.begin(), files.end(), std::back_inserter(listing.entries));
    return listing;
}

PathKind pathKind(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || st.type() == fs::file_type::not_found || st.type() == fs::file_type::none ||
        st.type() == fs::file_type::unknown)
        return PathKind::Missing;
    return st.type() == fs::file_type::directory ? PathKind::Directory : PathKind::Other;
}

std::string joinPath(const std::string& dir, const std::string& name) {
    const fs::path n(name);
    if (n.is_absolute()) return name;
    return (fs::path(dir) / n).string();
}

std::string parentDirectory(const std::string& path) {
    fs::path p(path);
    if (!p.has_relative_path()) return {};
    if (!p.has_filename()) p = p.parent_path();  // "dir/name/" names "dir/name"
    return p.parent_path().string();
}

bool canonicalDirectory(const std::string& path, std::string& out) {
    std::error_code ec;
    const fs::path canon = fs::canonical(path, ec);
    if (ec || !fs::is_directory(canon, ec) || ec) return false;
    out = canon.string();
    return true;
}

std::string homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
    return "/";
}

std::vector<std::string> userPlaces(const std::string& home) {
    std::vector<std::string> places{"/"};
    auto add = [&](const std::string& place) {
        if (place.empty() || std::find(places.begin(), places.end(), place) != places.end()) return;
        places.push_back(place);
    };
    std::string canonHome;
    if (canonicalDirectory(home, canonHome)) add(canonHome);
    FILE* table = setmntent("/proc/self/mounts", "r");
    if (!table) return places;
    std::vector<std::string> volumes;
    mntent entry{};
    char buffer[4096];
    while (getmntent_r(table, &entry, buffer, sizeof buffer)) {
        // Bind mounts of single files (containers) and loop images are not places to go.
        if (isDeviceBacked(entry.mnt_fsname) && entry.mnt_dir &&
            pathKind(entry.mnt_dir) == PathKind::Directory)
            volumes.emplace_back(entry.mnt_dir);
    }
    endmntent(table);
    std::sort(volumes.begin(), volumes.end());
    for (const std::string& v : volumes)
        add(v);
    return places;
}
