// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/canvas.h"

#include "plot/canvas_font.h"
#include "plot/text_stamp.h"
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

// Texts and their widths and stamps remembered; more are forgotten and measured again.
constexpr std::size_t kRememberedTexts = 4096;

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
        if (const TextStamp* stamp = textStamp(text)) {
            stamp->drawOn(image_, x, y, font.color);
        } else {
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
            painter.drawText(
                0, fontAscent(qtFont),
                QString::fromLatin1(text.c_str(), static_cast<qsizetype>(text.size())));
        }
    }
    penPos_ = QPoint(x + textWidth(text), y);
}

const TextStamp* Canvas::textStamp(const std::string& text) {
    if (font.orientation != 0 || font.antialiased) {
        return nullptr;
    }
    std::string key = textKey(text);
    auto known = textStamps_.find(key);
    if (known == textStamps_.end()) {
        if (textStamps_.size() >= kRememberedTexts) {
            textStamps_.clear();
        }
        std::optional<TextStamp> made = TextStamp::of(text, font);
        known = textStamps_
                    .emplace(std::move(key),
                             made ? std::make_shared<const TextStamp>(std::move(*made)) : nullptr)
                    .first;
    }
    return known->second.get();
}

// Colour and direction change neither the advance nor the pixels set.
std::string Canvas::textKey(const std::string& text) const {
    std::string key = text;
    key += '\0';
    key += font.name;
    key += {'\0', static_cast<char>(font.bold), static_cast<char>(font.italic),
            static_cast<char>(font.antialiased)};
    key += std::to_string(font.size);
    return key;
}

int Canvas::textWidth(const std::string& text) const {
    std::string key = textKey(text);
    if (const auto known = textWidths_.find(key); known != textWidths_.end()) {
        return known->second;
    }
    const QFont qtFont = qtFontOf(font);
    const QString s = QString::fromLatin1(text.c_str(), static_cast<qsizetype>(text.size()));
    const int width = QFontMetrics(qtFont).horizontalAdvance(s);
    if (textWidths_.size() >= kRememberedTexts) {
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
