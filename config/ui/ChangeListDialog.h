#pragma once

// "Изменения": the rows of the parameter tree whose values differ from what
// the controller holds, kept up to date while it is open, and copied as text.

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace gencfg {

class ParamModel;

class ChangeListDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ChangeListDialog(ParamModel &model, QWidget *parent = nullptr);

    // The list as copied to the clipboard.
    QString text() const;
    void copyToClipboard();

    QTreeWidget *changeTable = nullptr;
    QLabel *summary = nullptr;
    QPushButton *copyButton = nullptr;
    QPushButton *closeButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();

    ParamModel &m_model;
};

} // namespace gencfg
