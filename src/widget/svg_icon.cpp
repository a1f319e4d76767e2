// SPDX-License-Identifier: MIT
#include "widget/svg_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace vistrel {

QIcon svgIcon(const QString& path, std::initializer_list<int> sides) {
    QSvgRenderer renderer(path);
    QIcon icon;
    for (const int side : sides) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace vistrel
