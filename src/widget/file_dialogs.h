// SPDX-License-Identifier: MIT
#pragma once

#include "control/ports.h"

#include <QStringList>
#include <string_view>

class QFileDialog;
class QWidget;

namespace vistrel {

// A filter in pairs of description and pattern separated by "|" (such as
// "Orvalen (*.xml)|*.xml|All files|*.*") as Qt's list of name filters. The
// pattern "*.*" means every file, also one without a dot in its name.
QStringList qtNameFilters(std::string_view filter);

// The open and save dialogs of the configuration file, shown on one file
// dialog ("ChooseFileName") that remembers its folder between uses.
class FileDialogs final : public FileDialogPort {
public:
    explicit FileDialogs(QWidget& parent);

    std::optional<std::string> openFileName(const FileDialogOptions& options) override;
    std::optional<std::string> saveFileName(const FileDialogOptions& options) override;

private:
    std::optional<std::string> choose(const FileDialogOptions& options, bool save);

    QFileDialog* dialog_;
};

} // namespace vistrel
