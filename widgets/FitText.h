#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>

namespace gencfg {

// The largest pixel size between minPixelSize and maxPixelSize at which text, laid out with
// the Qt::AlignmentFlag/Qt::TextFlag flags, fits box; minPixelSize when nothing fits.
QFont fittedFont(const QFont &base, const QString &text, const QSizeF &box, int flags, qreal maxPixelSize,
                 qreal minPixelSize = 6);

} // namespace gencfg
