// SPDX-License-Identifier: MIT
#pragma once

#include "plot/recording_chart.h"

#include <QWidget>

class QListWidget;
class QTableWidget;

namespace vistrel {

class PlotPane;

// A recording file in a window of its own: the columns to draw picked from
// a list, the strip chart with its cursor, zoom and pan, and a table of
// every column's value at the cursor.
class RecordingViewer : public QWidget {
public:
    RecordingViewer(RecordingRun run, const QString& title, QWidget* parent = nullptr);

private:
    void pickedChanged();
    void showValuesAt(double time);

    RecordingRun run_;
    RecordingChart chart_;
    QListWidget* picker_;
    PlotPane* pane_;
    QTableWidget* values_;
};

} // namespace vistrel
