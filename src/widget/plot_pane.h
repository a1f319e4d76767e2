// SPDX-License-Identifier: MIT
#pragma once

#include "plot/strip_chart_view.h"

#include <QWidget>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace vistrel {

// The strip chart with its settings above it: the time window and pause
// while it follows live reads, "show all" for a recording, one scale for
// all lines or one each, the lines in lanes or in one chart, the line
// whose scale the value axis shows and the user's own range for any line.
class PlotPane : public QWidget {
    Q_OBJECT

public:
    enum class Mode { Live, Recording };

    explicit PlotPane(Mode mode, QWidget* parent = nullptr);

    StripChartView& chart() noexcept { return *chart_; }
    void setSeries(std::shared_ptr<const SeriesStore> store, std::vector<PlotSeries> series);
    bool lanes() const;
    void setLanes(bool lanes);

signals:
    void lanesChanged(bool lanes);

private:
    void chooseSeries(int index);
    void applyRange();

    StripChartView* chart_;
    QComboBox* window_ = nullptr;
    QPushButton* pause_ = nullptr;
    QCheckBox* shared_;
    QCheckBox* lanes_;
    QComboBox* seriesBox_;
    QLineEdit* minimum_;
    QLineEdit* maximum_;
    std::shared_ptr<const SeriesStore> store_;
    std::vector<PlotSeries> series_;
};

} // namespace vistrel
