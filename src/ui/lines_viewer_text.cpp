#include "ui/lines_viewer_text.h"

#include <QStringDecoder>

namespace vsr::ui {
namespace {

// Length of the UTF-8 sequence starting with `lead`, 0 when it can't start one.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The length of the valid UTF-8 prefix when everything after it is an unfinished last
// character; -1 when the bytes are not UTF-8.
long long utf8Length(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int n = sequenceLength(c);
        if (n == 0) return -1;
        if (i + n > s.size()) {
            for (std::size_t k = i + 1; k < s.size(); ++k)
                if ((static_cast<unsigned char>(s[k]) & 0xC0) != 0x80) return -1;
            return static_cast<long long>(i);  // cut inside the last character
        }
        for (int k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return -1;
        if (n == 3) {
            const unsigned char c1 = static_cast<unsigned char>(s[i + 1]);
            if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0)) return -1;
        }
        if (n == 4) {
            const unsigned char c1 = static_cast<unsigned char>(s[i + 1]);
            if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90)) return -1;
        }
        i += n;
    }
    return static_cast<long long>(s.size());
}

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const char* codecName(platform::CodePageId page) {
    switch (page) {
        case platform::CodePageId::Windows1250: return "windows-1250";
        case platform::CodePageId::Windows1251: return "windows-1251";
        case platform::CodePageId::Iso8859_15: return "ISO-8859-15";
        default: return nullptr;
    }
}

// One character per byte, so byte offsets are character offsets.
QString singleByte(std::string_view s, platform::CodePageId page) {
    if (const char* name = codecName(page)) {
        QStringDecoder decoder(name);
        if (decoder.isValid()) {
            QString text = decoder.decode(QByteArrayView(s.data(), static_cast<qsizetype>(s.size())));
            if (text.size() == static_cast<qsizetype>(s.size())) return text;
        }
    }
    QString text(static_cast<qsizetype>(s.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        char16_t u = c;
        if (page == platform::CodePageId::Windows1252 && c >= 0x80 && c < 0xA0) u = kCp1252High[c - 0x80];
        text[static_cast<qsizetype>(i)] = QChar(u);
    }
    return text;
}

void blankControls(QString& text) {
    for (QChar& ch : text)
        if (ch.unicode() < 32) ch = QLatin1Char(' ');
}

}  // namespace

DisplayEntry displayEntry(const engine::FoundLine& entry, platform::CodePageId page) {
    DisplayEntry out;
    const std::string_view bytes = entry.displayText;
    const long long valid = utf8Length(bytes);
    std::vector<int> charAt;  // character offset of every byte offset, and of the end
    if (valid >= 0) {
        const std::string_view used = bytes.substr(0, static_cast<std::size_t>(valid));
        out.text = QString::fromUtf8(used.data(), static_cast<qsizetype>(used.size()));
        charAt.resize(bytes.size() + 1);
        int chars = 0;
        for (std::size_t i = 0; i < used.size();) {
            const int n = sequenceLength(static_cast<unsigned char>(used[i]));
            for (int k = 0; k < n; ++k) charAt[i + k] = chars;
            chars += n == 4 ? 2 : 1;  // characters beyond the basic plane take two UTF-16 units
            i += n;
        }
        for (std::size_t i = used.size(); i <= bytes.size(); ++i) charAt[i] = chars;
    } else {
        out.text = singleByte(bytes, page);
    }
    blankControls(out.text);
    for (const engine::Highlight& h : entry.highlights) {
        if (h.offset < 0 || h.length <= 0 || static_cast<std::size_t>(h.offset) >= bytes.size()) continue;
        const std::size_t end = std::min(bytes.size(), static_cast<std::size_t>(h.offset) + h.length);
        if (charAt.empty()) {
            out.highlights.emplace_back(h.offset, static_cast<int>(end) - h.offset);
        } else {
            const int from = charAt[static_cast<std::size_t>(h.offset)];
            const int to = charAt[end];
            if (to > from) out.highlights.emplace_back(from, to - from);
        }
    }
    return out;
}

QString displayText(std::string_view bytes, platform::CodePageId page) {
    engine::FoundLine e;
    e.displayText = std::string(bytes);
    return displayEntry(e, page).text;
}

}  // namespace vsr::ui
