#pragma once
#include <functional>
#include <string>
#include <vector>

#include "project/batch_run.h"
#include "project/command_line_run.h"

namespace vsr::project::test {

// Plays the main window for the command-line and batch runs and records what they asked.
class FakeWindow : public CommandLineHost, public BatchRunHost {
public:
    RunFields fields;
    bool stop = false;
    bool intervened = false;
    bool noAnswer = false;
    bool folderFound = true;
    bool listWritable = true;
    // What failedFiles() answers after a modification.
    std::vector<std::string> failures;
    int searches = 0;
    int modifications = 0;
    bool closed = false;
    // Called inside runSearch and modifyAll; a test presses Stop or intervenes there.
    std::function<void(FakeWindow&)> duringSearch;
    std::function<void(FakeWindow&)> duringModify;
    std::vector<std::string> calls;
    std::vector<std::string> shown;
    std::vector<engine::MessageIcon> icons;
    std::vector<std::pair<std::string, std::string>> pairsSearched;  // one-line or memo texts

    void showMessage(const std::string& text, engine::MessageIcon icon) override {
        shown.push_back(text);
        icons.push_back(icon);
    }
    bool unattended() const override { return noAnswer; }
    bool stopRequested() override { return stop; }
    void requestStop() override { stop = true; }
    bool userIntervened() override { return intervened; }
    void showSearchReplaceTab() override { calls.push_back("tab"); }
    void setField(RunField field, const std::string& text) override {
        switch (field) {
        case RunField::SearchEdit: fields.searchEdit = text; break;
        case RunField::Edit2: fields.edit2 = text; break;
        case RunField::SearchMemo: fields.searchMemo = text; break;
        case RunField::Memo2: fields.memo2 = text; break;
        case RunField::Path: fields.path = text; break;
        case RunField::Masks: fields.masks = text; break;
        }
    }
    RunFields runFields() override { return fields; }
    bool pathIsFolder() override { return folderFound; }
    void deselectRow() override { calls.push_back("deselect"); }
    void runSearch() override {
        ++searches;
        calls.push_back("search");
        const bool phrase = fields.searchType == engine::SearchType::Phrase;
        pairsSearched.emplace_back(phrase ? fields.searchEdit : fields.searchMemo, phrase ? fields.edit2 : fields.memo2);
        if (duringSearch) duringSearch(*this);
    }
    void refreshIdleState() override { calls.push_back("idle"); }
    void modifyAll() override {
        ++modifications;
        calls.push_back("modify");
        if (duringModify) duringModify(*this);
    }
    bool saveList(const std::string& file, const std::string& commandLine) override {
        calls.push_back("list " + file + " / " + commandLine);
        return listWritable;
    }
    std::vector<std::string> failedFiles() override { return modifications ? failures : std::vector<std::string>{}; }
    void closeWindow() override {
        closed = true;
        calls.push_back("close");
    }
    engine::SearchType searchType() override { return fields.searchType; }
    void deselectAfterStop() override { calls.push_back("deselect"); }
    void clearLinesViewer() override { calls.push_back("clear viewer"); }
    void setLinesViewerPainting(bool on) override { calls.push_back(on ? "paint on" : "paint off"); }
};

// Conditions that pass every check: a phrase replaced in *.txt below /data.
inline RunFields validFields() {
    RunFields f;
    f.path = "/data";
    f.masks = "*.txt";
    f.searchType = engine::SearchType::Phrase;
    f.modificationType = engine::ModificationType::Replace;
    f.searchEdit = "old";
    f.edit2 = "new";
    return f;
}

}  // namespace vsr::project::test
