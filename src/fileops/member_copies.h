#pragma once
#include <atomic>
#include <string>

namespace vsr::fileops {

// The name every folder of member copies begins with, followed by the process id that made it.
inline constexpr const char* kMemberCopiesPrefix = "vantixsr-members-";
// Why no copy was written when Stop ended the read of the member.
inline constexpr const char* kMemberStoppedText = "stopped before it was read whole";

// Where members of archives are written when another program is to open them or a copy is to
// be made of them: a folder of our own (mode 0700) under $XDG_RUNTIME_DIR, or under the temp
// folder without one, made when the first member is written and removed with this object.
// Each member gets a folder of its own inside it and keeps its name there, so the program that
// opens it knows its kind.
class MemberCopies {
public:
    // `base` empty: $XDG_RUNTIME_DIR when it is a folder of ours, else $TMPDIR, else /tmp.
    explicit MemberCopies(std::string base = {});
    virtual ~MemberCopies();
    MemberCopies(const MemberCopies&) = delete;
    MemberCopies& operator=(const MemberCopies&) = delete;

    enum class Use {
        Open,  // read-only, for Execute File and Edit File: the archive is not changed by editing it
        Copy,  // writable as a new file would be, for Copy Files to take along
    };
    struct Written {
        std::string path;   // the copy; empty when none was made
        std::string error;  // our text for the user when none was made
    };
    // Writes the member `fullName` of the archive on disk `archive` whole, under its own name.
    // A member the limits cut short, damage or encryption is not written: a part of a file
    // would pass for the whole of it. Setting `stop` ends the read and writes nothing
    // (kMemberStoppedText). The window runs it beside its own thread, to go on answering meanwhile.
    virtual Written write(const std::string& archive, const std::string& fullName, Use use,
                          const std::atomic<bool>& stop);

    // Removes a copy made for Use::Copy once it was taken.
    void discard(const std::string& path);
    const std::string& folder() const { return folder_; }
    const std::string& base() const { return base_; }

    // Removes what crashed earlier runs left in `base`: folders named with our prefix and the
    // id of a process that no longer runs, owned by this user, links never followed. The number
    // removed.
    static int removeLeftovers(const std::string& base);
    static std::string defaultBase();

private:
    bool makeFolder(std::string& error);

    std::string base_;
    std::string folder_;
    int folderFd_ = -1;
    unsigned next_ = 0;
};

// Removes the folder `name` inside the folder open at `parentFd` with everything in it, never
// following a link; false when something stayed.
bool removeTreeAt(int parentFd, const std::string& name);

}  // namespace vsr::fileops
