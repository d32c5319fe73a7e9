#pragma once

#include <ctime>

// The C library's asctime form of a local time, "Wed Jan 02 02:03:55 1980\n", with the day
// always two digits and English names whatever the process's locale.
class TimeStamp {
public:
    static constexpr unsigned kSize = 26;  // 24 characters, the line feed and the terminator

    static void Format(std::time_t when, char (&dest)[kSize]);
    static void Now(char (&dest)[kSize]);
};
