#include "search_options.h"

#include <optional>

#include "platform/file_read.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "engine/decode/file_encoding.h"
#include "engine/query/text_lines.h"

namespace vsr::tools {
namespace {

bool parseNumber(const std::string& text, long long& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && out >= 0;
}

bool parseDate(const std::string& text, platform::CivilDate& out) {
    int y = 0, m = 0, d = 0;
    char a = 0, b = 0;
    std::istringstream in(text);
    if (!(in >> y >> a >> m >> b >> d) || a != '-' || b != '-' || !in.eof()) return false;
    if (m < 1 || m > 12 || d < 1 || d > 31) return false;
    out = {y, m, d};
    return true;
}

}  // namespace

const char* searchUsage() {
    return "usage: vsr-search --path DIR [--masks TEXT] [--tab find|replace]\n"
           "                  [--type phrase|or|and|engine|multiline|regex]\n"
           "                  [--query TEXT | --query-file FILE] [--case] [--whole] [--no-subfolders] [--backups]\n"
           "                  [--dot-all] [--extended] [--each-line]   (regex: \".\" matches line ends, blanks\n"
           "                  ignored, each line searched on its own)\n"
           "                  [--size-min N | --size-max N] [--unit KB|MB] [--newer DAYS | --between YYYY-MM-DD YYYY-MM-DD]\n"
           "                  [--ignore-dirs FILE] [--ignore-subfolders-too] [--ignore-files FILE] [--gitignore]\n"
           "                  [--codepage utf-8|1252|1250|1251|8859-1|8859-15]\n"
           "                  [--fallback 1252|1250|1251|8859-1|8859-15|bytes] [--encodings]\n"
           "                  [--list-file FILE] [--lines] [--null] [--archives] [--index]\n"
           "                  [--threads N]   (threads that read and match files, and read and modify them\n"
           "                  ahead of the writes; 1 = single-threaded,\n"
           "                  default: one per processor)\n"
           "The code page defaults to the locale's: UTF-8 on a UTF-8 locale, else the matching page, else 1252.\n"
           "A file with a byte order mark (UTF-8, UTF-16 LE/BE, UTF-32 LE/BE) is read by its mark. Under UTF-8 a\n"
           "file that is not valid UTF-8 is read in the --fallback page (default: the one of the locale's\n"
           "language, 1251 for Cyrillic, 1250 for Central European, else 1252), or as bytes.\n"
           "--encodings adds a TAB and the file's encoding to each row.\n"
           "Prints one line per listed file: <full path><TAB><Found text>; then files=N occurrences=M ms=T cpu_ms=C\n"
           "on standard error (T: milliseconds of the run, C: CPU milliseconds of all its threads).\n"
           "A name holding a control character (a line feed, a tab) or beginning with '\"' is printed in double\n"
           "quotes with C escapes (\\n, \\t, \\\", \\\\, \\ooo); --null (-Z) prints every name as it is, followed by\n"
           "a NUL byte instead of the TAB (or line end) after it.\n"
           "--list-file FILE also writes the rows there as a text table.\n"
           "--archives (Find tab) searches inside archives and compressed files (zip, tar and its gz, bz2, xz,\n"
           "lzma, zstd and lz4 forms, 7z, cpio, notes.txt.gz), to three levels deep, and the text of documents\n"
           "(PDF, odt, ods, odp, docx, xlsx, pptx, epub); a member's path runs through its archive\n"
           "(/data/a.tar.gz/src/main.c). A member cut off at a limit (128 MiB per member, 1 GiB per archive,\n"
           "100 times the archive's size above 8 MiB) or passed over (encrypted, damaged) is named on standard\n"
           "error as a file not searched.\n"
           "--gitignore skips what the .gitignore and .ignore files of the walked folders and of the folders\n"
           "above it up to the top of its git work tree, and .git/info/exclude, ignore (git's rules: the last\n"
           "matching pattern wins, a deeper file before a shallower one); ignored folders are not entered,\n"
           "and .git never is.\n"
           "--index builds the content index of the folder when it has none (or a damaged one), searches\n"
           "with it, passing over the files it shows can't match, and indexes the folder again after the\n"
           "search when files changed; the rows are those of a search without it. The index lives in\n"
           "$XDG_CACHE_HOME/Vantix Search & Replace/index/; deleting it changes no result.\n"
           "--lines then prints, per row, \"== <full path>\" and its Lines Viewer entries:\n"
           "<index><TAB><text><TAB><offset>:<length> ...\n"
           "Exit status 0 when files were listed, 1 when none, 2 on an input error, 3 when the output could\n"
           "not be written (a full disk) or a file was left out unsearched (one larger than 2 GB - 1 bytes\n"
           "with a multiline query or a regex over the whole text, each named on standard error).\n";
}

bool readLines(const std::string& file, std::vector<std::string>& lines) {
    // Only a regular file is read: a folder or a FIFO named by mistake is an input error.
    std::optional<std::string> text = platform::readWholeFile(file);
    if (!text) return false;
    lines.clear();
    engine::LineCursor cursor(*text);
    std::string_view line;
    while (cursor.next(line)) lines.emplace_back(line);
    return true;
}

SearchOptions parseSearchOptions(const std::vector<std::string>& args, const std::string& home) {
    SearchOptions o;
    engine::SearchConditions& c = o.conditions;
    c = engine::formConditions(home);
    c.path.clear();
    c.textEncoding = platform::systemCodePage();
    c.fallbackEncoding = engine::systemFallbackPage();
    std::string type = "phrase";
    std::string query;
    bool haveQuery = false;
    std::vector<std::string> queryLines;
    bool haveQueryFile = false;
    bool sizeGiven = false;
    bool dateGiven = false;
    auto fail = [&](std::string message) {
        o.error = std::move(message);
        return o;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--path") {
            if (!value(c.path)) return fail("--path needs a folder");
        } else if (a == "--masks") {
            if (!value(c.masks)) return fail("--masks needs a text");
        } else if (a == "--tab") {
            if (!value(v)) return fail("--tab needs find or replace");
            if (v == "find") c.tab = engine::Tab::Find;
            else if (v == "replace") c.tab = engine::Tab::SearchAndReplace;
            else return fail("unknown tab: " + v);
        } else if (a == "--type") {
            if (!value(type)) return fail("--type needs a query type");
        } else if (a == "--query") {
            if (!value(query)) return fail("--query needs a text");
            haveQuery = true;
        } else if (a == "--query-file") {
            if (!value(v)) return fail("--query-file needs a file");
            if (!readLines(v, queryLines)) return fail("cannot read the query file " + v);
            haveQueryFile = true;
        } else if (a == "--case") {
            c.caseSensitive = true;
        } else if (a == "--whole") {
            c.wholeWords = true;
        } else if (a == "--dot-all") {
            c.dotMatchesAll = true;
        } else if (a == "--extended") {
            c.extendedSyntax = true;
        } else if (a == "--no-subfolders") {
            c.includeSubfolders = false;
        } else if (a == "--backups") {
            c.createBackups = true;
        } else if (a == "--size-min" || a == "--size-max") {
            if (sizeGiven) return fail("give only one of --size-min and --size-max");
            if (!value(v) || !parseNumber(v, c.sizeValue)) return fail(a + " needs a number");
            c.sizeFilter = true;
            c.sizeLimitKind = a == "--size-min" ? engine::SizeLimitKind::Minimum : engine::SizeLimitKind::Maximum;
            sizeGiven = true;
        } else if (a == "--unit") {
            if (!value(v)) return fail("--unit needs KB or MB");
            if (v == "KB") c.sizeUnit = engine::SizeUnit::KB;
            else if (v == "MB") c.sizeUnit = engine::SizeUnit::MB;
            else return fail("unknown unit: " + v);
        } else if (a == "--newer") {
            if (dateGiven) return fail("give only one of --newer and --between");
            if (!value(v) || !parseNumber(v, c.daysAgo)) return fail("--newer needs a number of days");
            c.dateFilter = true;
            c.dateLimitKind = engine::DateLimitKind::NewerThan;
            dateGiven = true;
        } else if (a == "--between") {
            if (dateGiven) return fail("give only one of --newer and --between");
            std::string from, to;
            if (!value(from) || !value(to) || !parseDate(from, c.minDate) || !parseDate(to, c.maxDate))
                return fail("--between needs two dates YYYY-MM-DD");
            if (c.maxDate < c.minDate) return fail("Invalid time limits");
            c.dateFilter = true;
            c.dateLimitKind = engine::DateLimitKind::Between;
            dateGiven = true;
        } else if (a == "--ignore-dirs") {
            if (!value(v) || !readLines(v, c.directoryIgnoreList)) return fail("cannot read the folder ignore list");
            c.ignoreDirectories = true;
        } else if (a == "--ignore-subfolders-too") {
            c.ignoreSubfoldersToo = true;
        } else if (a == "--ignore-files") {
            if (!value(v) || !readLines(v, c.fileIgnoreList)) return fail("cannot read the file ignore list");
            c.ignoreFiles = true;
        } else if (a == "--gitignore") {
            c.skipGitignored = true;
        } else if (a == "--list-file") {
            if (!value(o.listFile) || o.listFile.empty()) return fail("--list-file needs a file");
        } else if (a == "--threads") {
            long long n = 0;
            if (!value(v) || !parseNumber(v, n) || n < 1 || n > 64) return fail("--threads needs a number from 1 to 64");
            o.threads = static_cast<int>(n);
        } else if (a == "--lines") {
            o.lines = true;
        } else if (a == "--null" || a == "-Z") {
            o.nullAfterNames = true;
        } else if (a == "--codepage") {
            if (!value(v)) return fail("--codepage needs a code page");
            auto id = platform::parseCodePageName(v);
            if (!id) return fail("unknown code page: " + v);
            c.textEncoding = *id;
        } else if (a == "--fallback") {
            if (!value(v)) return fail("--fallback needs a code page or \"bytes\"");
            auto id = platform::parseCodePageName(v);
            if (v == "bytes") c.fallbackEncoding.reset();
            else if (id && *id != platform::CodePageId::Utf8) c.fallbackEncoding = *id;
            else return fail("unknown fallback code page: " + v);
        } else if (a == "--index") {
            o.index = true;
        } else if (a == "--archives") {
            c.searchArchives = true;
        } else if (a == "--encodings") {
            o.encodings = true;
        } else if (parseModifyOption(args, i, c, o.modify, v)) {
            if (!v.empty()) return fail(v);
        } else if (parseReportOption(args, i, o.report, v)) {
            if (!v.empty()) return fail(v);
        } else {
            return fail("unknown option: " + a);
        }
    }
    if (std::string e = finishModifyOptions(c, o.modify, type); !e.empty()) return fail(e);
    if (std::string e = finishReportOptions(o.report); !e.empty()) return fail(e);
    if (haveQuery && haveQueryFile) return fail("give only one of --query and --query-file");

    if (c.tab == engine::Tab::Find) {
        if (type == "phrase") c.queryType = engine::QueryType::Phrase;
        else if (type == "or") c.queryType = engine::QueryType::WordsOr;
        else if (type == "and") c.queryType = engine::QueryType::WordsAnd;
        else if (type == "engine") c.queryType = engine::QueryType::SearchEngine;
        else if (type == "multiline") c.queryType = engine::QueryType::Multiline;
        else if (type == "regex") c.queryType = engine::QueryType::RegExpr;
        else return fail("unknown query type: " + type);
        c.findText = query;
        c.findLines = haveQueryFile ? queryLines : (haveQuery ? std::vector<std::string>{query} : std::vector<std::string>{});
    } else {
        if (type == "phrase") c.searchType = engine::SearchType::Phrase;
        else if (type == "multiline") c.searchType = engine::SearchType::Multiline;
        else if (type == "regex") c.searchType = engine::SearchType::RegExpr;
        else return fail("the Search and Replace tab takes phrase, multiline or regex, not " + type);
        c.searchText = query;
        c.searchLines = haveQueryFile ? queryLines : (haveQuery ? std::vector<std::string>{query} : std::vector<std::string>{});
    }
    return o;
}

}  // namespace vsr::tools
