#include "config/ui/ParamValueDialog.h"

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

ParamValueDialog::ParamValueDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("valueDialog"));
    setWindowTitle(tr("Установка параметра"));
    setModal(true);
    setSizeGripEnabled(false);
    setFixedSize(DesignClientWidth, DesignClientHeight);
    // The main window's face, so the captions fit the design sizes.
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(10);
    setFont(font);

    setButton = new QPushButton(tr("Установить"), this);
    setButton->setObjectName(QStringLiteral("setButton"));
    setButton->setGeometry(107, 4, 61, 20);
    setButton->setDefault(true);
    connect(setButton, &QPushButton::clicked, this, &QDialog::accept);

    onOffCombo = makeComboBox({13, 38}, ParamKind::OnOff);
    onOffCombo->setObjectName(QStringLiteral("onOffCombo"));
    languageCombo = makeComboBox({13, 63}, ParamKind::Language);
    languageCombo->setObjectName(QStringLiteral("languageCombo"));
    messageTypeCombo = makeComboBox({13, 87}, ParamKind::MessageType);
    messageTypeCombo->setObjectName(QStringLiteral("messageTypeCombo"));

    valueEdit = new QLineEdit(this);
    valueEdit->setObjectName(QStringLiteral("valueEdit"));
    valueEdit->setGeometry(4, 4, 98, 21);

    engineTypeCombo = makeComboBox({13, 111}, ParamKind::EngineType);
    engineTypeCombo->setObjectName(QStringLiteral("engineTypeCombo"));
    accessLevelCombo = makeComboBox({21, 119}, ParamKind::AccessLevel);
    accessLevelCombo->setObjectName(QStringLiteral("accessLevelCombo"));
    testStartModeCombo = makeComboBox({70, 111}, ParamKind::TestStartMode);
    testStartModeCombo->setObjectName(QStringLiteral("testStartModeCombo"));

    setTabOrder(setButton, onOffCombo);
    setTabOrder(onOffCombo, languageCombo);
    setTabOrder(languageCombo, messageTypeCombo);
    setTabOrder(messageTypeCombo, valueEdit);
    setTabOrder(valueEdit, engineTypeCombo);
    setTabOrder(engineTypeCombo, accessLevelCombo);
    setTabOrder(accessLevelCombo, testStartModeCombo);
}

QComboBox *ParamValueDialog::makeComboBox(const QPoint &pos, ParamKind optionKind)
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

QList<QWidget *> ParamValueDialog::editors() const
{
    return {valueEdit,       onOffCombo,       languageCombo,     messageTypeCombo,
            engineTypeCombo, accessLevelCombo, testStartModeCombo};
}

void ParamValueDialog::showOnlyEditor(QWidget *editor)
{
    for (QWidget *w : editors())
        w->setVisible(w == editor);
}

int ParamValueDialog::frameExtraHeight() const
{
    const QWindow *window = windowHandle();
    if (!window)
        return 0;
    const QMargins margins = window->frameMargins();
    return margins.top() + margins.bottom();
}

void ParamValueDialog::setOuterHeight(int height)
{
    m_outerHeight = height;
    setFixedSize(DesignClientWidth, std::max(MinimumClientHeight, height - frameExtraHeight()));
}

int ParamValueDialog::outerHeight() const
{
    return height() + frameExtraHeight();
}

void ParamValueDialog::focusValueEdit()
{
    if (valueEdit->isVisible())
        valueEdit->setFocus(Qt::ActiveWindowFocusReason);
}

void ParamValueDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The frame is known only once the window is on screen.
    if (m_outerHeight > 0)
        setOuterHeight(m_outerHeight);
    focusValueEdit();
}

bool ParamValueDialog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        // By now a window manager has framed the dialog, so the frame is known.
        if (m_outerHeight > 0 && outerHeight() != m_outerHeight)
            setOuterHeight(m_outerHeight);
        focusValueEdit();
    }
    return QDialog::event(event);
}

} // namespace gencfg
