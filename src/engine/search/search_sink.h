#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "results/result_item.h"

namespace vsr::engine {

enum class MessageIcon { Exclamation, Warning, Information, Error };

// What a search hands out, in walk order: the rows of matching files as values, the status
// texts and the messages. The window's result list, vsr-search and tests each consume it; the
// engine never reaches into the consumer's state to deliver a row.
class SearchSink {
public:
    virtual ~SearchSink() = default;
    // A matching file: its typed row and the count of each query term.
    virtual void rowFound(results::ResultItem row, const std::vector<std::int64_t>& counts) = 0;
    virtual void setStatusText(int panel, const std::string& text) = 0;
    virtual void message(const std::string& caption, const std::string& text, MessageIcon icon) = 0;
};

}  // namespace vsr::engine
