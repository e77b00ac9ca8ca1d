#pragma once
#include <string>
#include <vector>

#include "engine/viewer/lines_viewer_fill.h"
#include "engine/search/recording_host.h"
#include "platform/clock.h"
#include "platform/fake_file_system.h"
#include "platform/locale_formats.h"
#include "platform/type_names.h"

namespace vsr::engine::test {

// Records what a fill tells the window.
struct RecordingFillEvents : FillEvents {
    void fillStarting(FillPurpose p) override { started.push_back(p); }
    void fillEnded(const FillResult& r) override { ended.push_back(r.end); }
    void selectExpressionCharacter(Tab tab, int position) override { selected.push_back({tab, position}); }
    std::vector<FillPurpose> started;
    std::vector<FillEnd> ended;
    std::vector<std::pair<Tab, int>> selected;
};

// A Lines Viewer fill over an in-memory file "/data/f.txt", listed as row 0 and selected.
struct FillFixture {
    platform::FakeFileSystem fs;
    platform::FakeClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    RecordingHost host;
    RecordingFillEvents events;
    LinesViewerContent content;
    SearchConditions conditions = formConditions("/data");

    FillFixture() {
        fs.addDirectory("/data");
        host.list.createResultColumn();
    }

    void file(const std::string& contents, const std::string& name = "f.txt") {
        fs.addFile("/data/" + name, contents);
        results::ResultItem item;
        item.name = name;
        item.path = "/data";
        std::size_t row = host.list.AddResultItem(item);
        host.list.selectOnly(row);
        host.list.currentIndex = static_cast<long long>(row);
    }

    FillResult fill(FillPurpose purpose = FillPurpose::Silent, std::size_t row = 0) {
        const results::ResultItem& item = host.list.row(row);
        return FillLinesViewer(conditions, {fs, clock, formats, types}, host, content,
                               {item.path, item.name, static_cast<long long>(row), purpose}, &events);
    }

    void phrase(const std::string& query, QueryType type = QueryType::Phrase) {
        conditions.tab = Tab::Find;
        conditions.queryType = type;
        conditions.findText = query;
    }
    void memo(std::vector<std::string> lines, QueryType type) {
        conditions.tab = Tab::Find;
        conditions.queryType = type;
        conditions.findLines = std::move(lines);
    }

    // "index|text|offset:length ..." per entry.
    std::vector<std::string> dump() const {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < content.count(); ++i) {
            const FoundLine& e = content.entry(i);
            std::string s = e.displayText + "|";
            for (std::size_t h = 0; h < e.highlights.size(); ++h)
                s += (h ? " " : "") + std::to_string(e.highlights[h].offset) + ":" + std::to_string(e.highlights[h].length);
            out.push_back(s);
        }
        return out;
    }
    // The highlighted pieces of entry `i`, in the order they were recorded.
    std::vector<std::string> marked(std::size_t i) const {
        std::vector<std::string> out;
        const FoundLine& e = content.entry(i);
        for (const Highlight& h : e.highlights) out.push_back(e.displayText.substr(h.offset, h.length));
        return out;
    }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> out;
        for (const auto& m : host.messages) out.push_back(m.caption + ": " + m.text);
        return out;
    }
};

using Lines = std::vector<std::string>;

}  // namespace vsr::engine::test
