#pragma once

#include "plot/print_target.h"

#include <vector>

namespace plot {

// A printer with a given portrait page that records what is printed on it.
class FakePrintTarget : public PrintTarget {
public:
    struct Block {
        PrintRect rect;
        Color colour;
        friend bool operator==(const Block&, const Block&) = default;
    };

    FakePrintTarget(int portraitWidth, int portraitHeight)
        : portraitWidth_(portraitWidth), portraitHeight_(portraitHeight) {}

    void SetOrientation(PrintOrientation chosen) override { orientation = chosen; }
    int PageWidth() override { return landscape() ? portraitHeight_ : portraitWidth_; }
    int PageHeight() override { return landscape() ? portraitWidth_ : portraitHeight_; }
    bool BeginDocument() override {
        ++begun;
        return !failBegin;
    }
    bool FillRect(const PrintRect& rect, Color colour) override {
        if (failAfterBlocks >= 0 && static_cast<int>(blocks.size()) >= failAfterBlocks) {
            return false;
        }
        blocks.push_back({rect, colour});
        return true;
    }
    bool EndDocument() override {
        ++ended;
        return true;
    }
    void AbortDocument() override { ++aborted; }

    PrintOrientation orientation = PrintOrientation::Portrait;
    std::vector<Block> blocks;
    bool failBegin = false;
    int failAfterBlocks = -1;
    int begun = 0;
    int ended = 0;
    int aborted = 0;

private:
    bool landscape() const { return orientation == PrintOrientation::Landscape; }
    int portraitWidth_;
    int portraitHeight_;
};

// Hands a test-owned printer to code that takes ownership of the one it opens.
class SharedPrintTarget : public PrintTarget {
public:
    explicit SharedPrintTarget(PrintTarget& target) : target_(target) {}
    void SetOrientation(PrintOrientation orientation) override {
        target_.SetOrientation(orientation);
    }
    int PageWidth() override { return target_.PageWidth(); }
    int PageHeight() override { return target_.PageHeight(); }
    bool BeginDocument() override { return target_.BeginDocument(); }
    bool FillRect(const PrintRect& rect, Color colour) override {
        return target_.FillRect(rect, colour);
    }
    bool EndDocument() override { return target_.EndDocument(); }
    void AbortDocument() override { target_.AbortDocument(); }

private:
    PrintTarget& target_;
};

} // namespace plot
