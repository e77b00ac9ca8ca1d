#pragma once
#include <string>

#include "results/result_list.h"

namespace vsr::test {

// One row with the texts a search would give it; the list sets Result itself.
inline results::ResultItem row(std::string name, std::string path = "/d", std::string found = "1",
                               std::string attributes = "", std::string time = "2026-01-02 10:00:00",
                               std::string size = "1.0 KB", std::string type = "TXT File") {
    results::ResultItem r;
    r.name = std::move(name);
    r.path = std::move(path);
    r.found = std::move(found);
    r.attributes = std::move(attributes);
    r.time = std::move(time);
    r.size = std::move(size);
    r.type = std::move(type);
    return r;
}

inline std::vector<std::string> names(const results::ResultList& list) {
    std::vector<std::string> out;
    for (const auto& r : list.rows()) out.push_back(r.name);
    return out;
}

}  // namespace vsr::test
