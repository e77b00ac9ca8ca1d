#pragma once
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "engine/modify/modify_driver.h"
#include "engine/search/recording_host.h"
#include "platform/attribute_changer.h"
#include "platform/clock.h"
#include "durable/file_store.h"
#include "support/temp_dir.h"

namespace vsr::engine::test {

// Records what a modification run told the window beyond the host.
struct RecordingViews : ModifyViews {
    void setUndoEnabled(bool on) override { undoEnabled = on; }
    void clearLinesViewer() override { ++clears; }
    void fillSilent(std::size_t row) override { fills.push_back(row); }
    void widenResultColumn() override { ++widened; }
    bool undoEnabled = false;
    int clears = 0;
    int widened = 0;
    std::vector<std::size_t> fills;
};

// Modification runs over real files in a fresh folder, with rows added by hand as a search
// on the Search and Replace tab would have listed them.
struct ModifyFixture {
    vsr::test::TempDir dir;
    RecordingHost host;
    durable::PosixFileStore files;
    platform::PosixAttributeChanger attributes;
    platform::FakeClock clock;
    RecordingViews views;
    ModifyDriver driver{{files, attributes, clock}, host, &views};
    SearchConditions c;
    ModifyOptions options;

    ModifyFixture() {
        c.tab = Tab::SearchAndReplace;
        c.searchType = SearchType::Phrase;
        c.modificationType = ModificationType::Replace;
        c.caseSensitive = true;
        c.path = dir.str();
        options.separator = LineSeparator::Unix;
        host.list.createResultColumn();
        host.list.tab = results::ListTab::SearchAndReplace;
    }

    std::string path(const std::string& name) const { return (dir.path() / name).string(); }
    // Writes the file and lists it; returns its row.
    std::size_t add(const std::string& name, const std::string& bytes) {
        dir.write(name, bytes);
        return list(name);
    }
    std::size_t list(const std::string& name) {
        results::ResultItem item;
        const std::filesystem::path p = dir.path() / name;
        item.name = p.filename().string();
        item.path = p.parent_path().string();
        return host.list.AddResultItem(item);
    }
    std::string read(const std::string& name) const { return vsr::test::readFile(dir.path() / name); }
    bool exists(const std::string& name) const {
        std::error_code ec;
        return std::filesystem::exists(std::filesystem::symlink_status(dir.path() / name, ec));
    }
    const std::string& result(std::size_t row) const { return host.list.row(row).result; }

    void phrase(const std::string& search, const std::string& replace) {
        c.searchType = SearchType::Phrase;
        c.searchText = search;
        c.replaceText = replace;
        c.searchLines = {search};
        c.replaceLines = {replace};
    }
    void regex(std::vector<std::string> search, std::vector<std::string> replace) {
        c.searchType = SearchType::RegExpr;
        c.searchLines = std::move(search);
        c.replaceLines = std::move(replace);
    }
    void block(std::vector<std::string> search, std::vector<std::string> replace) {
        c.searchType = SearchType::Multiline;
        c.searchLines = std::move(search);
        c.replaceLines = std::move(replace);
    }
    void modifyAll() { driver.Modify(ModifyScope::All, c, options); }
    void modifySelected() { driver.Modify(ModifyScope::Selected, c, options); }

    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& m : host.messages) out.push_back(m.caption + ": " + m.text);
        return out;
    }
};

inline unsigned modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

}  // namespace vsr::engine::test
