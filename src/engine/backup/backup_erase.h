#pragma once
#include <string>

#include "engine/query/search_conditions.h"
#include "engine/search/search_host.h"
#include "platform/clock.h"
#include "durable/file_store.h"
#include "platform/file_system.h"

namespace vsr::engine {

inline constexpr const char* kEraseBackupCaption = "Erase Backup";

// Deletes every file whose name matches "*.bak" (any case) below the search path: in
// subfolders only with Include Subfolders, never in an ignored folder. Files that can't be
// deleted are passed over. Stop ends the walk. Returns the number of files deleted.
class BackupEraser {
public:
    BackupEraser(platform::FileSystem& fs, durable::FileStore& files, platform::Clock& clock, SearchSink& sink,
                 RunControl& control)
        : fs_(fs), files_(files), clock_(clock), sink_(sink), control_(control) {}
    // For a caller that is sink and run control in one.
    BackupEraser(platform::FileSystem& fs, durable::FileStore& files, platform::Clock& clock, SearchHost& host)
        : BackupEraser(fs, files, clock, host, host) {}

    // The menu command: trims the path (written back to the field), refuses an empty one with
    // "Please specify the Path", otherwise walks it in the running state.
    long long EraseBackupBit1Click(SearchConditions& conditions);

private:
    // False when Stop ended the walk.
    bool walk(const std::string& dir, const SearchConditions& c);
    bool ignored(const std::string& dir, const SearchConditions& c) const;

    platform::FileSystem& fs_;
    durable::FileStore& files_;
    platform::Clock& clock_;
    SearchSink& sink_;
    RunControl& control_;
    long long erased_ = 0;
};

}  // namespace vsr::engine
