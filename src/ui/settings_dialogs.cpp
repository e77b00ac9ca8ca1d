#include "ui/settings_dialogs.h"

#include "ui/batch_dialog.h"
#include "ui/dialog_prompter.h"
#include "ui/file_ignore_dialog.h"
#include "ui/find_window.h"
#include "ui/path_ignore_dialog.h"
#include "ui/project_commands.h"
#include "ui/settings_dialog.h"

namespace vsr::ui {

SettingsDialogs::SettingsDialogs(TFind& window, DialogPrompter& prompter)
    : w_(window),
      prompter_(prompter),
      paths_(std::make_unique<TPathIgnoreDlg>(&prompter, &window)),
      files_(std::make_unique<TFileIgnoreDlg>(&window)),
      settings_(std::make_unique<TSettDlg>(paths_.get(), files_.get(), &prompter, &window)) {
    auto help = [this](const QString& topic) { w_.help().show(topic); };
    paths_->setHelpOpener(help);
    files_->setHelpOpener(help);
    settings_->setHelpOpener(help);
    w_.commands().setHandler(Command::Settings, [this] { ShowSettings(); });
    w_.commands().setAllowed(Command::Settings, true);
    load(w_.dialogSettings());
}

SettingsDialogs::~SettingsDialogs() = default;

void SettingsDialogs::load(const settings::DialogSettings& values) {
    settings_->setValues(values);
    settings_->initialDirOpenEditor = w_.storedOptions().initialDirOpenEditor;
    paths_->initialDirwIgnPath = w_.storedOptions().initialDirwIgnPath;
    store();
}

void SettingsDialogs::ShowSettings() {
    const platform::CodePageId before = w_.textEncoding();
    prompter_.runModal(*settings_);
    // Even a cancelled settings dialog keeps an ignore list accepted with its own OK.
    store();
    const platform::CodePageId after = w_.textEncoding();
    if (after == before) return;
    // The same typed query is other bytes now, and folds by other rules: the list no longer
    // holds what Modify would change, as after a change of "Case Sensitive".
    w_.textEncodingChanged();
    if (auto* projects = w_.findChild<ProjectCommands*>()) projects->batchDialog().reencode(before, after);
}

engine::ModifyOptions SettingsDialogs::modifyOptions() const {
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

void SettingsDialogs::store() {
    w_.dialogSettings() = settings_->values();
    w_.storedOptions().initialDirOpenEditor = settings_->initialDirOpenEditor;
    w_.storedOptions().initialDirwIgnPath = paths_->initialDirwIgnPath;
}

}  // namespace vsr::ui
