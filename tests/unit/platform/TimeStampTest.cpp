#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "platform/TimeStamp.h"

namespace {

struct StampCase {
    std::time_t when;
    const char* text;
};

class TimeStampTest : public testing::TestWithParam<StampCase> {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

TEST_P(TimeStampTest, HasTheAsctimeFormWithATwoDigitDay) {
    char stamp[TimeStamp::kSize];
    TimeStamp::Format(GetParam().when, stamp);
    EXPECT_STREQ(stamp, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Times, TimeStampTest,
                         testing::Values(StampCase{0, "Thu Jan 01 00:00:00 1970\n"},
                                         StampCase{315626635, "Wed Jan 02 02:03:55 1980\n"},
                                         StampCase{1797033599, "Fri Dec 11 23:59:59 2026\n"}));

}  // namespace
