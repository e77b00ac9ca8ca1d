#include "durable/recovery_journal.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "platform/fd_io.h"
#include "platform/file_read.h"
#include "durable/rewrite_trace.h"

namespace vsr::durable {
namespace {

// Notes of the first form have no trace of the rewrite; they are still read.
constexpr std::string_view kMagicUntraced = "vsr-recovery-1";
constexpr std::string_view kMagic = "vsr-recovery-2";
constexpr std::string_view kEnd = "end";

std::atomic<unsigned> recordCounter{0};

bool makeJournalFolders(const std::string& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string uniqueName(std::string_view suffix) {
    return std::to_string(::getpid()) + "-" + std::to_string(recordCounter.fetch_add(1)) + std::string(suffix);
}

// Writes a small file and flushes it; false (and nothing left) on any failure.
bool writeDurably(const std::string& path, std::string_view bytes, mode_t mode) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return false;
    bool ok = platform::writeAllTo(fd, bytes) && ::fdatasync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (!ok) ::unlink(path.c_str());
    return ok;
}

// The process that wrote a note, from the note's name; 0 when the name has none.
pid_t writerOf(const std::string& name) {
    char* end = nullptr;
    long pid = std::strtol(name.c_str(), &end, 10);
    return (end && *end == '-' && pid > 0) ? static_cast<pid_t>(pid) : 0;
}

bool running(pid_t pid) {
    if (pid <= 0 || pid == ::getpid()) return false;
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

std::vector<std::string> fieldsOf(const std::string& bytes) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t nul = bytes.find('\0', at);
        if (nul == std::string::npos) break;  // a field cut short by a kill
        fields.push_back(bytes.substr(at, nul - at));
        at = nul + 1;
    }
    return fields;
}

// Notes and logs are read by a later start, whose working folder may be any other: every name
// in them is absolute.
std::string absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char buf[PATH_MAX];
    if (!::getcwd(buf, sizeof buf)) return {};
    std::string full = buf;
    if (full != "/") full += '/';
    std::string_view rest = path;
    while (rest.size() >= 2 && rest.compare(0, 2, "./") == 0) rest.remove_prefix(2);
    return full + std::string(rest);
}

bool inside(const std::string& folder, const std::string& path) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

// Copies `source` over `target` in place; the target keeps its inode, and gets `mode` back.
bool copyBack(const std::string& target, const std::string& source, mode_t mode) {
    std::optional<std::string> bytes = platform::readWholeFile(source);
    if (!bytes) return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 && errno == EACCES && ::chmod(target.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0)
        fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    bool ok = platform::overwriteFromStart(fd, *bytes);
    ::fchmod(fd, mode);
    if (::close(fd) != 0) ok = false;
    return ok;
}

// Keeps the bytes from before the run where the user finds them once the note is gone: a copy
// of our own is renamed so that no later start takes it for a leftover.
std::string keepSource(const std::string& folder, const std::string& source) {
    if (!inside(folder, source)) return source;
    const std::string kept = source.substr(0, source.rfind('.')) + ".kept";
    return ::rename(source.c_str(), kept.c_str()) == 0 ? kept : source;
}

void recoverRecord(const std::string& folder, const std::string& record, RecoveryReport& report) {
    std::optional<std::string> bytes = platform::readWholeFile(record);
    const std::vector<std::string> f = bytes ? fieldsOf(*bytes) : std::vector<std::string>{};
    // A note cut short was being written when the run was killed: no byte of the file had
    // been touched yet.
    const bool untraced = f.size() == 6 && f[0] == kMagicUntraced && f[5] == kEnd;
    const bool traced = f.size() == 9 && f[0] == kMagic && f[8] == kEnd;
    if (!untraced && !traced) {
        if (f.size() >= 3 && inside(folder, f[2])) ::unlink(f[2].c_str());
        // The copy made for this note bears its name; a note cut before it names its source
        // still leaves that copy, which nothing else would ever remove.
        ::unlink((record.substr(0, record.size() - 4) + ".old").c_str());
        ::unlink(record.c_str());
        return;
    }
    const std::string& target = f[1];
    const std::string& source = f[2];
    const bool removeSource = f[3] == "1";
    const mode_t mode = static_cast<mode_t>(std::strtoul(f[4].c_str(), nullptr, 8) & 07777);
    struct stat st {};
    if (::stat(source.c_str(), &st) != 0) {
        // An undo that got as far as deleting its backup had finished its file.
        if (!removeSource) report.failed.push_back(target);
        ::unlink(record.c_str());
        return;
    }
    if (traced) {
        // The file must still be the one written, and hold only what the write could have left.
        struct stat now {};
        std::optional<RewriteTrace> trace = RewriteTrace::decode(f[7]);
        std::optional<std::string> current;
        const bool same = ::stat(target.c_str(), &now) == 0 && std::to_string(now.st_dev) == f[5] &&
                          std::to_string(now.st_ino) == f[6] && (current = platform::readWholeFile(target));
        const RewriteTrace::State state =
            same && trace ? trace->classify(*current) : RewriteTrace::State::Foreign;
        if (state == RewriteTrace::State::Foreign) {
            report.leftAlone.emplace_back(target, keepSource(folder, source));
            ::unlink(record.c_str());
            return;
        }
        if (state == RewriteTrace::State::After) {
            // The write had ended; only its note was still to go.
            if (removeSource || inside(folder, source)) ::unlink(source.c_str());
            ::unlink(record.c_str());
            return;
        }
    }
    if (!copyBack(target, source, mode)) {
        report.failed.push_back(target);
        return;  // the note stays for the next start
    }
    if (removeSource || inside(folder, source)) ::unlink(source.c_str());
    ::unlink(record.c_str());
    report.restored.push_back(target);
}

void removeLoggedTemps(const std::string& log) {
    std::optional<std::string> bytes = platform::readWholeFile(log);
    if (bytes)
        for (const std::string& name : fieldsOf(*bytes)) {
            // Only names of the writer's own form are ever logged; check again before deleting.
            const std::string base = name.substr(name.rfind('/') + 1);
            if (base.size() > 1 && base[0] == '.' && base.find(".vsr-") != std::string::npos) ::unlink(name.c_str());
        }
    ::unlink(log.c_str());
}

}  // namespace

std::string recoveryFolder() {
    std::string state;
    if (const char* x = std::getenv("XDG_STATE_HOME"); x && *x == '/') state = x;
    else if (const char* h = std::getenv("HOME"); h && *h) state = std::string(h) + "/.local/state";
    else return {};
    const std::string folder = state + "/Vantix Search & Replace/recovery";
    return makeJournalFolders(folder) ? folder : std::string();
}

RecoveryRecord::~RecoveryRecord() {
    // A record that was never finished stays: its write may be half done.
}

bool RecoveryRecord::write(const std::string& relativeTarget, const std::string& relativeSource, bool removeSource,
                           unsigned mode, std::string_view oldBytes, std::string_view newBytes) {
    const std::string folder = recoveryFolder();
    const std::string target = absolute(relativeTarget);
    const std::string source = absolute(relativeSource);
    if (folder.empty() || target.empty() || source.empty()) return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return false;
    char octal[16];
    std::snprintf(octal, sizeof octal, "%o", mode & 07777);
    const std::string dev = std::to_string(st.st_dev);
    const std::string ino = std::to_string(st.st_ino);
    const std::string trace = RewriteTrace::of(oldBytes, newBytes).encode();
    std::string text;
    for (std::string_view field : {kMagic, std::string_view(target), std::string_view(source),
                                   std::string_view(removeSource ? "1" : "0"), std::string_view(octal),
                                   std::string_view(dev), std::string_view(ino), std::string_view(trace), kEnd}) {
        text += field;
        text += '\0';
    }
    if (base_.empty()) base_ = uniqueName("");
    recordPath_ = folder + "/" + base_ + ".rec";
    if (!writeDurably(recordPath_, text, 0600)) {
        recordPath_.clear();
        return false;
    }
    platform::flushFolder(folder);
    return true;
}

bool RecoveryRecord::beginWithCopy(const std::string& target, std::string_view oldBytes, std::string_view newBytes,
                                   unsigned mode) {
    const std::string folder = recoveryFolder();
    if (folder.empty()) return false;
    base_ = uniqueName("");
    ownCopy_ = folder + "/" + base_ + ".old";
    if (!writeDurably(ownCopy_, oldBytes, 0600)) {
        ownCopy_.clear();
        return false;
    }
    if (write(target, ownCopy_, false, mode, oldBytes, newBytes)) return true;
    ::unlink(ownCopy_.c_str());
    ownCopy_.clear();
    return false;
}

bool RecoveryRecord::beginWithSource(const std::string& target, const std::string& source, bool removeSource,
                                     std::string_view oldBytes, std::string_view newBytes, unsigned mode) {
    return write(target, source, removeSource, mode, oldBytes, newBytes);
}

void RecoveryRecord::finish() {
    if (!recordPath_.empty()) ::unlink(recordPath_.c_str());
    if (!ownCopy_.empty()) ::unlink(ownCopy_.c_str());
    recordPath_.clear();
    ownCopy_.clear();
    base_.clear();
}

TempNameLog::~TempNameLog() { clear(); }

bool TempNameLog::add(const std::string& path) {
    if (fd_ < 0) {
        const std::string folder = recoveryFolder();
        if (folder.empty()) return false;
        path_ = folder + "/" + uniqueName(".tmp");
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
        if (fd_ < 0) return false;
    }
    // No flush: a kill keeps what was written, and after a power failure a leftover name is
    // only a stray copy of new contents, never a loss.
    std::string line = absolute(path);
    if (line.empty()) return false;
    line += '\0';
    return platform::writeAllTo(fd_, line);
}

void TempNameLog::clear() {
    if (fd_ < 0) return;
    ::close(fd_);
    ::unlink(path_.c_str());
    fd_ = -1;
}

RecoveryReport recoverInterruptedWrites() {
    RecoveryReport report;
    const std::string folder = recoveryFolder();
    if (folder.empty()) return report;
    DIR* d = ::opendir(folder.c_str());
    if (!d) return report;
    std::vector<std::string> records, logs;
    while (struct dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (running(writerOf(name))) continue;
        auto endsWith = [&](std::string_view s) {
            return name.size() > s.size() && name.compare(name.size() - s.size(), s.size(), s) == 0;
        };
        if (endsWith(".rec")) records.push_back(folder + "/" + name);
        else if (endsWith(".tmp")) logs.push_back(folder + "/" + name);
        else if (endsWith(".old") && writerOf(name) != 0) {
            // A copy whose note was never written: its file was never touched.
            const std::string rec = name.substr(0, name.size() - 4) + ".rec";
            struct stat st {};
            if (::stat((folder + "/" + rec).c_str(), &st) != 0) ::unlink((folder + "/" + name).c_str());
        }
    }
    ::closedir(d);
    for (const std::string& log : logs) removeLoggedTemps(log);
    for (const std::string& record : records) recoverRecord(folder, record, report);
    return report;
}

std::string recoveryMessage(const RecoveryReport& report) {
    std::string text;
    if (!report.restored.empty()) {
        text += "A run that was interrupted left files half rewritten; these were put back as they were saved:";
        for (const std::string& p : report.restored) text += "\n" + p;
    }
    if (!report.failed.empty()) {
        if (!text.empty()) text += "\n\n";
        text += "A run that was interrupted left files half rewritten, and these could not be put back:";
        for (const std::string& p : report.failed) text += "\n" + p;
    }
    if (!report.leftAlone.empty()) {
        if (!text.empty()) text += "\n\n";
        text += "A run that was interrupted was rewriting these files, which were changed since; they were left as "
                "they are, and their contents from before the run are kept in:";
        for (const auto& [file, kept] : report.leftAlone) text += "\n" + file + "  (as it was: " + kept + ")";
    }
    return text;
}

}  // namespace vsr::durable
