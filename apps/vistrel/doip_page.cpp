// SPDX-License-Identifier: MIT
#include "doip_page.h"

#include "components/byte_string.h"
#include "components/error.h"
#include "link/doip_discovery.h"
#include "link/doip_settings.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>

namespace vistrel {
namespace {

// How long Find listens for answers.
constexpr std::chrono::milliseconds kFindWait{1000};
// The local network, and this computer for an entity simulated on it.
const std::vector<std::string> kFindAt = {"255.255.255.255", "127.0.0.1"};

QSpinBox* milliseconds(int value) {
    auto* box = new QSpinBox;
    box->setRange(1, 60000);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" ms"));
    return box;
}

} // namespace

DoipPage::DoipPage(std::function<void()> changed) : changed_(std::move(changed)) {
    const DoipSettings defaults;
    host_ = new QComboBox;
    host_->setEditable(true);
    port_ = new QSpinBox;
    port_->setRange(1, 65535);
    port_->setValue(defaults.port);
    // Empty: the entity's own address, from its routing activation response.
    target_ = new QLineEdit;
    target_->setPlaceholderText(QStringLiteral("celle de l'entité (the entity's)"));
    tester_ = new QLineEdit(QString::fromStdString(hexPadded(defaults.tester, 4)));
    activation_ = new QLineEdit(QString::fromStdString(hexPadded(defaults.activation, 2)));
    version_ = new QComboBox;
    version_->addItems({QStringLiteral("2"), QStringLiteral("3")});
    p2max_ = milliseconds(static_cast<int>(defaults.p2max.count()));
    timeout_ = milliseconds(static_cast<int>(defaults.timeout.count()));
    find_ = new QPushButton(QStringLiteral("Chercher (Find)"));

    auto* hostRow = new QHBoxLayout;
    hostRow->addWidget(host_, 1);
    hostRow->addWidget(find_);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Adresse IP ou hôte (Address or host)"), hostRow);
    form->addRow(QStringLiteral("Port TCP (Port)"), port_);
    form->addRow(QStringLiteral("Adresse ECU (ta, hex)"), target_);
    form->addRow(QStringLiteral("Adresse testeur (sa, hex)"), tester_);
    form->addRow(QStringLiteral("Type d'activation (Activation, hex)"), activation_);
    form->addRow(QStringLiteral("Version"), version_);
    form->addRow(QStringLiteral("P2max"), p2max_);
    form->addRow(QStringLiteral("Acquittement (Acknowledgement timeout)"), timeout_);

    connect(find_, &QPushButton::clicked, this, &DoipPage::find);
    connect(host_, &QComboBox::currentTextChanged, this, [this] { changed_(); });
    connect(version_, &QComboBox::currentIndexChanged, this, [this] { changed_(); });
    for (auto* edit : {target_, tester_, activation_}) {
        connect(edit, &QLineEdit::textChanged, this, [this] { changed_(); });
    }
    for (auto* spin : {port_, p2max_, timeout_}) {
        connect(spin, &QSpinBox::valueChanged, this, [this] { changed_(); });
    }
}

DoipPage::~DoipPage() = default;

QString DoipPage::linkText() const {
    LinkString fields{"doip", host_->currentText().trimmed().toStdString(), {}};
    if (fields.device.empty()) {
        return QStringLiteral("doip:");
    }
    fields.device += ':';
    fields.device += std::to_string(port_->value());
    if (!target_->text().trimmed().isEmpty()) {
        fields.keys.emplace_back("ta", target_->text().trimmed().toStdString());
    }
    fields.keys.emplace_back("sa", tester_->text().trimmed().toStdString());
    fields.keys.emplace_back("activation", activation_->text().trimmed().toStdString());
    fields.keys.emplace_back("version", version_->currentText().toStdString());
    fields.keys.emplace_back("p2max", std::to_string(p2max_->value()));
    fields.keys.emplace_back("timeout", std::to_string(timeout_->value()));
    try {
        return QString::fromStdString(toLinkString(DoipSettings::fromLinkString(fields)));
    } catch (const LinkStringError&) {
        return QString::fromStdString(formatLinkString(fields));
    }
}

void DoipPage::show(const DoipSettings& settings) {
    host_->setCurrentText(QString::fromStdString(settings.host));
    port_->setValue(settings.port);
    target_->setText(settings.target ? QString::fromStdString(hexPadded(*settings.target, 4))
                                     : QString());
    tester_->setText(QString::fromStdString(hexPadded(settings.tester, 4)));
    activation_->setText(QString::fromStdString(hexPadded(settings.activation, 2)));
    version_->setCurrentText(QString::number(settings.version));
    p2max_->setValue(static_cast<int>(settings.p2max.count()));
    timeout_->setValue(static_cast<int>(settings.timeout.count()));
}

void DoipPage::find() {
    find_->setEnabled(false);
    find_->setText(QStringLiteral("Recherche… (Finding…)"));
    const auto port = static_cast<std::uint16_t>(port_->value());
    QPointer<DoipPage> page(this);
    finder_ = std::jthread([page, port] {
        QStringList lines;
        QStringList addresses;
        QString problem;
        try {
            for (const DoipEntityInfo& entity : discoverDoipEntities(kFindAt, port, kFindWait)) {
                lines << QString::fromStdString(describeEntity(entity, port));
                addresses << QString::fromStdString(entity.address);
            }
        } catch (const Error& e) {
            problem = QString::fromStdString(e.description());
        }
        // The page may be gone by now; then the answer goes nowhere.
        QMetaObject::invokeMethod(
            page,
            [page, lines, addresses, problem] {
                if (page) {
                    page->offer(lines, addresses, problem);
                }
            },
            Qt::QueuedConnection);
    });
}

void DoipPage::offer(const QStringList& lines, const QStringList& addresses,
                     const QString& problem) {
    find_->setEnabled(true);
    find_->setText(QStringLiteral("Chercher (Find)"));
    const QString title = QStringLiteral("DoIP");
    if (!problem.isEmpty() || lines.isEmpty()) {
        QMessageBox::information(
            this, title,
            problem.isEmpty()
                ? QStringLiteral("Aucune entité DoIP n'a répondu (No DoIP entity answered on UDP "
                                 "port %1 within 1 s): check the cable, the ignition, the "
                                 "computer's address and the firewall.")
                      .arg(port_->value())
                : problem);
        return;
    }
    bool picked = false;
    const QString line = QInputDialog::getItem(
        this, title, QStringLiteral("Entités trouvées (Entities found)"), lines, 0, false, &picked);
    if (picked) {
        host_->setCurrentText(addresses.at(static_cast<qsizetype>(lines.indexOf(line))));
    }
}

} // namespace vistrel
