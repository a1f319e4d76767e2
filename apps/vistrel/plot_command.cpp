// SPDX-License-Identifier: MIT
#include "plot_command.h"

#include "components/error.h"
#include "plot/recording_chart.h"

#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vistrel {
namespace {

QSize parseSize(const std::string& text) {
    const QStringList parts = QString::fromStdString(text).split('x');
    bool wide = false;
    bool high = false;
    const int width = parts.size() == 2 ? parts[0].toInt(&wide) : 0;
    const int height = parts.size() == 2 ? parts[1].toInt(&high) : 0;
    if (!wide || !high || width < 200 || height < 120 || width > 20000 || height > 20000) {
        throw std::invalid_argument("--size takes WIDTHxHEIGHT from 200x120 to 20000x20000, not " +
                                    text);
    }
    return {width, height};
}

// A chart of more lines than this is hard to read without lanes.
constexpr std::size_t kMostLinesInOneChart = 4;

bool holdsAValue(const SeriesStore& store, std::size_t column) {
    for (std::size_t i = 0; i < store.size(); ++i) {
        if (!std::isnan(store.values(i)[column])) {
            return true;
        }
    }
    return false;
}

// The columns that hold measures: hexadecimal identifiers and binary bit
// fields make poor lines, and a column of errors makes none. All of them
// when none does.
std::vector<PlotSeries> measureSeries(const RecordingChart& chart) {
    std::vector<PlotSeries> chosen;
    for (std::size_t c = 0; c < chart.series.size(); ++c) {
        if (chart.radixes[c] == ValueRadix::Decimal && holdsAValue(*chart.store, c)) {
            chosen.push_back(chart.series[c]);
            chosen.back().colour = StripChart::colour(chosen.size() - 1);
        }
    }
    return chosen.empty() ? chart.series : chosen;
}

// The chosen columns in the order given.
std::vector<PlotSeries> chosenSeries(const RecordingChart& chart, const std::string& items) {
    if (items.empty()) {
        return measureSeries(chart);
    }
    const std::vector<PlotSeries>& all = chart.series;
    std::vector<PlotSeries> chosen;
    for (const QString& name : QString::fromStdString(items).split(',')) {
        const auto found = std::find_if(
            all.begin(), all.end(), [&](const PlotSeries& s) { return s.name == name.trimmed(); });
        if (found == all.end()) {
            throw std::invalid_argument("the recording has no column named \"" +
                                        name.trimmed().toStdString() + "\"");
        }
        chosen.push_back(*found);
        chosen.back().colour = StripChart::colour(chosen.size() - 1);
    }
    return chosen;
}

} // namespace

int runPlot(const PlotOptions& options, std::ostream& err) {
    try {
        const QSize size = parseSize(options.size);
        const auto runs = readRecordingFile(options.recordingFile);
        const RecordingChart chart = chartOfRecording(recordingRun(runs, options.run));
        const std::vector<PlotSeries> series = chosenSeries(chart, options.items);
        const SeriesStore& store = *chart.store;
        ChartFrame frame;
        frame.lanes =
            options.lanes.value_or(options.items.empty() || series.size() > kMostLinesInOneChart);
        if (!store.empty()) {
            frame.from = options.from.value_or(store.time(0));
            frame.to = options.to.value_or(store.time(store.size() - 1));
        }
        if (!(frame.to > frame.from)) {
            frame.to = frame.from + 1;
        }
        const QString out = QString::fromStdString(options.outFile);
        if (out.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
            QSvgGenerator svg;
            svg.setFileName(out);
            svg.setSize(size);
            svg.setViewBox(QRect(QPoint(0, 0), size));
            svg.setTitle(QString::fromStdString(options.recordingFile));
            QPainter painter;
            if (!painter.begin(&svg)) {
                throw std::invalid_argument("cannot write " + options.outFile);
            }
            StripChart::paint(painter, QRect(QPoint(0, 0), size), store, series, frame);
            return 0;
        }
        if (!out.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
            throw std::invalid_argument("-o takes a .png or .svg file, not " + options.outFile);
        }
        QImage image(size, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            StripChart::paint(painter, image.rect(), store, series, frame);
        }
        if (!image.save(out, "PNG")) {
            throw std::invalid_argument("cannot write " + options.outFile);
        }
        return 0;
    } catch (const Error& e) {
        err << "vistrel plot: " << options.recordingFile << ": " << e.description() << '\n';
    } catch (const std::invalid_argument& e) {
        err << "vistrel plot: " << e.what() << '\n';
    }
    return 2;
}

} // namespace vistrel
