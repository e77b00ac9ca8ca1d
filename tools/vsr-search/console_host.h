#pragma once
#include <cstdint>
#include <cstdio>

#include "engine/recording_host.h"
#include "engine/search_driver.h"

namespace vsr::tools {

// Prints each listed row as "<full path>\t<Found text>" the moment it is added, and message
// boxes as "caption: text" on standard error; everything else is recorded.
class ConsoleHost final : public engine::RecordingHost {
public:
    ConsoleHost(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    void attach(engine::SearchDriver& driver) { driver_ = &driver; }
    void rowAdded(std::size_t index) override;
    void messageBox(const std::string& caption, const std::string& text, engine::MessageIcon icon) override;

    std::int64_t occurrences = 0;
    bool printRows = true;  // off when the rows are printed after a modification instead

private:
    std::FILE* out_;
    std::FILE* err_;
    engine::SearchDriver* driver_ = nullptr;
};

}  // namespace vsr::tools
