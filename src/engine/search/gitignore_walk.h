#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/search/gitignore_rules.h"
#include "platform/file_system.h"

namespace vsr::engine {

// The ignore files of version control as a walk meets them: ".gitignore" and ".ignore" in
// every folder (each applying below its folder, the deeper before the shallower, ".ignore"
// before ".gitignore" of the same folder), those of the folders between the top of the work
// tree and the walk's root, and "info/exclude" of the repository, after all of them. A folder
// holding ".git" starts a repository of its own: the files above it no longer apply inside.
// Used on the walk's thread only.
class GitignoreWalk {
public:
    // Finds the top of the work tree the root lies in (the nearest folder upwards holding
    // ".git") and reads the ignore files above the root.
    GitignoreWalk(platform::FileSystem& fs, const std::string& root);

    // The root lies in a folder those files ignore: nothing below it is listed.
    bool rootIgnored() const { return rootIgnored_; }

    // The walk listed the folder `depth` levels below the root: `dir` is its full name, `name`
    // its own (unused for the root), `entries` its listing and `folder` its handle.
    void enter(std::size_t depth, const std::string& dir, std::string_view name,
               const std::vector<platform::DirEntry>& entries, const platform::FolderHandle* folder);

    // Whether the entry `name` of the folder entered last at `depth` is ignored. ".git" always
    // is: it belongs to version control, not to the tree.
    bool ignores(std::size_t depth, std::string_view name, bool isFolder) {
        if (name == ".git") return true;
        const Frame& f = frames_[aboveRoot_ + depth];
        return f.listsInRepository != 0 && ignoresAt(aboveRoot_ + depth, name, isFolder);
    }

private:
    struct Frame {
        // The folder's name relative to the top with its "/" (0 at the top).
        std::size_t pathLength = 0;
        // ".ignore" then ".gitignore": the order they are asked in.
        std::vector<GitignoreRules> lists;
        // A repository's top: its "info/exclude", after every other file; none above apply.
        bool repositoryTop = false;
        std::vector<GitignoreRules> excludes;
        // The lists from here up to the repository's top, excludes included.
        std::size_t listsInRepository = 0;
    };

    bool ignoresAt(std::size_t frame, std::string_view name, bool isFolder);
    // Adds the patterns of the file `path` to `lists` (a missing or unreadable file has none).
    void readRules(const platform::FileRef& file, std::vector<GitignoreRules>& lists, std::size_t baseLength);
    void readExcludes(const std::string& top, bool gitIsFolder, Frame& frame);
    // Counts the lists that apply in the frame pushed last.
    void finishFrame();

    platform::FileSystem& fs_;
    std::vector<Frame> frames_;
    std::size_t aboveRoot_ = 0;
    std::size_t rootPathLength_ = 0;
    bool rootIgnored_ = false;
    // The deepest folder entered, relative to the top, with its "/"; the frames above keep
    // their prefix of it.
    std::string path_;
    std::string asked_;
    std::string fileName_;
    platform::FileBuffer buffer_;
};

}  // namespace vsr::engine
