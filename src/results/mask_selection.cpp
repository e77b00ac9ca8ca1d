#include "results/mask_selection.h"

namespace vsr::results {

std::size_t SelectByMask(ResultList& list, const NameMatcher& fits, bool select) {
    std::size_t hits = 0;
    for (std::size_t i = 0; i < list.count(); ++i) {
        if (!fits(list.row(i).name)) continue;
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
