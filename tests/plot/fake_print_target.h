// SPDX-License-Identifier: GPL-3.0-or-later
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

    void setOrientation(PrintOrientation chosen) override { orientation = chosen; }
    int pageWidth() override { return landscape() ? portraitHeight_ : portraitWidth_; }
    int pageHeight() override { return landscape() ? portraitWidth_ : portraitHeight_; }
    bool beginDocument() override {
        ++begun;
        return !failBegin;
    }
    bool fillRect(const PrintRect& rect, Color colour) override {
        if (failAfterBlocks >= 0 && static_cast<int>(blocks.size()) >= failAfterBlocks) {
            return false;
        }
        blocks.push_back({rect, colour});
        return true;
    }
    bool endDocument() override {
        ++ended;
        return true;
    }
    void abortDocument() override { ++aborted; }

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
    void setOrientation(PrintOrientation orientation) override {
        target_.setOrientation(orientation);
    }
    int pageWidth() override { return target_.pageWidth(); }
    int pageHeight() override { return target_.pageHeight(); }
    bool beginDocument() override { return target_.beginDocument(); }
    bool fillRect(const PrintRect& rect, Color colour) override {
        return target_.fillRect(rect, colour);
    }
    bool endDocument() override { return target_.endDocument(); }
    void abortDocument() override { target_.abortDocument(); }

private:
    PrintTarget& target_;
};

} // namespace plot
