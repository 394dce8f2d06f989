// What the file dialogs know about the file system, without a window: one directory listed
// the way the dialogs show it, the kind of a path, canonical directories and the places a
// user starts from. Every call reports failure through its result and never throws.
#pragma once

#include <string>
#include <vector>

// One row of the file list.
struct FileEntry {
    std::string name;  // as shown, without brackets: UTF-8, unshowable bytes replaced
    bool isDirectory = false;
    std::string rawName;  // the name's bytes on disk, used to open it
};

struct DirectoryListing {
    bool readable = false;  // the directory could be opened
    bool complete = false;  // ... and read to its end
    // ".." (unless at a root), then directories, then files, each group in byte order.
    std::vector<FileEntry> entries;
};

// Lists dir: hidden names skipped, links followed, files kept only when their extension is
// one of filters (ignoring ASCII case; an empty filter list keeps every file).
DirectoryListing listDirectory(const std::string& dir, const std::vector<std::string>& filters);

// Whether name's extension (with its dot) equals one of filters, ignoring ASCII case.
bool matchesExtensionFilter(const std::string& name, const std::vector<std::string>& filters);

// The name as the list shows it: invalid UTF-8 and control characters become U+FFFD.
std::string displayFileName(const std::string& raw);

// Whether dir is its own root path ("/").
bool isRootDirectory(const std::string& dir);

enum class PathKind { Missing, Directory, Other };
// What the path is, following links; Missing also when its status cannot be read.
PathKind pathKind(const std::string& path);

// name when it is absolute, otherwise dir joined with name.
std::string joinPath(const std::string& dir, const std::string& name);

// The parent directory of a path (lexically), or empty when it has none.
std::string parentDirectory(const std::string& path);

// The canonical form of path when it names a readable-or-not directory; false otherwise.
bool canonicalDirectory(const std::string& path, std::string& out);

// The places a user starts from: the root, the home directory and the mounted volumes backed
// by a device, each once, in this order.
std::vector<std::string> userPlaces(const std::string& home);

// The home directory: HOME, else the password database, else "/".
std::string homeDirectory();
