#pragma once
#include <string>
#include <string_view>

#include "platform/locale_formats.h"
#include "project/batch_table.h"
#include "settings/stored_settings.h"

namespace vsr::project {

// Everything a project holds: the window's settings records (the dialog record being the
// window's copy of the settings-dialog values) and the batch table.
struct ProjectValues {
    settings::StoredSettings settings;
    BatchTable batch;

    bool operator==(const ProjectValues&) const = default;
};

// The project file: 87 entries, one value per line in a fixed order, CR LF line ends.
// Dates are written in the short date format of `dates` and again as day numbers.
std::string projectFileBytes(const ProjectValues& values, const platform::LocaleFormats& dates);

// How far a project file was read.
struct ProjectRead {
    // Block A (entries 1 to 58) was read whole. When false the file is incorrect: the values
    // are partly overwritten and the caller restores its settings.
    bool correct = false;
    // Blocks B (59-64) and D (66-87) were read to their end; a block that fails ends silently.
    bool blockBWhole = false;
    bool blockDWhole = false;
    // Entry 71 was reached: the settings-dialog copy holds the project's values.
    bool settingsLoaded = false;
};

// Reads a project over `values`, entry by entry, so whatever a failing block did not reach
// keeps its previous value. Radio groups follow their buttons: a true flag selects its
// button and clears the others, a false flag only clears its own. Counts that are negative
// or larger than the rest of the file make the block fail, so no file can make the reader
// allocate more than the file holds.
ProjectRead readProjectFile(std::string_view bytes, const platform::LocaleFormats& dates, ProjectValues& values);

// The file-dialog filter and default extension of project files.
inline constexpr const char* kProjectFilter = "Project Files [*.vsr]|*.vsr";
inline constexpr const char* kProjectExtension = "vsr";

}  // namespace vsr::project
