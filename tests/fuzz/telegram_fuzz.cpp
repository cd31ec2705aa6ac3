// Telegrams as the receive thread hands them over: each line of the input becomes the port's
// ReceivedText and goes through the port's data handler into the driver. The first byte says
// whether the driver starts connected; a line of the single byte 0x02 toggles the connection.

#include "counter/kelvo_counter.h"
#include "counter/telegram_text.h"
#include "tests/fuzz/fuzz_check.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {

struct Events {
    int Data = 0;
    int Status = 0;
};

void Deliver(TKELVO_Counter& counter, const std::string& telegram, Events& events) {
    const bool wasIdentified = counter.Identified;
    const std::string oldIdText = counter.IdText;
    events = {};
    counter.HandleTelegram(telegram);

    FUZZ_CHECK(counter.LastText == telegram);
    if (telegram.compare(0, 5, "kelvo") == 0) {
        FUZZ_CHECK(counter.Identified && counter.IdText == telegram);
    } else {
        FUZZ_CHECK(counter.Identified == wasIdentified && counter.IdText == oldIdText);
    }
    const bool handled = counter.Connected && !telegram.empty();
    FUZZ_CHECK(events.Data + events.Status == (handled ? 1 : 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    TKELVO_Counter counter;
    counter.Connected = (data[0] & 1) != 0;
    Events events;
    counter.OnData = [&](QObject* sender) {
        FUZZ_CHECK(sender == &counter);
        FUZZ_CHECK(counter.Connected);
        FUZZ_CHECK(std::isfinite(counter.Value));
        FUZZ_CHECK(counter.Telegram == counter.LastText);
        FUZZ_CHECK(ParseNumber(counter.ValueText).has_value());
        FUZZ_CHECK(counter.UnitText.find(' ') == std::string::npos);
        ++events.Data;
    };
    counter.OnStatus = [&](QObject* sender) {
        FUZZ_CHECK(sender == &counter);
        FUZZ_CHECK(counter.Connected);
        FUZZ_CHECK(counter.StatusText == counter.LastText && !counter.StatusText.empty());
        ++events.Status;
    };

    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t start = 0;
    while (start <= input.size()) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        const std::string line = input.substr(start, end - start);
        if (line == "\x02") {
            counter.Connected = !counter.Connected;
        } else {
            Deliver(counter, line, events);
        }
        start = end + 1;
    }
    return 0;
}
