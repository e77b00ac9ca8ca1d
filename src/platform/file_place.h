#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vsr::platform {

// An open folder, closed with its last holder. Files are made, renamed and opened relative to
// it, so a folder renamed or replaced by a link after it was opened can't redirect them.
class OpenFolder {
public:
    OpenFolder(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    int fd() const { return fd_; }
    // Its full name as it was opened, for messages and the recovery notes.
    const std::string& path() const { return path_; }

private:
    int fd_;
    std::string path_;
};
using OpenFolderRef = std::shared_ptr<const OpenFolder>;

// Where a file lies: its folder, held open, and its name in it.
struct FilePlace {
    OpenFolderRef folder;
    std::string name;
    explicit operator bool() const { return folder != nullptr; }
    std::string path() const;
};

// Opens the folder `path` as its name leads (links followed, as a path the user typed is).
// Nothing when it can't be opened; errno says why.
OpenFolderRef openFolderByPath(const std::string& path);
// The place of `path` as its name leads to its folder.
FilePlace placeByPath(const std::string& path);

// Opens `relative` (names joined by "/"; empty for `root` itself) below the folder `root`
// without following a symbolic link and without leaving it by "..": a link anywhere on the
// way fails with ELOOP, a way out with EXDEV. Uses openat2 where the kernel has it, else one
// name at a time with O_NOFOLLOW (`useOpenat2` false forces that, for tests). -1 on failure.
int openFolderBeneath(int root, std::string_view relative, bool useOpenat2 = true);

// The folder a search ran in. Every file of its rows is reached from it without following a
// symbolic link in a folder, so a folder swapped for a link after the search can't lead a
// write elsewhere. A row that is itself a link leads to its target only while the target lies
// beneath the folder too. Safe to use from several threads at once.
class SearchedTree {
public:
    // An empty `root` makes each file's own folder, as its name leads, its root.
    explicit SearchedTree(const std::string& root);
    ~SearchedTree();
    SearchedTree(const SearchedTree&) = delete;
    SearchedTree& operator=(const SearchedTree&) = delete;

    // Where the file `path` lies; nothing with `why` (for the user) when it can't be reached
    // this way or lies on a file system of the kernel's own (proc, sysfs and the like).
    std::optional<FilePlace> place(const std::string& path, std::string& why) const;
    // Where a file beside the row's file, named `name`, would lie (the row's backup): its folder
    // reached as place() reaches it, the name itself not looked at.
    std::optional<FilePlace> placeBeside(const std::string& path, const std::string& name, std::string& why) const;

    // For tests: reach folders one name at a time, as where the kernel has no openat2.
    void setNameByName(bool on) { nameByName_ = on; }

private:
    // The folder of `path` (whose name starts at `nameStart`); nothing with `why`.
    OpenFolderRef folderOf(const std::string& path, std::size_t nameStart, std::string& why) const;

    std::string root_;      // as given, without a trailing "/"
    int rootFd_ = -1;
    int rootError_ = 0;
    const char* rootKernel_ = nullptr;  // the kernel's file system the root lies on
    std::string realRoot_;  // where the root lies, every link resolved
    bool nameByName_ = false;
};

}  // namespace vsr::platform
