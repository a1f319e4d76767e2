// SPDX-License-Identifier: MIT
#include "widget/plot_pane.h"

#include "widget/text_fit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vistrel {
namespace {

struct WindowChoice {
    const char* label;
    double seconds;
};

const WindowChoice kWindows[] = {{"5 s", 5},     {"10 s", 10},   {"30 s", 30},   {"1 min", 60},
                                 {"2 min", 120}, {"5 min", 300}, {"10 min", 600}};

// "" is the automatic range; anything else must be a number.
std::optional<double> rangeEnd(const QLineEdit& edit) {
    bool ok = false;
    const double value = edit.text().trimmed().replace(',', '.').toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

} // namespace

PlotPane::PlotPane(Mode mode, QWidget* parent)
    : QWidget(parent), chart_(new StripChartView(this)),
      shared_(new QCheckBox(QStringLiteral("Échelle commune (Shared scale)"), this)),
      lanes_(new QCheckBox(QStringLiteral("Voies (Lanes)"), this)), seriesBox_(new QComboBox(this)),
      minimum_(new QLineEdit(this)), maximum_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("PlotPane"));
    chart_->setObjectName(QStringLiteral("StripChart"));
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    if (mode == Mode::Live) {
        window_ = new QComboBox(this);
        window_->setObjectName(QStringLiteral("PlotWindow"));
        for (const WindowChoice& choice : kWindows) {
            window_->addItem(QString::fromUtf8(choice.label), choice.seconds);
        }
        window_->setCurrentIndex(1);
        chart_->setWindowSeconds(10);
        connect(window_, &QComboBox::currentIndexChanged, this,
                [this] { chart_->setWindowSeconds(window_->currentData().toDouble()); });
        pause_ = new QPushButton(QStringLiteral("Pause"), this);
        pause_->setObjectName(QStringLiteral("PlotPause"));
        pause_->setCheckable(true);
        connect(pause_, &QPushButton::toggled, chart_, &StripChartView::setPaused);
        bar->addWidget(new QLabel(QStringLiteral("Fenêtre (Window)"), this));
        bar->addWidget(window_);
        bar->addWidget(pause_);
    } else {
        auto* all = new QPushButton(QStringLiteral("Tout afficher (Show all)"), this);
        connect(all, &QPushButton::clicked, chart_, &StripChartView::showAll);
        bar->addWidget(all);
    }
    bar->addWidget(shared_);
    connect(shared_, &QCheckBox::toggled, chart_, &StripChartView::setSharedScale);
    lanes_->setObjectName(QStringLiteral("PlotLanes"));
    bar->addWidget(lanes_);
    connect(lanes_, &QCheckBox::toggled, this, [this](bool on) {
        chart_->setLanes(on);
        emit lanesChanged(on);
    });
    bar->addStretch();
    bar->addWidget(new QLabel(QStringLiteral("Échelle de (Scale of)"), this));
    // The longest name shows whole: the box keeps that width, and a narrow
    // pane gives up its free space first.
    seriesBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    seriesBox_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    seriesBox_->setObjectName(QStringLiteral("PlotScaleOf"));
    bar->addWidget(seriesBox_);
    minimum_->setObjectName(QStringLiteral("PlotMinimum"));
    maximum_->setObjectName(QStringLiteral("PlotMaximum"));
    for (QLineEdit* edit : {minimum_, maximum_}) {
        edit->setPlaceholderText(edit == minimum_ ? QStringLiteral("min auto")
                                                  : QStringLiteral("max auto"));
        // As wide as the hint needs and no wider: a range fits in it too.
        fitPlaceholder(*edit);
        edit->setMaximumWidth(edit->minimumWidth());
        bar->addWidget(edit);
        connect(edit, &QLineEdit::editingFinished, this, &PlotPane::applyRange);
    }
    connect(seriesBox_, &QComboBox::currentIndexChanged, this, &PlotPane::chooseSeries);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(chart_, 1);
}

void PlotPane::setSeries(std::shared_ptr<const SeriesStore> store, std::vector<PlotSeries> series) {
    store_ = std::move(store);
    series_ = std::move(series);
    const QSignalBlocker quiet(seriesBox_);
    seriesBox_->clear();
    for (const PlotSeries& s : series_) {
        seriesBox_->addItem(s.name);
    }
    chooseSeries(seriesBox_->currentIndex());
    chart_->setSeries(store_, series_);
    if (!window_) {
        chart_->showAll();
    }
}

bool PlotPane::lanes() const {
    return lanes_->isChecked();
}

void PlotPane::setLanes(bool lanes) {
    lanes_->setChecked(lanes);
}

void PlotPane::chooseSeries(int index) {
    const bool valid = index >= 0 && static_cast<std::size_t>(index) < series_.size();
    chart_->setAxisSeries(valid ? static_cast<std::size_t>(index) : 0);
    const auto text = [](const std::optional<double>& v) {
        return v ? QString::number(*v) : QString();
    };
    minimum_->setText(valid ? text(series_[static_cast<std::size_t>(index)].minimum) : QString());
    maximum_->setText(valid ? text(series_[static_cast<std::size_t>(index)].maximum) : QString());
}

void PlotPane::applyRange() {
    const int index = seriesBox_->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= series_.size()) {
        return;
    }
    PlotSeries& s = series_[static_cast<std::size_t>(index)];
    s.minimum = rangeEnd(*minimum_);
    s.maximum = rangeEnd(*maximum_);
    chart_->setSeries(store_, series_);
}

} // namespace vistrel
