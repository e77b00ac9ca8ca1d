#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace vsr::containers {

enum class MemberKind { File, Folder, Link, Other };

// What a member's content is: its bytes as stored, or the text of a document member (UTF-8, one
// paragraph, cell or line per line).
enum class MemberForm { Bytes, DocumentText };

struct Member {
    std::string path;                   // the archive's path joined with the member's clean name
    std::optional<std::uint64_t> size;  // as the archive records it; none when it doesn't
    std::int64_t mtime = 0;             // seconds since the epoch
    MemberKind kind = MemberKind::File;
    MemberForm form = MemberForm::Bytes;
    int depth = 1;                      // 1 for a member of the file on disk itself
    // Whether the member lies in a folder inside its archive, or inside an archive that does:
    // "a.zip/x.txt" and "a.zip/b.tar/y.txt" do not, "a.zip/src/x.txt" and "a.zip/src/b.tar/y.txt" do.
    bool withinFolder = false;
};

enum class ReadEnd {
    Whole,    // every byte
    Cut,      // the bytes up to a limit; `status` says which
    Failed,   // damaged, encrypted or unreadable; `status` says why (the bytes are what came before)
    Stopped,  // the stop flag was set
};

struct ReadOutcome {
    ReadEnd end = ReadEnd::Whole;
    std::string status;  // our text for the user when the end is not Whole
};

// The content of the member being visited.
class MemberContent {
public:
    virtual ~MemberContent() = default;
    // Replaces `into` with the member's content, as far as the limits allow. Once per member.
    virtual ReadOutcome read(std::string& into) = 0;
};

// What a reader hands its findings to, in the archive's order.
class ContainerVisitor {
public:
    virtual ~ContainerVisitor() = default;
    // A member; its content can be read during this call only. Archives inside the archive are
    // not members themselves: their members are visited instead.
    virtual void member(const Member& member, MemberContent& content) = 0;
    // A status text about a member or an archive (cut off, encrypted, damaged), with its path.
    virtual void status(const std::string& path, const std::string& text) = 0;
    // True once the visitor wants no more members: the walk ends before the next one, without
    // expanding what lies after it.
    virtual bool finished() const { return false; }
};

}  // namespace vsr::containers
