#include "settings/recent_projects.h"

#include "settings_fixture.h"

namespace vsr::settings::test {
namespace {

TEST_F(SettingsTest, RecentProjectsReadBackAsWrittenAndAHandEditedListIsTamed) {
    const std::vector<std::string> list = {"/a.vsr", "/b b.vsr", "/c.vsr"};
    saveRecentProjects(store, list);
    ASSERT_TRUE(store.commit());
    EXPECT_EQ(loadRecentProjects(store), list);
    EXPECT_EQ(option("RecentProjectsCountV"), "3");

    // A shorter list leaves no stale item readable in the file.
    saveRecentProjects(store, {"/z.vsr"});
    ASSERT_TRUE(store.commit());
    EXPECT_EQ(option("RecentProjects1"), "");

    struct Case {
        const char* count;
        std::vector<std::string> items;
        std::vector<std::string> loaded;
    } cases[] = {
        {"2", {"/x.vsr", "/y.vsr", "/z.vsr"}, {"/x.vsr", "/y.vsr"}},
        {"not a number", {"/x.vsr"}, {}},
        {"-4", {"/x.vsr"}, {}},
        {"3", {"/x.vsr", "", "/x.vsr"}, {"/x.vsr"}},  // empty and repeated items are dropped
        {"99", {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, {"0", "1", "2", "3", "4", "5", "6", "7"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        platform::MemorySettingsStore hand;
        hand.put(kOptionsKey, "RecentProjectsCountV", c.count);
        for (std::size_t i = 0; i < c.items.size(); ++i)
            hand.put(kOptionsKey, "RecentProjects" + std::to_string(i), c.items[i]);
        EXPECT_EQ(loadRecentProjects(hand), c.loaded);
    }
}

TEST(RecentProjectList, MovesAPathToTheTopOnceAndKeepsEight) {
    std::vector<std::string> list;
    for (int i = 0; i < 10; ++i) list = withRecentProject(list, std::to_string(i));
    EXPECT_EQ(list, (std::vector<std::string>{"9", "8", "7", "6", "5", "4", "3", "2"}));
    list = withRecentProject(list, "5");
    EXPECT_EQ(list, (std::vector<std::string>{"5", "9", "8", "7", "6", "4", "3", "2"}));
    EXPECT_EQ(withoutRecentProject(list, "9").size(), 7u);
}

}  // namespace
}  // namespace vsr::settings::test
