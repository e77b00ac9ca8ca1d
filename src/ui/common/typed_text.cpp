#include "ui/common/typed_text.h"

#include <QFile>

#include "platform/text_encoding.h"

namespace vsr::ui {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::u16string_view units(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace

QString TypedText::field(std::string_view bytes) const {
    platform::CodePageId encoding = textEncoding_;
    if (bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
        encoding = platform::CodePageId::Utf8;
    }
    const std::u16string text = platform::decodeText(encoding, bytes, platform::InvalidBytes::Escape);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::string> TypedText::bytes(const QString& text, std::string* refusal) const {
    platform::EncodedText e = platform::encodeText(textEncoding_, units(text));
    if (!e.refused) return std::move(e.bytes);
    if (refusal && refusal->empty()) *refusal = platform::refusedCharacterMessage(textEncoding_, *e.refused);
    return std::nullopt;
}

std::string TypedText::kept(const QString& text) const {
    platform::EncodedText e = platform::encodeText(textEncoding_, units(text));
    if (!e.refused) return std::move(e.bytes);
    // Only a lone surrogate has no UTF-8 form; it alone becomes "?".
    return std::string(kByteOrderMark) + platform::encodeText(platform::CodePageId::Utf8, units(text), '?').bytes;
}

std::string fileSystemName(const QString& text) { return QFile::encodeName(text).toStdString(); }

QString fileSystemName(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace vsr::ui
