// SPDX-License-Identifier: MIT
#pragma once

#include "plot/strip_chart.h"

#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

namespace vistrel {

// The strip chart on screen, with the mouse: the wheel zooms the time axis
// around the pointer, a drag pans it, a click places the cursor whose
// values the legend shows, a double click (or Space) returns to following
// the newest reads. While it follows, the chart shows the last window of
// time; zooming, panning or pausing freezes it.
class StripChartView : public QWidget {
    Q_OBJECT

public:
    explicit StripChartView(QWidget* parent = nullptr);

    // The reads and the lines drawn from them; the store is shared with
    // whoever fills it.
    void setSeries(std::shared_ptr<const SeriesStore> store, std::vector<PlotSeries> series);
    const std::vector<PlotSeries>& series() const noexcept { return series_; }
    const SeriesStore* store() const noexcept { return store_.get(); }
    void setSharedScale(bool shared);
    // The line whose own scale the value axis shows.
    void setAxisSeries(std::size_t index);
    void setLanes(bool lanes);
    // The newest values are older than a read that got no answer.
    void setStale(bool stale);

    // Seconds of time shown while following the newest reads.
    double windowSeconds() const noexcept { return window_; }
    void setWindowSeconds(double seconds);

    bool paused() const noexcept { return paused_; }
    void setPaused(bool paused);
    // Shows the whole store and stops following.
    void showAll();
    // New reads arrived: a chart that follows moves on.
    void refresh();

    const ChartFrame& frame() const noexcept { return frame_; }
    // Places the cursor as a click would.
    void setCursorTime(double time);

signals:
    void cursorMoved(double time);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    double timeAt(double x) const;
    void follow();
    void setCursorAt(double x);

    std::shared_ptr<const SeriesStore> store_;
    std::vector<PlotSeries> series_;
    ChartFrame frame_;
    double window_ = 30;
    bool paused_ = false;
    std::optional<double> dragFrom_;
    bool dragged_ = false;
};

} // namespace vistrel
