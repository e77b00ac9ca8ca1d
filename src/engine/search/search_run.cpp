#include "engine/search/search_run.h"

#include <cstring>

#include "results/row_texts.h"

namespace vsr::engine {

SearchRun::SearchRun(const SearchConditions& conditions, SearchEnv env, SearchHost& host)
    : conditions_(conditions), env_(env), host_(host), codePage_(&platform::CodePage::get(conditions.codePage)) {}

const std::string& SearchRun::fullPath(const std::string& dir, const std::string& name) {
    path_.assign(dir);
    if (path_.empty() || path_.back() != '/') path_ += '/';
    path_ += name;
    return path_;
}

void SearchRun::pumpIfDue(int intervalMs) {
    std::int64_t now = env_.clock.tickMs();
    RunState& s = state();
    if (now - s.lastPumpMs > intervalMs) {
        host_.pumpMessages();
        s.lastPumpMs = env_.clock.tickMs();
    }
}

void SearchRun::fail(const std::string& caption, const std::string& text) {
    host_.messageBox(caption, text, MessageIcon::Exclamation);
    requestStop();
}

platform::ReadStatus SearchRun::readFile(const std::string& fullName, bool stopAtNul) {
    platform::ReadStatus status = env_.fs.readFile(fullName, buffer_, platform::kMaxReadableFileSize);
    if (status != platform::ReadStatus::Ok) {
        buffer_.setSize(0);
        return status;
    }
    if (!stopAtNul) return status;
    if (const void* nul = std::memchr(buffer_.data(), 0, buffer_.size()))
        buffer_.setSize(static_cast<std::size_t>(static_cast<const char*>(nul) - buffer_.data()));
    return status;
}

void SearchRun::listFile(const std::string& dir, platform::DirEntry& entry,
                         const std::vector<std::int64_t>& counts) {
    env_.fs.loadInfo(dir, entry);
    RunState& s = state();
    ++s.foundFiles;
    const results::ResultList& list = host_.results();
    host_.setStatusText(kCountPanel, results::searchCountText(list.tab, s.foundFiles));
    results::ResultItem item;
    item.name = entry.name;
    item.path = dir;
    if (!list.foundColumnAbsent()) results::fillFoundColumn(item, counts);
    results::fillFileColumns(item, entry.info, {env_.formats, env_.typeNames});
    host_.rowFound(std::move(item), counts);
}

void SearchHost::rowFound(results::ResultItem row, const std::vector<std::int64_t>& counts) {
    results::ResultList& list = results();
    list.AddResultItem(std::move(row), list.collectReportCounts ? results::fullCountText(counts) : std::string());
}

void pushHistory(std::vector<std::string>& history, const std::string& text) {
    history.insert(history.begin(), text);
    for (std::size_t i = 1; i < history.size();) {
        if (history[i] == text) history.erase(history.begin() + static_cast<std::ptrdiff_t>(i));
        else ++i;
    }
}

bool SearchRun::checkQueryLines() {
    constexpr std::size_t kMaxQueryLine = 1000;
    if (!queryChecked) {
        queryChecked = true;
        for (const std::string& line : conditions_.multiLineQuery()) {
            if (line.size() > kMaxQueryLine) {
                queryAcceptable = false;
                fail(kProgramTitle, conditions_.tab == Tab::Find ? "The lines are too long for the Query field"
                                                                 : "The lines are too long for the To Search field");
                break;
            }
        }
    }
    return queryAcceptable;
}

}  // namespace vsr::engine
