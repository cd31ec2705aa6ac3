#pragma once

#include "plot/print_target.h"

#include <vector>

// A printer with a given portrait page that records what is printed on it.
class FakePrintTarget : public PrintTarget {
public:
    struct Block {
        PrintRect Rect;
        TColor Colour;
        friend bool operator==(const Block&, const Block&) = default;
    };

    FakePrintTarget(int portraitWidth, int portraitHeight)
        : portraitWidth_(portraitWidth), portraitHeight_(portraitHeight) {}

    void SetOrientation(PrintOrientation orientation) override { Orientation = orientation; }
    int PageWidth() override { return Landscape() ? portraitHeight_ : portraitWidth_; }
    int PageHeight() override { return Landscape() ? portraitWidth_ : portraitHeight_; }
    bool BeginDocument() override {
        ++Begun;
        return !FailBegin;
    }
    bool FillRect(const PrintRect& rect, TColor colour) override {
        if (FailAfterBlocks >= 0 && static_cast<int>(Blocks.size()) >= FailAfterBlocks) {
            return false;
        }
        Blocks.push_back({rect, colour});
        return true;
    }
    bool EndDocument() override {
        ++Ended;
        return true;
    }
    void AbortDocument() override { ++Aborted; }

    PrintOrientation Orientation = PrintOrientation::Portrait;
    std::vector<Block> Blocks;
    bool FailBegin = false;
    int FailAfterBlocks = -1;
    int Begun = 0;
    int Ended = 0;
    int Aborted = 0;

private:
    bool Landscape() const { return Orientation == PrintOrientation::Landscape; }
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
    bool FillRect(const PrintRect& rect, TColor colour) override {
        return target_.FillRect(rect, colour);
    }
    bool EndDocument() override { return target_.EndDocument(); }
    void AbortDocument() override { target_.AbortDocument(); }

private:
    PrintTarget& target_;
};
