#pragma once
#include <QHash>
#include <QString>
#include <string>
#include <vector>

namespace vsr::platform {

// Lines of names, kept as the bytes the file system has, for a text field that can only hold
// Unicode: a byte that is not UTF-8 shows as U+FFFD there and could never be written back.
// Every line shown is remembered with its bytes, and a line the user left as it was (or moved)
// gets them back, so an entry such as "inv\xFF*.txt" keeps matching its files.
class ByteLines {
public:
    // The list with "\n" between lines, as the field will show it.
    QString show(const std::string& bytes);
    // A line put into the field from elsewhere (a picked folder).
    QString shown(const std::string& line);
    // The field's text as bytes: each line that equals a remembered one takes its bytes (two
    // lines shown alike take theirs in order), every other line is UTF-8.
    std::string bytesOf(const QString& text) const;

private:
    QHash<QString, std::vector<std::string>> lines_;
};

}  // namespace vsr::platform
