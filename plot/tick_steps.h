// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace plot {

struct TickLengthPair {
    int major = 0;
    int minor = 0;
};

// Tick lengths in pixels from the "major/minor ticsize" settings and the digit width.
TickLengthPair tickLengths(int charWidth, double majorTicSize, double minorTicSize);

// Least distance in pixels between two labels: `charSize` (digit width for x, text height for y)
// times the "label dist" setting, plus the width of the x unit suffix.
int labelPitch(int charSize, double labelDistance, int suffixWidth = 0);

// What chooseTickSteps does with an axis end that carries no tick: keep it, or move it outward
// onto the next minor or major tick.
enum class ExtendMode { Keep = 0, ToMinor = 1, ToMajor = 2 };

struct TickSteps {
    double major = 0;
    double minor = 0;
    int decimals = 0; // decimals the step needs (negative for steps of tens and more)
};

// Chooses the major and minor tick steps for the range low..high drawn over `pixelLength`
// pixels with labels at least `labelPitch` apart. Puts low and high in order, rounds
// `minimumStep` to 1, 2 or 5 times a power of ten (a negative one counts as none) and, with
// extend mode 1 or 2, moves ends that carry no minor or major tick outward onto one.
TickSteps chooseTickSteps(double& low, double& high, double& minimumStep, int pixelLength,
                          int labelPitch, int extendMode);

// Moves an axis end outward to a multiple of `step`; an end already on a multiple moves one more
// step when it lies on the outward side of zero.
double roundDownToStep(double step, double v);
double roundUpToStep(double step, double v);

// Number of decimals needed to show v (99 for 0; negative for tens and more).
int decimalsFor(long double v);

} // namespace plot
