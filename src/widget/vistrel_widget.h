// SPDX-License-Identifier: MIT
#pragma once

#include "control/ports.h"
#include "engine/engine_event.h"
#include "engine/link_health.h"
#include "recording/trigger_condition.h"
#include "widget/twips.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QStatusBar;
class QTableView;
class QToolBar;

namespace vistrel {

class ElidingLabel;
class FileDialogs;
class GridModel;
class KeyPreview;
class MessageBoxPort;
class PlotPane;
class SeriesStore;
class Protocol;
class SystemClipboard;
class SystemPlatform;
class ToolbarImages;
class VistrelControl;

// The watch of one ECU's memory as a Qt widget that a host application
// embeds: hand it a protocol object and the user does the rest through its
// tool bar. A thin view over VistrelControl: it shows what the control says
// and forwards the user's clicks, keys and size changes to it.
class VistrelWidget : public QWidget, private ViewPort, private WakePort {
    Q_OBJECT
    // The start-session request as hexadecimal text ("10A0" at first).
    Q_PROPERTY(QString StartSession READ StartSession WRITE setStartSession)

public:
    explicit VistrelWidget(QWidget* parent = nullptr);
    ~VistrelWidget() override;

    // The protocol object in use; setting it here changes nothing else.
    const std::shared_ptr<Protocol>& CurrentProtocol() const noexcept;
    void setCurrentProtocol(std::shared_ptr<Protocol> protocol);
    // Hands over a protocol object: stops and resets the control, empties the
    // table and shows the protocol's caption. An empty pointer resets only.
    void setProtocol(std::shared_ptr<Protocol> protocol);

    QString StartSession() const;
    void setStartSession(const QString& newValue);

    // Asks a running communication to stop at its next step.
    Q_INVOKABLE void Abort();
    // Builds the grid's columns and headers, places the grid and sizes the
    // columns.
    Q_INVOKABLE void GridCreate();
    // Sets the column widths from the grid's width.
    Q_INVOKABLE void GridSetColWidth();

    // The control's use cases, for a host that drives the widget itself
    // (a file pasted at start, Start from the command line).
    VistrelControl& control() noexcept { return *control_; }
    // Lets the hidden keys work wherever the focus is in window, the host's
    // window around this widget, not only inside the widget. One preview
    // watches the whole window, so a key never reaches the control twice.
    void takeKeysOfWindow(QWidget& window);

    // The plot pane under the grid, hidden until asked for: the chosen
    // item rows (from 0) drawn over time from every good read.
    bool plotVisible() const;
    void setPlotVisible(bool visible);
    void setPlotRows(std::vector<int> rows);
    const std::vector<int>& plotRows() const noexcept { return plotRows_; }
    // Plots the rows selected in the grid and shows the pane.
    void plotSelectedRows();
    // Plots the items of these names and shows the pane.
    void plotItems(const std::vector<std::string>& names);
    // One lane per plotted item instead of one chart for all; the pane's
    // own toggle and this one are the same.
    bool plotLanes() const noexcept { return plotLanes_; }
    void setPlotLanes(bool lanes);
    // A trigger for the next Rec (see VistrelControl).
    void setRecordingTrigger(std::optional<RecordingTrigger> trigger);
    // The engine's events, on this thread after the widget has shown them;
    // the link's state in words, the last good read and the rates, for a
    // host's status bar.
    void subscribe(std::function<void(const EngineEvent&)> listener);
    const LinkHealth& linkHealth() const;

    // With ask on, Open and Paste first offer to save a list with unsaved
    // changes (see mayDiscardList); off by default, as hosts expect the
    // tool bar to act at once.
    void setAskToSaveChanges(bool ask) noexcept { askToSaveChanges_ = ask; }
    // True when the list may be replaced or closed: it has no unsaved
    // changes, or the user saved or discarded them when asked.
    bool mayDiscardList();

    QSize sizeHint() const override;

signals:
    void plotLanesChanged(bool lanes);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void createChildControls();
    void createToolbar();
    void createStatusBar();
    void layoutChildControls();
    void createPlotActions();
    // The grid's area: below the setting fields, down to the status bar.
    void placeGrid();
    // Places the grid, and the plot pane under it when shown, in the grid's
    // area.
    void placeGridAndPlot(const QRect& area);
    // The columns whose header or content the percentages would cut widened
    // from the name column's room beyond its own header.
    void widenCutColumns();
    void feedPlot(const EngineEvent& event);
    // At the logical resolution of the screen that shows the control.
    TwipScale twips() const;

    // --- ViewPort ---------------------------------------------------------
    void setPanelText(std::string_view key, const std::string& text) override;
    void setButtonEnabled(std::string_view key, bool enabled) override;
    void setButtonPressed(std::string_view key, bool pressed) override;
    void clearMethods() override;
    void addMethod(const std::string& label) override;
    void setMethodText(const std::string& label) override;
    void setMethodEnabled(bool enabled) override;
    void addLengthSize(const std::string& label, int data) override;
    void selectLengthSize(int index) override;
    void setSessionText(const std::string& text) override;
    void setProtocolCaption(const std::string& caption) override;
    void setGridColumns(const std::vector<GridColumn>& columns) override;
    void setGridRows(std::vector<GridRow> rows) override;
    void setValueColumn(const std::vector<ValueCell>& values) override;
    void setValuesStale(bool stale) override;
    void setMousePointer(MousePointer pointer) override;

    // --- WakePort ---------------------------------------------------------
    void wake() override;

    // Child controls, owned by Qt's object tree.
    QToolBar* toolbar_ = nullptr;
    ToolbarImages* images_ = nullptr;
    ElidingLabel* protocolCaption_ = nullptr;
    QLabel* methodLabel_ = nullptr;
    QComboBox* methodBox_ = nullptr;
    QLabel* lengthSizeLabel_ = nullptr;
    QComboBox* lengthSizeBox_ = nullptr;
    QLabel* sessionLabel_ = nullptr;
    QLineEdit* sessionEdit_ = nullptr;
    QTableView* grid_ = nullptr;
    GridModel* gridModel_ = nullptr;
    // Each column's percentage of the grid's width.
    std::vector<int> columnPercents_;
    QStatusBar* statusBar_ = nullptr;
    std::map<std::string, QAction*, std::less<>> buttons_;
    std::map<std::string, ElidingLabel*, std::less<>> panels_;
    bool askToSaveChanges_ = false;

    PlotPane* plotPane_ = nullptr;
    QRect gridArea_;
    std::vector<int> plotRows_;
    bool plotLanes_ = false;
    std::shared_ptr<SeriesStore> plotStore_;
    std::uint32_t plotStart_ = 0;

    std::unique_ptr<MessageBoxPort> messages_;
    std::unique_ptr<FileDialogs> dialogs_;
    std::unique_ptr<SystemClipboard> clipboard_;
    std::unique_ptr<SystemPlatform> platform_;
    std::unique_ptr<VistrelControl> control_;
    // Last, so that no key reaches the control while it is torn down.
    std::unique_ptr<KeyPreview> keyPreview_;
};

} // namespace vistrel
