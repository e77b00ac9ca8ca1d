// "Index this folder for fast searches": with it on, the window's searches list what they list
// without it, the index is built after the first one and used by the next, and a file changed
// meanwhile is found as it is now.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/index/index_build.h"
#include "engine/index/index_store.h"
#include "settings/key_paths.h"
#include "window_fixture.h"

namespace vsr::ui::test {
namespace {

std::vector<std::string> listedRows(TFind& w) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < w.results().count(); ++i) {
        const results::ResultItem& row = w.results().row(i);
        out.push_back(row.path + "/" + row.name + " " + row.found);
    }
    std::sort(out.begin(), out.end());
    return out;
}

void settleFiles() { std::this_thread::sleep_for(std::chrono::nanoseconds(engine::index::kSettleNs + 150'000'000)); }

TEST_F(WindowTest, AnIndexedFolderListsWhatAnUnindexedOneLists) {
    for (int i = 0; i < 30; ++i) files.write("f" + std::to_string(i) + ".txt", i % 5 ? "nothing here\n" : "a needle\n");
    settleFiles();
    std::vector<std::string> plain;
    {
        auto w = makeWindow(96, true);
        control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("needle"));
        search(*w, files.str());
        plain = listedRows(*w);
        w->close();
    }
    ASSERT_EQ(plain.size(), 6u);
    const auto index = engine::index::IndexStore::forRoot(files.str(), engine::TextReading{platform::CodePageId::Utf8,
                                                                                           platform::CodePageId::Windows1252});
    ASSERT_TRUE(index);
    EXPECT_FALSE(std::filesystem::exists(index->file())) << "off by default: no index is made";

    store.writeString(settings::kOptionsKey, "IndexFolderXPCh", "1");
    store.commit();
    storage.reset();
    auto w = makeWindow(96, true);
    control<QComboBox>(w, "FindEditComboBox")->setEditText(QStringLiteral("needle"));
    search(*w, files.str());
    EXPECT_EQ(listedRows(*w), plain);
    // Built on a thread after the search: the window goes on meanwhile.
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(index->file()); }, 10000));
    QTest::qWait(200);
    search(*w, files.str());
    EXPECT_EQ(listedRows(*w), plain);
    // The files without the word were passed over, and the status bar says so.
    EXPECT_EQ(statusPanel(*w, 1)->text(), QStringLiteral("Index used: 24 files passed over"));
    // A file changed under the index is searched as it is now.
    files.write("f1.txt", "now a needle too\n");
    search(*w, files.str());
    std::vector<std::string> now = plain;
    now.push_back(files.str() + "/f1.txt 1");
    std::sort(now.begin(), now.end());
    EXPECT_EQ(listedRows(*w), now);
    w->close();
}

}  // namespace
}  // namespace vsr::ui::test
