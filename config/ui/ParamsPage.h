#pragma once

// The "Параметры" page: the parameter tree and the four transfer buttons.

#include <QWidget>

class QPushButton;
class QProgressBar;

namespace gencfg {

class ParamModel;
class ParamTreeView;

class ParamsPage : public QWidget
{
    Q_OBJECT
public:
    explicit ParamsPage(ParamModel &model, QWidget *parent = nullptr);

    ParamTreeView *TreeList1 = nullptr;
    QPushButton *Button1 = nullptr; // "Сохранить"
    QPushButton *Button2 = nullptr; // "Открыть"
    QPushButton *Button3 = nullptr; // "Записать"
    QPushButton *Button4 = nullptr; // "Прочитать"
    QProgressBar *ProgressBar1 = nullptr;
};

} // namespace gencfg
