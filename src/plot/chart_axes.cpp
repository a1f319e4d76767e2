// SPDX-License-Identifier: MIT
#include "plot/chart_axes.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vistrel {
namespace {

const QColor kGridColour(225, 225, 225);
// Room between two time labels, in widths of a digit.
constexpr int kLabelGapDigits = 2;
// The widest value label that keeps fixed decimals; wider ones switch to
// four significant digits, which always fit.
const QString kWidestFixedLabel = QStringLiteral("-888888.888");

QString secondsLabel(double t, double step) {
    return tickLabel(t, step) + QStringLiteral(" s");
}

// Tick k of a step: computed from its index, so that no rounding error
// piles up over many ticks.
template <typename Draw> void forEachTick(double low, double high, double step, Draw draw) {
    const double firstIndex = std::ceil(low / step - 1e-9);
    for (double k = firstIndex; k * step <= high + step * 1e-9; ++k) {
        draw(k * step);
    }
}

} // namespace

double roundStepAtLeast(double least) {
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (least <= m * power * (1 + 1e-9)) {
            return m * power;
        }
    }
    return 10 * power;
}

QString tickLabel(double value, double step) {
    const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 9);
    // A tick at zero reached from below is "0", not "-0.0".
    const double shown = std::abs(value) < step * 1e-6 ? 0.0 : value;
    return QString::number(shown, 'f', decimals);
}

double timeTickStep(double from, double to, int width, const QFontMetrics& metrics) {
    const double span = to - from;
    const double gap = kLabelGapDigits * metrics.horizontalAdvance(QLatin1Char('8'));
    // Each step is tried with its own labels: a finer step writes more
    // decimals, so its labels are wider.
    double step = roundStepAtLeast(span * metrics.horizontalAdvance(QStringLiteral("8 s")) /
                                   std::max(1, width));
    for (int tries = 0; tries < 64; ++tries) {
        const double widest = std::max(metrics.horizontalAdvance(secondsLabel(from, step)),
                                       metrics.horizontalAdvance(secondsLabel(to, step)));
        if (step * width / span >= widest + gap) {
            break;
        }
        step = roundStepAtLeast(step * 1.5);
    }
    return step;
}

void drawTimeAxis(QPainter& painter, const QRect& plot, double from, double to) {
    const QFontMetrics metrics = painter.fontMetrics();
    const double step = timeTickStep(from, to, plot.width(), metrics);
    const double scale = plot.width() / (to - from);
    forEachTick(from, to, step, [&](double t) {
        const int x = plot.left() + static_cast<int>(std::lround((t - from) * scale));
        painter.setPen(kGridColour);
        painter.drawLine(x, plot.top(), x, plot.bottom());
        const QString label = secondsLabel(t, step);
        const int half = metrics.horizontalAdvance(label) / 2 + 1;
        painter.setPen(Qt::black);
        painter.drawText(QRect(x - half, plot.bottom() + 3, 2 * half, metrics.height()),
                         Qt::AlignHCenter | Qt::AlignTop, label);
    });
}

int valueAxisWidth(const QFontMetrics& metrics) {
    return metrics.horizontalAdvance(kWidestFixedLabel) + 8;
}

void drawValueAxis(QPainter& painter, const QRect& plot, ValueRange scale, QColor labelColour,
                   int slack) {
    const QFontMetrics metrics = painter.fontMetrics();
    const int room = valueAxisWidth(metrics) - 4;
    const double span = scale.high - scale.low;
    // About five ticks in a low lane, one every 50 pixels in a tall chart,
    // never closer than a text row and a little room.
    const int spacing = std::clamp(plot.height() / 5, metrics.height() + 4, 50);
    const double step = roundStepAtLeast(span * spacing / std::max(1, plot.height()));
    const double perUnit = plot.height() / span;
    forEachTick(scale.low, scale.high, step, [&](double v) {
        const int y = plot.bottom() - static_cast<int>(std::lround((v - scale.low) * perUnit));
        painter.setPen(kGridColour);
        painter.drawLine(plot.left(), y, plot.right(), y);
        const QRect box(plot.left() - room - 4, y - metrics.height() / 2, room, metrics.height());
        if (box.top() < plot.top() - slack || box.bottom() > plot.bottom() + slack) {
            return;
        }
        QString label = tickLabel(v, step);
        if (metrics.horizontalAdvance(label) > room) {
            label = QString::number(v, 'g', 4);
        }
        painter.setPen(labelColour);
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, label);
    });
}

} // namespace vistrel
