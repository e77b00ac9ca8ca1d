#pragma once
#include <atomic>
#include <string>

#include "fileops/member_copies.h"

namespace vsr::ui {

class LinesBrowser;
class WindowFileOpsHost;

// The window's copies of members of archives, for Execute File, Edit File and Copy Files. A
// member is read beside the window's thread while the window goes on answering, held as during
// a Browse fill and naming the member in the status bar; Stop and Escape end the read at once.
// Once Stop ended one, the other members of the same command are not read either.
class WindowMemberCopies final : public fileops::MemberCopies {
public:
    WindowMemberCopies(WindowFileOpsHost& window, LinesBrowser& browser, std::string base = {});

    // A new command begins: a Stop of the last one no longer holds.
    void newCommand() { stopped_ = false; }
    // Stop ended a read of this command.
    bool stopped() const { return stopped_; }
    bool running() const { return running_; }

    Written write(const std::string& archive, const std::string& fullName, Use use,
                  const std::atomic<bool>& stop) override;

private:
    WindowFileOpsHost& w_;
    LinesBrowser& browser_;
    bool stopped_ = false;
    bool running_ = false;
};

}  // namespace vsr::ui
