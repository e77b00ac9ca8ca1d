#include "fileops/member_refusal.h"

#include "engine/decode/container_text.h"

namespace vsr::fileops {

std::string memberRefusal(const results::ResultList& list, const std::string& verb) {
    std::string first, archive;
    std::size_t others = 0;
    for (std::size_t i = 0; i < list.count(); ++i) {
        if (!list.row(i).selected) continue;
        const std::string file = list.row(i).fullName();
        const std::string holder = engine::archiveOnDisk(file);
        if (holder.empty()) continue;
        if (first.empty()) {
            first = file;
            archive = holder;
        } else {
            ++others;
        }
    }
    if (first.empty()) return {};
    std::string text = "Cannot " + verb + " " + first + ": it is a member of the archive " + archive +
                       ", which is only read, never changed.";
    if (others > 0)
        text += " " + std::to_string(others) + (others == 1 ? " other selected file is" : " other selected files are") +
                " in archives too.";
    return text + " No file was " + (verb == "delete" ? "deleted" : verb + "d") + ".";
}

}  // namespace vsr::fileops
