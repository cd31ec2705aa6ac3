// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/picture_output.h"

#include "plot/engine_host.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>

namespace graph {

namespace {

constexpr int kScreenDpi = 96;

std::string lowerExtension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t slash = fileName.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    std::string extension = fileName.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// Draws the parts onto a vector device's painter, each clipped to its place as on the screen.
void drawVector(std::span<const PicturePart> parts, QPaintDevice& device) {
    QPainter painter(&device);
    for (const PicturePart& part : parts) {
        painter.save();
        painter.translate(part.place.topLeft());
        painter.setClipRect(QRect(QPoint(0, 0), part.place.size()));
        {
            plot::VectorEcho echo(painter);
            part.draw(part.place.size(), &echo);
        }
        painter.restore();
    }
    painter.end();
}

} // namespace

std::optional<PictureFormat> pictureFormatOf(const std::string& fileName) {
    const std::string extension = lowerExtension(fileName);
    if (extension == ".png") {
        return PictureFormat::Png;
    }
    if (extension == ".svg") {
        return PictureFormat::Svg;
    }
    if (extension == ".pdf") {
        return PictureFormat::Pdf;
    }
    return std::nullopt;
}

QImage drawnAt(Drawing& drawing, QSize size, plot::VectorEcho* echo) {
    plot::ImageHost host(size.width(), size.height());
    plot::PlotEngine engine(host);
    plot::Canvas& canvas = host.engineCanvas();
    canvas.echoTo(echo);
    drawing.draw(engine, canvas);
    canvas.echoTo(nullptr);
    return canvas.image();
}

PicturePart drawingPart(Drawing& drawing, QRect place) {
    return {[&drawing](QSize size, plot::VectorEcho* echo) { return drawnAt(drawing, size, echo); },
            place};
}

QByteArray pictureBytes(std::span<const PicturePart> parts, PictureFormat format, QSize size) {
    if (size.isEmpty() || parts.empty()) {
        return {};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
    case PictureFormat::Png: {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        for (const PicturePart& part : parts) {
            painter.drawImage(part.place.topLeft(), part.draw(part.place.size(), nullptr));
        }
        painter.end();
        if (!image.save(&buffer, "PNG")) {
            return {};
        }
        break;
    }
    case PictureFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setResolution(kScreenDpi);
        drawVector(parts, svg);
        break;
    }
    case PictureFormat::Pdf: {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kScreenDpi);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / kScreenDpi, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        drawVector(parts, pdf);
        break;
    }
    }
    return bytes;
}

} // namespace graph
