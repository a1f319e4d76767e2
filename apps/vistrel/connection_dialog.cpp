// SPDX-License-Identifier: MIT
#include "connection_dialog.h"

#include "components/byte_string.h"
#include "connect/link_factory.h"
#include "diagnostic_fields.h"
#include "doip_page.h"
#include "link/can_settings.h"
#include "link/doip_settings.h"
#include "link/elm_settings.h"
#include "link/kline_settings.h"
#include "link/link_string.h"
#include "link/serial_devices.h"
#include "widget/text_fit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace vistrel {
namespace {

QSpinBox* milliseconds(int value, int min, int max) {
    auto* box = new QSpinBox;
    box->setRange(min, max);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" ms"));
    return box;
}

QComboBox* choices(const QStringList& items) {
    auto* box = new QComboBox;
    box->addItems(items);
    return box;
}

QString hexByte(std::uint8_t value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

QString hexNumber(std::uint32_t value) {
    return QString::number(value, 16).toUpper();
}

// The serial devices found on the machine; any other path may be typed.
QComboBox* serialDeviceBox() {
    auto* box = new QComboBox;
    box->setEditable(true);
    for (const auto& device : listSerialDevices()) {
        box->addItem(QString::fromStdString(device));
    }
    return box;
}

// The CAN kinds follow sim, kline and elm in the kind box, in the order of
// CanCarrier; they share one page.
constexpr int kFirstCanKind = 3;
constexpr int kCanPage = 3;
// DoIP follows the CAN kinds, on a page of its own.
constexpr int kDoipKind = 6;
constexpr int kDoipPage = 4;

int pageOfKind(int kind) {
    return kind == kDoipKind ? kDoipPage : std::min(kind, kCanPage);
}

// The fields' link string in its shortest form, written by the link's own
// settings; where a field does not fit, the fields as typed, so that the
// user sees the mistake and is told about it when accepting.
template <typename Settings> QString written(const LinkString& fields) {
    if (fields.device.empty()) {
        return QString::fromStdString(fields.kind + ":");
    }
    try {
        return QString::fromStdString(toLinkString(Settings::fromLinkString(fields)));
    } catch (const LinkStringError&) {
        return QString::fromStdString(formatLinkString(fields));
    }
}

// A key from a field that may be left empty for the default.
void optionalKey(LinkString& fields, const char* key, const QString& value) {
    if (!value.trimmed().isEmpty()) {
        fields.keys.emplace_back(key, value.trimmed().toStdString());
    }
}

// The kinds in the order of the pages.
QStringList linkKinds() {
    QStringList kinds;
    for (const auto kind : kLinkKinds) {
        kinds << QString::fromUtf8(kind.data(), static_cast<qsizetype>(kind.size()));
    }
    return kinds;
}

} // namespace

ConnectionDialog::ConnectionDialog(const QString& current, LinkUser useLink, QWidget* parent)
    : QDialog(parent), useLink_(std::move(useLink)), kind_(choices(linkKinds())),
      pages_(new QStackedWidget), link_(new QLineEdit(current)) {
    setWindowTitle(QStringLiteral("Connexion (Connection)"));
    pages_->addWidget(simulatorPage());
    pages_->addWidget(kLinePage());
    pages_->addWidget(adapterPage());
    pages_->addWidget(canPage());
    doip_ = new DoipPage([this] { compose(); });
    pages_->addWidget(doip_);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Type (Kind)"), kind_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(pages_);
    auto* linkForm = new QFormLayout;
    linkForm->addRow(QStringLiteral("Liaison (Link)"), link_);
    layout->addLayout(linkForm);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &ConnectionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(kind_, &QComboBox::currentIndexChanged, pages_,
            [this](int kind) { pages_->setCurrentIndex(pageOfKind(kind)); });
    connect(kind_, &QComboBox::currentIndexChanged, this, &ConnectionDialog::compose);

    // The fields start from the current link where it says more than the
    // defaults; a string they cannot show stays in the link field.
    try {
        const LinkString linkString = parseLinkString(current.toStdString());
        if (linkString.kind == "kline") {
            const KLineSettings settings = KLineSettings::fromLinkString(linkString);
            kind_->setCurrentIndex(1);
            device_->setCurrentText(QString::fromStdString(settings.device));
            baud_->setCurrentText(QString::number(settings.baud));
            init_->setCurrentIndex(static_cast<int>(settings.init));
            target_->setText(hexByte(settings.target));
            source_->setText(hexByte(settings.source));
            p2max_->setValue(static_cast<int>(settings.p2max.count()));
            p3min_->setValue(static_cast<int>(settings.p3min.count()));
            p4min_->setValue(static_cast<int>(settings.p4min.count()));
            echo_->setCurrentIndex(static_cast<int>(settings.echo));
        } else if (linkString.kind == "elm") {
            showAdapter(ElmSettings::fromLinkString(linkString));
        } else if (std::find(std::begin(kCanLinkKinds), std::end(kCanLinkKinds), linkString.kind) !=
                   std::end(kCanLinkKinds)) {
            showCan(CanSettings::fromLinkString(linkString));
        } else if (linkString.kind == "doip") {
            kind_->setCurrentIndex(kDoipKind);
            doip_->show(DoipSettings::fromLinkString(linkString));
        } else if (linkString.kind == "sim") {
            ecuFile_->setText(QString::fromStdString(linkString.device));
        }
    } catch (const LinkStringError&) {
    }
    link_->setText(current);
}

ConnectionDialog::~ConnectionDialog() = default;

QWidget* ConnectionDialog::simulatorPage() {
    auto* page = new QWidget;
    ecuFile_ = new QLineEdit;
    ecuFile_->setPlaceholderText(QStringLiteral("ECU de démonstration (Demo ECU)"));
    fitPlaceholder(*ecuFile_);
    auto* browse = new QPushButton(QStringLiteral("Parcourir… (Browse…)"));
    auto* row = new QHBoxLayout;
    row->addWidget(ecuFile_);
    row->addWidget(browse);
    auto* form = new QFormLayout(page);
    form->addRow(QStringLiteral("Description d'ECU (ECU description)"), row);
    connect(browse, &QPushButton::clicked, this, &ConnectionDialog::browseDescription);
    connect(ecuFile_, &QLineEdit::textChanged, this, &ConnectionDialog::compose);
    return page;
}

QWidget* ConnectionDialog::kLinePage() {
    const KLineSettings defaults;
    auto* page = new QWidget;
    device_ = serialDeviceBox();
    baud_ = choices({QStringLiteral("10400"), QStringLiteral("9600")});
    baud_->setEditable(true);
    init_ = choices({QStringLiteral("fast"), QStringLiteral("5baud"), QStringLiteral("none")});
    target_ = new QLineEdit(hexByte(defaults.target));
    source_ = new QLineEdit(hexByte(defaults.source));
    p2max_ = milliseconds(static_cast<int>(defaults.p2max.count()), 1, 60000);
    p3min_ = milliseconds(static_cast<int>(defaults.p3min.count()), 0, 60000);
    p4min_ = milliseconds(static_cast<int>(defaults.p4min.count()), 0, 1000);
    echo_ = choices({QStringLiteral("auto"), QStringLiteral("on"), QStringLiteral("off")});

    auto* form = new QFormLayout(page);
    form->addRow(QStringLiteral("Port série (Serial device)"), device_);
    form->addRow(QStringLiteral("Débit (Baud)"), baud_);
    form->addRow(QStringLiteral("Réveil (Init)"), init_);
    form->addRow(QStringLiteral("Adresse ECU (Target, hex)"), target_);
    form->addRow(QStringLiteral("Adresse testeur (Source, hex)"), source_);
    form->addRow(QStringLiteral("P2max"), p2max_);
    form->addRow(QStringLiteral("P3min"), p3min_);
    form->addRow(QStringLiteral("P4min"), p4min_);
    form->addRow(QStringLiteral("Écho (Echo)"), echo_);
    for (auto* box : {device_, baud_}) {
        connect(box, &QComboBox::currentTextChanged, this, &ConnectionDialog::compose);
    }
    for (auto* box : {init_, echo_}) {
        connect(box, &QComboBox::currentIndexChanged, this, &ConnectionDialog::compose);
    }
    for (auto* edit : {target_, source_}) {
        connect(edit, &QLineEdit::textChanged, this, &ConnectionDialog::compose);
    }
    for (auto* spin : {p2max_, p3min_, p4min_}) {
        connect(spin, &QSpinBox::valueChanged, this, &ConnectionDialog::compose);
    }
    return page;
}

void ConnectionDialog::compose() {
    switch (kind_->currentIndex()) {
    case 0: {
        const QString file = ecuFile_->text();
        link_->setText(file.isEmpty() ? QStringLiteral("sim") : QStringLiteral("sim:") + file);
        return;
    }
    case 1:
        link_->setText(
            written<KLineSettings>(LinkString{"kline",
                                              device_->currentText().toStdString(),
                                              {{"baud", baud_->currentText().toStdString()},
                                               {"init", init_->currentText().toStdString()},
                                               {"target", target_->text().toStdString()},
                                               {"source", source_->text().toStdString()},
                                               {"p2max", std::to_string(p2max_->value())},
                                               {"p3min", std::to_string(p3min_->value())},
                                               {"p4min", std::to_string(p4min_->value())},
                                               {"echo", echo_->currentText().toStdString()}}}));
        return;
    case 2:
        composeAdapter();
        return;
    case kDoipKind:
        link_->setText(doip_->linkText());
        return;
    default:
        composeCan();
        return;
    }
}

QWidget* ConnectionDialog::adapterPage() {
    const ElmSettings defaults;
    auto* page = new QWidget;
    elmDevice_ = serialDeviceBox();
    elmBaud_ =
        choices({QStringLiteral("38400"), QStringLiteral("9600"), QStringLiteral("115200"),
                 QStringLiteral("230400"), QStringLiteral("500000"), QStringLiteral("auto")});
    elmBaud_->setEditable(true);
    elmProtocol_ = new QComboBox;
    for (const auto protocol : kElmProtocols) {
        elmProtocol_->addItem(
            QString::fromLatin1(protocol.data(), static_cast<qsizetype>(protocol.size())));
    }
    elmTarget_ = new QLineEdit(hexByte(defaults.target));
    elmSource_ = new QLineEdit(hexByte(defaults.source));
    // Empty CAN identifiers take the defaults of the protocol (11 or 29 bits).
    elmTx_ = new QLineEdit;
    elmRx_ = new QLineEdit;
    elmTimeout_ = milliseconds(0, 0, 1044);
    elmTimeout_->setSpecialValueText(QStringLiteral("adaptateur (adapter's)"));

    auto* form = new QFormLayout(page);
    form->addRow(QStringLiteral("Port série (Serial device)"), elmDevice_);
    form->addRow(QStringLiteral("Débit (Baud)"), elmBaud_);
    form->addRow(QStringLiteral("Protocole (Protocol)"), elmProtocol_);
    form->addRow(QStringLiteral("Adresse ECU (Target, hex)"), elmTarget_);
    form->addRow(QStringLiteral("Adresse testeur (Source, hex)"), elmSource_);
    form->addRow(QStringLiteral("Identifiant requête (CAN tx, hex)"), elmTx_);
    form->addRow(QStringLiteral("Identifiant réponse (CAN rx, hex)"), elmRx_);
    form->addRow(QStringLiteral("Délai adaptateur (Timeout)"), elmTimeout_);
    // The adapter passes no periodic frames on: no rate.
    elmDiagnostic_ = std::make_unique<DiagnosticFields>(*form, DiagnosticKeyChoice{true, false},
                                                        [this] { compose(); });
    for (auto* box : {elmDevice_, elmBaud_}) {
        connect(box, &QComboBox::currentTextChanged, this, &ConnectionDialog::compose);
    }
    connect(elmProtocol_, &QComboBox::currentIndexChanged, this, &ConnectionDialog::compose);
    for (auto* edit : {elmTarget_, elmSource_, elmTx_, elmRx_}) {
        connect(edit, &QLineEdit::textChanged, this, &ConnectionDialog::compose);
    }
    connect(elmTimeout_, &QSpinBox::valueChanged, this, &ConnectionDialog::compose);
    return page;
}

void ConnectionDialog::showAdapter(const ElmSettings& settings) {
    kind_->setCurrentIndex(2);
    elmDevice_->setCurrentText(QString::fromStdString(settings.device));
    elmBaud_->setCurrentText(settings.baud == 0 ? QStringLiteral("auto")
                                                : QString::number(settings.baud));
    elmProtocol_->setCurrentIndex(static_cast<int>(settings.bus));
    elmTarget_->setText(hexByte(settings.target));
    elmSource_->setText(hexByte(settings.source));
    elmTx_->setText(hexNumber(settings.tx));
    elmRx_->setText(hexNumber(settings.rx));
    elmTimeout_->setValue(settings.timeout ? static_cast<int>(settings.timeout->count()) : 0);
    elmDiagnostic_->show(settings.diagnostic);
}

void ConnectionDialog::composeAdapter() {
    LinkString fields{"elm",
                      elmDevice_->currentText().toStdString(),
                      {{"baud", elmBaud_->currentText().toStdString()},
                       {"protocol", elmProtocol_->currentText().toStdString()},
                       {"target", elmTarget_->text().toStdString()},
                       {"source", elmSource_->text().toStdString()}}};
    // Empty identifiers take the protocol's defaults (11 or 29 bits).
    optionalKey(fields, "tx", elmTx_->text());
    optionalKey(fields, "rx", elmRx_->text());
    if (elmTimeout_->value() != 0) {
        fields.keys.emplace_back("timeout", std::to_string(elmTimeout_->value()));
    }
    elmDiagnostic_->addKeys(fields);
    link_->setText(written<ElmSettings>(fields));
}

QWidget* ConnectionDialog::canPage() {
    const CanSettings defaults;
    auto* page = new QWidget;
    canDevice_ = serialDeviceBox();
    canPort_ = new QSpinBox;
    canPort_->setRange(1, 65535);
    canPort_->setValue(defaults.port);
    canBus_ = new QLineEdit(QString::fromStdString(defaults.bus));
    canBitrate_ = new QComboBox;
    for (const unsigned rate : kSlcanBitrates) {
        canBitrate_->addItem(QString::number(rate));
    }
    canBitrate_->setCurrentText(QString::number(defaults.bitrate));
    canTx_ = new QLineEdit(QStringLiteral("7E0"));
    // Empty: the answer id that goes with tx.
    canRx_ = new QLineEdit;
    canPad_ = new QLineEdit(hexByte(*defaults.isotp.padding));
    canStmin_ = milliseconds(0, 0, 127);
    canBlockSize_ = new QSpinBox;
    canBlockSize_->setRange(0, 255);
    canP2max_ = milliseconds(static_cast<int>(defaults.isotp.replyTimeout.count()), 1, 60000);
    canTimeout_ = milliseconds(static_cast<int>(defaults.isotp.frameTimeout.count()), 1, 60000);
    // Empty: normal addressing; the periodic frames on the answer id.
    canExt_ = new QLineEdit;
    canRxExt_ = new QLineEdit;
    canPrx_ = new QLineEdit;

    auto* form = new QFormLayout(page);
    form->addRow(QStringLiteral("Port, hôte ou interface (Device, host or interface)"), canDevice_);
    form->addRow(QStringLiteral("Port TCP (socketcand port)"), canPort_);
    form->addRow(QStringLiteral("Bus (socketcand bus)"), canBus_);
    form->addRow(QStringLiteral("Débit CAN (slcan bit rate)"), canBitrate_);
    form->addRow(QStringLiteral("Identifiant requête (CAN tx, hex)"), canTx_);
    form->addRow(QStringLiteral("Identifiant réponse (CAN rx, hex)"), canRx_);
    form->addRow(QStringLiteral("Remplissage (Padding, hex or off)"), canPad_);
    form->addRow(QStringLiteral("STmin"), canStmin_);
    form->addRow(QStringLiteral("Taille de bloc (Block size)"), canBlockSize_);
    form->addRow(QStringLiteral("P2max"), canP2max_);
    form->addRow(QStringLiteral("N_Bs, N_Cr (Timeout)"), canTimeout_);
    form->addRow(QStringLiteral("Adresse étendue (ext, hex)"), canExt_);
    form->addRow(QStringLiteral("Adresse étendue réponse (rxext, hex)"), canRxExt_);
    form->addRow(QStringLiteral("Identifiant périodique (prx, hex)"), canPrx_);
    canDiagnostic_ =
        std::make_unique<DiagnosticFields>(*form, DiagnosticKeyChoice{}, [this] { compose(); });
    connect(canDevice_, &QComboBox::currentTextChanged, this, &ConnectionDialog::compose);
    connect(canBitrate_, &QComboBox::currentIndexChanged, this, &ConnectionDialog::compose);
    for (auto* edit : {canBus_, canTx_, canRx_, canPad_, canExt_, canRxExt_, canPrx_}) {
        connect(edit, &QLineEdit::textChanged, this, &ConnectionDialog::compose);
    }
    for (auto* spin : {canPort_, canStmin_, canBlockSize_, canP2max_, canTimeout_}) {
        connect(spin, &QSpinBox::valueChanged, this, &ConnectionDialog::compose);
    }
    return page;
}

void ConnectionDialog::showCan(const CanSettings& settings) {
    kind_->setCurrentIndex(kFirstCanKind + static_cast<int>(settings.carrier));
    canDevice_->setCurrentText(QString::fromStdString(settings.device));
    canPort_->setValue(settings.port);
    canBus_->setText(QString::fromStdString(settings.bus));
    canBitrate_->setCurrentText(QString::number(settings.bitrate));
    const IsoTpSettings& isotp = settings.isotp;
    const int digits = isotp.extended ? 8 : 3;
    canTx_->setText(QString::fromStdString(hexPadded(isotp.tx, digits)));
    canRx_->setText(QString::fromStdString(hexPadded(isotp.rx, digits)));
    canPad_->setText(isotp.padding ? hexByte(*isotp.padding) : QStringLiteral("off"));
    canStmin_->setValue(isotp.separation);
    canBlockSize_->setValue(isotp.blockSize);
    canP2max_->setValue(static_cast<int>(settings.isotp.replyTimeout.count()));
    canTimeout_->setValue(static_cast<int>(isotp.frameTimeout.count()));
    canExt_->setText(isotp.address ? hexByte(*isotp.address) : QString());
    canRxExt_->setText(isotp.rxAddress ? hexByte(*isotp.rxAddress) : QString());
    canPrx_->setText(isotp.periodicId && *isotp.periodicId != isotp.rx
                         ? QString::fromStdString(hexPadded(*isotp.periodicId, digits))
                         : QString());
    canDiagnostic_->show(settings.diagnostic);
}

void ConnectionDialog::composeCan() {
    const auto carrier = static_cast<CanCarrier>(kind_->currentIndex() - kFirstCanKind);
    LinkString fields{std::string(kCanLinkKinds[static_cast<std::size_t>(carrier)]),
                      canDevice_->currentText().toStdString(),
                      {}};
    if (carrier == CanCarrier::Socketcand) {
        fields.device += ':';
        fields.device += std::to_string(canPort_->value());
        fields.keys.emplace_back("bus", canBus_->text().toStdString());
    }
    if (carrier == CanCarrier::Slcan) {
        fields.keys.emplace_back("bitrate", canBitrate_->currentText().toStdString());
    }
    optionalKey(fields, "tx", canTx_->text());
    optionalKey(fields, "rx", canRx_->text());
    optionalKey(fields, "pad", canPad_->text());
    fields.keys.emplace_back("stmin", std::to_string(canStmin_->value()));
    fields.keys.emplace_back("bs", std::to_string(canBlockSize_->value()));
    fields.keys.emplace_back("p2max", std::to_string(canP2max_->value()));
    fields.keys.emplace_back("timeout", std::to_string(canTimeout_->value()));
    optionalKey(fields, "ext", canExt_->text());
    optionalKey(fields, "rxext", canRxExt_->text());
    canDiagnostic_->addKeys(fields);
    optionalKey(fields, "prx", canPrx_->text());
    link_->setText(written<CanSettings>(fields));
}

void ConnectionDialog::browseDescription() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Description d'ECU (ECU description)"), QString(),
        QStringLiteral("ECU description (*.xml);;All files (*)"));
    if (!path.isEmpty()) {
        ecuFile_->setText(path);
    }
}

QString ConnectionDialog::linkText() const {
    return link_->text().trimmed();
}

void ConnectionDialog::accept() {
    const QString problem = useLink_(linkText());
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), problem);
        return;
    }
    QDialog::accept();
}

} // namespace vistrel
