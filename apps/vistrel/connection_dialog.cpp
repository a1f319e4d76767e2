// SPDX-License-Identifier: MIT
#include "connection_dialog.h"

#include "link/elm_settings.h"
#include "link/kline_settings.h"
#include "link/link_factory.h"
#include "link/link_string.h"
#include "link/serial_devices.h"

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

const QStringList kElmProtocols = {QStringLiteral("kline-fast"), QStringLiteral("kline-5baud"),
                                   QStringLiteral("can11-500"),  QStringLiteral("can11-250"),
                                   QStringLiteral("can29-500"),  QStringLiteral("can29-250")};

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
    connect(kind_, &QComboBox::currentIndexChanged, pages_, &QStackedWidget::setCurrentIndex);
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
        } else if (linkString.kind == "sim") {
            ecuFile_->setText(QString::fromStdString(linkString.device));
        }
    } catch (const LinkStringError&) {
    }
    link_->setText(current);
}

QWidget* ConnectionDialog::simulatorPage() {
    auto* page = new QWidget;
    ecuFile_ = new QLineEdit;
    ecuFile_->setPlaceholderText(QStringLiteral("ECU de démonstration (Demo ECU)"));
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
    if (kind_->currentIndex() == 0) {
        const QString file = ecuFile_->text();
        link_->setText(file.isEmpty() ? QStringLiteral("sim") : QStringLiteral("sim:") + file);
        return;
    }
    if (kind_->currentIndex() == 2) {
        composeAdapter();
        return;
    }
    // Only the keys that differ from the defaults, so the string stays
    // short and reads like one a user would type.
    const KLineSettings defaults;
    QString text = QStringLiteral("kline:") + device_->currentText();
    const auto key = [&text](const char* name, const QString& value, const QString& fallback) {
        if (value.compare(fallback, Qt::CaseInsensitive) != 0) {
            text += QStringLiteral(",%1=%2").arg(QLatin1String(name), value);
        }
    };
    key("baud", baud_->currentText(), QString::number(defaults.baud));
    key("init", init_->currentText(), QStringLiteral("fast"));
    key("target", target_->text(), hexByte(defaults.target));
    key("source", source_->text(), hexByte(defaults.source));
    key("p2max", QString::number(p2max_->value()), QString::number(defaults.p2max.count()));
    key("p3min", QString::number(p3min_->value()), QString::number(defaults.p3min.count()));
    key("p4min", QString::number(p4min_->value()), QString::number(defaults.p4min.count()));
    key("echo", echo_->currentText(), QStringLiteral("auto"));
    link_->setText(text);
}

QWidget* ConnectionDialog::adapterPage() {
    const ElmSettings defaults;
    auto* page = new QWidget;
    elmDevice_ = serialDeviceBox();
    elmBaud_ =
        choices({QStringLiteral("38400"), QStringLiteral("9600"), QStringLiteral("115200"),
                 QStringLiteral("230400"), QStringLiteral("500000"), QStringLiteral("auto")});
    elmBaud_->setEditable(true);
    elmProtocol_ = choices(kElmProtocols);
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
}

void ConnectionDialog::composeAdapter() {
    const ElmSettings defaults;
    QString text = QStringLiteral("elm:") + elmDevice_->currentText();
    const auto key = [&text](const char* name, const QString& value, const QString& fallback) {
        if (!value.isEmpty() && value.compare(fallback, Qt::CaseInsensitive) != 0) {
            text += QStringLiteral(",%1=%2").arg(QLatin1String(name), value);
        }
    };
    key("baud", elmBaud_->currentText(), QString::number(defaults.baud));
    key("protocol", elmProtocol_->currentText(), kElmProtocols.front());
    key("target", elmTarget_->text(), hexByte(defaults.target));
    key("source", elmSource_->text(), hexByte(defaults.source));
    const bool wide = elmProtocol_->currentText().startsWith(QStringLiteral("can29"));
    key("tx", elmTx_->text(), wide ? QStringLiteral("18DA10F1") : hexNumber(defaults.tx));
    key("rx", elmRx_->text(), wide ? QStringLiteral("18DAF110") : hexNumber(defaults.rx));
    key("timeout", elmTimeout_->value() == 0 ? QString() : QString::number(elmTimeout_->value()),
        QString());
    link_->setText(text);
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
