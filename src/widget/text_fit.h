// SPDX-License-Identifier: MIT
// Widths that let a text box show a given text whole.
#pragma once

#include <QString>

class QLineEdit;

namespace vistrel {

// The width a text box needs to show `text` whole, frame and margins
// included, at its own font and style.
int lineEditWidthFor(const QLineEdit& edit, const QString& text);

// Gives a text box at least the width its placeholder text needs, so the
// hint is never cut at the default font.
void fitPlaceholder(QLineEdit& edit);

} // namespace vistrel
