#include "ui/window_environment.h"

#include <QDate>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>

#include "settings/day_number.h"
#include "ui/metrics.h"

namespace vsr::ui {

settings::SettingsEnvironment windowEnvironment(const std::string& homeFolder, const std::string& editorProgram,
                                                const platform::LocaleFormats* locale) {
    settings::SettingsEnvironment env;
    const QDate today = QDate::currentDate();
    env.today = settings::dayNumberFromDate({today.year(), today.month(), today.day()});
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        env.screenWidth = screen->availableGeometry().width();
        env.screenHeight = screen->availableGeometry().height();
    }
    env.pixelsPerInch = screenDotsPerInch();
    env.homeFolder = homeFolder.empty() ? QDir::homePath().toStdString() : homeFolder;
    env.editorProgram = editorProgram;
    env.locale = locale;
    return env;
}

}  // namespace vsr::ui
