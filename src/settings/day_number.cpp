#include "settings/day_number.h"

#include <chrono>

namespace vsr::settings {

namespace {
namespace chr = std::chrono;
constexpr chr::sys_days kDayZero = chr::year{1899} / chr::December / 30;
}  // namespace

int dayNumberFromDate(const platform::CivilDate& date) {
    const chr::year_month_day ymd{chr::year{date.year}, chr::month{static_cast<unsigned>(date.month)},
                                  chr::day{static_cast<unsigned>(date.day)}};
    return static_cast<int>((chr::sys_days{ymd} - kDayZero).count());
}

platform::CivilDate dateFromDayNumber(int dayNumber) {
    const chr::year_month_day ymd{kDayZero + chr::days{dayNumber}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

int monthsEarlier(int dayNumber, int months) {
    return dayNumberFromDate(platform::addMonths(dateFromDayNumber(dayNumber), -months));
}

}  // namespace vsr::settings
