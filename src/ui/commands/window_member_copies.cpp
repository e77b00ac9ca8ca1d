#include "ui/commands/window_member_copies.h"

#include <new>
#include <utility>

#include "engine/search/search_sink.h"
#include "engine/viewer/pumped_read.h"
#include "ui/commands/window_file_ops_host.h"
#include "ui/lines/lines_browser.h"

namespace vsr::ui {

WindowMemberCopies::WindowMemberCopies(WindowFileOpsHost& window, LinesBrowser& browser, std::string base)
    : MemberCopies(std::move(base)), w_(window), browser_(browser) {}

fileops::MemberCopies::Written WindowMemberCopies::write(const std::string& archive, const std::string& fullName,
                                                         Use use, const std::atomic<bool>& stop) {
    Written out;
    if (stopped_ || running_) {
        out.error = fileops::kMemberStoppedText;
        return out;
    }
    running_ = true;
    // A Stop pressed before the command is not meant for it.
    w_.runState().stop = false;
    browser_.beginPumpedWork();
    w_.setStatusText(engine::kPathPanel, "Extracting " + fullName + " ...");
    const bool whole = engine::readWhilePumping(
        [&](std::atomic<bool>& ending) {
            try {
                out = MemberCopies::write(archive, fullName, use, ending);
            } catch (const std::bad_alloc&) {
                out = {};
                out.error = "there is not enough memory to read it";
            }
        },
        [&] {
            w_.pumpMessages();
            return !w_.runState().stop && !stop.load();
        });
    browser_.endPumpedWork();
    running_ = false;
    if (whole) {
        w_.setStatusText(engine::kPathPanel, "");
        return out;
    }
    // Stop came as the last bytes were written: the copy is not handed over all the same.
    if (!out.path.empty()) discard(out.path);
    stopped_ = true;
    w_.runState().stop = false;
    w_.setStatusText(engine::kPathPanel, "Stopped: " + fullName + " was not extracted");
    out.path.clear();
    out.error = fileops::kMemberStoppedText;
    return out;
}

}  // namespace vsr::ui
