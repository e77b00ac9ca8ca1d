#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>

#include "engine/search/search_driver.h"
#include "engine/search/search_host.h"
#include "name_output.h"

namespace vsr::tools {

// The terminal as a run's host: prints each listed row as "<full path>\t<Found text>" the moment
// the search hands it out, and message boxes as "caption: text" on standard error; it keeps
// the list and counts the messages. Status texts and the window's controls have no place here.
class ConsoleHost final : public engine::SearchHost, public engine::Prompter {
public:
    ConsoleHost(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    void pumpMessages() override {}
    bool pumpsMessages() const override { return false; }
    engine::RunState& runState() override { return state; }
    results::ResultList& results() override { return list; }
    engine::Prompter& prompter() override { return *this; }
    void setStatusText(int, const std::string&) override {}
    void rowFound(results::ResultItem row, const std::vector<std::int64_t>& counts) override;
    void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) override;
    // Each file left out is named on standard error with the reason, one a line.
    void filesNotSearched(const std::vector<engine::UnsearchedFile>& files) override;

    engine::RunState state;
    results::ResultList list;
    // Every message box shown, those of the search and of the modification alike.
    std::size_t messages = 0;
    std::int64_t occurrences = 0;
    bool printRows = true;  // off when the rows are printed after a modification instead
    // --encodings: each row also names the file's encoding, this one for files of the chosen one.
    const char* chosenEncoding = nullptr;
    NameOutput names;       // how the rows name their files
    // Called with each listed row's index once it is in the list.
    std::function<void(std::size_t row)> onRowListed;
    // While set, message boxes are the modification's, and counted.
    bool inModification = false;
    std::size_t modificationMessages = 0;
    // Files that passed the filters but could not be searched: the run did not do all it was asked.
    std::size_t unsearched = 0;

private:
    std::FILE* out_;
    std::FILE* err_;
};

}  // namespace vsr::tools
