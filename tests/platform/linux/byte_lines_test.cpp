#include <gtest/gtest.h>

#include <functional>

#include "platform/linux/byte_lines.h"

namespace vsr::platform {
namespace {

// What the field gives back after the user's edit, for a list shown from `bytes`.
struct Case {
    const char* what;
    std::string bytes;
    // The field's text turned into the edited one; "\uFFFD" stands for a byte that is no UTF-8.
    std::function<QString(QString)> edit;
    std::string expected;
};

TEST(ByteLines, LinesLeftAsTheyWereKeepTheirBytes) {
    const std::string bad = "inv\xFF" "alid.txt";
    const std::string other = "inv\xFE" "alid.txt";  // shown exactly like `bad`
    const Case cases[] = {
        {"untouched", bad + "\n*.bak\n\xC3\xBC*.txt", [](QString t) { return t; }, bad + "\n*.bak\n\xC3\xBC*.txt"},
        {"a line added", bad, [](QString t) { return t + QStringLiteral("\n*.o"); }, bad + "\n*.o"},
        {"lines moved", bad + "\n*.bak",
         [](QString t) {
             QStringList l = t.split(QLatin1Char('\n'));
             return l[1] + QLatin1Char('\n') + l[0];
         },
         "*.bak\n" + bad},
        {"two alike in order", bad + "\n" + other, [](QString t) { return t; }, bad + "\n" + other},
        {"an edited line is UTF-8", bad,
         [](QString t) { return t.replace(QStringLiteral(".txt"), QStringLiteral(".md")); },
         "inv\xEF\xBF\xBD" "alid.md"},
        {"emptied", bad, [](QString) { return QString(); }, ""},
    };
    for (const Case& c : cases) {
        ByteLines lines;
        const QString shown = lines.show(c.bytes);
        EXPECT_EQ(lines.bytesOf(c.edit(shown)), c.expected) << c.what;
    }
    // A line put in from elsewhere is remembered too.
    ByteLines lines;
    QString text = lines.show("/tmp");
    text += QLatin1Char('\n') + lines.shown("/srv/d\xFF");
    EXPECT_EQ(lines.bytesOf(text), "/tmp\n/srv/d\xFF");
}

}  // namespace
}  // namespace vsr::platform
