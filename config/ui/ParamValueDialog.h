#pragma once

// The value dialog "Установка параметра": what it edits on its first lines
// (path, units, limits), one editor for the row's kind, "Установить" or Enter
// to confirm. A refused value is named in the dialog, which stays open.

#include "config/Catalogue.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace gencfg {

class ParamValueDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ParamValueDialog(QWidget *parent = nullptr);

    // Fills the dialog for a row: its caption, and the edit field or the list of its options preset to its
    // value.
    void showRow(const QString &path, const CatalogueRow &row);
    bool editsOption() const;
    // The typed text; the chosen option's code, -1 for none.
    QString typedText() const;
    int chosenOption() const;
    // Why the value was not taken; shown until the next showRow().
    void showRefusal(const QString &why);

Q_SIGNALS:
    // "Установить" or Enter: the editor decides whether the dialog closes.
    void submitted();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_caption = nullptr;
    QLineEdit *m_valueEdit = nullptr;
    QComboBox *m_optionCombo = nullptr;
    QPushButton *m_setButton = nullptr;
    QLabel *m_refusal = nullptr;
};

} // namespace gencfg
