// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/canvas.h"

#include "plot/canvas_font.h"
#include "plot/vector_echo.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <cmath>
#include <cstdlib>
#include <string>

namespace plot {

namespace {

// Metric-compatible free faces for the classic desktop font names.
QString familyFor(const std::string& name) {
    const QString family = QString::fromLatin1(name.c_str());
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("Liberation Sans");
    }
    if (family.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("Liberation Serif");
    }
    if (family.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("Liberation Mono");
    }
    return family;
}

// Points at 96 dpi to pixels, halves away from zero: 8 pt is 11 px.
int pixelSizeFor(int points) {
    const int size = (std::abs(points) * 96 + 36) / 72;
    return size < 1 ? 1 : size;
}

} // namespace

QFont qtFontOf(const Font& font) {
    QFont f(familyFor(font.name));
    f.setPixelSize(pixelSizeFor(font.size));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(font.antialiased
                           ? QFont::PreferAntialias
                           : QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    return f;
}

// Rounded up as the desktop's text metrics do.
int fontAscent(const QFont& font) {
    return static_cast<int>(std::ceil(QFontMetricsF(font).ascent()));
}

void Canvas::textOut(int x, int y, const std::string& text) {
    if (echo_ != nullptr) {
        echo_->text(x, y, text, font);
    }
    if (!image_.isNull() && !text.empty()) {
        const QFont qtFont = qtFontOf(font);
        QPainter painter(&image_);
        painter.setFont(qtFont);
        painter.setPen(QColor::fromRgb(toQRgb(font.color)));
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setRenderHint(QPainter::TextAntialiasing, font.antialiased);
        painter.translate(x, y);
        if (font.orientation != 0) {
            painter.rotate(-font.orientation / 10.0);
        }
        painter.drawText(0, fontAscent(qtFont),
                         QString::fromLatin1(text.c_str(), static_cast<qsizetype>(text.size())));
    }
    penPos_ = QPoint(x + textWidth(text), y);
}

int Canvas::textWidth(const std::string& text) const {
    constexpr std::size_t kRememberedWidths = 4096;
    // Colour and direction do not change the advance.
    std::string key = text;
    key += '\0';
    key += font.name;
    key += {'\0', static_cast<char>(font.bold), static_cast<char>(font.italic),
            static_cast<char>(font.antialiased)};
    key += std::to_string(font.size);
    if (const auto known = textWidths_.find(key); known != textWidths_.end()) {
        return known->second;
    }
    const QFont qtFont = qtFontOf(font);
    const QString s = QString::fromLatin1(text.c_str(), static_cast<qsizetype>(text.size()));
    const int width = QFontMetrics(qtFont).horizontalAdvance(s);
    if (textWidths_.size() >= kRememberedWidths) {
        textWidths_.clear();
    }
    textWidths_.emplace(std::move(key), width);
    return width;
}

int Canvas::textHeight(const std::string&) const {
    const QFont qtFont = qtFontOf(font);
    return fontAscent(qtFont) + static_cast<int>(std::ceil(QFontMetricsF(qtFont).descent()));
}

} // namespace plot
