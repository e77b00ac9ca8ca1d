#pragma once
#include "settings/day_number.h"
#include "settings/stored_settings.h"

namespace vsr::settings::test {

// Every value differs from its first-start default, so a value that is not saved or
// not loaded shows up as a difference.
inline StoredSettings everyValueChanged() {
    StoredSettings s;
    s.history.comboBoxPath = {"/srv/data", {"/srv/data", "/tmp", "/home/a b"}};
    s.history.findEditComboBox = {"needle", {"needle", "hay; stack"}};
    s.history.searchEdit = {" lead and trail ", {" lead and trail "}};
    s.history.edit2 = {"repl=ace", {"repl=ace", "a\\b"}};
    s.history.masksComboBox = {"*.cpp; *.h", {"*.cpp; *.h"}};
    s.memos = {"line 1\nline 2\n", "search text", "a\n\nb"};

    MainOptions& o = s.options;
    o.sensitiveCheckBox = o.wholeWordsCheckBox = true;
    o.phraseButton = false;
    o.regExpFind = true;
    o.phraseButtonReplace = false;
    o.textSearchButton = true;
    o.replaceButton = false;
    o.insertAfterButton = true;
    o.creatBackupCheckBox = false;
    o.previewCheckBox = true;
    o.phraseXPCheckBox = o.regExprXPCheckBox = o.modifyXPCheckBox = true;
    o.trimLeftCheckBox = o.trimRightCheckBox = false;
    o.expPointCheckBox = o.expSpaceCheckBox = true;
    o.includeSubdirectoriesCheckBox = false;
    o.allSizeCheckBox = o.allDateCheckBox = true;
    o.minimumRadioButton = true;
    o.maximumRadioButton = false;
    o.betweenRadioButton = false;
    o.newestRadioButton = true;
    o.sizeSpinEdit = 7;
    o.kbComboBox = 1;
    o.minDateTimePicker = dayNumberFromDate({2001, 2, 3});
    o.maxDateTimePicker = dayNumberFromDate({2030, 12, 31});
    o.daysAgoSpinEdit = 40;
    o.size = o.last = o.andop = o.days = true;
    o.columnName = 1, o.columnPath = 2, o.columnFound = 3, o.columnAttributes = 4;
    o.columnTime = 5, o.columnSize = 6, o.columnType = 7, o.columnResult = 8;
    o.initialDir = "/a", o.initialDirV = "/b", o.initialDirOpenEditor = "/c", o.initialDirOpenProject = "/d";
    o.initialDirSaveProject = "/e", o.initialDirwCopy = "/f", o.initialDirwIgnPath = "/g";
    o.findWidth = 800, o.findHeight = 700, o.findListViewHeight = 300, o.findLeft = -5, o.findTop = 12;
    o.maxFind = true;
    o.nomTab = 3;

    DialogSettings& d = s.dialog;
    d.editorA = "\"/opt/my editor/ed\" -g%NumLine% \"%PrFullName%\"";
    d.unXPRadioButton = false;
    d.macXPRadioButton = true;
    d.browseComboBox = 10;
    d.searchThreads = 3;
    d.textEncoding = platform::CodePageId::Windows1251;
    d.ignorePathsXPCh = d.ignoreFilesXPCh = d.gitignoreXPCh = d.indexFolderXPCh = d.readOnly = d.replaceHiddenCheckBox = d.ignoreSubFoldXPCh = true;
    d.directIgnoreList = "/proc\n/sys/*\n";
    d.fileIgnoreList = "*.o\n*.a";
    return s;
}

}  // namespace vsr::settings::test
