#include "core/GameClock.h"

#include <gtest/gtest.h>

using namespace tarnwake::core;

TEST(GameClock, EncodesDaysFromTheEpoch) {
    EXPECT_DOUBLE_EQ(0.0, EncodeDateTime(1899, 12, 30));
    EXPECT_DOUBLE_EQ(2.0, EncodeDateTime(1900, 1, 1));
    // 31 May 1916 is day 5,996 on the scale that saved games and design files use.
    EXPECT_DOUBLE_EQ(5996.0, EncodeDateTime(1916, 5, 31));
    EXPECT_DOUBLE_EQ(5996.5, EncodeDateTime(1916, 5, 31, 12, 0));
    // Before the epoch the scale stays linear: six in the morning of the day before is a
    // quarter of a day after its midnight.
    EXPECT_DOUBLE_EQ(-0.75, EncodeDateTime(1899, 12, 29, 6, 0));
}

TEST(GameClock, AMinuteMovesTheClockForwardOnBothSidesOfTheEpoch) {
    // A scenario without a year starts in year 14; one of 1899 in the year before the epoch.
    const TDateParts starts[] = {{14, 11, 1, 6, 5, 0},
                                 {1899, 6, 1, 23, 59, 0},
                                 {1899, 12, 29, 23, 59, 0},
                                 {1916, 5, 31, 14, 0, 0}};
    for (const TDateParts& start : starts) {
        TDateTime clock = 0.0;
        ASSERT_TRUE(TryEncodeDateTime(start, clock));
        TDateTime later = clock;
        for (int k = 0; k < 3; ++k) {
            later = IncMinute(later, 1);
        }
        EXPECT_GT(later, clock);
        EXPECT_EQ(3, MinutesBetween(clock, later));
        TDateParts expected = start;
        expected.minute += 3;
        if (expected.minute >= 60) {
            expected.minute -= 60;
            expected.hour = (expected.hour + 1) % 24;
        }
        const TDateParts p = DecodeDateTime(later);
        EXPECT_EQ(expected.hour, p.hour) << start.year;
        EXPECT_EQ(expected.minute, p.minute) << start.year;
    }
    EXPECT_EQ("1899-12-30 00:02",
              FormatDateTime(IncMinute(EncodeDateTime(1899, 12, 29, 23, 59), 3)));
}

TEST(GameClock, DecodeReversesEncodeAcrossMonthAndYearEnds) {
    struct Case {
        int y, mo, d, h, mi;
    };
    const Case cases[] = {{1914, 12, 31, 23, 59}, {1915, 1, 1, 0, 0},   {1916, 2, 29, 12, 30},
                          {1900, 2, 28, 6, 15},   {1900, 3, 1, 18, 45}, {2000, 2, 29, 0, 1},
                          {1899, 12, 29, 6, 0},   {1918, 11, 11, 11, 0}};
    for (const auto& c : cases) {
        const TDateParts p = DecodeDateTime(EncodeDateTime(c.y, c.mo, c.d, c.h, c.mi));
        EXPECT_EQ(c.y, p.year);
        EXPECT_EQ(c.mo, p.month);
        EXPECT_EQ(c.d, p.day);
        EXPECT_EQ(c.h, p.hour);
        EXPECT_EQ(c.mi, p.minute);
    }
}

// Every calendar day from the year 1 to 9999, in order, at midnight: the decoded date is the one
// encoded, so the calendar arithmetic holds at every month, leap day and century.
TEST(GameClock, EveryDayOfTheCalendarDecodesToItself) {
    int failures = 0;
    for (int y = 1; y <= 9999 && failures < 5; ++y) {
        for (int mo = 1; mo <= 12; ++mo) {
            for (int d = 1; d <= DaysInMonth(y, mo); ++d) {
                const TDateParts p = DecodeDateTime(EncodeDateTime(y, mo, d, 0, 0));
                if (p.year != y || p.month != mo || p.day != d || p.hour != 0) {
                    ADD_FAILURE() << y << "-" << mo << "-" << d << " decoded as " << p.year << "-"
                                  << p.month << "-" << p.day;
                    ++failures;
                }
            }
        }
    }
}

TEST(GameClock, RefusesDatesThatDoNotExist) {
    TDateTime out = 42.0;
    EXPECT_FALSE(TryEncodeDateTime({1900, 2, 29, 0, 0, 0}, out)); // 1900 was not a leap year
    EXPECT_FALSE(TryEncodeDateTime({1916, 13, 1, 0, 0, 0}, out));
    EXPECT_FALSE(TryEncodeDateTime({1916, 4, 31, 0, 0, 0}, out));
    EXPECT_FALSE(TryEncodeDateTime({1916, 4, 30, 24, 0, 0}, out));
    EXPECT_DOUBLE_EQ(42.0, out);
    EXPECT_TRUE(TryEncodeDateTime({1916, 2, 29, 0, 0, 0}, out));
}

TEST(GameClock, FortyEightHoursOfSingleMinutesDoNotDrift) {
    const TDateTime start = EncodeDateTime(1916, 5, 31, 14, 0);
    TDateTime clock = start;
    for (int i = 0; i < 48 * 60; ++i) {
        clock = IncMinute(clock, 1);
        if (i == 10 * 60 - 1) {
            EXPECT_EQ("00:00", FormatTime(clock)); // across midnight into 1 June
            EXPECT_EQ("1916-06-01 00:00", FormatDateTime(clock));
        }
    }
    EXPECT_DOUBLE_EQ(EncodeDateTime(1916, 6, 2, 14, 0), clock);
    EXPECT_EQ(2880, MinutesBetween(start, clock));
    EXPECT_EQ("1916-06-02 14:00", FormatDateTime(clock));
}

TEST(GameClock, FormatsAreFixedAndLocaleFree) {
    const TDateTime t = EncodeDateTime(1915, 1, 24, 7, 5);
    EXPECT_EQ("07:05", FormatTime(t));
    EXPECT_EQ("1915-01-24", FormatDate(t));
    EXPECT_EQ("1915-01-24 07:05", FormatDateTime(t));
    // A garbage value from a damaged file is pinned, not a crash.
    EXPECT_EQ(10, FormatDateTime(1e300).find(' '));
}
