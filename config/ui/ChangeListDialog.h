#pragma once

// A list of parameters with two values each, copied as text: "Изменения", the
// rows of the parameter tree whose values differ from what the controller
// holds, kept up to date while it is open; or a fixed list, such as what
// changed since a controller's last visit.

#include "config/ParamChanges.h"

#include <QDialog>
#include <functional>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace gencfg {

class ParamModel;

class ChangeListDialog : public QDialog
{
    Q_OBJECT
public:
    // "Изменения" of the tree.
    explicit ChangeListDialog(ParamModel &model, QWidget *parent = nullptr);
    // A fixed list under its own title and column headings.
    ChangeListDialog(const QString &title, const QStringList &headings, const QVector<ParamDifference> &list,
                     QWidget *parent = nullptr);

    // A row's parameter as the list shows it: "День недели — Параметры электрогенератора / Еженедельный
    // тест"; the whole path is its tooltip.
    static QString ShownParamName(const QString &path);

    // Asks whether to write what it lists: "Записать" accepts, "Отмена" rejects.
    void offerWrite();

    // The list as copied to the clipboard.
    QString text() const;
    void copyToClipboard();

protected:
    void showEvent(QShowEvent *event) override;

private:
    ChangeListDialog(const QString &title, const QStringList &headings,
                     std::function<QVector<ParamDifference>()> list, QWidget *parent);
    void refresh();

    QTreeWidget *m_changeTable = nullptr;
    QLabel *m_summary = nullptr;
    QPushButton *m_copyButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QHBoxLayout *m_buttonRow = nullptr;
    QStringList m_headings;
    std::function<QVector<ParamDifference>()> m_list;
};

} // namespace gencfg
