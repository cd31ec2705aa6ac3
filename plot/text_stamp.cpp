// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/text_stamp.h"

#include "plot/canvas_font.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace plot {

std::optional<TextStamp> TextStamp::of(const std::string& text, const Font& font) {
    const QFont qtFont = qtFontOf(font);
    const QFontMetrics metrics(qtFont);
    const QString shown = QString::fromLatin1(text.c_str(), static_cast<qsizetype>(text.size()));
    // Room for glyphs reaching beyond the advance and the line, as slanted ones do.
    const int margin = metrics.height();
    QImage picture(metrics.horizontalAdvance(shown) + 2 * margin, 3 * margin,
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setFont(qtFont);
        painter.setPen(QColor(Qt::black));
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.drawText(margin, margin + fontAscent(qtFont), shown);
    }
    TextStamp stamp;
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width();) {
            const int alpha = qAlpha(row[x]);
            if (alpha == 0) {
                ++x;
                continue;
            }
            if (alpha != 255 || x == 0 || y == 0 || x == picture.width() - 1 ||
                y == picture.height() - 1) {
                return std::nullopt; // partly drawn, or reaching beyond the room given
            }
            const int start = x;
            while (x < picture.width() && qAlpha(row[x]) == 255) {
                ++x;
            }
            stamp.runs_.push_back({start - margin, y - margin, x - start});
        }
    }
    return stamp;
}

void TextStamp::drawOn(QImage& image, int x, int y, Color colour) const {
    const QRgb pixel = toQRgb(colour);
    for (const Run& run : runs_) {
        const int row = y + run.y;
        if (row < 0 || row >= image.height()) {
            continue;
        }
        const int from = std::max(x + run.x, 0);
        const int to = std::min(x + run.x + run.length, image.width());
        if (from < to) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(row));
            std::fill(line + from, line + to, pixel);
        }
    }
}

} // namespace plot
