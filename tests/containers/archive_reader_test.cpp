// Archives made by Python's zipfile and tarfile and by gzip are read back member by member: the
// joined paths and bytes equal what was packed, hostile names stay inside, bombs end at the limits.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "containers/archive_reader.h"
#include "support/temp_dir.h"

namespace vsr::containers {
namespace {

struct Recorder : ContainerVisitor {
    std::map<std::string, std::string> bytes;
    std::vector<std::string> statuses;
    void member(const Member& m, MemberContent& content) override {
        if (m.kind != MemberKind::File) return;
        content.read(bytes[m.path]);
    }
    void status(const std::string& path, const std::string& text) override { statuses.push_back(path + ": " + text); }
};

void python(const std::string& script) {
    ASSERT_EQ(std::system(("python3 -c '" + script + "'").c_str()), 0) << script;
}

TEST(ArchiveReader, MembersEqualWhatWasPacked) {
    test::TempDir dir;
    const std::string d = dir.str();
    struct Case { std::string name, script; std::map<std::string, std::string> expected; };
    const std::vector<Case> cases = {
        {"a.zip", "import zipfile; z=zipfile.ZipFile(\"" + d + "/a.zip\",\"w\",zipfile.ZIP_DEFLATED); "
                  "z.writestr(\"src/main.c\",\"int main;\\n\"); z.writestr(\"../../etc/evil\",\"x\"); z.close()",
         {{d + "/a.zip/src/main.c", "int main;\n"}, {d + "/a.zip/etc/evil", "x"}}},
        {"t.tar.gz", "import tarfile,io; t=tarfile.open(\"" + d + "/t.tar.gz\",\"w:gz\"); b=b\"hello\"*1000; "
                     "i=tarfile.TarInfo(\"/abs/one.txt\"); i.size=len(b); t.addfile(i,io.BytesIO(b)); t.close()",
         {{d + "/t.tar.gz/abs/one.txt", std::string(5000, ' ')}}},
        {"notes.txt.gz", "import gzip; open(\"" + d + "/notes.txt.gz\",\"wb\").write(gzip.compress(b\"note\\n\"))",
         {{d + "/notes.txt.gz/notes.txt", "note\n"}}},
    };
    std::string hello;
    for (int i = 0; i < 1000; ++i) hello += "hello";
    for (auto c : cases) {
        python(c.script);
        if (c.name == "t.tar.gz") c.expected.begin()->second = hello;
        Recorder r;
        std::atomic<bool> stop = false;
        const ArchiveEnd end = readArchive(d + "/" + c.name, ReadLimits{}, stop, r);
        EXPECT_TRUE(end.opened) << c.name;
        EXPECT_EQ(r.bytes, c.expected) << c.name;
        EXPECT_TRUE(r.statuses.empty()) << c.name << " " << (r.statuses.empty() ? "" : r.statuses[0]);
    }
}

TEST(ArchiveReader, BombIsCutAtTheMemberLimit) {
    test::TempDir dir;
    const std::string d = dir.str();
    python("import zipfile; z=zipfile.ZipFile(\"" + d + "/bomb.zip\",\"w\",zipfile.ZIP_DEFLATED); "
           "z.writestr(\"zeros\",b\"\\0\"*(50<<20)); z.close()");
    Recorder r;
    std::atomic<bool> stop = false;
    ReadLimits limits;
    limits.memberBytes = 1 << 20;
    readArchive(d + "/bomb.zip", limits, stop, r);
    EXPECT_EQ(r.bytes[d + "/bomb.zip/zeros"].size(), std::size_t{1} << 20);
    ASSERT_EQ(r.statuses.size(), 1u);
    EXPECT_NE(r.statuses[0].find("cut off"), std::string::npos) << r.statuses[0];
}

}  // namespace
}  // namespace vsr::containers
