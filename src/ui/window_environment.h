#pragma once
#include <string>

#include "platform/locale_formats.h"
#include "settings/settings_environment.h"

namespace vsr::ui {

// What the settings defaults need from this desktop: today, the screen and its dots per inch.
settings::SettingsEnvironment windowEnvironment(const std::string& homeFolder, const std::string& editorProgram,
                                                const platform::LocaleFormats* locale);

}  // namespace vsr::ui
