#pragma once

// Asks the technician's name once, when the team archive is set and no name is
// kept: the team's history names who made each visit.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace gencfg {

class TechnicianDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TechnicianDialog(QWidget *parent = nullptr);

Q_SIGNALS:
    void named(const QString &technician); // accepted, trimmed and never empty

private:
    QLineEdit *m_nameEdit = nullptr;
    QPushButton *m_okButton = nullptr;
};

} // namespace gencfg
