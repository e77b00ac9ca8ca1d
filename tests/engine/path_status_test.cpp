// The path panel names the folder or file the walk is at, but the host shows it at most once
// per pass of its message loop: the walk tells it every few milliseconds, not for every file.
#include <gtest/gtest.h>

#include <chrono>

#include "engine/search/file_walk.h"
#include "platform/fake_file_system.h"
#include "platform/locale_formats.h"
#include "platform/type_names.h"

namespace vsr::engine {
namespace {

class CountingExaminer final : public FileExaminer {
public:
    explicit CountingExaminer(SearchRun& run) : run_(run) {}
    void examine(const SharedFolder&, platform::DirEntry&, const platform::FolderRef&) override {
        ++files;
        run_.completeSlot();
    }
    int files = 0;

private:
    SearchRun& run_;
};

TEST(PathStatus, TheWalkNamesAFewFilesAndFoldersNotEach) {
    platform::FakeFileSystem fs;
    platform::FakeClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    fs.addDirectory("/data");
    constexpr int kFolders = 20, kFiles = 200;
    for (int d = 0; d < kFolders; ++d) {
        fs.addDirectory("/data/d" + std::to_string(d));
        for (int f = 0; f < kFiles; ++f) fs.addFile("/data/d" + std::to_string(d) + "/f" + std::to_string(f), "x");
    }
    const SearchConditions conditions = formConditions("/data");
    std::atomic<bool> stop = false;
    OrderedOutput output(1u << 20);
    SearchRun run(conditions, {fs, clock, formats, types}, stop, output);
    run.masks() = parseMasks(conditions.masks).list;
    CountingExaminer examiner(run);
    const WalkFilters filters(conditions, {}, clock.now());
    FileWalk walk(run, examiner, filters);
    const auto start = std::chrono::steady_clock::now();
    walk.walkDirectory("/data");
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    run.completeSlot();
    output.finish();
    ASSERT_EQ(examiner.files, kFolders * kFiles);

    std::vector<std::unique_ptr<EventSlot>> slots;
    while (output.take(slots, std::chrono::milliseconds(0))) {
    }
    int told = 0;
    std::string first;
    for (const auto& slot : slots)
        for (const SearchEvent& e : slot->events()) {
            const bool path = e.kind == SearchEvent::Kind::FileStatus ||
                              (e.kind == SearchEvent::Kind::Status && e.panel == kPathPanel);
            if (!path) continue;
            if (told++ == 0) first = e.kind == SearchEvent::Kind::FileStatus ? *e.folder + "/" + e.text : e.text;
        }
    // The first thing the walk reaches is shown at once; after it, one status per 5 ms at most
    // (the coarse clock it reads moves in steps of a few milliseconds).
    EXPECT_EQ(first, "/data/d0");
    EXPECT_GE(told, 1);
    EXPECT_LE(told, 3 + ms.count() / 5) << "in " << ms.count() << " ms";
}

}  // namespace
}  // namespace vsr::engine
