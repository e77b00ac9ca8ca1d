#include "engine/search/gitignore_walk.h"

#include <cstring>
#include <filesystem>

namespace vsr::engine {
namespace {

// Version control itself leaves larger ignore files unread.
constexpr std::uint64_t kLargestIgnoreFile = 100u << 20;

std::string absoluteFolder(const std::string& root) {
    std::string abs = root;
    if (abs.empty() || abs.front() != '/') {
        std::error_code ec;
        abs = std::filesystem::absolute(root.empty() ? std::string(".") : root, ec).string();
        if (ec) abs = root;
    }
    abs = std::filesystem::path(abs).lexically_normal().string();
    while (abs.size() > 1 && abs.back() == '/') abs.pop_back();
    return abs;
}

std::string firstLine(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\n'));
    while (!bytes.empty() && (bytes.back() == '\r' || bytes.back() == ' ')) bytes.remove_suffix(1);
    return std::string(bytes);
}

std::string besideOrAbsolute(const std::string& folder, const std::string& name) {
    return !name.empty() && name.front() == '/' ? name : platform::joinPath(folder, name);
}

}  // namespace

GitignoreWalk::GitignoreWalk(platform::FileSystem& fs, const std::string& root) : fs_(fs) {
    const std::string abs = absoluteFolder(root);
    std::string top = abs;
    platform::FileInfo gitInfo;
    bool found = false;
    for (;;) {
        if (fs_.stat(platform::joinPath(top, ".git"), gitInfo)) {
            found = true;
            break;
        }
        if (top == "/" || top.empty()) break;
        top = platform::parentPath(top);
    }
    if (!found || top == abs) return;
    // The folders from the top down to the root's parent, each with its files, and each
    // folder on the way asked whether the files above it ignore it.
    std::vector<std::string> names;
    for (std::string d = abs; d != top; d = platform::parentPath(d)) names.push_back(platform::fileNamePart(d));
    std::string dir = top;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string& next = names[names.size() - 1 - k];
        Frame frame;
        frame.pathLength = path_.size();
        for (const char* file : {".ignore", ".gitignore"}) {
            fileName_ = platform::joinPath(dir, file);
            readRules(platform::FileRef{fileName_, fileName_.size() - std::strlen(file), nullptr}, frame.lists,
                      frame.pathLength);
        }
        if (k == 0) {
            frame.repositoryTop = true;
            readExcludes(top, gitInfo.kind == platform::EntryKind::Directory, frame);
        }
        frames_.push_back(std::move(frame));
        finishFrame();
        if (frames_.back().listsInRepository != 0 && ignoresAt(frames_.size() - 1, next, true)) {
            rootIgnored_ = true;
            return;
        }
        path_ += next;
        path_ += '/';
        dir = platform::joinPath(dir, next);
    }
    aboveRoot_ = frames_.size();
    rootPathLength_ = path_.size();
}

void GitignoreWalk::readRules(const platform::FileRef& file, std::vector<GitignoreRules>& lists,
                              std::size_t baseLength) {
    if (fs_.readFileAt(file, buffer_, kLargestIgnoreFile) != platform::ReadStatus::Ok) return;
    GitignoreRules rules(buffer_.view(), baseLength);
    if (!rules.empty()) lists.push_back(std::move(rules));
}

void GitignoreWalk::readExcludes(const std::string& top, bool gitIsFolder, Frame& frame) {
    std::string gitDir = platform::joinPath(top, ".git");
    if (!gitIsFolder) {
        // A linked work tree or a submodule: ".git" names the repository's folder.
        if (fs_.readFile(gitDir, buffer_, 1u << 16) != platform::ReadStatus::Ok) return;
        const std::string line = firstLine(buffer_.view());
        if (line.rfind("gitdir: ", 0) != 0) return;
        gitDir = besideOrAbsolute(top, line.substr(8));
        // A linked work tree shares the exclude file of the repository it belongs to.
        fileName_ = platform::joinPath(gitDir, "commondir");
        if (fs_.readFile(fileName_, buffer_, 1u << 16) == platform::ReadStatus::Ok)
            gitDir = besideOrAbsolute(gitDir, firstLine(buffer_.view()));
    }
    fileName_ = platform::joinPath(gitDir, "info/exclude");
    readRules(platform::FileRef{fileName_, fileName_.size() - 7, nullptr}, frame.excludes, frame.pathLength);
}

void GitignoreWalk::finishFrame() {
    Frame& f = frames_.back();
    std::size_t n = f.lists.size() + f.excludes.size();
    if (!f.repositoryTop && frames_.size() > 1) n += frames_[frames_.size() - 2].listsInRepository;
    f.listsInRepository = n;
}

void GitignoreWalk::enter(std::size_t depth, const std::string& dir, std::string_view name,
                          const std::vector<platform::DirEntry>& entries, const platform::FolderHandle* folder) {
    const std::size_t index = aboveRoot_ + depth;
    frames_.resize(index);
    Frame frame;
    if (depth > 0) {
        path_.resize(frames_[index - 1].pathLength);
        path_ += name;
        path_ += '/';
    } else {
        path_.resize(rootPathLength_);
    }
    frame.pathLength = path_.size();
    const platform::DirEntry* ignoreFile = nullptr;
    const platform::DirEntry* gitignoreFile = nullptr;
    const platform::DirEntry* git = nullptr;
    for (const platform::DirEntry& e : entries) {
        if (e.name.size() < 4 || e.name[0] != '.') continue;
        if (e.name == ".gitignore") gitignoreFile = &e;
        else if (e.name == ".ignore") ignoreFile = &e;
        else if (e.name == ".git") git = &e;
    }
    // Ignore files that are links are not followed, as version control does not follow them.
    for (const platform::DirEntry* e : {ignoreFile, gitignoreFile}) {
        if (!e || e->kind != platform::EntryKind::File || e->viaLink) continue;
        fileName_ = platform::joinPath(dir, e->name);
        readRules(platform::FileRef{fileName_, fileName_.size() - e->name.size(), folder}, frame.lists,
                  frame.pathLength);
    }
    if (git && git->kind != platform::EntryKind::Other) {
        frame.repositoryTop = true;
        readExcludes(dir, git->kind == platform::EntryKind::Directory, frame);
    }
    frames_.push_back(std::move(frame));
    finishFrame();
}

bool GitignoreWalk::ignoresAt(std::size_t index, std::string_view name, bool isFolder) {
    asked_.assign(path_, 0, frames_[index].pathLength);
    asked_ += name;
    for (std::size_t i = index;; --i) {
        const Frame& f = frames_[i];
        for (const GitignoreRules& rules : f.lists) {
            const GitignoreVerdict v = rules.verdict(asked_, name, isFolder);
            if (v != GitignoreVerdict::None) return v == GitignoreVerdict::Ignored;
        }
        if (f.repositoryTop) {
            for (const GitignoreRules& rules : f.excludes) {
                const GitignoreVerdict v = rules.verdict(asked_, name, isFolder);
                if (v != GitignoreVerdict::None) return v == GitignoreVerdict::Ignored;
            }
            return false;
        }
        if (i == 0) return false;
    }
}

}  // namespace vsr::engine
