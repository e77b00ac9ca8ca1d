#include "ui/window/window_environment.h"

#include <QDate>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "engine/decode/file_encoding.h"
#include "platform/code_page.h"
#include "settings/day_number.h"
#include "ui/common/metrics.h"

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
    // First-start sizes (window, list, columns) grow with the desktop's font as the window's
    // layout does, so a larger font keeps the proportions and the centring.
    const int dpi = screenDotsPerInch();
    env.pixelsPerInch = static_cast<int>(std::lround(dpi * std::max(1.0, fontScale(QGuiApplication::font(), dpi))));
    env.homeFolder = homeFolder.empty() ? QDir::homePath().toStdString() : homeFolder;
    env.editorProgram = editorProgram;
    env.locale = locale;
    env.textEncoding = platform::systemCodePage();
    env.fallbackEncoding = engine::systemFallbackPage();
    return env;
}

}  // namespace vsr::ui
