#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>

namespace gencfg {

// The largest pixel size between minPixelSize and maxPixelSize at which text, laid out with
// the Qt::AlignmentFlag/Qt::TextFlag flags, fits box; minPixelSize when nothing fits.
QFont fittedFont(const QFont &base, const QString &text, const QSizeF &box, int flags, qreal maxPixelSize,
                 qreal minPixelSize = 6);

// fittedFont() that remembers its last answer, so a repaint with the same text, box and font
// skips the search.
class FittedFontCache
{
public:
    const QFont &get(const QFont &base, const QString &text, const QSizeF &box, int flags, qreal maxPixelSize,
                     qreal minPixelSize = 6);

private:
    bool m_valid = false;
    QFont m_base;
    QString m_text;
    QSizeF m_box;
    int m_flags = 0;
    qreal m_maxPixelSize = 0;
    qreal m_minPixelSize = 0;
    QFont m_fitted;
};

} // namespace gencfg
