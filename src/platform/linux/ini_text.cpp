#include "platform/linux/ini_text.h"

#include <map>
#include <vector>

namespace vsr::platform {

QByteArray escapedIniValue(const QByteArray& value) {
    QByteArray out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\0': out += "\\0"; break;
        default: out += c;
        }
    }
    return out;
}

QByteArray unescapedIniValue(const QByteArray& text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        char next = text[++i];
        switch (next) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case '0': out += '\0'; break;
        case '\\': out += '\\'; break;
        default:  // not one of ours: kept as typed
            out += '\\';
            out += next;
        }
    }
    return out;
}

QByteArray iniTextOf(const QSettings::SettingsMap& values) {
    // QSettings hands the keys over sorted, which would split a section around its
    // subsections; gather each section's values first.
    std::map<QString, std::vector<std::pair<QString, QByteArray>>> sections;
    for (auto it = values.begin(); it != values.end(); ++it) {
        const QString& key = it.key();
        const qsizetype slash = key.lastIndexOf(QLatin1Char('/'));
        QString section = slash < 0 ? QString() : key.left(slash);
        section.replace(QLatin1Char('/'), QLatin1Char('\\'));
        sections[section].emplace_back(key.mid(slash + 1), it.value().toByteArray());
    }
    QByteArray out;
    for (const auto& [section, entries] : sections) {
        if (!out.isEmpty()) out += '\n';
        if (!section.isEmpty()) out += '[' + section.toUtf8() + "]\n";
        for (const auto& [name, value] : entries) out += name.toUtf8() + '=' + escapedIniValue(value) + '\n';
    }
    return out;
}

QSettings::SettingsMap valuesOfIniText(const QByteArray& text, int* damaged) {
    QSettings::SettingsMap values;
    QString section;
    int skipped = 0;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        // The writer escapes NUL, so a raw one is a torn or overwritten file, not a value.
        if (line.contains('\0')) {
            ++skipped;
            continue;
        }
        if (line.startsWith('[')) {
            const qsizetype close = line.lastIndexOf(']');
            if (close > 0) {
                section = QString::fromUtf8(line.mid(1, close - 1));
                section.replace(QLatin1Char('\\'), QLatin1Char('/'));
                continue;
            }
        }
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0) {
            ++skipped;
            continue;
        }
        const QString name = QString::fromUtf8(line.left(eq));
        const QString key = section.isEmpty() ? name : section + QLatin1Char('/') + name;
        values.insert(key, unescapedIniValue(line.mid(eq + 1)));
    }
    if (damaged) *damaged = skipped;
    return values;
}

}  // namespace vsr::platform
