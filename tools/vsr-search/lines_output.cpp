#include "lines_output.h"

#include <string>

#include "engine/viewer/lines_viewer_fill.h"

namespace vsr::tools {

void printLinesViewer(std::FILE* out, const engine::SearchConditions& conditions, engine::SearchEnv env,
                      engine::SearchHost& host, const NameOutput& names) {
    engine::LinesViewerContent content;
    results::ResultList& list = host.results();
    for (std::size_t row = 0; row < list.count(); ++row) {
        const results::ResultItem item = list.row(row);
        std::string head = "== ";
        names.append(head, item.fullName(), '\n');
        std::fwrite(head.data(), 1, head.size(), out);
        engine::FillLinesViewer(conditions, env, host, content,
                                {item.path, item.name, static_cast<long long>(row), engine::FillPurpose::Silent});
        std::string line;
        for (std::size_t i = 0; i < content.count(); ++i) {
            const engine::FoundLine& e = content.entry(i);
            line = std::to_string(i) + "\t";
            for (char c : e.displayText) line += static_cast<unsigned char>(c) < 32 ? ' ' : c;
            line += '\t';
            for (std::size_t h = 0; h < e.highlights.size(); ++h) {
                if (h) line += ' ';
                line += std::to_string(e.highlights[h].offset) + ":" + std::to_string(e.highlights[h].length);
            }
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), out);
        }
    }
}

}  // namespace vsr::tools
