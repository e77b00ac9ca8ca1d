#pragma once
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace vsr::ui {

// Texts typed into the window as the bytes the program keeps: queries, replacements, memos
// and batch tables are in the chosen text encoding. Names of files and folders are not: they
// stay as the file system has them.
class TypedText {
public:
    explicit TypedText(platform::CodePageId encoding) : textEncoding_(encoding) {}

    platform::CodePageId textEncoding() const { return textEncoding_; }
    // Bytes as the field shows them; under UTF-8 a byte that is no part of a character comes
    // back as the same byte from bytes(). Bytes that begin with the UTF-8 byte order mark are
    // a text kept() could not put into the encoding.
    QString field(std::string_view bytes) const;
    // The bytes of a typed text; empty when a character does not exist in the encoding, and
    // then `refusal` (when given and still empty) gets the message that names it.
    std::optional<std::string> bytes(const QString& text, std::string* refusal = nullptr) const;
    // The bytes of a text kept for later (history lists, memo files, projects), which cannot be
    // refused. A text the encoding cannot hold is kept whole as UTF-8 behind a byte order mark,
    // which no text in a single-byte page begins with, and field() reads it back.
    std::string kept(const QString& text) const;

private:
    platform::CodePageId textEncoding_;
};

// A name of a file or folder, or a mask, as the file system takes it.
std::string fileSystemName(const QString& text);
QString fileSystemName(std::string_view bytes);

}  // namespace vsr::ui
