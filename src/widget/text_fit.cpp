// SPDX-License-Identifier: MIT
#include "widget/text_fit.h"

#include <QLineEdit>

namespace vistrel {

int lineEditWidthFor(const QLineEdit& edit, const QString& text) {
    // An empty text box's smallest size already holds its frame, margins
    // and cursor; the text comes on top.
    return edit.fontMetrics().horizontalAdvance(text) + edit.minimumSizeHint().width();
}

void fitPlaceholder(QLineEdit& edit) {
    edit.setMinimumWidth(lineEditWidthFor(edit, edit.placeholderText()));
}

} // namespace vistrel
