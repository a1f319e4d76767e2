// SPDX-License-Identifier: MIT
#include "plot/strip_chart_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace vistrel {

StripChartView::StripChartView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(200, 120);
}

void StripChartView::setSeries(std::shared_ptr<const SeriesStore> store,
                               std::vector<PlotSeries> series) {
    store_ = std::move(store);
    series_ = std::move(series);
    refresh();
}

void StripChartView::setSharedScale(bool shared) {
    frame_.sharedScale = shared;
    update();
}

void StripChartView::setAxisSeries(std::size_t index) {
    frame_.axisSeries = index;
    update();
}

void StripChartView::setStale(bool stale) {
    if (frame_.stale != stale) {
        frame_.stale = stale;
        update();
    }
}

void StripChartView::setLanes(bool lanes) {
    frame_.lanes = lanes;
    update();
}

void StripChartView::setWindowSeconds(double seconds) {
    window_ = std::clamp(seconds, 1.0, 3600.0);
    refresh();
}

void StripChartView::setPaused(bool paused) {
    paused_ = paused;
    refresh();
}

void StripChartView::showAll() {
    paused_ = true;
    if (store_ && !store_->empty()) {
        frame_.from = store_->time(0);
        frame_.to = std::max(store_->time(store_->size() - 1), frame_.from + 1e-3);
    }
    update();
}

void StripChartView::refresh() {
    if (!paused_) {
        follow();
    }
    update();
}

void StripChartView::follow() {
    const double newest = store_ && !store_->empty() ? store_->time(store_->size() - 1) : 0.0;
    frame_.to = std::max(newest, window_);
    frame_.from = frame_.to - window_;
}

double StripChartView::timeAt(double x) const {
    const QRect plot = StripChart::plotArea(rect(), fontMetrics(), series_, frame_);
    return frame_.from + (x - plot.left()) * (frame_.to - frame_.from) / plot.width();
}

void StripChartView::setCursorAt(double x) {
    setCursorTime(timeAt(x));
}

void StripChartView::setCursorTime(double time) {
    frame_.cursor = time;
    emit cursorMoved(time);
    update();
}

void StripChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (store_) {
        StripChart::paint(painter, rect(), *store_, series_, frame_);
    }
}

void StripChartView::wheelEvent(QWheelEvent* event) {
    // A notch zooms in or out by a fifth, the time under the pointer staying.
    const double factor = std::pow(0.8, event->angleDelta().y() / 120.0);
    const double pivot = timeAt(event->position().x());
    const double span = std::clamp((frame_.to - frame_.from) * factor, 1e-3, 1e6);
    const double share = (pivot - frame_.from) / (frame_.to - frame_.from);
    frame_.from = pivot - span * share;
    frame_.to = frame_.from + span;
    paused_ = true;
    update();
}

void StripChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position().x();
        dragged_ = false;
    }
}

void StripChartView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragFrom_) {
        return;
    }
    const double shift = timeAt(*dragFrom_) - timeAt(event->position().x());
    if (!dragged_ && std::abs(event->position().x() - *dragFrom_) < 3) {
        return;
    }
    dragged_ = true;
    frame_.from += shift;
    frame_.to += shift;
    dragFrom_ = event->position().x();
    paused_ = true;
    update();
}

void StripChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragFrom_ && !dragged_) {
        setCursorAt(event->position().x());
    }
    dragFrom_.reset();
}

void StripChartView::mouseDoubleClickEvent(QMouseEvent*) {
    frame_.cursor.reset();
    setPaused(false);
}

void StripChartView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        setPaused(!paused_);
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace vistrel
