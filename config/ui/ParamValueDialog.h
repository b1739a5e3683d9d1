#pragma once

// The value dialog "Установка параметра": one editor at a time in a strip
// under the title bar, confirmed with "Установить" or Enter.

#include "config/Catalogue.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace gencfg {

class ParamValueDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int DesignClientWidth = 174;
    static constexpr int DesignClientHeight = 140;

    explicit ParamValueDialog(QWidget *parent = nullptr);

    QPushButton *setButton = nullptr;
    QComboBox *onOffCombo = nullptr;
    QComboBox *languageCombo = nullptr;
    QComboBox *messageTypeCombo = nullptr;
    QLineEdit *valueEdit = nullptr;
    QComboBox *engineTypeCombo = nullptr;
    QComboBox *accessLevelCombo = nullptr;
    QComboBox *testStartModeCombo = nullptr;

    // valueEdit and the six combo boxes, in that order.
    QList<QWidget *> editors() const;
    // Shows this one editor and hides the others.
    void showOnlyEditor(QWidget *editor);

    // Height including the title bar and frame; the client takes what is left.
    void setOuterHeight(int height);
    int outerHeight() const;

    void focusValueEdit();

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    QComboBox *makeComboBox(const QPoint &pos, ParamKind optionKind);
    int frameExtraHeight() const;

    int m_outerHeight = 0; // 0 until set: the design client height applies
};

} // namespace gencfg
