// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QString>
#include <initializer_list>

namespace vistrel {

// An icon drawn from an SVG file once per side length, so that it stays sharp
// at each size and needs no SVG image plugin at run time.
QIcon svgIcon(const QString& path, std::initializer_list<int> sides);

} // namespace vistrel
