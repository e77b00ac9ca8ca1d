#pragma once
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <string>

namespace vsr::ui {

// The open and save dialogs of projects and batch files; tests answer them without a screen.
// `filter` is written "Description|pattern", `extension` is added to a name without one.
class FilePrompter {
public:
    virtual ~FilePrompter() = default;
    // An existing file, or empty when the user cancelled.
    virtual std::string openFile(const std::string& title, const std::string& filter, const std::string& extension,
                                 const std::string& startFolder) = 0;
    // The file to write (the dialog asked before an existing one is replaced), or empty.
    virtual std::string saveFile(const std::string& title, const std::string& filter, const std::string& extension,
                                 const std::string& startFolder) = 0;
};

// A filter written "Description [patterns]|patterns|..." as the file dialog's name filters,
// "Description (patterns)" each.
QStringList qtNameFilters(const std::string& filter);


}  // namespace vsr::ui
