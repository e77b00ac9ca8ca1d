#include "engine/backup/backup_erase.h"

#include "engine/query/masks.h"
#include "engine/search/pump_pacing.h"
#include "engine/query/query_terms.h"

namespace vsr::engine {

long long BackupEraser::EraseBackupBit1Click(SearchConditions& c) {
    c.path = std::string(trim(c.path));
    sink_.fieldNormalized(HistoryField::Path, c.path);
    if (c.path.empty()) {
        sink_.message(kEraseBackupCaption, "Please specify the Path", MessageIcon::Warning);
        return 0;
    }
    sink_.setBusyAnimation(true);
    sink_.beginRun(c.tab);
    erased_ = 0;
    control_.runState().stop = false;
    control_.runState().lastPumpMs = clock_.tickMs();
    std::string root = c.path;
    if (root.size() > 1 && root.back() == '/') root.pop_back();
    walk(root, c);
    sink_.setStatusText(kBackupPanel, "");
    sink_.endRun(c.tab);
    sink_.setBusyAnimation(false);
    return erased_;
}

bool BackupEraser::ignored(const std::string& dir, const SearchConditions& c) const {
    if (!c.ignoreDirectories) return false;
    const std::string withSlash = dir.back() == '/' ? dir : dir + "/";
    for (const std::string& raw : c.directoryIgnoreList) {
        std::string pattern(trim(raw));
        if (pattern.empty()) continue;
        if (pattern.back() != '/') pattern += '/';
        CompiledMask mask(pattern);
        if (mask.valid() && mask.matches(withSlash)) return true;
    }
    return false;
}

bool BackupEraser::walk(const std::string& dir, const SearchConditions& c) {
    static const FileNameMask bakMask("*.BAK");
    const bool dirIgnored = ignored(dir, c);
    std::vector<platform::DirEntry> entries;
    if (!fs_.listDirectory(dir, entries)) return true;
    for (platform::DirEntry& e : entries) {
        pumpIfDue(control_, clock_, 15);
        if (control_.runState().stop) return false;
        const std::string full = platform::joinPath(dir, e.name);
        if (dirIgnored || e.kind == platform::EntryKind::Directory) {
            if (e.kind != platform::EntryKind::Directory) continue;
            if (!c.includeSubfolders || (dirIgnored && c.ignoreSubfoldersToo)) continue;
            sink_.setStatusText(kBackupPanel, full);
            if (!walk(full, c)) return false;
        } else if (e.kind == platform::EntryKind::File && bakMask.matches(e.name)) {
            // The folder's permission would let a read-only file go; its own mark keeps it, as
            // the system would keep a read-only file.
            if (!fs_.loadInfo(dir, e) || e.info.attributes.readOnly) continue;
            if (files_.removeFile(full)) ++erased_;
        }
    }
    return true;
}

}  // namespace vsr::engine
