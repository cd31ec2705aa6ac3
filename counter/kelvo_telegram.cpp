#include "counter/display_dump.h"
#include "counter/kelvo_counter.h"
#include "counter/telegram_text.h"

#include <cmath>
#include <exception>

namespace {
constexpr std::size_t ShortestHertzValue = 6;
constexpr std::size_t LongestHertzValue = 14;
} // namespace

void TKELVO_Counter::HandleTelegram(const std::string& text) {
    LastText = text;
    if (LastText.compare(0, 5, "kelvo") == 0) {
        IdText = LastText;
        Identified = true;
    }
    if (!Connected || LastText.empty()) {
        return;
    }
    const std::string telegram = LastText;
    if (IsDisplayDump(telegram)) {
        if (!HandleDisplayDump(telegram)) {
            HandleStatus(telegram);
        }
        return;
    }
    if (telegram.size() < ShortestHertzValue || telegram.size() > LongestHertzValue) {
        HandleStatus(telegram);
        return;
    }
    if (!HandleHertzValue(telegram)) {
        HandleStatus(telegram);
    }
}

// A reading whose number does not convert is no reading: it would put a value the counter never
// measured into the log and the graph. Such telegrams are passed on as status telegrams.
bool TKELVO_Counter::HandleDisplayDump(const std::string& telegram) {
    const std::string numberField = DumpNumberField(telegram);
    const auto number = ParseNumber(numberField);
    if (!number) {
        return false;
    }
    const std::string unitField = DumpUnitField(telegram);
    // A huge number scaled to hertz can leave the range of a double; infinity is no reading.
    const double value = *number * UnitFieldFactor(unitField);
    if (!std::isfinite(value)) {
        return false;
    }
    ValueText = numberField;
    UnitText = RemoveSpaces(unitField);
    Value = value;
    Telegram = telegram;
    IsPeriod = UnitFieldIsPeriod(unitField);
    RaiseData();
    return true;
}

bool TKELVO_Counter::HandleHertzValue(const std::string& telegram) {
    const auto number = ParseNumber(telegram);
    if (!number) {
        return false;
    }
    Value = *number;
    Telegram = telegram;
    ValueText = telegram;
    UnitText = "Hz";
    IsPeriod = false;
    try {
        RaiseData();
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void TKELVO_Counter::HandleStatus(const std::string& telegram) {
    StatusText = telegram;
    if (OnStatus) {
        OnStatus(this);
    }
}

void TKELVO_Counter::RaiseData() {
    if (OnData) {
        OnData(this);
    }
}
