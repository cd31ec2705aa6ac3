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

    virtual Canvas& EngineCanvas() = 0;
    virtual int EngineWidth() const = 0;
    virtual int EngineHeight() const = 0;

    // Interaction (zoom, ruler, output): paint the control at once, or schedule a repaint.
    virtual void RepaintNow() {}
    virtual void Invalidate() {}
    virtual void SetScreenCursor(ScreenCursor) {}
    // Keep the pointer inside a screen rectangle (right and bottom exclusive) until released.
    virtual void ConfinePointer(const QRect&) {}
    virtual void ReleasePointer() {}
    // Control pixel + offset = screen pixel.
    virtual QPoint ScreenOffset() const { return {}; }

    // Output: the system beep, and the printer a picture is printed on (none: printing fails).
    virtual void Beep() {}
    virtual std::unique_ptr<PrintTarget> OpenPrinter() { return nullptr; }
};

// A host over an image of its own: for tests, benchmarks and off-screen pictures.
class ImageHost : public EngineHost {
public:
    ImageHost(int width, int height) : canvas_(width, height) {}

    Canvas& EngineCanvas() override { return canvas_; }
    int EngineWidth() const override { return canvas_.width(); }
    int EngineHeight() const override { return canvas_.height(); }

private:
    Canvas canvas_;
};

} // namespace plot
