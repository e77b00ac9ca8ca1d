#pragma once
#include <cstddef>
#include <string>

#include "project/command_line.h"
#include "project/command_line_run.h"
#include "ui/common/window_part_host.h"

namespace vsr::ui {

class ListCommands;

// What batch replace and the command line drive in the window: the fields of the Search and
// Replace tab, its Search button and Modify All, the list, and the stop flags.
class WindowDriverHost : public virtual WindowPartHost {
public:
    virtual ListCommands& listCommands() = 0;
    virtual engine::SearchType searchType() const = 0;
    virtual void FindButtonClick() = 0;
    virtual void ApplicationEvents1Idle() = 0;
    // Puts bytes into a field: a name as the file system gives it, a typed text in the encoding.
    virtual void setRunField(project::RunField field, const std::string& text) = 0;
    // The fields as the tab shows them; the modification type only where one is chosen.
    virtual project::RunFields runFields() const = 0;
    // The run searches the list's files, or the path names a folder.
    virtual bool pathIsFolder() const = 0;
    // Why the last modification failed for `row`; empty when it did not say.
    virtual std::string modificationFailure(std::size_t row) const = 0;
};

}  // namespace vsr::ui
