#include "ui/common/help_topics.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace vsr::ui {

HelpTopics::HelpTopics() : HelpTopics(findFolder()) {}

HelpTopics::HelpTopics(QString folder, Opener opener) : folder_(std::move(folder)), opener_(std::move(opener)) {
    if (!opener_) opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

QString HelpTopics::findFolder() {
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates = {
        appDir + QStringLiteral("/help"),
        appDir + QStringLiteral("/../share/vantixsr/help"),
#ifdef VSR_HELP_SOURCE_DIR
        QStringLiteral(VSR_HELP_SOURCE_DIR),
#endif
    };
    for (const QString& dir : candidates) {
        if (QFileInfo::exists(dir + QStringLiteral("/Intro.htm"))) return QDir::cleanPath(dir);
    }
    return {};
}

QUrl HelpTopics::url(const QString& topic) const {
    const int hash = topic.indexOf(QLatin1Char('#'));
    const QString page = hash < 0 ? topic : topic.left(hash);
    if (folder_.isEmpty() || page.contains(QStringLiteral(".."))) return {};
    const QString file = folder_ + QLatin1Char('/') + page;
    if (!QFileInfo::exists(file)) return {};
    QUrl url = QUrl::fromLocalFile(file);
    if (hash >= 0) url.setFragment(topic.mid(hash + 1));
    return url;
}

bool HelpTopics::show(const QString& topic) const {
    const QUrl target = url(topic);
    return target.isValid() && !target.isEmpty() && opener_(target);
}

}  // namespace vsr::ui
