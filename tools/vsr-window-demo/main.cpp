// Opens the main window in a chosen state, for screenshots and for looking at a layout:
//   vsr-window-demo [--tab find|search|options] [--type phrase|multiline|regexpr]
//                   [--path DIR] [--query TEXT] [--run] [--replace TEXT]
// --replace searches on the Search and Replace tab and then runs Modify All with TEXT.
// Nothing is loaded from or saved to the user's settings.
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>

#include "ui/find_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::string tab = "find", type = "phrase", path, query, replace;
    bool modify = false;
    bool run = false;
    for (int i = 1; i < argc; ++i) {
        auto next = [&](std::string& into) {
            if (i + 1 < argc) into = argv[++i];
        };
        if (!std::strcmp(argv[i], "--tab")) next(tab);
        else if (!std::strcmp(argv[i], "--type")) next(type);
        else if (!std::strcmp(argv[i], "--path")) next(path);
        else if (!std::strcmp(argv[i], "--query")) next(query);
        else if (!std::strcmp(argv[i], "--run")) run = true;
        else if (!std::strcmp(argv[i], "--replace")) {
            next(replace);
            modify = run = true;
            tab = "search";
        }
        else {
            std::fprintf(stderr,
                         "usage: %s [--tab find|search|options] [--type phrase|multiline|regexpr] [--path DIR] "
                         "[--query TEXT] [--run] [--replace TEXT]\n",
                         argv[0]);
            return 2;
        }
    }
    vsr::ui::TFind window;
    if (tab == "search") window.PageControl1->setCurrentWidget(window.SearchReplaceTab);
    else if (tab == "options") window.PageControl1->setCurrentWidget(window.OptionsTab);
    else window.PageControl1->setCurrentWidget(window.FindTab);
    const bool onSearch = tab == "search";
    if (type == "multiline") (onSearch ? window.TextSearchButton : window.TextButton)->setChecked(true);
    else if (type == "regexpr") (onSearch ? window.RegExpSearch : window.RegExpFind)->setChecked(true);
    if (!path.empty()) window.ComboBoxPath->setEditText(QString::fromStdString(path));
    if (!query.empty()) {
        const QString q = QString::fromStdString(query);
        if (onSearch) {
            window.SearchEdit->setEditText(q);
            window.SearchMemo->setPlainText(q);
        } else {
            window.FindEditComboBox->setEditText(q);
            window.FindMemo->setPlainText(q);
        }
    }
    if (modify) {
        window.ReplaceButton->click();
        const QString r = QString::fromStdString(replace);
        window.Edit2->setEditText(r);
        window.Memo2->setPlainText(r);
    }
    window.show();
    if (run)
        QTimer::singleShot(200, &window, [&window, modify] {
            window.FindButtonClick();  // returns when the search has ended
            if (modify) window.commands().trigger(vsr::ui::Command::ModifyAll);
        });
    return app.exec();
}
