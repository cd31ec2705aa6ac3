// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/picture_output.h"

#include "graph/xy_plot.h"
#include "plot/vector_echo.h"

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

// Draws the graph onto a vector device's painter, clipped to the picture as the screen is.
void drawVector(XyPlot& plot, QPaintDevice& device, QSize size) {
    QPainter painter(&device);
    painter.setClipRect(QRect(QPoint(0, 0), size));
    {
        plot::VectorEcho echo(painter);
        plot.pictureAt(size, &echo);
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

QByteArray pictureBytes(XyPlot& plot, PictureFormat format, QSize size) {
    if (size.isEmpty()) {
        return {};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
    case PictureFormat::Png:
        if (!plot.pictureAt(size).save(&buffer, "PNG")) {
            return {};
        }
        break;
    case PictureFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setResolution(kScreenDpi);
        drawVector(plot, svg, size);
        break;
    }
    case PictureFormat::Pdf: {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kScreenDpi);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / kScreenDpi, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        drawVector(plot, pdf, size);
        break;
    }
    }
    return bytes;
}

} // namespace graph
