// SPDX-License-Identifier: GPL-3.0-or-later
// The lines a recording sends to InfluxDB, and the requests its settings make.
#include "recording/influx_target.h"
#include "recording/line_protocol.h"

#include <gtest/gtest.h>

namespace {

using counter::Quantity;
using recording::InfluxPoints;

constexpr std::int64_t kStart = 1'700'000'000'000'000'000;
const std::vector<recording::InfluxTag> kTags{{"port", "COM20"},
                                              {"instrument", "kelvo"},
                                              {"identity", "kelvo FC-3000"},
                                              {"station", "lab,2"}};

TEST(InfluxPoints, LinesCarryTheTagsTheFieldsAndTheArrivalInNanoseconds) {
    InfluxPoints points(kTags, kStart);
    std::string out;
    points.addReading(out, 176, 10000000.399999999, Quantity::Frequency);
    // Two telegrams of one read share their millisecond; a re-send must not merge them.
    points.addReading(out, 277, 1e-7, Quantity::Period);
    points.addStatus(out, 277, "av \"1\"\\\r");
    points.addReading(out, 277.5, 1.5e-9, Quantity::Phase);
    points.addGap(out, 300, 4.25);
    points.addGap(out, 300, 0.5);
    const std::string series = "talvek,identity=kelvo\\ FC-3000,instrument=kelvo,port=COM20";
    EXPECT_EQ(out,
              series +
                  ",quantity=frequency,station=lab\\,2 kind=\"reading\",value=10000000.399999999 "
                  "1700000000176000000\n" +
                  series +
                  ",quantity=period,station=lab\\,2 kind=\"reading\",value=1e-07 "
                  "1700000000277000000\n" +
                  series +
                  ",station=lab\\,2 kind=\"status\",text=\"av \\\"1\\\"\\\\\\x0D\" "
                  "1700000000277000001\n" +
                  series +
                  ",quantity=phase,station=lab\\,2 kind=\"reading\",value=1.5e-09 "
                  "1700000000277500000\n" +
                  series + ",station=lab\\,2 kind=\"gap\",seconds=4.25 1700000000300500000\n" +
                  series + ",station=lab\\,2 kind=\"gap\",seconds=0.5 1700000000300500001\n");
}

TEST(InfluxTarget, SettingsMakeTheWriteRequestOrSayWhatIsWrong) {
    const struct {
        recording::InfluxSettings settings;
        const char* writePath; // or the error's beginning
        const char* headers;
    } cases[] = {
        {{"http://user:pw@db.lab:9999/influx/", "run 1", "", "", "", {}},
         "/influx/write?db=run%201&precision=ns",
         "Authorization: Basic dXNlcjpwdw==\r\nContent-Type: text/plain; charset=utf-8\r\n"},
        {{"http://localhost", "", "bucket", "my org", "t0k", {}},
         "/api/v2/write?org=my%20org&bucket=bucket&precision=ns",
         "Authorization: Token t0k\r\nContent-Type: text/plain; charset=utf-8\r\n"},
        {{"http://[::1", "db", "", "", "", {}},
         "the database URL 'http://[::1' does not parse",
         ""},
        {{"https://cloud", "db", "", "", "", {}},
         "the database URL 'https://cloud' is no http",
         ""},
        {{"http://h", "db", "b", "o", "t", {}}, "the database needs either", ""},
        {{"http://h", "", "b", "o", "", {}}, "a bucket needs its organisation and a token", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings.url);
        std::string error;
        const auto target = recording::influxTarget(c.settings, error);
        if (*c.headers == '\0') {
            EXPECT_FALSE(target);
            EXPECT_EQ(error.rfind(c.writePath, 0), 0u) << error;
            continue;
        }
        ASSERT_TRUE(target) << error;
        EXPECT_EQ(target->writePath, c.writePath);
        EXPECT_EQ(target->headers, c.headers);
        EXPECT_EQ(target->shownUrl.find("pw"), std::string::npos) << target->shownUrl;
    }
    const struct {
        const char* text;
        bool good;
    } tags[] = {{"station=lab 2", true},
                {"=x", false},
                {"x=", false},
                {"port=COM1", false},
                {"_field=x", false}};
    for (const auto& t : tags) {
        std::string error;
        EXPECT_EQ(recording::parseInfluxTag(t.text, error).has_value(), t.good) << t.text;
    }
}

} // namespace
