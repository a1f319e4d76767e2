// SPDX-License-Identifier: MIT
#include "diagnostic_fields.h"

#include "components/byte_string.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

namespace vistrel {
namespace {

const QStringList kRates = {QStringLiteral("slow"), QStringLiteral("medium"),
                            QStringLiteral("fast")};

} // namespace

DiagnosticFields::DiagnosticFields(QFormLayout& form, DiagnosticKeyChoice choice,
                                   const std::function<void()>& changed)
    : choice_(choice), security_(new QLineEdit), key_(new QLineEdit) {
    if (choice_.diag) {
        diag_ = new QComboBox;
        diag_->addItems({QStringLiteral("kwp"), QStringLiteral("uds")});
        form.addRow(QStringLiteral("Protocole de diagnostic (diag)"), diag_);
        QObject::connect(diag_, &QComboBox::currentIndexChanged, diag_, changed);
    }
    // Empty: no security access.
    security_->setPlaceholderText(QStringLiteral("01, 03, 11…"));
    form.addRow(QStringLiteral("Niveau de sécurité (Security level, hex)"), security_);
    form.addRow(QStringLiteral("Programme de clé (Key program)"), key_);
    for (auto* edit : {security_, key_}) {
        QObject::connect(edit, &QLineEdit::textChanged, edit, changed);
    }
    if (choice_.rate) {
        rate_ = new QComboBox;
        rate_->addItems(kRates);
        rate_->setCurrentIndex(2);
        form.addRow(QStringLiteral("Cadence périodique (Periodic rate)"), rate_);
        QObject::connect(rate_, &QComboBox::currentIndexChanged, rate_, changed);
    }
}

void DiagnosticFields::show(const DiagnosticSettings& settings) {
    if (diag_ != nullptr) {
        diag_->setCurrentIndex(settings.isUds() ? 1 : 0);
    }
    security_->setText(settings.securityLevel
                           ? QString::fromStdString(hexPadded(*settings.securityLevel, 2))
                           : QString());
    key_->setText(QString::fromStdString(settings.keyProgram));
    if (rate_ != nullptr) {
        rate_->setCurrentIndex(settings.periodicRate - 1);
    }
}

void DiagnosticFields::addKeys(LinkString& fields) const {
    if (diag_ != nullptr) {
        fields.keys.emplace_back(kDiagKey, diag_->currentText().toStdString());
    }
    for (const auto& [key, edit] : {std::pair{kSecurityKey, security_}, {kKeyProgramKey, key_}}) {
        if (!edit->text().trimmed().isEmpty()) {
            fields.keys.emplace_back(key, edit->text().trimmed().toStdString());
        }
    }
    // The default goes unsaid, so that a KWP2000 link takes it too.
    if (rate_ != nullptr && rate_->currentIndex() != 2) {
        fields.keys.emplace_back(kRateKey, rate_->currentText().toStdString());
    }
}

} // namespace vistrel
