// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/command_handler.h"
#include "tools/command_parser.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tools {
namespace {

bool operator==(const CounterState& a, const CounterState& b) {
    return a.running == b.running && a.gateSeconds == b.gateSeconds && a.averaging == b.averaging &&
           a.mode == b.mode && a.format == b.format && a.transmitInterval == b.transmitInterval &&
           a.prescaler == b.prescaler;
}

struct CommandCase {
    const char* name;
    std::vector<std::string> feeds; // as the bytes come in, possibly in pieces
    std::vector<std::string> replies;
    void (*expect)(CounterState&); // the change to the settings, from the defaults
};

class CommandTable : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandTable, BytesInGiveRepliesAndSettings) {
    const CommandCase& c = GetParam();
    CommandParser parser;
    CounterState state;
    std::vector<std::string> replies;
    for (const std::string& feed : c.feeds) {
        for (const std::string& command : parser.feed(feed)) {
            replies.push_back(handleCommand(state, command).reply);
        }
    }
    CounterState expected;
    c.expect(expected);
    EXPECT_EQ(replies, c.replies);
    EXPECT_TRUE(state == expected);
}

const std::string kId = kIdentification;

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandTable,
    ::testing::Values(
        CommandCase{"Identify", {"\x1bI\r"}, {kId}, [](CounterState&) {}},
        CommandCase{"Single",
                    {"\x1b"
                     "1\r"},
                    {"OK"},
                    [](CounterState& s) { s.running = Measurement::Single; }},
        CommandCase{"Continuous",
                    {"\x1br\r"},
                    {"OK"},
                    [](CounterState& s) { s.running = Measurement::Continuous; }},
        CommandCase{"ContinuousThenStop", {"\x1br\r\x1bx\r"}, {"OK", "OK"}, [](CounterState&) {}},
        CommandCase{"ShortGate", {"\x1bt\r"}, {"OK"}, [](CounterState& s) { s.gateSeconds = 0.1; }},
        CommandCase{"ShortGateThenLong", {"\x1bt\r\x1bT\r"}, {"OK", "OK"}, [](CounterState&) {}},
        CommandCase{"AveragingOn",
                    {"\x1b"
                     "A\r"},
                    {"OK"},
                    [](CounterState& s) { s.averaging = true; }},
        CommandCase{"AveragingOnOff",
                    {"\x1b"
                     "A\r\x1b"
                     "a\r"},
                    {"OK", "OK"},
                    [](CounterState&) {}},
        CommandCase{
            "Period", {"\x1bp\r"}, {"OK"}, [](CounterState& s) { s.mode = Quantity::Period; }},
        CommandCase{
            "Offset", {"\x1bo\r"}, {"OK"}, [](CounterState& s) { s.mode = Quantity::Offset; }},
        CommandCase{"OffsetThenFrequency",
                    {"\x1bo\r\x1b"
                     "f\r"},
                    {"OK", "OK"},
                    [](CounterState&) {}},
        CommandCase{"Hertz",
                    {"\x1bh\r"},
                    {"OK"},
                    [](CounterState& s) { s.format = TelegramFormat::Hertz; }},
        CommandCase{"HertzThenDump",
                    {"\x1bh\r\x1b"
                     "d\r"},
                    {"OK", "OK"},
                    [](CounterState&) {}},
        CommandCase{
            "Interval", {"\x1bi5\r"}, {"OK"}, [](CounterState& s) { s.transmitInterval = 5; }},
        CommandCase{"Prescaler",
                    {"\x1b"
                     "b16\r"},
                    {"OK"},
                    [](CounterState& s) { s.prescaler = 16; }},
        CommandCase{"PrescalerInPieces",
                    {"\x1b", "b1", "6", "\r"},
                    {"OK"},
                    [](CounterState& s) { s.prescaler = 16; }},
        CommandCase{"NegativeInterval", {"\x1bi-2\r"}, {"ERR"}, [](CounterState&) {}},
        CommandCase{"ZeroInterval", {"\x1bi0\r"}, {"ERR"}, [](CounterState&) {}},
        CommandCase{"IntervalWithoutNumber", {"\x1bi\r"}, {"ERR"}, [](CounterState&) {}},
        CommandCase{"IntervalWithBlank", {"\x1bi 5\r"}, {"ERR"}, [](CounterState&) {}},
        CommandCase{"PrescalerTooBig",
                    {"\x1b"
                     "b10000\r"},
                    {"ERR"},
                    [](CounterState&) {}},
        CommandCase{"PrescalerOverflow",
                    {"\x1b"
                     "b99999999999999999999\r"},
                    {"ERR"},
                    [](CounterState&) {}},
        CommandCase{"UnknownLetter", {"\x1bq\r"}, {"?"}, [](CounterState&) {}},
        CommandCase{"LetterWithTrailingText", {"\x1brx\r"}, {"?"}, [](CounterState&) {}},
        CommandCase{"EmptyCommand", {"\x1b\r"}, {"?"}, [](CounterState&) {}},
        CommandCase{"NoiseOutsideFramesIsDropped",
                    {"xyz\n\r\x1bh\r\n"},
                    {"OK"},
                    [](CounterState& s) { s.format = TelegramFormat::Hertz; }},
        CommandCase{"EscRestartsTheFrame",
                    {"\x1bi5\x1b"
                     "d\r"},
                    {"OK"},
                    [](CounterState&) {}},
        CommandCase{"OverlongFrameIsRejectedOnce",
                    {"\x1b" + std::string(40, '9') + "\r"},
                    {"?"},
                    [](CounterState&) {}},
        CommandCase{"NoCrNoCommand", {"\x1br"}, {}, [](CounterState&) {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandOutcome, MeasurementRestartsOnlyWhenAMeasurementBegins) {
    CounterState idle;
    EXPECT_TRUE(handleCommand(idle, "1").restartMeasurement);
    EXPECT_FALSE(handleCommand(idle, "x").restartMeasurement);
    EXPECT_FALSE(handleCommand(idle, "T").restartMeasurement);
    EXPECT_TRUE(handleCommand(idle, "r").restartMeasurement);
    // A new gate time while measuring starts the next gate afresh.
    EXPECT_TRUE(handleCommand(idle, "t").restartMeasurement);
    EXPECT_FALSE(handleCommand(idle, "h").restartMeasurement);
}

TEST(CommandReplies, AreStatusTelegramsToTheDriver) {
    // The driver reads 6 to 14 characters as a reading: no reply may have that length.
    for (const std::string& reply : {std::string(kIdentification), std::string(kReplyOk),
                                     std::string(kReplyUnknown), std::string(kReplyBadNumber)}) {
        EXPECT_TRUE(reply.size() <= 5 || reply.size() >= 15) << reply;
    }
    EXPECT_EQ(std::string(kIdentification).substr(0, 5), "kelvo");
}

} // namespace
} // namespace tools
