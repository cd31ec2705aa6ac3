#include "counter/kelvo_counter.h"

#include <gtest/gtest.h>

namespace {

// A 32-character display dump with the given unit field (3 chars) and number field (11 chars).
std::string Dump(const std::string& unit, const std::string& number) {
    std::string t = "av" + std::string(15, ' ') + unit + " " + number;
    EXPECT_EQ(t.size(), 32u);
    return t;
}

struct Events {
    int data = 0;
    int status = 0;
};

class TelegramHandling : public ::testing::Test {
protected:
    TelegramHandling() {
        counter.OnData = [this](QObject* sender) {
            EXPECT_EQ(sender, &counter);
            ++events.data;
        };
        counter.OnStatus = [this](QObject* sender) {
            EXPECT_EQ(sender, &counter);
            ++events.status;
        };
    }
    void Deliver(const std::string& text) { counter.HandleTelegram(text); }
    TKELVO_Counter counter;
    Events events;
};

TEST_F(TelegramHandling, ReadingsAndStatusTelegramsWhileConnected) {
    struct Case {
        std::string telegram;
        bool reading;
        double value;
        const char* valueText;
        const char* unitText;
        bool period;
    };
    const Case cases[] = {
        {Dump("MHz", "  10.000000"), true, 1e7, "  10.000000", "MHz", false},
        {Dump("GHz", "   2.500000"), true, 2.5e9, "   2.500000", "GHz", false},
        {Dump("kHz", "   1.000001"), true, 1000.001, "   1.000001", "kHz", false},
        {Dump(" ms", "      1.500"), true, 0.0015, "      1.500", "ms", true},
        {Dump(" us", "     12.000"), true, 12e-6, "     12.000", "us", true},
        {Dump(" ns", "    100.000"), true, 100e-9, "    100.000", "ns", true},
        {Dump(" ps", "    250.000"), true, 250e-12, "    250.000", "ps", true},
        {Dump(" Hz", "     50.000"), true, 50.0, "     50.000", "Hz", false},
        {Dump("  s", "      2.000"), true, 2.0, "      2.000", "s", true},
        {"10000000.5", true, 10000000.5, "10000000.5", "Hz", false},
        {"123456", true, 123456.0, "123456", "Hz", false},
        {"12345678901234", true, 12345678901234.0, "12345678901234", "Hz", false},
    };
    for (const Case& c : cases) {
        counter.Connected = true;
        events = {};
        Deliver(c.telegram);
        EXPECT_EQ(events.data, 1) << c.telegram;
        EXPECT_EQ(events.status, 0) << c.telegram;
        EXPECT_DOUBLE_EQ(counter.Value, c.value) << c.telegram;
        EXPECT_EQ(counter.ValueText, c.valueText) << c.telegram;
        EXPECT_EQ(counter.UnitText, c.unitText) << c.telegram;
        EXPECT_EQ(counter.IsPeriod, c.period) << c.telegram;
        EXPECT_EQ(counter.Telegram, c.telegram);
    }
}

TEST_F(TelegramHandling, StatusTelegramsLeaveTheReadingAlone) {
    counter.Connected = true;
    Deliver("10000000.5");
    const std::string statuses[] = {
        "OK",
        "12345",                              // 5 characters
        "123456789012345",                    // 15 characters
        "bv" + std::string(30, 'x'),          // 32 characters not beginning with "av"
        "ERROR!",                             // no number: not a reading of -1 Hz
        Dump("MHz", "  --.------"),           // dump without a readable number
        Dump("GHz", "      1e308"),           // scaled beyond the range of a double
        "kelvo FC-3000 V2.1 virtual counter", // identification while connected
    };
    for (const std::string& s : statuses) {
        events = {};
        Deliver(s);
        EXPECT_EQ(events.status, 1) << s;
        EXPECT_EQ(events.data, 0) << s;
        EXPECT_EQ(counter.StatusText, s);
        EXPECT_DOUBLE_EQ(counter.Value, 10000000.5) << s;
        EXPECT_EQ(counter.Telegram, "10000000.5") << s;
    }
    EXPECT_EQ(counter.IdText, "kelvo FC-3000 V2.1 virtual counter");
}

TEST_F(TelegramHandling, BeforeConnectingOnlyIdentificationCounts) {
    for (const std::string& s : {std::string("10000000.5"), std::string("OK"),
                                 Dump("MHz", "  10.000000"), std::string("KELVO upper case")}) {
        Deliver(s);
    }
    EXPECT_EQ(events.data + events.status, 0);
    EXPECT_FALSE(counter.Identified);
    EXPECT_EQ(counter.LastText, "KELVO upper case");

    Deliver("kelvo");
    EXPECT_TRUE(counter.Identified);
    EXPECT_EQ(counter.IdText, "kelvo");
    EXPECT_EQ(events.data + events.status, 0);
}

TEST_F(TelegramHandling, EmptyTelegramIsIgnored) {
    counter.Connected = true;
    Deliver("");
    EXPECT_EQ(events.data + events.status, 0);
}

TEST_F(TelegramHandling, ThrowingDataHandlerTurnsHertzValueIntoStatus) {
    counter.Connected = true;
    counter.OnData = [](QObject*) { throw std::runtime_error("handler failed"); };
    Deliver("10000000.5");
    EXPECT_EQ(events.status, 1);
    EXPECT_EQ(counter.StatusText, "10000000.5");
}

TEST_F(TelegramHandling, TimeOutOnlySetsTheFlag) {
    counter.Connected = true;
    Deliver("10000000.5");
    events = {};
    counter.HandleTimeOut();
    EXPECT_TRUE(counter.TimedOut);
    EXPECT_EQ(events.data + events.status, 0);
    EXPECT_DOUBLE_EQ(counter.Value, 10000000.5);
}

} // namespace
