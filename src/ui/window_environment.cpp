#include "ui/window_environment.h"

#include <QDate>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>

#include "platform/code_page.h"
#include "settings/day_number.h"
#include "ui/metrics.h"

namespace vsr::ui {

platform::CivilDate today(platform::Clock* clock) {
    if (clock) return platform::localDate(clock->now());
    const QDate date = QDate::currentDate();
    return {date.year(), date.month(), date.day()};
}

settings::SettingsEnvironment windowEnvironment(const std::string& homeFolder, const std::string& editorProgram,
                                                const platform::LocaleFormats* locale, platform::Clock* clock) {
    settings::SettingsEnvironment env;
    const platform::CivilDate date = today(clock);
    env.today = settings::dayNumberFromDate(date);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        env.screenWidth = screen->availableGeometry().width();
        env.screenHeight = screen->availableGeometry().height();
    }
    env.pixelsPerInch = screenDotsPerInch();
    env.homeFolder = homeFolder.empty() ? QDir::homePath().toStdString() : homeFolder;
    env.editorProgram = editorProgram;
    env.locale = locale;
    env.textEncoding = platform::systemCodePage();
    return env;
}

}  // namespace vsr::ui
