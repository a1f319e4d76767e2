// SPDX-License-Identifier: MIT
#include "trigger_dialog.h"

#include "components/error.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

namespace vistrel {
namespace {

QDoubleSpinBox* secondsBox(double value, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(0, 600);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" s"));
    box->setValue(value);
    return box;
}

} // namespace

TriggerDialog::TriggerDialog(const std::optional<RecordingTrigger>& current, QWidget* parent)
    : QDialog(parent), when_(new QLineEdit(this)), until_(new QLineEdit(this)),
      pre_(secondsBox(current ? current->preTriggerSeconds : 0, this)),
      post_(secondsBox(current ? current->postTriggerSeconds : 0, this)) {
    setWindowTitle(QStringLiteral("Déclenchement (Trigger)"));
    if (current && current->when) {
        when_->setText(QString::fromStdString(current->when->text()));
    }
    if (current && current->until) {
        until_->setText(QString::fromStdString(current->until->text()));
    }
    when_->setPlaceholderText(QStringLiteral("Engine speed > 3000"));
    until_->setPlaceholderText(QStringLiteral("Engine speed < 1000"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Démarrer quand (Start when)"), when_);
    form->addRow(QStringLiteral("Arrêter quand (Stop when)"), until_);
    form->addRow(QStringLiteral("Avant le départ (Pre-trigger)"), pre_);
    form->addRow(QStringLiteral("Après l'arrêt (Post-trigger)"), post_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TriggerDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void TriggerDialog::accept() {
    RecordingTrigger trigger{{}, {}, pre_->value(), post_->value()};
    try {
        if (!when_->text().trimmed().isEmpty()) {
            trigger.when = TriggerCondition::parse(when_->text().trimmed().toStdString());
        }
        if (!until_->text().trimmed().isEmpty()) {
            trigger.until = TriggerCondition::parse(until_->text().trimmed().toStdString());
        }
    } catch (const Error& e) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(e.description()));
        return;
    }
    trigger_ = std::move(trigger);
    QDialog::accept();
}

} // namespace vistrel
