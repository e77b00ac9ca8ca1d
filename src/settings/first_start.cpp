#include "settings/first_start.h"

#include "settings/day_number.h"

namespace vsr::settings {

int scaledPixels(int pixelsAt96, int pixelsPerInch) {
    if (pixelsPerInch <= 0) return pixelsAt96;
    return static_cast<int>(static_cast<long long>(pixelsAt96) * pixelsPerInch / 96);
}

std::string defaultEditorBase(const SettingsEnvironment& env) { return "\"" + env.editorProgram + "\""; }

std::string editorCommandFrom(const std::string& editorBase) { return editorBase + " \"%PrFullName%\""; }

StoredSettings firstStartSettings(const SettingsEnvironment& env) {
    StoredSettings s;
    s.history.comboBoxPath.text = env.homeFolder;
    s.history.masksComboBox.text = "*.*";
    s.history.masksComboBox.items = {"*.html; *.htm", "*.txt"};

    MainOptions& o = s.options;
    o.minDateTimePicker = monthsEarlier(env.today, 12);
    o.maxDateTimePicker = env.today;

    const int ppi = env.pixelsPerInch;
    for (int MainOptions::*width : {&MainOptions::columnName, &MainOptions::columnPath, &MainOptions::columnFound,
                                    &MainOptions::columnAttributes, &MainOptions::columnTime, &MainOptions::columnSize,
                                    &MainOptions::columnType, &MainOptions::columnResult, &MainOptions::findWidth,
                                    &MainOptions::findHeight, &MainOptions::findListViewHeight})
        o.*width = scaledPixels(o.*width, ppi);
    // The window starts centred, a little above the middle to leave room for a task bar.
    o.findLeft = (env.screenWidth - o.findWidth) / 2;
    o.findTop = (env.screenHeight - o.findHeight - scaledPixels(24, ppi)) / 2;

    s.dialog.editorA = editorCommandFrom(defaultEditorBase(env));
    s.dialog.textEncoding = env.textEncoding;
    s.dialog.fallbackEncoding = env.fallbackEncoding;
    return s;
}

}  // namespace vsr::settings
