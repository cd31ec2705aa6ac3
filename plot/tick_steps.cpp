#include "plot/tick_steps.h"

#include "plot/extended_rounding.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// A ridiculously fine pass count means the range is too narrow for its magnitude: stop there.
constexpr int kMaxPasses = 200;

long double RoundMinimumStep(long double step) {
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
    long double Low;
    long double Span;
    int Length;
    long double operator()(long double v) const { return RoundEven((v - Low) / Span * Length); }
};

long double FirstTick(long double low, long double major) {
    return Trunc(low / major - 1) * major;
}

int CountMajorTicks(const AxisPixels& pixel, long double low, long double major) {
    int count = 0;
    for (long double t = FirstTick(low, major); pixel(t) <= pixel.Length; t += major) {
        if (pixel(t) >= 0)
            ++count;
        if (t + major == t)
            break;
    }
    return count;
}

struct EndTicks {
    bool Major = false;
    bool Minor = false;
};

void FindEndTicks(const AxisPixels& pixel, long double low, long double major, long double minor,
                  EndTicks& atLow, EndTicks& atHigh) {
    const long double k = RoundEven(major / minor);
    for (long double t = FirstTick(low, major); pixel(t) <= pixel.Length; t += major) {
        if (pixel(t) == 0)
            atLow.Major = true;
        if (pixel(t) == pixel.Length)
            atHigh.Major = true;
        for (long double j = 1; j <= k - 1; ++j) {
            const long double p = pixel(t + j * minor);
            if (p == 0 && !atLow.Major && !atLow.Minor)
                atLow.Minor = true;
            if (p == pixel.Length && !atHigh.Major && !atHigh.Minor)
                atHigh.Minor = true;
        }
        if (t + major == t)
            break;
    }
}

} // namespace

TickLengthPair TickLengths(int charWidth, double majorTicSize, double minorTicSize) {
    TickLengthPair lengths;
    lengths.Major = RoundToInt(static_cast<long double>(majorTicSize) * charWidth + 0.5L);
    lengths.Minor = RoundToInt(static_cast<long double>(minorTicSize) * lengths.Major);
    return lengths;
}

int LabelPitch(int charSize, double labelDistance, int suffixWidth) {
    return suffixWidth + RoundToInt(static_cast<long double>(charSize) * labelDistance);
}

TickSteps ChooseTickSteps(double& low, double& high, double& minimumStep, int pixelLength,
                          int labelPitch, int extendMode) {
    const int length = std::max(pixelLength, 1);
    const int n = labelPitch > 0 ? std::max(length / labelPitch, 1) : 1;
    if (low > high)
        std::swap(low, high);
    minimumStep = static_cast<double>(RoundMinimumStep(minimumStep));

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
        const bool lastPass = CountMajorTicks(pixel, low, major) >= 2;
        if (!lastPass)
            factor *= 0.8L;
        if (minor < minimumStep)
            minor = minimumStep;
        if (major < minimumStep)
            major = minimumStep;
        else if (2.4L * minor < major && major < 2.6L * minor)
            major *= 2;
        steps.Major = static_cast<double>(major);
        steps.Minor = static_cast<double>(minor);
        steps.Decimals = decimals;
        if (lastPass)
            break;
    }

    if (extendMode != static_cast<int>(ExtendMode::ToMinor) &&
        extendMode != static_cast<int>(ExtendMode::ToMajor))
        return steps;
    EndTicks atLow, atHigh;
    FindEndTicks(pixel, low, steps.Major, steps.Minor, atLow, atHigh);
    if (extendMode == static_cast<int>(ExtendMode::ToMajor)) {
        if (!atLow.Major)
            low = RoundDownToStep(steps.Major, low);
        if (!atHigh.Major)
            high = RoundUpToStep(steps.Major, high);
    } else {
        if (!atLow.Major && !atLow.Minor)
            low = RoundDownToStep(steps.Minor, low);
        if (!atHigh.Major && !atHigh.Minor)
            high = RoundUpToStep(steps.Minor, high);
    }
    return steps;
}

double RoundDownToStep(double step, double v) {
    if (v == 0)
        return 0;
    const long double q = Trunc(static_cast<long double>(v) / step);
    return static_cast<double>(v >= 0 ? q * step : q * step - step);
}

double RoundUpToStep(double step, double v) {
    if (v == 0)
        return 0;
    const long double q = Trunc(static_cast<long double>(v) / step);
    return static_cast<double>(v >= 0 ? q * step + step : q * step);
}

int DecimalsFor(long double v) {
    const long double a = std::fabs(v);
    if (a == 0 || !std::isfinite(a))
        return 99;
    const int digits = static_cast<int>(Trunc(std::log10(1.001L * a)));
    return a >= 1 ? -digits : 1 - digits;
}
