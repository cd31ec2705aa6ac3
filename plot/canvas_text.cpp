#include "plot/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <cmath>
#include <cstdlib>

namespace {

// Metric-compatible free faces for the classic desktop font names.
QString FamilyFor(const std::string& name) {
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
int PixelSizeFor(int points) {
    const int size = (std::abs(points) * 96 + 36) / 72;
    return size < 1 ? 1 : size;
}

QFont MakeQFont(const TFont& font) {
    QFont f(FamilyFor(font.Name));
    f.setPixelSize(PixelSizeFor(font.Size));
    f.setBold(font.Bold);
    f.setItalic(font.Italic);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(font.Antialiased
                           ? QFont::PreferAntialias
                           : QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    return f;
}

// Whole pixels above the baseline, rounded up as the desktop's text metrics do.
int Ascent(const QFontMetricsF& metrics) {
    return static_cast<int>(std::ceil(metrics.ascent()));
}

} // namespace

void Canvas::TextOut(int x, int y, const std::string& text) {
    if (!Image_.isNull() && !text.empty()) {
        const QFont font = MakeQFont(Font);
        QPainter painter(&Image_);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(ToQRgb(Font.Color)));
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setRenderHint(QPainter::TextAntialiasing, Font.Antialiased);
        painter.translate(x, y);
        if (Font.Orientation != 0) {
            painter.rotate(-Font.Orientation / 10.0);
        }
        painter.drawText(0, Ascent(QFontMetricsF(font)),
                         QString::fromLatin1(text.c_str(), static_cast<qsizetype>(text.size())));
    }
    PenPos_ = QPoint(x + TextWidth(text), y);
}

int Canvas::TextWidth(const std::string& text) const {
    const QFont font = MakeQFont(Font);
    const QString s = QString::fromLatin1(text.c_str(), static_cast<qsizetype>(text.size()));
    return QFontMetrics(font).horizontalAdvance(s);
}

int Canvas::TextHeight(const std::string&) const {
    const QFontMetricsF metrics(MakeQFont(Font));
    return Ascent(metrics) + static_cast<int>(std::ceil(metrics.descent()));
}
