#include "modify_options.h"

#include <charconv>

#include "search_options.h"

namespace vsr::tools {
namespace {

bool parseLineNumber(std::string_view text, std::int32_t& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && out >= -1;
}

bool parseInterval(const std::string& text, results::ModificationInterval& out) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) return false;
    if (!parseLineNumber(std::string_view(text).substr(0, colon), out.from) ||
        !parseLineNumber(std::string_view(text).substr(colon + 1), out.to))
        return false;
    // Exactly one side at -1 is no interval the window can make.
    return (out.from == -1) == (out.to == -1);
}

}  // namespace

const char* modifyUsage() {
    return "       vsr-search ... --modify replace|clear|before|after|delete [--replace TEXT | --replace-file FILE]\n"
           "                  [--separator windows|unix|mac] [--read-only-ok] [--hidden-ok] [--interval FROM:TO]\n"
           "                  [--review] [--undo-after | --dry-run]\n"
           "--modify searches on the Search and Replace tab, runs Modify All and prints\n"
           "<full path><TAB><Found text><TAB><Result> per row; --undo-after then runs Undo and prints\n"
           "the rows again. --interval gives every row that interval (0 = top or bottom, -1:-1 = none);\n"
           "a regex honours it with --each-line (\"Search within Each Single Line\").\n"
           "--dry-run changes nothing on disk and prints instead the unified diff of every file that\n"
           "would change (names relative to --path), which `patch -p1` applies to a copy of the folder;\n"
           "a file with a NUL byte is listed as \"Binary files a/NAME and b/NAME differ\".\n"
           "--review shows each replacement on standard error as a small diff (\"?\" lines mark the change)\n"
           "and reads one answer per replacement from standard input (the terminal, or a pipe): y keep,\n"
           "n leave the match as it is, a keep the rest of this file, d leave the rest of this file,\n"
           "q leave the rest and stop; the end of the input is q. Then the kept replacements are written\n"
           "as any modification writes them; a file with none kept is \"Left Unchanged\", files after q\n"
           "keep \"Found\". With --dry-run the diff of the kept replacements only is printed (patch -p1).\n"
           "Exit status 3 when a file failed (or with --dry-run would fail) to be modified or restored, when\n"
           "a message ended the modification (the files not reached are left as they were), and when the\n"
           "output (the rows, or the diff of --dry-run) could not be written.\n";
}

bool parseModifyOption(const std::vector<std::string>& args, std::size_t& i, engine::SearchConditions& c,
                       ModifyRequest& r, std::string& error) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
        if (i + 1 >= args.size()) return false;
        out = args[++i];
        return true;
    };
    std::string v;
    if (a == "--modify") {
        if (!value(v)) error = "--modify needs replace, clear, before, after or delete";
        else if (v == "replace") c.modificationType = engine::ModificationType::Replace;
        else if (v == "clear") c.modificationType = engine::ModificationType::Clear;
        else if (v == "before") c.modificationType = engine::ModificationType::InsertBefore;
        else if (v == "after") c.modificationType = engine::ModificationType::InsertAfter;
        else if (v == "delete") c.modificationType = engine::ModificationType::Delete;
        else error = "unknown modification type: " + v;
        r.modify = true;
    } else if (a == "--replace") {
        if (!value(c.replaceText)) error = "--replace needs a text";
        c.replaceLines = {c.replaceText};
    } else if (a == "--replace-file") {
        if (!value(v) || !readLines(v, c.replaceLines)) error = "cannot read the replacement file " + v;
        c.replaceText = c.replaceLines.empty() ? std::string() : c.replaceLines.front();
    } else if (a == "--separator") {
        if (!value(v)) error = "--separator needs windows, unix or mac";
        else if (v == "windows") r.options.separator = engine::LineSeparator::Windows;
        else if (v == "unix") r.options.separator = engine::LineSeparator::Unix;
        else if (v == "mac") r.options.separator = engine::LineSeparator::Macintosh;
        else error = "unknown line separator: " + v;
    } else if (a == "--read-only-ok") {
        r.options.replaceReadOnly = true;
    } else if (a == "--hidden-ok") {
        r.options.replaceHidden = true;
    } else if (a == "--interval") {
        if (!value(v) || !parseInterval(v, r.interval)) error = "--interval needs FROM:TO line numbers";
        r.intervalGiven = true;
        c.phraseIntervals = true;
        c.regExprIntervals = true;
    } else if (a == "--each-line") {
        c.eachLineSeparately = true;
    } else if (a == "--undo-after") {
        r.undoAfter = true;
    } else if (a == "--dry-run") {
        r.dryRun = true;
    } else if (a == "--review") {
        r.review = true;
    } else {
        return false;
    }
    return true;
}

std::string finishModifyOptions(engine::SearchConditions& c, const ModifyRequest& r, const std::string& type) {
    if (!r.modify) {
        if (r.undoAfter || r.intervalGiven || r.dryRun || r.review)
            return "--undo-after, --interval, --dry-run and --review need --modify";
        return {};
    }
    if (c.tab == engine::Tab::Find && type != "phrase" && type != "multiline" && type != "regex")
        return "--modify takes phrase, multiline or regex, not " + type;
    if (r.dryRun && r.undoAfter) return "--dry-run writes nothing, so there is nothing to undo";
    c.tab = engine::Tab::SearchAndReplace;
    if (type == "regex" && c.modificationType == engine::ModificationType::Clear)
        return "Clear is not offered for regular expressions";
    return {};
}

}  // namespace vsr::tools
