// SPDX-License-Identifier: MIT
#include "widget/vistrel_widget.h"

#include "control/system_platform.h"
#include "control/vistrel_control.h"
#include "widget/desktop_ports.h"
#include "widget/eliding_label.h"
#include "widget/file_dialogs.h"
#include "widget/grid_geometry.h"
#include "widget/grid_model.h"
#include "widget/key_preview.h"
#include "widget/text_fit.h"
#include "widget/toolbar_images.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <algorithm>
#include <limits>

namespace vistrel {
namespace {

enum class ButtonStyle { Push, Check, Group };

struct ButtonDesign {
    std::string_view key;
    const char* image;
    const char* toolTip;
    ButtonStyle style;
};

// From left to right; an empty key stands for a separator.
const ButtonDesign kButtons[] = {
    {button::kOpen, "Open", "Ouvrir (Open)", ButtonStyle::Push},
    {button::kSave, "Save", "Sauver (Save)", ButtonStyle::Push},
    {{}, nullptr, nullptr, ButtonStyle::Push},
    {button::kPaste, "Paste", "Coller le presse-papier (Paste clipboard)", ButtonStyle::Push},
    {button::kCopy, "Copy", "Copier données dans le presse-papier (Copy data to clipboard)",
     ButtonStyle::Push},
    {{}, nullptr, nullptr, ButtonStyle::Push},
    {button::kRec, "recActif", "Enregistrer (Record)", ButtonStyle::Check},
    {{}, nullptr, nullptr, ButtonStyle::Push},
    {button::kStart, "Start", "Démarrage communication (Start com)", ButtonStyle::Group},
    {button::kStop, "Stop", "Arrêter communication (stop com)", ButtonStyle::Group},
};

struct PanelDesign {
    std::string_view key;
    const char* toolTip;
    int widthTwips;
};

const PanelDesign kPanels[] = {
    {panel::kStatus, "Status", 8165},
    {panel::kRun, "", 400},
    {panel::kRec, "Enregistrement (Recording data)", 800},
    {panel::kCom, "Communication (com)", 800},
};

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* makeLabel(QWidget* parent, const char* name, const char* caption) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromUtf8(name));
    return label;
}

QComboBox* makeChoiceBox(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromUtf8(name));
    return box;
}

// The width that a child control needs to show its text whole; a text box
// needs room for its current text only.
int naturalWidth(const QWidget& widget) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
        return lineEditWidthFor(*edit, edit->text());
    }
    return widget.sizeHint().width();
}

} // namespace

VistrelWidget::VistrelWidget(QWidget* parent)
    : QWidget(parent), messages_(std::make_unique<MessageBoxPort>(*this)),
      clipboard_(std::make_unique<SystemClipboard>()),
      platform_(std::make_unique<SystemPlatform>()) {
    createChildControls();
    dialogs_ = std::make_unique<FileDialogs>(*this);
    control_ = std::make_unique<VistrelControl>(
        ControlPorts{*this, *this, *messages_, dialogs_.get(), clipboard_.get(), *platform_});
    takeKeysOfWindow(*this);
    control_->subscribe([this](const EngineEvent& event) { feedPlot(event); });
    // The user's edits of the setting fields go to the control, which alone
    // holds their values; its own updates of the fields come back unchanged.
    connect(methodBox_, &QComboBox::currentTextChanged, this,
            [this](const QString& label) { control_->chooseMethod(label.toStdString()); });
    connect(lengthSizeBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        control_->chooseLengthSize(lengthSizeBox_->itemData(index).toInt());
    });
    connect(sessionEdit_, &QLineEdit::textEdited, this,
            [this](const QString& text) { control_->editSessionText(text.toStdString()); });
    layoutChildControls();
}

void VistrelWidget::takeKeysOfWindow(QWidget& window) {
    keyPreview_ = std::make_unique<KeyPreview>(
        window, [this](int keyCode, int shift) { control_->keyUp(keyCode, shift); });
}

VistrelWidget::~VistrelWidget() {
    // The engine stops and releases the link before the ports it reports
    // through go.
    control_.reset();
}

void VistrelWidget::createChildControls() {
    images_ = new ToolbarImages(this);
    createToolbar();

    // A long caption (a device path) is shortened in its middle rather than
    // pushing the setting fields off the control.
    protocolCaption_ = new ElidingLabel(Qt::ElideMiddle, this);
    protocolCaption_->setObjectName(QStringLiteral("Label1"));
    QFont captionFont(QStringLiteral("Book Antiqua"));
    captionFont.setPointSizeF(9.75);
    captionFont.setBold(true);
    protocolCaption_->setFont(captionFont);
    methodLabel_ = makeLabel(this, "lblMethode", "Methode");
    methodBox_ = makeChoiceBox(this, "cb_methode");
    lengthSizeLabel_ = makeLabel(this, "Label2", "Length size");
    lengthSizeBox_ = makeChoiceBox(this, "cblengthSize");
    sessionLabel_ = makeLabel(this, "Label3", "Session");
    sessionEdit_ = new QLineEdit(QStringLiteral("10A0"), this);
    sessionEdit_->setObjectName(QStringLiteral("txStartSession"));

    gridModel_ = new GridModel(this);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("gridRun"));
    grid_->setModel(gridModel_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setWordWrap(false);
    grid_->verticalHeader()->hide();
    // Fixed row heights: a thousand rows must not be measured one by one.
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->horizontalHeader()->setHighlightSections(false);
    // Column widths follow the control's width, also below the style's
    // comfortable minimum.
    grid_->horizontalHeader()->setMinimumSectionSize(0);
    grid_->horizontalHeader()->setTextElideMode(Qt::ElideRight);
    // A vertical scroll bar that comes or goes changes the room for the
    // columns; its range changes with it, once the view has laid itself out.
    connect(grid_->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            &VistrelWidget::GridSetColWidth, Qt::QueuedConnection);

    createPlotActions();
    createStatusBar();
}

void VistrelWidget::createToolbar() {
    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("Toolbar"));
    toolbar_->setIconSize(QSize(16, 16));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    auto* startStop = new QActionGroup(toolbar_);
    startStop->setExclusive(true);
    for (const ButtonDesign& design : kButtons) {
        if (design.key.empty()) {
            toolbar_->addSeparator();
            continue;
        }
        const QString key = qtText(design.key);
        QAction* action = toolbar_->addAction(images_->icon(QString::fromUtf8(design.image)), key);
        action->setObjectName(key);
        action->setToolTip(QString::fromUtf8(design.toolTip));
        action->setCheckable(design.style != ButtonStyle::Push);
        if (design.style == ButtonStyle::Group) {
            startStop->addAction(action);
        }
        connect(action, &QAction::triggered, this, [this, command = std::string(design.key)] {
            // A clipboard without item lines leaves the list as it is (the
            // status bar says so): nothing to save first.
            const bool replacesList =
                command == button::kOpen ||
                (command == button::kPaste && control_->clipboardHoldsItemLines());
            if (replacesList && askToSaveChanges_ && !mayDiscardList()) {
                return;
            }
            control_->toolbarClick(command);
        });
        buttons_.emplace(design.key, action);
    }
    buttons_.at(std::string(button::kStop))->setChecked(true);
}

void VistrelWidget::createStatusBar() {
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar"));
    statusBar_->setSizeGripEnabled(false);
    for (const PanelDesign& design : kPanels) {
        auto* label = new ElidingLabel(Qt::ElideRight, statusBar_);
        label->setObjectName(qtText(design.key));
        label->setFallbackTip(QString::fromUtf8(design.toolTip));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar_->addWidget(label);
        panels_.emplace(design.key, label);
    }
    setPanelText(panel::kCom, "");
}

TwipScale VistrelWidget::twips() const {
    return {logicalDpiX(), logicalDpiY()};
}

void VistrelWidget::layoutChildControls() {
    const TwipScale scale = twips();
    toolbar_->setGeometry(0, 0, width(), toolbar_->sizeHint().height());
    for (const PanelDesign& design : kPanels) {
        panels_.find(design.key)->second->setFixedWidth(scale.toPixelsX(design.widthTwips));
    }
    const int statusHeight = statusBar_->sizeHint().height();
    statusBar_->setGeometry(0, height() - statusHeight, width(), statusHeight);

    // The row of setting fields at its design places in twips, on one line
    // with the labels' texts centred on the boxes'. Where a text is wider
    // than its design width (fonts differ between platforms), the control
    // grows and pushes its right-hand neighbours along instead of clipping
    // the text or hiding under them.
    struct DesignPlace {
        QWidget* widget;
        int left;
        int width;
    };
    const DesignPlace row[] = {
        {protocolCaption_, 0, 3255},   {methodLabel_, 3240, 975},   {methodBox_, 4320, 2655},
        {lengthSizeLabel_, 7200, 855}, {lengthSizeBox_, 8040, 975}, {sessionLabel_, 9240, 615},
        {sessionEdit_, 9840, 615},
    };
    const int top = scale.toPixelsY(600);
    const int rowHeight = std::max(
        {scale.toPixelsY(375), methodBox_->sizeHint().height(), sessionEdit_->sizeHint().height()});
    const int gap = scale.toPixelsX(90);
    // Places the row with the caption's text given at most captionRoom;
    // returns where the row ends.
    const auto placeRow = [&](int captionRoom) {
        int nextFree = 0;
        int end = 0;
        for (const DesignPlace& place : row) {
            int natural = naturalWidth(*place.widget);
            if (place.widget == protocolCaption_) {
                natural = std::min(natural, captionRoom);
            }
            const int left = std::max(scale.toPixelsX(place.left), nextFree);
            const int width = std::max(scale.toPixelsX(place.width), natural);
            place.widget->setGeometry(left, top, width, rowHeight);
            // A label's empty tail may lie under its neighbour, as designed.
            const bool label = qobject_cast<QLabel*>(place.widget) != nullptr;
            nextFree = left + (label ? natural : width) + gap;
            end = left + width;
        }
        return end;
    };
    // A caption too long for the row gives up the room the fields need.
    const int overflow = placeRow(std::numeric_limits<int>::max()) - width();
    if (overflow > 0) {
        placeRow(naturalWidth(*protocolCaption_) - overflow);
    }
}

QSize VistrelWidget::sizeHint() const {
    const TwipScale scale = twips();
    return {scale.toPixelsX(11000), scale.toPixelsY(5400)};
}

void VistrelWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildControls();
    placeGrid();
    GridSetColWidth();
}

void VistrelWidget::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // The host hiding the control shuts it down; a window being minimised
    // (a spontaneous hide) must not empty the user's table.
    if (!event->spontaneous()) {
        control_->hide();
    }
}

const std::shared_ptr<Protocol>& VistrelWidget::CurrentProtocol() const noexcept {
    return control_->CurrentProtocol();
}

void VistrelWidget::subscribe(std::function<void(const EngineEvent&)> listener) {
    control_->subscribe(std::move(listener));
}

const LinkHealth& VistrelWidget::linkHealth() const {
    return control_->linkHealth();
}

void VistrelWidget::setCurrentProtocol(std::shared_ptr<Protocol> protocol) {
    control_->setCurrentProtocol(std::move(protocol));
}

void VistrelWidget::setProtocol(std::shared_ptr<Protocol> protocol) {
    control_->setProtocol(std::move(protocol));
}

QString VistrelWidget::StartSession() const {
    return QString::fromStdString(control_->StartSession());
}

void VistrelWidget::setStartSession(const QString& newValue) {
    control_->setStartSession(newValue.toStdString());
}

void VistrelWidget::Abort() {
    control_->Abort();
}

void VistrelWidget::GridCreate() {
    control_->GridCreate();
}

void VistrelWidget::GridSetColWidth() {
    const TwipScale scale = twips();
    const int gridWidth = scale.toTwipsX(grid_->width());
    for (std::size_t i = 0; i < columnPercents_.size(); ++i) {
        grid_->setColumnWidth(static_cast<int>(i),
                              scale.toPixelsX(columnWidthTwips(gridWidth, columnPercents_[i])));
    }
    widenCutColumns();
}

void VistrelWidget::widenCutColumns() {
    constexpr int kNameColumn = 0;
    const QHeaderView& header = *grid_->horizontalHeader();
    // QTableView hides this measure; the item view's is the same call.
    const QAbstractItemView& view = *grid_;
    const int nameWidth = grid_->columnWidth(kNameColumn);
    const int room = nameWidth - header.sectionSizeHint(kNameColumn);
    int taken = 0;
    for (int c = kNameColumn + 1; c < static_cast<int>(columnPercents_.size()); ++c) {
        const int needed = std::max(header.sectionSizeHint(c), view.sizeHintForColumn(c));
        const int more = std::min(room - taken, needed - grid_->columnWidth(c));
        if (more > 0) {
            grid_->setColumnWidth(c, grid_->columnWidth(c) + more);
            taken += more;
        }
    }
    // The columns end inside the view: a vertical scroll bar takes its width
    // from the names too, so that the last column never slides under it.
    int total = 0;
    for (int c = 0; c < static_cast<int>(columnPercents_.size()); ++c) {
        total += grid_->columnWidth(c);
    }
    taken += std::clamp(total - taken - grid_->viewport()->width(), 0, room - taken);
    if (taken > 0) {
        grid_->setColumnWidth(kNameColumn, nameWidth - taken);
    }
}

} // namespace vistrel
