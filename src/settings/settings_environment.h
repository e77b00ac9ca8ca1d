#pragma once
#include <string>

#include "platform/code_page.h"
#include "platform/locale_formats.h"

namespace vsr::settings {

// What the defaults and the stored date texts need from the running system.
// The window fills it from the platform services; tests set it directly.
struct SettingsEnvironment {
    int today = 0;  // day number of today's local date
    int screenWidth = 1920;  // in pixels
    int screenHeight = 1080;
    int pixelsPerInch = 96;  // logical dots per inch of the screen
    std::string homeFolder;     // the folder a first start searches
    std::string editorProgram;  // full path of the default editor, unquoted
    // The locale's text encoding, which a first start uses.
    platform::CodePageId textEncoding = platform::CodePageId::Utf8;
    // The page the locale's language suggests for files that are not UTF-8, which a first start uses.
    platform::CodePageId fallbackEncoding = platform::CodePageId::Windows1252;
    // The system's short date format; without it the date texts are not written
    // (loading never needs them).
    const platform::LocaleFormats* locale = nullptr;
};

}  // namespace vsr::settings
