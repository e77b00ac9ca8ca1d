#include "ui/prompt/file_prompter.h"

#include <QString>

namespace vsr::ui {

QStringList qtNameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The description's own "[*.vsr]" would show the patterns twice beside the dialog's "(*.vsr)".
        if (description.endsWith(QLatin1Char(']'))) {
            const qsizetype open = description.lastIndexOf(QLatin1Char('['));
            if (open > 0) description = description.left(open).trimmed();
        }
        filters << description + QStringLiteral(" (") + parts[i + 1].trimmed() + QLatin1Char(')');
    }
    return filters;
}

}  // namespace vsr::ui
