#pragma once
#include <deque>
#include <string>
#include <vector>

#include "fileops/file_ops_prompter.h"
#include "results/result_list.h"

namespace vsr::fileops::test {

// Gives queued answers in order (then `fallback`) and records every question and message.
class ScriptedPrompter : public FileOpsPrompter {
public:
    Answer ask(const Question& q) override {
        questions.push_back(q);
        if (answers.empty()) return fallback;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void message(const std::string& caption, const std::string& text) override {
        messages.push_back(caption + ": " + text);
    }
    // The first line of every question, the way the user reads them one after another.
    std::vector<std::string> firstLines() const {
        std::vector<std::string> out;
        for (const Question& q : questions) out.push_back(q.lines.empty() ? "" : q.lines.front().text);
        return out;
    }

    std::deque<Answer> answers;
    Answer fallback = Answer::Ok;
    std::vector<Question> questions;
    std::vector<std::string> messages;
};

// A list of rows for files in `folder`, all selected unless `selected` says otherwise.
inline results::ResultList listOf(const std::string& folder, const std::vector<std::string>& names,
                                  std::vector<bool> selected = {}) {
    results::ResultList list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        results::ResultItem item;
        item.name = names[i];
        item.path = folder;
        item.type = "TXT File";
        const std::size_t at = list.AddResultItem(item);
        list.setSelected(at, selected.empty() || selected[i]);
    }
    return list;
}

inline std::vector<std::string> rowNames(const results::ResultList& list) {
    std::vector<std::string> out;
    for (const auto& r : list.rows()) out.push_back(r.name);
    return out;
}

inline std::vector<bool> selection(const results::ResultList& list) {
    std::vector<bool> out;
    for (const auto& r : list.rows()) out.push_back(r.selected);
    return out;
}

}  // namespace vsr::fileops::test
