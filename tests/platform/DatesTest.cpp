#include "platform/Dates.h"

#include <gtest/gtest.h>

#include <cmath>

namespace larkvale {
namespace {

using namespace std::chrono;

Date at(sys_days day, seconds s = seconds{0}) {
  return Date{day + s};
}

TEST(DatesTest, WritesWholeSecondsInUtc) {
  Date d = at(2026y / 12 / 5, hours{17} + minutes{30} + seconds{42});
  EXPECT_EQ(Dates::iso8601(d), "2026-12-05T17:30:42Z");
  EXPECT_EQ(Dates::iso8601(d + milliseconds{999}), "2026-12-05T17:30:42Z");
  // Before 1970 the fraction still rounds down, not towards zero.
  EXPECT_EQ(Dates::iso8601(at(1969y / 12 / 31, hours{23} + minutes{59} + seconds{59}) +
                           milliseconds{500}),
            "1969-12-31T23:59:59Z");
  EXPECT_EQ(Dates::iso8601(Date::min()), "1677-09-21T00:12:43Z");
  EXPECT_EQ(Dates::iso8601(Date::max()), "2262-04-11T23:47:16Z");
}

TEST(DatesTest, ReadsStrictFormOnlyUnlessLenient) {
  const Date base = at(2026y / 12 / 5, hours{17} + minutes{30} + seconds{42});
  EXPECT_EQ(Dates::parseIso8601("2026-12-05T17:30:42Z"), base);
  EXPECT_EQ(Dates::parseIso8601("2024-02-29T00:00:00Z"), at(2024y / 2 / 29));
  for (const char* bad :
       {"2026-12-05T17:30:42.5Z", "2026-12-05T17:30:42+01:00", "2026-12-05T17:30:42Zx",
        "2025-02-29T00:00:00Z", "2026-12-05T24:00:00Z", "２026-12-05T17:30:42Z"}) {
    EXPECT_EQ(Dates::parseIso8601(bad), std::nullopt) << bad;
  }
  // Leniently: fractions and offsets.
  EXPECT_EQ(Dates::parseIso8601("2026-12-05T17:30:42.123Z", true), base);
  EXPECT_EQ(Dates::parseIso8601("2026-12-05T19:30:42+02:00", true), base);
  EXPECT_EQ(Dates::parseIso8601("2026-12-05T12:00:42-0530", true), base);
  for (const char* bad : {"2026-12-05T17:30:42.Z", "2026-12-05T17:30:42+24:00"}) {
    EXPECT_EQ(Dates::parseIso8601(bad, true), std::nullopt) << bad;
  }
}

TEST(DatesTest, RefusesDatesTheClockCannotHold) {
  // The clock counts nanoseconds in 64 bits: about the years 1678 to 2262.
  for (const char* far : {"9999-12-31T23:59:59Z", "1600-01-01T00:00:00Z"}) {
    EXPECT_EQ(Dates::parseIso8601(far), std::nullopt) << far;
  }
  EXPECT_EQ(Dates::iso8601(*Dates::parseIso8601("2262-01-01T00:00:00Z")), "2262-01-01T00:00:00Z");
}

TEST(DatesTest, CountsSecondsSince2001) {
  Date ref = at(2001y / 1 / 1);
  EXPECT_EQ(Dates::secondsSince2001(ref + milliseconds{1500}), 1.5);
  EXPECT_EQ(Dates::fromSecondsSince2001(811345842.25),
            at(2026y / 9 / 17, hours{13} + minutes{50} + seconds{42}) + milliseconds{250});
  for (double nonFinite : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    EXPECT_EQ(Dates::fromSecondsSince2001(nonFinite), ref);
  }
  // Far-off values stay inside the clock's range instead of overflowing it.
  for (double far : {1e300, -1e300}) {
    Date d = Dates::fromSecondsSince2001(far);
    EXPECT_EQ(d > ref, far > 0) << far;
    EXPECT_EQ(Dates::iso8601(d).size(), 20u) << far;
  }
}

}  // namespace
}  // namespace larkvale
