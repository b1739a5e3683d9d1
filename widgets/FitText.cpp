#include "widgets/FitText.h"

#include <QFontMetricsF>
#include <QRectF>
#include <QtMath>

namespace gencfg {

QFont fittedFont(const QFont &base, const QString &text, const QSizeF &box, int flags, qreal maxPixelSize,
                 qreal minPixelSize)
{
    QFont font = base;
    int size = qMax(1, qFloor(maxPixelSize));
    const int smallest = qMax(1, qCeil(minPixelSize));
    while (true) {
        font.setPixelSize(size);
        if (size <= smallest || text.isEmpty())
            return font;
        const QRectF needed = QFontMetricsF(font).boundingRect(QRectF(QPointF(0, 0), box), flags, text);
        if (needed.width() <= box.width() + 0.5 && needed.height() <= box.height() + 0.5)
            return font;
        // Big fonts step faster so a huge widget does not loop for long.
        size -= qMax(1, size / 10);
    }
}

const QFont &FittedFontCache::get(const QFont &base, const QString &text, const QSizeF &box, int flags,
                                  qreal maxPixelSize, qreal minPixelSize)
{
    if (m_valid && text == m_text && box == m_box && flags == m_flags && maxPixelSize == m_maxPixelSize &&
        minPixelSize == m_minPixelSize && base == m_base)
        return m_fitted;
    m_valid = true;
    m_base = base;
    m_text = text;
    m_box = box;
    m_flags = flags;
    m_maxPixelSize = maxPixelSize;
    m_minPixelSize = minPixelSize;
    m_fitted = fittedFont(base, text, box, flags, maxPixelSize, minPixelSize);
    return m_fitted;
}

} // namespace gencfg
