// SPDX-License-Identifier: MIT
#pragma once

#include <cmath>

namespace vistrel {

// The control lays itself out in twips (1/1440 inch); the screen counts
// pixels. One scale per axis, from the logical resolution of the screen.
class TwipScale {
public:
    static constexpr double kTwipsPerInch = 1440.0;

    TwipScale(int dpiX, int dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}

    int toPixelsX(int twips) const { return convert(twips, dpiX_ / kTwipsPerInch); }
    int toPixelsY(int twips) const { return convert(twips, dpiY_ / kTwipsPerInch); }
    int toTwipsX(int pixels) const { return convert(pixels, kTwipsPerInch / dpiX_); }
    int toTwipsY(int pixels) const { return convert(pixels, kTwipsPerInch / dpiY_); }

private:
    static int convert(int value, double factor) {
        return static_cast<int>(std::lround(value * factor));
    }

    double dpiX_;
    double dpiY_;
};

} // namespace vistrel
