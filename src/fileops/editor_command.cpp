#include "fileops/editor_command.h"

#include "fileops/file_names.h"
#include "platform/file_system.h"

namespace vsr::fileops {

std::string expandPlaceholders(std::string_view text, const EditTarget& target) {
    const NameParts parts = splitName(target.name);
    const bool hasDot = target.name.find('.') != std::string::npos;
    const std::pair<std::string_view, std::string> values[] = {
        {"%PrFullName%", platform::joinPath(target.folder, target.name)},
        {"%PrPath%", target.folder == "/" ? target.folder : target.folder + "/"},
        {"%PrName%", parts.base},
        {"%PrExt%", hasDot ? "." + parts.extension : std::string()},
        {"%NumLine%", std::to_string(target.line)},
    };
    // One pass over the command: a value put in is never read again, so a file named
    // "%NumLine%.txt" stays that name.
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        bool replaced = false;
        if (text[i] == '%') {
            for (const auto& [key, value] : values) {
                if (text.substr(i, key.size()) != key) continue;
                out += value;
                i += key.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

CommandParts splitEditorCommand(std::string_view command) {
    const bool leadingQuote = !command.empty() && command.front() == '"';
    std::string_view rest = leadingQuote ? command.substr(1) : command;
    const std::size_t blank = rest.find(' ');
    const std::size_t quote = rest.find('"');
    // Positions counted from 1, 0 for none, as the rule is written.
    const std::size_t b = blank == std::string_view::npos ? 0 : blank + 1;
    const std::size_t d = quote == std::string_view::npos ? 0 : quote + 1;
    std::size_t programLength;
    if (leadingQuote && b < d) programLength = d;
    else if (b > 0) programLength = b - 1;
    else if (d == 0) programLength = rest.size();
    else programLength = 0;

    std::string program = (leadingQuote ? "\"" : "") + std::string(rest.substr(0, programLength));
    for (int removed = 0; removed < 2; ++removed) {
        const std::size_t at = program.find('"');
        if (at == std::string::npos) break;
        program.erase(at, 1);
    }
    std::string_view parameters = rest.substr(programLength);
    while (!parameters.empty() && parameters.front() == ' ') parameters.remove_prefix(1);
    return {program, std::string(parameters)};
}

std::vector<Argument> splitArguments(std::string_view parameters) {
    std::vector<Argument> out;
    bool inQuotes = false, inArgument = false;
    Argument current;
    for (char c : parameters) {
        if (c == '"') {
            inQuotes = !inQuotes;
            current.quoted = inArgument = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (inArgument) out.push_back(std::move(current));
            current = {};
            inArgument = false;
        } else {
            current.text += c;
            inArgument = true;
        }
    }
    if (inArgument) out.push_back(std::move(current));
    return out;
}

EditorLaunch editorLaunch(std::string_view command, const EditTarget& target) {
    const CommandParts parts = splitEditorCommand(trimBlanks(command));
    EditorLaunch launch;
    launch.program = expandPlaceholders(parts.program, target);
    for (const Argument& a : splitArguments(parts.parameters)) {
        std::string text = expandPlaceholders(a.text, target);
        if (text.empty() && !a.quoted) continue;
        launch.arguments.push_back(std::move(text));
    }
    return launch;
}

}  // namespace vsr::fileops
