// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/tick_steps.h"

#include "plot/extended_rounding.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace plot {

namespace {

// A ridiculously fine pass count means the range is too narrow for its magnitude: stop there.
constexpr int kMaxPasses = 200;

long double roundMinimumStep(long double step) {
    if (!(step > 0) || !std::isfinite(step))
        return 0;
    long double scale = 1;
    long double m = step;
    while (m > 7) {
        m /= 10;
        scale *= 10;
    }
    while (m < 0.7L) {
        m *= 10;
        scale /= 10;
    }
    const long double mantissa = m > 3.2L ? 5 : (m > 1.4L ? 2 : 1);
    return mantissa * scale;
}

// Pixel offset of v along the axis, as the step chooser counts it.
struct AxisPixels {
    long double low;
    long double span;
    int length;
    long double operator()(long double v) const { return roundEven((v - low) / span * length); }
};

long double firstTick(long double low, long double major) {
    return trunc(low / major - 1) * major;
}

int countMajorTicks(const AxisPixels& pixel, long double low, long double major) {
    int count = 0;
    for (long double t = firstTick(low, major); pixel(t) <= pixel.length; t += major) {
        if (pixel(t) >= 0)
            ++count;
        if (t + major == t)
            break;
    }
    return count;
}

struct EndTicks {
    bool major = false;
    bool minor = false;
};

void findEndTicks(const AxisPixels& pixel, long double low, long double major, long double minor,
                  EndTicks& atLow, EndTicks& atHigh) {
    const long double k = roundEven(major / minor);
    for (long double t = firstTick(low, major); pixel(t) <= pixel.length; t += major) {
        if (pixel(t) == 0)
            atLow.major = true;
        if (pixel(t) == pixel.length)
            atHigh.major = true;
        for (long double j = 1; j <= k - 1; ++j) {
            const long double p = pixel(t + j * minor);
            if (p == 0 && !atLow.major && !atLow.minor)
                atLow.minor = true;
            if (p == pixel.length && !atHigh.major && !atHigh.minor)
                atHigh.minor = true;
        }
        if (t + major == t)
            break;
    }
}

} // namespace

TickLengthPair tickLengths(int charWidth, double majorTicSize, double minorTicSize) {
    TickLengthPair lengths;
    lengths.major = roundToInt(static_cast<long double>(majorTicSize) * charWidth + 0.5L);
    lengths.minor = roundToInt(static_cast<long double>(minorTicSize) * lengths.major);
    return lengths;
}

int labelPitch(int charSize, double labelDistance, int suffixWidth) {
    return suffixWidth + roundToInt(static_cast<long double>(charSize) * labelDistance);
}

TickSteps chooseTickSteps(double& low, double& high, double& minimumStep, int pixelLength,
                          int labelPitch, int extendMode) {
    const int length = std::max(pixelLength, 1);
    const int n = labelPitch > 0 ? std::max(length / labelPitch, 1) : 1;
    if (low > high)
        std::swap(low, high);
    minimumStep = static_cast<double>(roundMinimumStep(minimumStep));

    TickSteps steps;
    if (!(high > low) || !std::isfinite(high - low))
        return steps;
    const AxisPixels pixel{low, static_cast<long double>(high) - low, length};

    long double factor = 1.0L;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        long double raw = (static_cast<long double>(high) - low) / (n + 0.000001L) * factor;
        long double s = 1.0L;
        int decimals = 0;
        while (raw >= 5) {
            raw /= 10;
            s *= 10;
            --decimals;
        }
        while (raw < 0.5L) {
            raw *= 10;
            s /= 10;
            ++decimals;
        }
        long double major = raw < 1 ? s : (raw < 2 ? 2 * s : 5 * s);
        long double minor = raw < 1 ? s / 5 : (raw < 2 ? s / 2 : s);
        const bool lastPass = countMajorTicks(pixel, low, major) >= 2;
        if (!lastPass)
            factor *= 0.8L;
        if (minor < minimumStep)
            minor = minimumStep;
        if (major < minimumStep)
            major = minimumStep;
        else if (2.4L * minor < major && major < 2.6L * minor)
            major *= 2;
        steps.major = static_cast<double>(major);
        steps.minor = static_cast<double>(minor);
        steps.decimals = decimals;
        if (lastPass)
            break;
    }

    if (extendMode != static_cast<int>(ExtendMode::ToMinor) &&
        extendMode != static_cast<int>(ExtendMode::ToMajor))
        return steps;
    EndTicks atLow, atHigh;
    findEndTicks(pixel, low, steps.major, steps.minor, atLow, atHigh);
    if (extendMode == static_cast<int>(ExtendMode::ToMajor)) {
        if (!atLow.major)
            low = roundDownToStep(steps.major, low);
        if (!atHigh.major)
            high = roundUpToStep(steps.major, high);
    } else {
        if (!atLow.major && !atLow.minor)
            low = roundDownToStep(steps.minor, low);
        if (!atHigh.major && !atHigh.minor)
            high = roundUpToStep(steps.minor, high);
    }
    return steps;
}

double roundDownToStep(double step, double v) {
    if (v == 0)
        return 0;
    const long double q = trunc(static_cast<long double>(v) / step);
    return static_cast<double>(v >= 0 ? q * step : q * step - step);
}

double roundUpToStep(double step, double v) {
    if (v == 0)
        return 0;
    const long double q = trunc(static_cast<long double>(v) / step);
    return static_cast<double>(v >= 0 ? q * step + step : q * step);
}

int decimalsFor(long double v) {
    const long double a = std::fabs(v);
    if (a == 0 || !std::isfinite(a))
        return 99;
    const int digits = static_cast<int>(trunc(std::log10(1.001L * a)));
    return a >= 1 ? -digits : 1 - digits;
}

} // namespace plot
