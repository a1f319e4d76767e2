// SPDX-License-Identifier: MIT
#include "widget/toolbar_images.h"

#include "widget/svg_icon.h"

// The icons live in a resource of this static library: registering it here
// also makes the linker keep it in every program that shows the tool bar.
static void registerIconResource() {
    Q_INIT_RESOURCE(vistrel_icons);
}

namespace vistrel {

ToolbarImages::ToolbarImages(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("ImagesToolBar"));
    registerIconResource();
    for (const QString& key : keys()) {
        // Drawn once per size so that the tool bar stays sharp on dense screens.
        icons_.insert(key,
                      svgIcon(QStringLiteral(":/vistrel/icons/%1.svg").arg(key), {16, 24, 32, 48}));
    }
}

const QStringList& ToolbarImages::keys() {
    static const QStringList imageKeys{QStringLiteral("Paste"), QStringLiteral("Start"),
                                       QStringLiteral("rec"),   QStringLiteral("recActif"),
                                       QStringLiteral("Stop"),  QStringLiteral("Copy"),
                                       QStringLiteral("Open"),  QStringLiteral("Save")};
    return imageKeys;
}

QIcon ToolbarImages::icon(const QString& key) const {
    return icons_.value(key);
}

} // namespace vistrel
