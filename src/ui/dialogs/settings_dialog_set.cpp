#include "ui/dialogs/settings_dialog_set.h"

#include <utility>

#include "ui/common/command_set.h"
#include "ui/prompt/window_prompter.h"
#include "ui/dialogs/file_ignore_dialog.h"
#include "ui/common/help_topics.h"
#include "ui/dialogs/path_ignore_dialog.h"
#include "ui/dialogs/settings_dialog.h"

namespace vsr::ui {

SettingsDialogSet::SettingsDialogSet(Window window, WindowPrompter& prompter)
    : w_(std::move(window)),
      prompter_(prompter),
      paths_(std::make_unique<TPathIgnoreDlg>(&prompter, w_.parent)),
      files_(std::make_unique<TFileIgnoreDlg>(w_.parent)),
      settings_(std::make_unique<TSettDlg>(paths_.get(), files_.get(), &prompter, w_.parent)) {
    auto help = [this](const QString& topic) { w_.help.show(topic); };
    paths_->setHelpOpener(help);
    files_->setHelpOpener(help);
    settings_->setHelpOpener(help);
    w_.commands.setHandler(Command::Settings, [this] { ShowSettings(); });
    w_.commands.setAllowed(Command::Settings, true);
    load(w_.values);
}

SettingsDialogSet::~SettingsDialogSet() = default;

void SettingsDialogSet::load(const settings::DialogSettings& values) {
    settings_->setValues(values);
    settings_->initialDirOpenEditor = w_.options.initialDirOpenEditor;
    paths_->initialDirwIgnPath = w_.options.initialDirwIgnPath;
    store();
}

void SettingsDialogSet::ShowSettings() {
    const platform::CodePageId before = w_.values.textEncoding;
    prompter_.runModal(*settings_);
    // Even a cancelled settings dialog keeps an ignore list accepted with its own OK.
    store();
    const platform::CodePageId after = w_.values.textEncoding;
    if (after == before) return;
    if (w_.textEncodingChanged) w_.textEncodingChanged(before, after);
}

engine::ModifyOptions SettingsDialogSet::modifyOptions() const {
    engine::ModifyOptions o;
    const std::string separator = settings_->lineSeparator();
    o.separator = separator == "\r\n" ? engine::LineSeparator::Windows
                  : separator == "\r"  ? engine::LineSeparator::Macintosh
                                        : engine::LineSeparator::Unix;
    const settings::DialogSettings values = settings_->values();
    o.replaceReadOnly = values.readOnly;
    o.replaceHidden = values.replaceHiddenCheckBox;
    return o;
}

void SettingsDialogSet::store() {
    w_.values = settings_->values();
    w_.options.initialDirOpenEditor = settings_->initialDirOpenEditor;
    w_.options.initialDirwIgnPath = paths_->initialDirwIgnPath;
}

}  // namespace vsr::ui
