// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

namespace vistrel {

// A one-line label that never pushes its neighbours: a text wider than the
// label is drawn shortened with an ellipsis where the mode says (in the
// middle for paths, whose both ends matter), and the whole text is its
// tooltip. text() stays the whole text.
class ElidingLabel : public QLabel {
public:
    explicit ElidingLabel(Qt::TextElideMode mode, QWidget* parent = nullptr);

    // The text, and the whole of it as the tooltip; without a text the
    // tooltip is the fallback (what the label is for).
    void setTextAndTip(const QString& text);
    void setFallbackTip(const QString& tip);

    // The text's width would push neighbours off the window.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::TextElideMode mode_;
    QString fallbackTip_;
};

} // namespace vistrel
