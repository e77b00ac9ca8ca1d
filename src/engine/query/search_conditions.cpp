#include "engine/query/search_conditions.h"

namespace vsr::engine {

QueryType SearchConditions::effectiveQueryType() const {
    if (tab == Tab::Find) return queryType;
    switch (searchType) {
        case SearchType::Multiline: return QueryType::Multiline;
        case SearchType::RegExpr: return QueryType::RegExpr;
        case SearchType::Phrase: break;
    }
    return QueryType::Phrase;
}

const std::string& SearchConditions::oneLineQuery() const {
    return tab == Tab::Find ? findText : searchText;
}

const std::vector<std::string>& SearchConditions::multiLineQuery() const {
    return tab == Tab::Find ? findLines : searchLines;
}

bool SearchConditions::hasContentQuery() const {
    QueryType t = effectiveQueryType();
    if (t == QueryType::Multiline || t == QueryType::RegExpr) {
        return !isEmptyMemo(multiLineQuery());
    }
    return !oneLineQuery().empty();
}

bool SearchConditions::intervalsInUse() const {
    return (searchType == SearchType::Phrase && phraseIntervals) ||
           (searchType == SearchType::RegExpr && eachLineSeparately && regExprIntervals);
}

SearchConditions formConditions(const std::string& home) {
    SearchConditions c;
    c.path = home;
    return c;
}

SearchConditions firstStartConditions(const std::string& home, platform::CivilDate today) {
    SearchConditions c = formConditions(home);
    c.modificationType = ModificationType::Replace;
    c.createBackups = true;
    c.minDate = platform::addMonths(today, -12);
    c.maxDate = today;
    c.daysAgo = 2;
    return c;
}

bool isEmptyMemo(const std::vector<std::string>& lines) {
    return lines.empty() || (lines.size() == 1 && lines[0].empty());
}

const char* tabCaption(Tab tab) { return tab == Tab::Find ? "Find" : "Search"; }

}  // namespace vsr::engine
