#include "platform/linux/byte_lines.h"

#include <algorithm>

namespace vsr::platform {

QString ByteLines::show(const std::string& bytes) {
    lines_.clear();
    QString text;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = bytes.find('\n', start);
        const std::string line = bytes.substr(start, end == std::string::npos ? std::string::npos : end - start);
        text += shown(line);
        if (end == std::string::npos) break;
        text += QLatin1Char('\n');
        start = end + 1;
    }
    return text;
}

QString ByteLines::shown(const std::string& line) {
    const QString text = QString::fromStdString(line);
    // Lines that are UTF-8 come back the same from their text; only the others need keeping.
    if (text.toStdString() != line) lines_[text].push_back(line);
    return text;
}

std::string ByteLines::bytesOf(const QString& text) const {
    QHash<QString, std::size_t> used;
    std::string out;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) out += '\n';
        const QString& line = lines[i];
        auto kept = lines_.constFind(line);
        if (kept != lines_.constEnd()) {
            std::size_t& n = used[line];
            // More copies than were shown: the last one stands for the copies the user made.
            out += (*kept)[std::min(n, kept->size() - 1)];
            ++n;
        } else {
            out += line.toStdString();
        }
    }
    return out;
}

}  // namespace vsr::platform
