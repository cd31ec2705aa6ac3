// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"
#include "plot/print_target.h"

#include <QPoint>
#include <QRect>
#include <memory>

namespace plot {

enum class ScreenCursor { Default, Cross, HourGlass };

// What the engine needs from the control it draws on. The graph control implements it; tests use a
// plain image. Each host has its own engine, which must not outlive it.
class EngineHost {
public:
    EngineHost() = default;
    EngineHost(const EngineHost&) = delete;
    EngineHost& operator=(const EngineHost&) = delete;
    virtual ~EngineHost() = default;

    virtual Canvas& engineCanvas() = 0;
    virtual int engineWidth() const = 0;
    virtual int engineHeight() const = 0;

    // Interaction (zoom, ruler, output): paint the control at once, or schedule a repaint.
    virtual void repaintNow() {}
    virtual void invalidate() {}
    virtual void setScreenCursor(ScreenCursor) {}
    // Keep the pointer inside a screen rectangle (right and bottom exclusive) until released.
    virtual void confinePointer(const QRect&) {}
    virtual void releasePointer() {}
    // Control pixel + offset = screen pixel.
    virtual QPoint screenOffset() const { return {}; }

    // Output: the system beep, and the printer a picture is printed on (none: printing fails).
    virtual void beep() {}
    virtual std::unique_ptr<PrintTarget> openPrinter() { return nullptr; }
};

// A host over an image of its own: for tests, benchmarks and off-screen pictures.
class ImageHost : public EngineHost {
public:
    ImageHost(int width, int height) : canvas_(width, height) {}

    Canvas& engineCanvas() override { return canvas_; }
    int engineWidth() const override { return canvas_.width(); }
    int engineHeight() const override { return canvas_.height(); }

private:
    Canvas canvas_;
};

} // namespace plot
