#include "project/command_line.h"

#include <filesystem>

#include "text/utf8.h"

namespace vsr::project {

namespace {

// The longest one-line text and the longest line of a multi-line text the fields take.
constexpr std::size_t kMaxOneLineText = 4000;
constexpr std::size_t kMaxFieldLine = 1000;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string inQuotes(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string incorrectParameter(std::string_view argument) {
    return "Incorrect parameter " + inQuotes(trimLeadingBlanks(argument));
}

// The fields hold characters, not bytes: 2,500 "é" fit the 4,000 a field takes.
bool longer(std::string_view text, std::size_t limit) {
    return text.size() > limit && text::utf8::length(text) > limit;
}

bool anyLineLonger(std::string_view text, std::size_t limit) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (longer(text.substr(start, end - start), limit)) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::string_view trimLeadingBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view trimBlanks(std::string_view text) {
    text = trimLeadingBlanks(text);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

Switch splitSwitch(std::string_view argument) {
    argument = trimLeadingBlanks(argument);
    const std::size_t nameLength = std::min<std::size_t>(4, argument.size());
    return Switch{lowerAscii(argument.substr(0, nameLength)), std::string(argument.substr(nameLength))};
}

FirstArgument readFirstArgument(std::string_view argument, const FolderTest& isFolder) {
    FirstArgument first;
    if (argument.size() >= 5 && lowerAscii(argument.substr(0, 5)) == "-path") {
        first.pathForm = true;
        // The sixth character, whatever it is, only separates.
        if (argument.size() > 6) first.path = std::string(argument.substr(6));
        return first;
    }
    first.projectFile = std::string(trimLeadingBlanks(argument));
    // A folder is never a project: it is where to search.
    if (!first.projectFile.empty() && isFolder && isFolder(first.projectFile)) {
        std::error_code ec;
        std::string folder = std::filesystem::absolute(first.projectFile, ec).lexically_normal().string();
        if (ec) folder = first.projectFile;
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        return FirstArgument{true, folder, {}};
    }
    return first;
}

StartupScan scanStartup(const std::vector<std::string>& arguments, std::string_view processCommandLine,
                        CommandLineState& state, const FolderTest& isFolder) {
    state = CommandLineState{};
    StartupScan scan;
    if (arguments.empty()) return scan;
    scan.anyArguments = true;
    scan.first = readFirstArgument(arguments[0], isFolder);
    if (!scan.first.pathForm) {
        for (std::size_t i = 1; i < arguments.size(); ++i) {
            if (trimLeadingBlanks(arguments[i]).empty()) break;
            const std::string whole = lowerAscii(trimBlanks(arguments[i]));
            const Switch s = splitSwitch(arguments[i]);
            if (whole == "-com") {
                scan.commandMode = true;
            } else if (whole == "-shr") {
                state.ShowMessages = true;
            } else if (s.name == "-fr=" && !s.value.empty()) {
                state.LogEnabled = true;
                state.ReportFileName = s.value;
            }
        }
    }
    if (state.LogEnabled) {
        state.log.push_back("Command Line: " + std::string(processCommandLine));
        state.log.emplace_back();
    }
    return scan;
}

RunSwitches readRunSwitches(const std::vector<std::string>& arguments, CommandLineState& state) {
    RunSwitches out;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (trimLeadingBlanks(argument).empty()) break;
        const Switch s = splitSwitch(argument);
        const bool bare = trimBlanks(s.value).empty();
        const bool valued = !s.value.empty();
        if (s.name == "-com" && bare) state.CommandMode = true;
        else if (s.name == "-shr" && bare) state.ShowMessages = true;
        else if (s.name == "-fr=" && valued) state.LogEnabled = true, state.ReportFileName = s.value;
        else if (s.name == "-s1=" && valued) out.searchEdit = s.value;
        else if (s.name == "-r1=" && valued) out.edit2 = s.value;
        else if (s.name == "-s2=" && valued) out.searchMemo = s.value;
        else if (s.name == "-r2=" && valued) out.memo2 = s.value;
        else if (s.name == "-pt=" && valued) out.path = s.value;
        else if (s.name == "-ms=" && valued) out.masks = s.value;
        else if (s.name == "-fs=" && valued) state.ListFileName = s.value;
        else out.incorrect.push_back(incorrectParameter(argument));
    }
    return out;
}

std::vector<std::string> validateRunFields(const RunFields& f) {
    using engine::ModificationType;
    using engine::SearchType;
    std::vector<std::string> errors;
    const bool phrase = f.searchType == SearchType::Phrase;
    const ModificationType type = f.modificationType.value_or(ModificationType::None);
    const bool inserts = type == ModificationType::Replace || type == ModificationType::InsertBefore ||
                         type == ModificationType::InsertAfter;
    if (trimLeadingBlanks(f.path).empty()) errors.push_back("Please specify the Path");
    if (trimLeadingBlanks(f.masks).empty()) errors.push_back("Please specify the Mask");
    if (type == ModificationType::None) errors.push_back("Modify Type is \"None\"");
    if (!phrase && anyLineLonger(f.searchMemo, kMaxFieldLine))
        errors.push_back("The lines are too long for the To Search field");
    if (phrase && longer(f.searchEdit, kMaxOneLineText))
        errors.push_back("The string is too long for the To Search field");
    if (phrase && f.searchEdit.empty()) errors.push_back("Please specify the string to search");
    if (!phrase && f.searchMemo.empty()) errors.push_back("Please specify the text to search");
    if (inserts && !phrase && anyLineLonger(f.memo2, kMaxFieldLine))
        errors.push_back("The lines are too long for the To Replace or Insert field");
    if (inserts && phrase && longer(f.edit2, kMaxOneLineText))
        errors.push_back("The string is too long for the To Replace or Insert field");
    if (inserts && phrase && f.edit2.empty()) errors.push_back("Please specify the string to replace or insert");
    if (inserts && !phrase && f.memo2.empty()) errors.push_back("Please specify the text to replace or insert");
    return errors;
}

std::string logFileBytes(const std::vector<std::string>& log) {
    std::string out;
    for (const std::string& line : log) out += line + "\r\n";
    return out;
}

std::string processCommandLineText(const std::vector<std::string>& argv) {
    std::string out;
    for (const std::string& arg : argv) {
        if (!out.empty()) out += ' ';
        if (arg.empty() || arg.find_first_of(" \t\"") != std::string::npos) out += inQuotes(arg);
        else out += arg;
    }
    return out;
}

std::string commandLineUsage(std::string_view program) {
    const std::string p(program);
    return "Usage: " + p + " [PROJECT.vsr [SWITCHES]]\n"
           "       " + p + " -path=FOLDER | FOLDER\n"
           "       " + p + " --help | --version\n"
           "\n"
           "With a project file the window opens with its settings. With -com the project's\n"
           "search runs on the Search and Replace tab, every listed file is modified, and the\n"
           "program closes (without a display it runs without showing the window).\n"
           "\n"
           "  -com           run the search and Modify All, then close\n"
           "  -shr           also show errors in message boxes\n"
           "  -fr=FILE       write the errors of a failed run to FILE\n"
           "  -s1=TEXT       the one-line search text\n"
           "  -r1=TEXT       the one-line replacement\n"
           "  -s2=LINES      the multi-line search text: \"|\" ends a line, \"||\" is a \"|\"\n"
           "  -r2=LINES      the multi-line replacement, written the same way\n"
           "  -pt=FOLDER     the folder to search\n"
           "  -ms=MASKS      the file masks\n"
           "  -fs=FILE       save the list of files to FILE\n"
           "\n"
           "Switch names are read in any case; values are taken as written.\n"
           "Exit status: 0 after a successful run, 1 when the run ended with an error or was\n"
           "stopped, 3 when files were left as \"Failed Modification\" (each named on standard\n"
           "error and in the -fr= report).\n";
}

}  // namespace vsr::project
