// Listing a directory the way the file dialogs show it, on ordinary and hostile trees:
// order, "..", hidden entries, filters, odd names, links, unreadable and vanished
// directories, 100,000 entries; and the path helpers.
#include "FileTree.h"

#include "dialogs/FileListing.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Rows as "name" for files and "[name]" for directories, in listing order.
std::vector<std::string> rows(const DirectoryListing& listing) {
    std::vector<std::string> out;
    for (const FileEntry& e : listing.entries)
        out.push_back(e.isDirectory ? "[" + e.name + "]" : e.name);
    return out;
}

struct ListingCase {
    const char* what;
    std::vector<std::string> files;
    std::vector<std::string> dirs;
    std::vector<std::string> filters;
    std::vector<std::string> expected;
};

TEST(FileListing, OrderHiddenEntriesAndFilters) {
    const std::vector<ListingCase> cases = {
        {"directories first, then files, hidden skipped",
         {"b.txt", "A.txt", ".hidden"},
         {"sub", ".git"},
         {},
         {"[..]", "[sub]", "A.txt", "b.txt"}},
        {"byte order: capitals, underscore, small letters, then non-ASCII",
         {"b", "B", "_", "\xC3\xA4", "a b"},
         {"Z", "y"},
         {},
         {"[..]", "[Z]", "[y]", "B", "_", "a b", "b", "\xC3\xA4"}},
        {"filter ignores ASCII case; directories always listed",
         {"X.PNG", "x.jpg", "a.png", "png", "b.png.txt"},
         {"pics.jpg"},
         {".png"},
         {"[..]", "[pics.jpg]", "X.PNG", "a.png"}},
        {"several filters",
         {"a.png", "b.JPG", "c.gif"},
         {},
         {".png", ".jpg"},
         {"[..]", "a.png", "b.JPG"}},
        {"empty directory still offers the way up", {}, {}, {}, {"[..]"}},
    };
    for (const ListingCase& c : cases) {
        SCOPED_TRACE(c.what);
        FileTree tree;
        for (const auto& d : c.dirs)
            ASSERT_TRUE(tree.dir(d));
        for (const auto& f : c.files)
            ASSERT_TRUE(tree.file(f));
        const DirectoryListing listing = listDirectory(tree.root, c.filters);
        EXPECT_TRUE(listing.readable);
        EXPECT_TRUE(listing.complete);
        EXPECT_EQ(rows(listing), c.expected);
    }
}

TEST(FileListing, RootHasNoWayUp) {
    const DirectoryListing listing = listDirectory("/", {});
    ASSERT_TRUE(listing.readable);
    ASSERT_FALSE(listing.entries.empty());
    for (const FileEntry& e : listing.entries)
        EXPECT_NE(e.name, "..");
}

TEST(FileListing, OddNamesAreShownReplacedAndKeptRaw) {
    FileTree tree;
    const std::vector<std::pair<std::string, std::string>> names = {
        {"bad\xFF\xFE.txt", "bad\xEF\xBF\xBD\xEF\xBF\xBD.txt"},
        {"zeile\numbruch", "zeile\xEF\xBF\xBDumbruch"},
        {"mit Leerzeichen.txt", "mit Leerzeichen.txt"},
        {"[klammer]", "[klammer]"},
        {"-rf", "-rf"},
        {"tab\there", "tab\xEF\xBF\xBDhere"},
    };
    for (const auto& [raw, shown] : names)
        ASSERT_TRUE(tree.file(raw)) << raw;
    const DirectoryListing listing = listDirectory(tree.root, {});
    ASSERT_EQ(listing.entries.size(), names.size() + 1);
    for (const auto& [raw, shown] : names) {
        auto it = std::find_if(listing.entries.begin(), listing.entries.end(),
                               [&](const FileEntry& e) { return e.rawName == raw; });
        ASSERT_NE(it, listing.entries.end()) << shown;
        EXPECT_EQ(it->name, shown);
        EXPECT_FALSE(it->isDirectory);
        EXPECT_EQ(pathKind(joinPath(tree.root, it->rawName)), PathKind::Other) << shown;
    }
}

TEST(FileListing, LinksAreFollowed) {
    FileTree tree;
    ASSERT_TRUE(tree.file("ziel.txt"));
    ASSERT_TRUE(tree.dir("ordner"));
    ASSERT_TRUE(tree.link("ziel.txt", "zur_datei"));
    ASSERT_TRUE(tree.link("ordner", "zum_ordner"));
    ASSERT_TRUE(tree.link("fehlt", "haengend"));
    ASSERT_TRUE(tree.link("schleife_b", "schleife_a"));
    ASSERT_TRUE(tree.link("schleife_a", "schleife_b"));
    ASSERT_TRUE(tree.link(".", "selbst"));
    const DirectoryListing listing = listDirectory(tree.root, {});
    EXPECT_TRUE(listing.complete);
    EXPECT_EQ(rows(listing),
              (std::vector<std::string>{"[..]", "[ordner]", "[selbst]", "[zum_ordner]", "haengend",
                                        "schleife_a", "schleife_b", "ziel.txt", "zur_datei"}));
    EXPECT_EQ(pathKind(tree.path("haengend")), PathKind::Missing);
    EXPECT_EQ(pathKind(tree.path("schleife_a")), PathKind::Missing);
    EXPECT_EQ(pathKind(tree.path("zur_datei")), PathKind::Other);
    EXPECT_EQ(pathKind(tree.path("zum_ordner")), PathKind::Directory);
    std::string canon;
    EXPECT_FALSE(canonicalDirectory(tree.path("schleife_a"), canon));
    EXPECT_FALSE(canonicalDirectory(tree.path("haengend"), canon));
    EXPECT_FALSE(canonicalDirectory(tree.path("ziel.txt"), canon));
    ASSERT_TRUE(canonicalDirectory(tree.path("selbst/selbst"), canon));
    EXPECT_EQ(canon, std::filesystem::canonical(tree.root).string());
}

// Runs f in a child process without root's right to read anything; its result is the
// child's exit status (0 = true).
template <typename F>
bool asUnprivileged(F f) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
        _exit(f() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(FileListing, UnreadableDirectoryIsReported) {
    FileTree tree;
    ASSERT_TRUE(tree.dir("gesperrt"));
    ASSERT_TRUE(tree.file("gesperrt/innen.txt"));
    ASSERT_EQ(chmod(tree.path("gesperrt").c_str(), 0), 0);
    const std::string locked = tree.path("gesperrt");
    auto unreadable = [&] {
        const DirectoryListing listing = listDirectory(locked, {});
        return !listing.readable && listing.entries.empty();
    };
    // Root reads a mode-000 directory anyway: the check then runs as "nobody" in a child.
    if (geteuid() == 0)
        EXPECT_TRUE(asUnprivileged(unreadable));
    else
        EXPECT_TRUE(unreadable());
}

TEST(FileListing, VanishedDirectoryIsNotReadable) {
    std::string gone;
    {
        FileTree tree;
        ASSERT_TRUE(tree.dir("weg"));
        gone = tree.path("weg");
        EXPECT_TRUE(listDirectory(gone, {}).readable);
    }
    const DirectoryListing listing = listDirectory(gone, {});
    EXPECT_FALSE(listing.readable);
    EXPECT_TRUE(listing.entries.empty());
    std::string canon;
    EXPECT_FALSE(canonicalDirectory(gone, canon));
}

TEST(FileListing, HundredThousandEntries) {
    FileTree tree(fastTempBase());
    constexpr int kCount = 100000;
    char name[32];
    for (int i = 0; i < kCount; ++i) {
        std::snprintf(name, sizeof name, "f%06d.dat", kCount - 1 - i);
        ASSERT_TRUE(tree.file(name));
    }
    ASSERT_TRUE(tree.dir("zzz"));
    const DirectoryListing listing = listDirectory(tree.root, {});
    ASSERT_EQ(listing.entries.size(), static_cast<size_t>(kCount + 2));
    EXPECT_EQ(listing.entries[0].name, "..");
    EXPECT_EQ(listing.entries[1].name, "zzz");
    EXPECT_EQ(listing.entries[2].name, "f000000.dat");
    EXPECT_EQ(listing.entries.back().name, "f099999.dat");
    EXPECT_TRUE(std::is_sorted(
        listing.entries.begin() + 2, listing.entries.end(),
        [](const FileEntry& a, const FileEntry& b) { return a.rawName < b.rawName; }));
}

TEST(FileListing, ExtensionFilter) {
    struct Case {
        const char* name;
        std::vector<std::string> filters;
        bool match;
    };
    const std::vector<Case> cases = {
        {"a.png", {}, true},
        {"noext", {}, true},
        {"X.PNG", {".png"}, true},
        {"x.PnG", {".png"}, true},
        {"x.jpg", {".png"}, false},
        {"png", {".png"}, false},
        {"a.tar.GZ", {".gz"}, true},
        {"a.png.txt", {".png"}, false},
        {"a.", {".png"}, false},
        {"b.jpg", {".png", ".JPG"}, true},
        {"\xC3\x84.PNG", {".png"}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matchesExtensionFilter(c.name, c.filters), c.match) << c.name;
}

TEST(FileListing, PathHelpers) {
    EXPECT_TRUE(isRootDirectory("/"));
    EXPECT_FALSE(isRootDirectory("/tmp"));
    EXPECT_FALSE(isRootDirectory("."));
    EXPECT_EQ(joinPath("/home/a", "b.txt"), "/home/a/b.txt");
    EXPECT_EQ(joinPath("/home/a", "/etc/x"), "/etc/x");
    EXPECT_EQ(joinPath("/", "x"), "/x");
    EXPECT_EQ(joinPath("/home/a", "../b"), "/home/a/../b");
    EXPECT_EQ(parentDirectory("/home/a/b.txt"), "/home/a");
    EXPECT_EQ(parentDirectory("/home/a/b/"), "/home/a");
    EXPECT_EQ(parentDirectory("/x"), "/");
    EXPECT_EQ(parentDirectory("/"), "");
    EXPECT_EQ(displayFileName("gut.txt"), "gut.txt");
    EXPECT_EQ(displayFileName("\xC3\xA4\x80"), "\xC3\xA4\xEF\xBF\xBD");
}

TEST(FileListing, PlacesStartAtTheRootAndHoldTheHomeOnce) {
    FileTree tree;
    const std::vector<std::string> places = userPlaces(tree.root);
    ASSERT_GE(places.size(), 2u);
    EXPECT_EQ(places[0], "/");
    EXPECT_EQ(places[1], std::filesystem::canonical(tree.root).string());
    for (size_t i = 0; i < places.size(); ++i)
        for (size_t j = i + 1; j < places.size(); ++j)
            EXPECT_NE(places[i], places[j]);
    EXPECT_EQ(userPlaces("/gibt/es/nicht")[0], "/");
}

}  // namespace
