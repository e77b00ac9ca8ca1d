#pragma once
#include <string>
#include <vector>

#include "engine/search/recording_host.h"
#include "engine/search/search_driver.h"
#include "platform/clock.h"
#include "platform/fake_file_system.h"
#include "platform/locale_formats.h"
#include "platform/type_names.h"

namespace vsr::engine::test {

// A search over an in-memory tree, recording everything the run tells its host.
struct SearchFixture {
    platform::FakeFileSystem fs;
    platform::FakeClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    RecordingHost host;
    SearchDriver driver{{fs, clock, formats, types}, host};
    SearchConditions conditions = formConditions("/data");

    SearchFixture() { fs.addDirectory("/data"); }

    // Runs a search and returns "full name:Found text" per row, in list order.
    std::vector<std::string> run() {
        driver.FindButtonClick(conditions);
        return rows();
    }
    std::vector<std::string> rows() const {
        std::vector<std::string> out;
        for (const auto& r : host.list.rows()) out.push_back(r.fullName() + ":" + r.found);
        return out;
    }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> out;
        for (const auto& m : host.messages) out.push_back(m.caption + ": " + m.text);
        return out;
    }
};

using Rows = std::vector<std::string>;

}  // namespace vsr::engine::test
