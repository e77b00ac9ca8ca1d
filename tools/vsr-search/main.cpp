// vsr-search: runs one search through the engine without a window and prints the rows.
#include <chrono>
#include <ctime>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "console_host.h"
#include "lines_output.h"
#include "modify_run.h"
#include "engine/decode/file_encoding.h"
#include "engine/index/index_store.h"
#include "engine/search/search_driver.h"
#include "platform/attribute_changer.h"
#include "platform/clock.h"
#include "platform/locale_formats.h"
#include "platform/posix_file_system.h"
#include "durable/recovery_journal.h"
#include "platform/standard_descriptors.h"
#include "platform/type_names.h"
#include "results/saved_list.h"
#include "search_options.h"

namespace {

// CPU seconds of every thread of the process so far: steadier than wall time on a busy machine.
double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vsr;
    platform::openMissingStandardDescriptors();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args.front() == "--version") {
        std::fputs("vsr-search (Vantix Search & Replace) " VSR_VERSION "\n", stdout);
        return 0;
    }
    const char* home = std::getenv("HOME");
    tools::SearchOptions options = tools::parseSearchOptions(args, home ? home : "/");
    if (options.help) {
        std::fputs(tools::searchUsage(), stdout);
        std::fputs(tools::modifyUsage(), stdout);
        std::fputs(tools::reportUsage(), stdout);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "vsr-search: %s\n%s", options.error.c_str(), tools::searchUsage());
        return 2;
    }
    // Files a killed run left half rewritten are put back before anything reads them.
    const durable::RecoveryReport recovered = durable::recoverInterruptedWrites();
    if (!recovered.empty()) std::fprintf(stderr, "vsr-search: %s\n", durable::recoveryMessage(recovered).c_str());
    // Rows go out in large blocks; the benchmark prints tens of thousands of them.
    static char outBuffer[1 << 20];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);

    platform::PosixFileSystem fs;
    platform::SteadyClock clock;
    platform::PosixLocaleFormats formats;
    platform::NoTypeNames typeNames;
    tools::ConsoleHost host(stdout, stderr);
    host.printRows = !options.modify.modify;
    host.names.nullAfterName = options.nullAfterNames;
    if (options.encodings) host.chosenEncoding = engine::fileEncodingName(engine::FileEncoding::ofPage(options.conditions.textEncoding));
    options.modify.names = host.names;
    // Printed rows name the file and its count only; what else reads the rows needs their
    // sizes, times and attributes.
    const bool rowInfo = options.modify.modify || options.lines || !options.listFile.empty() ||
                         tools::pagesRequested(options.report);
    engine::SearchDriver driver({fs, clock, formats, typeNames, rowInfo}, host);
    driver.setThreads(options.threads);
    options.modify.threads = options.threads;

    // A dry run modifies each listed file while the search holds its bytes, and prints its diff
    // the moment the row is listed.
    std::unique_ptr<tools::ListedDryRun> dryRun;
    // A review asks about the files once they are all listed.
    if (options.modify.modify && options.modify.dryRun && !options.modify.review) {
        dryRun = std::make_unique<tools::ListedDryRun>(stdout, options.conditions, options.modify,
                                                       engine::SearchEnv{fs, clock, formats, typeNames}, host);
        driver.setListedFileStep(&dryRun->step());
        if (dryRun->begin())
            host.onRowListed = [&](std::size_t row) {
                host.inModification = true;
                dryRun->rowListed(row);
                host.inModification = false;
            };
    }

    auto start = std::chrono::steady_clock::now();
    const double startCpu = processCpuSeconds();
    // The index is a cache: one that is missing, damaged or someone else's is built again, and
    // a search goes on without it when even that fails.
    std::optional<engine::index::IndexStore> indexStore;
    std::unique_ptr<engine::index::IndexReader> indexReader;
    std::unique_ptr<engine::IndexSkip> indexSkip;
    if (options.index) {
        engine::SearchConditions& c = options.conditions;
        if (c.path.size() > 1 && c.path.back() == '/') c.path.pop_back();
        indexStore = engine::index::IndexStore::forRoot(c.path, engine::TextReading::of(c));
        if (indexStore) {
            engine::index::IndexState state;
            indexReader = indexStore->open(state);
            if (!indexReader) {
                std::fprintf(stderr, "vsr-search: %s\n", engine::index::rebuildReason(state).c_str());
                const auto buildStart = std::chrono::steady_clock::now();
                const double buildCpu = processCpuSeconds();
                engine::index::BuildCounts made;
                if (indexStore->rebuild(fs, clock, c.path, &made)) indexReader = indexStore->open(state);
                std::fprintf(stderr, "index: built files=%llu known=%llu text_bytes=%llu ms=%lld cpu_ms=%lld\n",
                             static_cast<unsigned long long>(made.files), static_cast<unsigned long long>(made.known),
                             static_cast<unsigned long long>(made.textBytes),
                             static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                        std::chrono::steady_clock::now() - buildStart)
                                                        .count()),
                             static_cast<long long>((processCpuSeconds() - buildCpu) * 1000));
            }
        }
        if (indexReader) {
            indexSkip = std::make_unique<engine::IndexSkip>(indexReader->view(), c.path);
            indexSkip->useListings(engine::index::listingsFileFor(indexStore->file()));
            driver.setIndexSkip(indexSkip.get());
        }
    }
    driver.FindButtonClick(options.conditions, tools::reportRunOptions(options.report));
    int modifyStatus = 0;
    // A message of the search is an input error (2); one the modification shows ended it with
    // files left as they were, which is the modification's failure (3).
    const std::size_t searchMessages = host.messages - host.modificationMessages;
    if (options.modify.modify) {
        host.onRowListed = nullptr;
        modifyStatus = tools::runModification(stdout, options.conditions, options.modify, {fs, clock, formats, typeNames},
                                              host, dryRun.get());
        if (host.messages > searchMessages) modifyStatus = 3;
    }
    const std::size_t runMessages = host.messages;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    const auto cpuMs = static_cast<long long>((processCpuSeconds() - startCpu) * 1000);
    if (options.lines) tools::printLinesViewer(stdout, options.conditions, {fs, clock, formats, typeNames}, host, host.names);
    // Rows and lines that never reached standard output (a full disk) make a failed run, not a
    // successful one. A dry run looks at each write of its diff itself and says so.
    errno = 0;
    const bool outputFailed = (std::fflush(stdout) != 0 || std::ferror(stdout)) && !options.modify.dryRun;
    const int outputError = errno;
    std::fprintf(stderr, "files=%lld occurrences=%lld ms=%lld cpu_ms=%lld\n", static_cast<long long>(host.state.foundFiles),
                 static_cast<long long>(host.occurrences), static_cast<long long>(ms), cpuMs);
    if (outputFailed)
        std::fprintf(stderr, "vsr-search: cannot write the output: %s\n",
                     outputError != 0 ? std::strerror(outputError) : "a write to it failed");
    if (indexSkip) {
        const bool listingsSaved = indexSkip->saveListings();
        const engine::FolderCache* folders = indexSkip->folders();
        std::fprintf(stderr,
                     "index: files=%u candidates=%zu passed_over=%llu changed=%llu folders_taken=%zu "
                     "folders_read=%zu%s\n",
                     indexReader->view().fileCount(), indexSkip->candidates(),
                     static_cast<unsigned long long>(indexSkip->passedOver()),
                     static_cast<unsigned long long>(indexSkip->changedFiles()), folders ? folders->foldersTaken() : 0,
                     folders ? folders->foldersListed() : 0, listingsSaved ? " listings_saved" : "");
        // What the search found changed is indexed again now that its rows are out: only the
        // files that changed are read (a damaged index is built again whole).
        if (indexSkip->stale()) {
            const bool damaged = indexSkip->damaged();
            indexSkip.reset();
            indexReader.reset();
            engine::index::BuildCounts made;
            const bool written = damaged ? indexStore->rebuild(fs, clock, options.conditions.path, &made)
                                         : indexStore->refresh(fs, clock, options.conditions.path, &made);
            if (written)
                std::fprintf(stderr, "index: refreshed files=%llu kept=%llu read=%llu\n",
                             static_cast<unsigned long long>(made.files), static_cast<unsigned long long>(made.kept),
                             static_cast<unsigned long long>(made.files - made.kept));
            else
                std::fprintf(stderr, "vsr-search: the index could not be written to %s\n", indexStore->file().c_str());
        }
    }
    if (!options.listFile.empty()) {
        platform::PosixAttributeChanger attributes;
        results::SavedListOptions list;
        list.textEncoding = options.conditions.textEncoding;
        if (!results::writeSavedList(options.listFile, results::savedListText(host.list, list), attributes)) {
            std::fprintf(stderr, "vsr-search: cannot write the list file %s\n", options.listFile.c_str());
            return 2;
        }
    }
    if (!tools::writeRequestedPages(stderr, options.report, options.conditions, {fs, clock, formats, typeNames}, host))
        return 2;
    if (searchMessages > 0 || host.messages > runMessages) return 2;
    if (modifyStatus != 0) return modifyStatus;
    if (outputFailed || host.unsearched > 0) return 3;
    return host.list.empty() ? 1 : 0;
}
