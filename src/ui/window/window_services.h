#pragma once
#include <QString>
#include <string>

#include "durable/file_store.h"
#include "platform/attribute_changer.h"
#include "platform/clock.h"
#include "platform/file_manager.h"
#include "platform/file_system.h"
#include "platform/launcher.h"
#include "platform/locale_formats.h"
#include "platform/trash.h"
#include "platform/type_names.h"
#include "settings/settings_storage.h"
#include "ui/common/help_topics.h"
#include "ui/prompt/window_prompter.h"

namespace vsr::ui {

// What the window needs from outside; a null pointer means the window's own default.
struct WindowServices {
    // Who answers the questions: the message boxes, folder pickers and the about box; the
    // settings dialogs' and the list's pickers and the modal dialogs; the project and batch
    // file dialogs. One prompter may answer all three; null: the desktop's own dialogs.
    WindowPrompter* prompter = nullptr;
    WindowPrompter* dialogPrompter = nullptr;
    WindowPrompter* filePrompter = nullptr;
    platform::Launcher* launcher = nullptr;    // null: the desktop's
    platform::Trash* trash = nullptr;          // null: the user's trash
    platform::FileManager* fileManager = nullptr;  // null: the desktop's file manager
    platform::AttributeChanger* attributes = nullptr;  // null: the real files' permissions
    durable::FileStore* fileStore = nullptr;  // what modification and undo rewrite; null: the real files
    platform::FileSystem* fileSystem = nullptr;
    platform::Clock* clock = nullptr;
    const platform::LocaleFormats* formats = nullptr;
    const platform::TypeNames* typeNames = nullptr;
    // Where the settings are loaded from at start and saved to at the end; null: not kept.
    settings::SettingsStorage* settings = nullptr;
    // The folder a first start searches; empty: $HOME.
    std::string homeFolder;
    HelpTopics::Opener helpOpener;             // empty: the desktop's browser
    QString helpFolder;                        // empty: looked up beside the program
    int dotsPerInch = 0;                       // 0: the screen's
};

}  // namespace vsr::ui
