// The PDF reader runs as a child process: whatever it does (reads a PDF, fails on a damaged one,
// crashes, writes without end, hangs, spins) the search gets the text or a status text, at once
// on Stop, and no child is left behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "containers/document_text.h"
#include "containers/helper_program.h"
#include "containers/pdf_helper_protocol.h"
#include "support/container_fixtures.h"
#include "support/temp_dir.h"

namespace vsr::containers {
namespace {

// True when this process has no child, running or unreaped.
bool noChildLeft() { return ::waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD; }

TEST(PdfHelper, EveryEndOfTheReaderIsItsTextOrAStatus) {
    test::TempDir dir;
    const std::string d = dir.str();
    ASSERT_TRUE(test::makeDocumentFixtures(d));
    dir.write("damaged.pdf", "%PDF-1.4\n" + std::string(300, 'x'));
    const std::string reader = helperProgram(kPdfHelperName);
    ASSERT_FALSE(reader.empty()) << "the PDF reader is built beside the tests";
    // Stand-ins for the reader, doing what a hostile PDF might make it do.
    const auto script = [&](const char* name, const std::string& body) {
        const std::string path = dir.write(name, "#!/bin/sh\n" + body + "\n").string();
        ::chmod(path.c_str(), 0755);
        return path;
    };
    ReadLimits small;
    small.memberBytes = 1000;
    using Clock = std::chrono::steady_clock;
    struct Case {
        const char* what;
        std::string helper, pdf;
        ReadLimits limits;
        int stopAfterMs;  // -1: no Stop
        ReadEnd end;
        const char* status;
        const char* text;  // nullptr: not checked
    };
    const Case cases[] = {
        {"good PDF", reader, "hello.pdf", {}, -1, ReadEnd::Whole, "", "Hello PDF world\nsecond line\n"},
        {"damaged PDF", reader, "damaged.pdf", {}, -1, ReadEnd::Failed, "PDF damaged", ""},
        {"text over the limit", reader, "hello.pdf", [] { ReadLimits l; l.memberBytes = 20; return l; }(), -1,
         ReadEnd::Cut, "cut off at the limit of 20 bytes", "Hello PDF world\n"},
        {"killed by a signal", script("segv.sh", "printf 'half a page\\n'; kill -SEGV $$"), "hello.pdf", {}, -1,
         ReadEnd::Failed, "PDF reader crashed", nullptr},
        {"writes too much", script("yes.sh", "exec yes 'a line of text'"), "hello.pdf", small, -1, ReadEnd::Cut,
         "cut off at the limit of 1000 bytes", nullptr},
        {"an unknown exit", script("exit.sh", "exit 9"), "hello.pdf", {}, -1, ReadEnd::Failed, "exit status 9", ""},
        {"Stop mid-file", script("hang.sh", "printf 'first\\n'; exec sleep 30"), "hello.pdf", {}, 200,
         ReadEnd::Stopped, "", nullptr},
        {"Stop after its output closed", script("linger.sh", "exec >&-; exec sleep 30"), "hello.pdf", {}, 200,
         ReadEnd::Stopped, "", nullptr},
        {"processor time", script("spin.sh", "while :; do :; done"), "hello.pdf", {}, -1, ReadEnd::Failed,
         "more than 1 s of processor time", ""},
        {"no reader", "", "hello.pdf", {}, -1, ReadEnd::Failed, "not found beside the program", ""},
        {"reader not startable", d + "/hello.pdf", "hello.pdf", {}, -1, ReadEnd::Failed, "could not be started", ""},
    };
    for (const Case& c : cases) {
        const int fd = ::open((d + "/" + c.pdf).c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0) << c.what;
        struct stat st {};
        ::fstat(fd, &st);
        std::atomic<bool> stop = false;
        std::thread stopper;
        if (c.stopAfterMs >= 0) {
            stopper = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(c.stopAfterMs));
                stop = true;
            });
        }
        std::string text;
        const Clock::time_point start = Clock::now();
        const ReadOutcome out =
            pdfTextThrough(c.helper, fd, static_cast<std::uint64_t>(st.st_size), c.limits, stop, text, 1);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (stopper.joinable()) stopper.join();
        ::close(fd);
        EXPECT_EQ(out.end, c.end) << c.what << ": " << out.status;
        EXPECT_NE(out.status.find(c.status), std::string::npos) << c.what << ": " << out.status;
        if (c.text) {
            EXPECT_EQ(text, c.text) << c.what;
        }
        // Text cut at a limit ends at a whole line within it.
        EXPECT_LE(text.size(), c.limits.memberBytes) << c.what;
        if (out.end == ReadEnd::Cut) {
            EXPECT_TRUE(!text.empty() && text.back() == '\n') << c.what;
        }
        // The hanging ones would take 30 s; killed, they are gone at once.
        EXPECT_LT(seconds, 10) << c.what;
        EXPECT_TRUE(noChildLeft()) << c.what;
    }
}

// A member's bytes reach the reader as a memory file: the text is the text of the file on disk.
TEST(PdfHelper, BytesInMemoryReadAsTheFile) {
    test::TempDir dir;
    ASSERT_TRUE(test::makeDocumentFixtures(dir.str()));
    const std::atomic<bool> stop = false;
    std::string fromFile, fromBytes;
    EXPECT_EQ(documentFileText(dir.str() + "/hello.pdf", ReadLimits{}, stop, fromFile).end, ReadEnd::Whole);
    EXPECT_EQ(pdfText(test::readFile(dir.path() / "hello.pdf"), ReadLimits{}, stop, fromBytes).end, ReadEnd::Whole);
    EXPECT_EQ(fromBytes, fromFile);
    EXPECT_EQ(fromFile, "Hello PDF world\nsecond line\n");
}

}  // namespace
}  // namespace vsr::containers
