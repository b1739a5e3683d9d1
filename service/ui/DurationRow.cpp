#include "service/ui/DurationRow.h"

#include "widgets/PageLayout.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gencfg {

namespace {

// From the hours edit's top left: the edits' size, the units' and the minutes edit's offsets, the button's
// rise.
constexpr QSize EditSize(33, 20);
constexpr int TextDrop = 3;
constexpr int HoursUnitOffset = 39;
constexpr int MinutesEditOffset = 60;
constexpr int MinutesUnitOffset = 99;
constexpr int ButtonRise = 10;
constexpr int ButtonHeight = 41;

} // namespace

DurationRow::DurationRow(const Design &design, QWidget *page) : QWidget(page)
{
    const QString name = QLatin1String(design.name);
    const int top = design.hoursEdit.y() - ButtonRise;
    // The row spans from its caption's left to its button's right; its parts are placed within it.
    const QPoint origin(design.captionLeft, top);
    auto *layout = new PageLayout(this);
    auto label = [&](const QString &objectName, const QString &text, int left) {
        auto *unit = new QLabel(text, this);
        unit->setObjectName(objectName);
        layout->add(unit, {QPoint(left, design.hoursEdit.y() + TextDrop) - origin, unit->sizeHint()});
    };
    auto edit = [&](const QString &objectName, int left) {
        auto *field = new QLineEdit(QStringLiteral("0"), this);
        field->setObjectName(objectName);
        layout->add(field, {QPoint(left, design.hoursEdit.y()) - origin, EditSize});
        return field;
    };
    const int left = design.hoursEdit.x();
    label(QLatin1String(design.captionName), design.caption, design.captionLeft);
    m_hours = edit(name + QLatin1String("HoursEdit"), left);
    label(name + QLatin1String("HoursUnit"), tr("час"), left + HoursUnitOffset);
    m_minutes = edit(name + QLatin1String("MinutesEdit"), left + MinutesEditOffset);
    label(name + QLatin1String("MinutesUnit"), tr("мин"), left + MinutesUnitOffset);
    m_button = new QPushButton(design.button, this);
    m_button->setObjectName(QLatin1String(design.buttonName));
    layout->add(m_button, {QPoint(design.buttonLeft, top) - origin, QSize(design.buttonWidth, ButtonHeight)});
    static_cast<PageLayout *>(page->layout())
        ->add(this,
              {origin, QSize(design.buttonLeft + design.buttonWidth - design.captionLeft, ButtonHeight)});
}

} // namespace gencfg
