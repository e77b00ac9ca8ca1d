#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/civil_date.h"
#include "platform/code_page.h"

namespace vsr::engine {

// The tab whose button started a run; decides which query fields and types apply.
enum class Tab { Find, SearchAndReplace };

// The "Type:" group of the Find tab.
enum class QueryType { Phrase, WordsOr, WordsAnd, SearchEngine, Multiline, RegExpr };
// The " Search Type " group of the Search and Replace tab.
enum class SearchType { Multiline, Phrase, RegExpr };
// The " Modification Type " group of the Search and Replace tab.
enum class ModificationType { None, Replace, Clear, InsertBefore, InsertAfter, Delete };

enum class SizeLimitKind { Minimum, Maximum };
enum class SizeUnit { KB, MB };  // 1000 and 1000000 bytes
enum class DateLimitKind { Between, NewerThan };

// Every option of one search or modification run, copied from the window when the run starts.
struct SearchConditions {
    Tab tab = Tab::Find;
    QueryType queryType = QueryType::Phrase;
    std::string findText;                 // at most 4001 characters
    std::vector<std::string> findLines;
    SearchType searchType = SearchType::Phrase;
    std::string searchText;
    std::vector<std::string> searchLines;
    ModificationType modificationType = ModificationType::None;
    std::string replaceText;
    std::vector<std::string> replaceLines;
    std::string path;                     // the folder to search
    std::string masks = "*.*";
    bool caseSensitive = false;
    bool wholeWords = false;
    bool searchInResults = false;
    bool includeSubfolders = true;
    // "Search in archives and documents": a Find run lists the members of archives and the text
    // of documents as files of their own. The Search and Replace tab never opens them.
    bool searchArchives = false;
    bool createBackups = false;
    bool sizeFilter = false;
    SizeLimitKind sizeLimitKind = SizeLimitKind::Maximum;
    long long sizeValue = 100;
    SizeUnit sizeUnit = SizeUnit::KB;
    bool dateFilter = false;
    DateLimitKind dateLimitKind = DateLimitKind::Between;
    platform::CivilDate minDate;
    platform::CivilDate maxDate;
    long long daysAgo = 0;
    bool trimLeading = true;
    bool trimTrailing = true;
    bool dotMatchesAll = false;
    bool extendedSyntax = false;
    bool eachLineSeparately = false;
    bool phraseIntervals = false;
    bool regExprIntervals = false;
    bool ignoreDirectories = false;
    bool ignoreSubfoldersToo = false;
    std::vector<std::string> directoryIgnoreList;
    bool ignoreFiles = false;
    std::vector<std::string> fileIgnoreList;
    // "Skip what .gitignore ignores": the walk leaves out what the ignore files of version
    // control ignore, and does not enter the folders they ignore.
    bool skipGitignored = false;
    // The text encoding chosen in the settings: of the queries, of the lines shown, and the one
    // every file's text is matched in (a file in another encoding is decoded into it first).
    platform::CodePageId textEncoding = platform::CodePageId::Utf8;
    // On a UTF-8 setting, the page a file that is not valid UTF-8 is read in; none: as bytes.
    std::optional<platform::CodePageId> fallbackEncoding;

    // The query kind of the run's tab, seen as a Find-tab type (SearchType maps onto it).
    QueryType effectiveQueryType() const;
    // The one-line query of the run's tab (findText or searchText).
    const std::string& oneLineQuery() const;
    // The multi-line query of the run's tab (findLines or searchLines).
    const std::vector<std::string>& multiLineQuery() const;
    // Whether the run searches file contents (a non-empty query of its kind).
    bool hasContentQuery() const;
    // Whether modification intervals are in use for the Search and Replace tab's settings.
    bool intervalsInUse() const;
};

// The values the controls hold on the form; `home` stands for the path "C:".
SearchConditions formConditions(const std::string& home);
// The values on first start, when no settings are stored; `today` is the local date.
SearchConditions firstStartConditions(const std::string& home, platform::CivilDate today);

// The program's title, caption of several message boxes.
inline constexpr const char* kProgramTitle = "Vantix Search & Replace";
// A multi-line field without text: no lines, or one empty line.
bool isEmptyMemo(const std::vector<std::string>& lines);

// "Find" on the Find tab, "Search" on the Search and Replace tab.
const char* tabCaption(Tab tab);

}  // namespace vsr::engine
