// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widget_style.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPalette>
#include <QWidget>
#include <cmath>

namespace app {
namespace {

// WCAG 2's relative luminance of an sRGB colour.
double luminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

QColor mixed(const QColor& from, const QColor& to, double share) {
    const auto channel = [share](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * share));
    };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

// Keeps a widget's text in its colour where that reads on the widget's background, and in the
// nearest colour that does where it would not (a dark desktop theme): the text follows the theme
// as it changes.
class ReadableText : public QObject {
public:
    ReadableText(QWidget* widget, Qt::GlobalColor colour) : QObject(widget), colour_(colour) {
        widget->installEventFilter(this);
        apply(widget);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::PaletteChange ||
            event->type() == QEvent::ApplicationPaletteChange) {
            apply(static_cast<QWidget*>(watched));
        }
        return false;
    }

private:
    void apply(QWidget* widget) {
        // Lists show their text on the base colour, labels on the window colour.
        const QPalette::ColorRole ground =
            qobject_cast<QAbstractScrollArea*>(widget) ? QPalette::Base : widget->backgroundRole();
        const QColor text = readableOn(colour_, widget->palette().color(ground));
        QPalette palette = widget->palette();
        if (palette.color(QPalette::Text) != text || palette.color(QPalette::WindowText) != text) {
            palette.setColor(QPalette::Text, text);
            palette.setColor(QPalette::WindowText, text);
            widget->setPalette(palette);
        }
    }

    QColor colour_;
};

} // namespace

// Courier and Tahoma, the faces these controls were laid out for, as Debian has them.
QFont listFont() {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(15);
    return font;
}

QFont sansFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& wanted, const QColor& background) {
    const QColor toward = luminance(background) < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 0; step <= 20; ++step) {
        const QColor candidate = mixed(wanted, toward, step / 20.0);
        if (contrastRatio(candidate, background) >= kReadableContrast) {
            return candidate;
        }
    }
    return toward;
}

void setTextColour(QWidget* widget, Qt::GlobalColor colour) {
    new ReadableText(widget, colour);
}

} // namespace app
