#pragma once

// One row of the service page: a caption, hours and minutes edits with their
// units, and the button that sends them. The page has three: the motor-hours
// counter, the generator's run time and its wait time.

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace gencfg {

class DurationRow : public QWidget
{
    Q_OBJECT
public:
    // Where the row's parts sit on the page, and their names.
    struct Design
    {
        const char *name;        // of the edits and units: "<name>HoursEdit", "<name>MinutesUnit", ...
        const char *captionName; // of the caption label
        QString caption;
        int captionLeft;
        QPoint hoursEdit; // the hours edit's top left; the other parts keep their distances from it
        const char *buttonName;
        QString button;
        int buttonLeft;
        int buttonWidth;
    };

    DurationRow(const Design &design, QWidget *page);

    QLineEdit *hoursEdit() const { return m_hours; }
    QLineEdit *minutesEdit() const { return m_minutes; }
    QPushButton *button() const { return m_button; }

private:
    QLineEdit *m_hours = nullptr;
    QLineEdit *m_minutes = nullptr;
    QPushButton *m_button = nullptr;
};

} // namespace gencfg
