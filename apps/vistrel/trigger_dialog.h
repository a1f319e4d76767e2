// SPDX-License-Identifier: MIT
#pragma once

#include "recording/trigger_condition.h"

#include <QDialog>
#include <optional>

class QDoubleSpinBox;
class QLineEdit;

namespace vistrel {

// The conditions that start and stop the next recordings, asked of the
// user from the Rec button's menu.
class TriggerDialog : public QDialog {
public:
    explicit TriggerDialog(const std::optional<RecordingTrigger>& current,
                           QWidget* parent = nullptr);

    // The trigger as entered; only after the dialog was accepted.
    const RecordingTrigger& trigger() const noexcept { return trigger_; }

private:
    void accept() override;

    QLineEdit* when_;
    QLineEdit* until_;
    QDoubleSpinBox* pre_;
    QDoubleSpinBox* post_;
    RecordingTrigger trigger_;
};

} // namespace vistrel
