// SPDX-License-Identifier: MIT
#include "plot/recording_chart.h"

#include <algorithm>

namespace vistrel {

RecordingChart chartOfRecording(const RecordingRun& run) {
    RecordingChart chart;
    const std::size_t columns = run.columns.size();
    chart.store = std::make_shared<SeriesStore>(columns, run.lineCount());
    chart.radixes = run.radixes();
    const std::vector<ValueRadix>& radixes = chart.radixes;
    std::vector<float> values(columns);
    for (std::size_t line = 0; line < run.lineCount(); ++line) {
        for (std::size_t c = 0; c < columns; ++c) {
            const auto value = valueOfText(run.cell(line, c), radixes[c]);
            values[c] = value ? static_cast<float>(*value) : SeriesStore::kGap;
        }
        // A file edited by hand may go back in time; the chart never does.
        const double time =
            line == 0 ? run.times[0] : std::max(run.times[line], chart.store->time(line - 1));
        chart.store->append(time, values);
    }
    for (std::size_t c = 0; c < columns; ++c) {
        chart.series.push_back({c,
                                QString::fromStdString(run.columns[c].name),
                                QString::fromStdString(run.columns[c].unit),
                                StripChart::colour(c),
                                {},
                                {}});
    }
    return chart;
}

} // namespace vistrel
