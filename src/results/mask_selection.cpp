#include "results/mask_selection.h"

namespace vsr::results {

std::string selectionMask(std::string_view typed) {
    std::string mask(typed);
    if (mask.find('.') == std::string::npos) mask += '.';
    if (!mask.empty() && mask.back() == '?') {
        mask.pop_back();
        mask += "[\x01-\xff]";
    }
    return mask;
}

std::size_t SelectByMask(ResultList& list, const NameMatcher& fits, bool select) {
    std::size_t hits = 0;
    for (std::size_t i = 0; i < list.count(); ++i) {
        std::string name = list.row(i).name;
        if (name.find('.') == std::string::npos) name += '.';
        if (!fits(name)) continue;
        ++hits;
        if (list.row(i).selected != select) list.setSelected(i, select);
    }
    return hits;
}

void SelectAllRows(ResultList& list) {
    for (std::size_t i = 0; i < list.count(); ++i)
        if (!list.row(i).selected) list.setSelected(i, true);
}

}  // namespace vsr::results
