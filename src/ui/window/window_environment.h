#pragma once
#include <string>

#include "platform/clock.h"
#include "platform/locale_formats.h"
#include "settings/settings_environment.h"

namespace vsr::ui {

// What the settings defaults need from this desktop: today (from `clock` when given), the screen
// and its dots per inch.
settings::SettingsEnvironment windowEnvironment(const std::string& homeFolder, const std::string& editorProgram,
                                                const platform::LocaleFormats* locale,
                                                platform::Clock* clock = nullptr);

// Today's date, from `clock` when given, else from the system.
platform::CivilDate today(platform::Clock* clock);

}  // namespace vsr::ui
