// SPDX-License-Identifier: MIT
#include "widget/file_dialogs.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>

namespace vistrel {
namespace {

QString qtPattern(const QString& pattern) {
    QString patterns = pattern;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return patterns == QLatin1String("*.*") ? QStringLiteral("*") : patterns;
}

} // namespace

QStringList qtNameFilters(std::string_view filter) {
    const QStringList parts =
        QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size()))
            .split(QLatin1Char('|'));
    QStringList filters;
    // A description left without its pattern is dropped.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString pattern = qtPattern(parts[i + 1]);
        const QString shown = QStringLiteral(" (%1)").arg(pattern);
        filters << (description.endsWith(shown) ? description : description + shown);
    }
    return filters;
}

FileDialogs::FileDialogs(QWidget& parent) : dialog_(new QFileDialog(&parent)) {
    dialog_->setObjectName(QStringLiteral("ChooseFileName"));
}

std::optional<std::string> FileDialogs::openFileName(const FileDialogOptions& options) {
    return choose(options, false);
}

std::optional<std::string> FileDialogs::saveFileName(const FileDialogOptions& options) {
    return choose(options, true);
}

std::optional<std::string> FileDialogs::choose(const FileDialogOptions& options, bool save) {
    dialog_->setWindowTitle(QString::fromStdString(options.title));
    const QStringList filters = qtNameFilters(options.filter);
    dialog_->setNameFilters(filters);
    if (!filters.isEmpty()) {
        dialog_->selectNameFilter(filters.first());
    }
    QString suffix = QString::fromStdString(options.defaultExtension);
    if (suffix.startsWith(QLatin1Char('.'))) {
        suffix.remove(0, 1);
    }
    dialog_->setDefaultSuffix(suffix);
    dialog_->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog_->setFileMode(options.existingFilesOnly ? QFileDialog::ExistingFile
                                                   : QFileDialog::AnyFile);
    dialog_->setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    dialog_->selectFile(QString());
    const int answer = dialog_->exec();
    // The name box's completions may still show over the window once the
    // dialog is gone: the next click, meant for the grid or Stop, would only
    // close them.
    if (const auto* name = dialog_->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name != nullptr && name->completer() != nullptr) {
        name->completer()->popup()->hide();
    }
    if (answer != QDialog::Accepted || dialog_->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog_->selectedFiles().constFirst().toStdString();
}

} // namespace vistrel
