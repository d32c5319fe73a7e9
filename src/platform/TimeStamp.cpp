#include "platform/TimeStamp.h"

#include <cstdio>

namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

void TimeStamp::Format(std::time_t when, char (&dest)[kSize]) {
    std::tm local{};
    localtime_r(&when, &local);
    std::snprintf(dest, kSize, "%s %s %02d %02d:%02d:%02d %04d\n", kDays[local.tm_wday % 7],
                  kMonths[local.tm_mon % 12], local.tm_mday, local.tm_hour, local.tm_min,
                  local.tm_sec, (local.tm_year + 1900) % 10000);
}

void TimeStamp::Now(char (&dest)[kSize]) {
    Format(std::time(nullptr), dest);
}
