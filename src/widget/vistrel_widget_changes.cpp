// SPDX-License-Identifier: MIT
// Unsaved changes to the list: offered to be saved before the list is
// replaced or closed.
#include "control/message_port.h"
#include "control/vistrel_control.h"
#include "widget/vistrel_widget.h"

#include <QMessageBox>

namespace vistrel {

bool VistrelWidget::mayDiscardList() {
    if (!control_->listChanged()) {
        return true;
    }
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kApplicationTitle),
                    QStringLiteral("Save the changes to the item list?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    const int answer = box.exec();
    if (answer == QMessageBox::Save) {
        // A cancelled or failed save leaves the changes, and the list stays.
        control_->toolbarClick(button::kSave);
        return !control_->listChanged();
    }
    return answer == QMessageBox::Discard;
}

} // namespace vistrel
