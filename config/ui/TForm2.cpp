#include "config/ui/TForm2.h"

#include "config/Catalogue.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

namespace gencfg {

namespace {

constexpr int ComboWidth = 98;
// Below this the strip would cut the editors in half.
constexpr int MinimumClientHeight = 30;

} // namespace

TForm2::TForm2(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("Установка параметра"));
    setModal(true);
    setSizeGripEnabled(false);
    setFixedSize(DesignClientWidth, DesignClientHeight);
    // The main window's face, so the captions fit the design sizes.
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(10);
    setFont(font);

    Button1 = new QPushButton(tr("Установить"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(107, 4, 61, 20);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);

    ComboBox1 = makeComboBox({13, 38}, OnOff);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox2 = makeComboBox({13, 63}, Language);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox3 = makeComboBox({13, 87}, MessageType);
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(4, 4, 98, 21);

    ComboBox4 = makeComboBox({13, 111}, EngineType);
    ComboBox4->setObjectName(QStringLiteral("ComboBox4"));
    ComboBox5 = makeComboBox({21, 119}, AccessLevel);
    ComboBox5->setObjectName(QStringLiteral("ComboBox5"));
    ComboBox6 = makeComboBox({70, 111}, TestStartMode);
    ComboBox6->setObjectName(QStringLiteral("ComboBox6"));

    setTabOrder(Button1, ComboBox1);
    setTabOrder(ComboBox1, ComboBox2);
    setTabOrder(ComboBox2, ComboBox3);
    setTabOrder(ComboBox3, Edit1);
    setTabOrder(Edit1, ComboBox4);
    setTabOrder(ComboBox4, ComboBox5);
    setTabOrder(ComboBox5, ComboBox6);
}

QComboBox *TForm2::makeComboBox(const QPoint &pos, int optionKind)
{
    auto *combo = new QComboBox(this);
    // Only the options: the codec would store a typed text as another option.
    combo->setEditable(false);
    combo->addItems(OptionTexts(optionKind));
    combo->setCurrentIndex(0);
    combo->move(pos);
    combo->resize(ComboWidth, combo->sizeHint().height());
    return combo;
}

QList<QWidget *> TForm2::editors() const
{
    return {Edit1, ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6};
}

void TForm2::showOnlyEditor(QWidget *editor)
{
    for (QWidget *w : editors())
        w->setVisible(w == editor);
}

int TForm2::frameExtraHeight() const
{
    const QWindow *window = windowHandle();
    if (!window)
        return 0;
    const QMargins margins = window->frameMargins();
    return margins.top() + margins.bottom();
}

void TForm2::setOuterHeight(int height)
{
    m_outerHeight = height;
    setFixedSize(DesignClientWidth, std::max(MinimumClientHeight, height - frameExtraHeight()));
}

int TForm2::outerHeight() const
{
    return height() + frameExtraHeight();
}

void TForm2::Button1Click()
{
    accept();
}

void TForm2::FormActivate()
{
    if (Edit1->isVisible())
        Edit1->setFocus(Qt::ActiveWindowFocusReason);
}

void TForm2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The frame is known only once the window is on screen.
    if (m_outerHeight > 0)
        setOuterHeight(m_outerHeight);
    FormActivate();
}

bool TForm2::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        // By now a window manager has framed the dialog, so the frame is known.
        if (m_outerHeight > 0 && outerHeight() != m_outerHeight)
            setOuterHeight(m_outerHeight);
        FormActivate();
    }
    return QDialog::event(event);
}

} // namespace gencfg
