#include "platform/fake_file_system.h"

#include <algorithm>

namespace vsr::platform {

FakeFileSystem::FakeFileSystem() {
    Node root;
    root.kind = EntryKind::Directory;
    nodes_["/"] = root;
}

FakeFileSystem::Node* FakeFileSystem::find(const std::string& path) {
    auto it = nodes_.find(path.empty() ? "/" : path);
    return it == nodes_.end() ? nullptr : &it->second;
}

void FakeFileSystem::attach(const std::string& path) {
    std::string parent = parentPath(path);
    if (parent.empty()) parent.assign(1, '/');
    if (!find(parent)) addDirectory(parent);
    Node* p = find(parent);
    std::string name = fileNamePart(path);
    if (std::find(p->children.begin(), p->children.end(), name) == p->children.end())
        p->children.push_back(name);
}

void FakeFileSystem::addDirectory(const std::string& path, bool readable) {
    std::lock_guard lock(mutex_);
    if (path == "/") {
        nodes_["/"].readable = readable;
        return;
    }
    Node& n = nodes_[path];
    n.kind = EntryKind::Directory;
    n.info.kind = EntryKind::Directory;
    n.readable = readable;
    attach(path);
}

void FakeFileSystem::addFile(const std::string& path, std::string contents, FileTime lastWrite,
                             FileAttributes attributes) {
    std::lock_guard lock(mutex_);
    Node& n = nodes_[path];
    n.kind = EntryKind::File;
    n.info.kind = EntryKind::File;
    n.info.size = contents.size();
    n.info.lastWrite = lastWrite;
    n.info.statusChange = lastWrite;
    n.info.attributes = attributes;
    std::string name = fileNamePart(path);
    if (!name.empty() && name[0] == '.') n.info.attributes.hidden = true;
    n.contents = std::move(contents);
    n.hasContents = true;
    attach(path);
}

void FakeFileSystem::addSizedFile(const std::string& path, std::uint64_t size, FileTime lastWrite) {
    std::lock_guard lock(mutex_);
    addFile(path, {}, lastWrite);
    Node& n = nodes_[path];
    n.info.size = size;
    n.hasContents = false;
}

void FakeFileSystem::setStatusChange(const std::string& path, FileTime t) {
    std::lock_guard lock(mutex_);
    if (Node* n = find(path)) n->info.statusChange = t;
}

void FakeFileSystem::addOther(const std::string& path) {
    std::lock_guard lock(mutex_);
    Node& n = nodes_[path];
    n.kind = EntryKind::Other;
    n.info.kind = EntryKind::Other;
    attach(path);
}

void FakeFileSystem::remove(const std::string& path) {
    std::lock_guard lock(mutex_);
    nodes_.erase(path);
    if (Node* p = find(parentPath(path))) {
        std::string name = fileNamePart(path);
        p->children.erase(std::remove(p->children.begin(), p->children.end(), name), p->children.end());
    }
}

bool FakeFileSystem::listDirectory(const std::string& dir, std::vector<DirEntry>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    Node* d = find(dir);
    if (!d || d->kind != EntryKind::Directory || !d->readable) return false;
    for (const std::string& name : d->children) {
        Node* child = find(joinPath(dir.empty() ? "/" : dir, name));
        if (!child) continue;
        DirEntry e;
        e.name = name;
        e.kind = child->kind;
        out.push_back(std::move(e));
    }
    return true;
}

bool FakeFileSystem::stat(const std::string& path, FileInfo& out) {
    std::lock_guard lock(mutex_);
    ++stats_;
    Node* n = find(path);
    if (!n) return false;
    out = n->info;
    return true;
}

ReadStatus FakeFileSystem::readFile(const std::string& path, FileBuffer& buffer, std::uint64_t maxSize) {
    std::lock_guard lock(mutex_);
    ++reads_;
    buffer.setSize(0);
    Node* n = find(path);
    if (!n || n->kind != EntryKind::File || !n->readable) return ReadStatus::Failed;
    if (n->info.size > maxSize) return ReadStatus::TooLarge;
    if (!n->hasContents) return ReadStatus::Failed;
    buffer.assign(n->contents);
    return ReadStatus::Ok;
}

}  // namespace vsr::platform
