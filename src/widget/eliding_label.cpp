// SPDX-License-Identifier: MIT
#include "widget/eliding_label.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace vistrel {

ElidingLabel::ElidingLabel(Qt::TextElideMode mode, QWidget* parent) : QLabel(parent), mode_(mode) {}

void ElidingLabel::setTextAndTip(const QString& text) {
    setText(text);
    setToolTip(text.isEmpty() ? fallbackTip_ : text);
}

void ElidingLabel::setFallbackTip(const QString& tip) {
    fallbackTip_ = tip;
    if (text().isEmpty()) {
        setToolTip(tip);
    }
}

QSize ElidingLabel::minimumSizeHint() const {
    const QSize natural = QLabel::minimumSizeHint();
    const int ellipsis = fontMetrics().horizontalAdvance(QStringLiteral("\u2026"));
    return {std::min(natural.width(), ellipsis + frameWidth() * 2 + 2 * margin()),
            natural.height()};
}

void ElidingLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().marginsRemoved(QMargins(margin(), 0, margin(), 0));
    const QString shown = fontMetrics().elidedText(text(), mode_, room.width());
    style()->drawItemText(&painter, room, static_cast<int>(alignment()), palette(), isEnabled(),
                          shown, foregroundRole());
}

} // namespace vistrel
