#include "results/result_item.h"

namespace vsr::results {

std::string ResultItem::fullName() const {
    if (path.empty()) return name;
    if (path.back() == '/') return path + name;
    return path + "/" + name;
}

const std::string& ResultItem::text(Column c) const {
    switch (c) {
        case Column::Name: return name;
        case Column::Path: return path;
        case Column::Found: return found;
        case Column::Attributes: return attributes;
        case Column::Time: return time;
        case Column::Size: return size;
        case Column::Type: return type;
        case Column::Result: break;
    }
    return result;
}

std::string& ResultItem::text(Column c) {
    return const_cast<std::string&>(static_cast<const ResultItem&>(*this).text(c));
}

}  // namespace vsr::results
