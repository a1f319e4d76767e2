// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QStringList>

namespace vistrel {

// The tool bar's picture list ("ImagesToolBar"): one icon per image key,
// drawn from our own SVG files.
class ToolbarImages : public QObject {
public:
    explicit ToolbarImages(QObject* parent);

    // "Paste", "Start", "rec", "recActif", "Stop", "Copy", "Open", "Save".
    static const QStringList& keys();
    // A null icon for a key that is not in the list.
    QIcon icon(const QString& key) const;

private:
    QHash<QString, QIcon> icons_;
};

} // namespace vistrel
