#include "widgets/Led.h"

#include "widgets/CaptionText.h"
#include "widgets/InstrumentAccessibility.h"

#include <QCoreApplication>

namespace gencfg {

namespace {

QString stateText(bool active)
{
    return active ? QCoreApplication::translate("gencfg::Led", "вкл.")
                  : QCoreApplication::translate("gencfg::Led", "выкл.");
}

} // namespace

Led::Led(const QString &caption, QWidget *parent) : QWidget(parent), m_caption(caption)
{
    installInstrumentAccessibility();
    setAccessibleName(spokenCaption(m_caption));
    setAccessibleDescription(stateText(m_active));
}

QString Led::shownCaption() const
{
    return displayCaption(m_caption);
}

bool Led::applyActive(bool active)
{
    if (active == m_active)
        return false;
    m_active = active;
    setAccessibleDescription(stateText(m_active));
    update();
    Q_EMIT activeChanged(m_active);
    return true;
}

void Led::setActive(bool active)
{
    applyActive(active);
}

void Led::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    setAccessibleName(spokenCaption(m_caption));
    updateGeometry();
    update();
    Q_EMIT captionChanged(m_caption);
}

void Led::setActiveColor(const QColor &color)
{
    if (color == m_activeColor)
        return;
    m_activeColor = color;
    if (m_active)
        update();
    Q_EMIT activeColorChanged(m_activeColor);
}

} // namespace gencfg
