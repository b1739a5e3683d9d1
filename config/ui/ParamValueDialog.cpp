#include "config/ui/ParamValueDialog.h"

#include "config/ParamLimits.h"
#include "config/ParamValueText.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace gencfg {

namespace {

// Room the title bar takes besides the title: icon, buttons and margins.
constexpr int TitleBarExtra = 120;
constexpr int EditorMinimumWidth = 160;
const QColor RefusalColour(0xC6, 0x28, 0x28);

} // namespace

ParamValueDialog::ParamValueDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("valueDialog"));
    setWindowTitle(tr("Установка параметра"));
    setModal(true);
    setSizeGripEnabled(false);

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("paramCaption"));
    m_caption->setTextFormat(Qt::PlainText);
    m_caption->setWordWrap(true);

    m_valueEdit = new QLineEdit(this);
    m_valueEdit->setObjectName(QStringLiteral("valueEdit"));
    m_valueEdit->setMinimumWidth(EditorMinimumWidth);

    // Only the options: the list's position is the code the controller stores.
    m_optionCombo = new QComboBox(this);
    m_optionCombo->setObjectName(QStringLiteral("optionCombo"));
    m_optionCombo->setEditable(false);
    m_optionCombo->setMinimumWidth(EditorMinimumWidth);

    m_setButton = new QPushButton(tr("Установить"), this);
    m_setButton->setObjectName(QStringLiteral("setButton"));
    m_setButton->setDefault(true);
    connect(m_setButton, &QPushButton::clicked, this, &ParamValueDialog::submitted);

    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("refusalLabel"));
    m_refusal->setTextFormat(Qt::PlainText);
    m_refusal->setWordWrap(true);
    QPalette palette = m_refusal->palette();
    palette.setColor(QPalette::WindowText, RefusalColour);
    m_refusal->setPalette(palette);
    m_refusal->hide();

    auto *editorRow = new QHBoxLayout;
    editorRow->addWidget(m_valueEdit, 1);
    editorRow->addWidget(m_optionCombo, 1);
    editorRow->addWidget(m_setButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addLayout(editorRow);
    layout->addWidget(m_refusal);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_valueEdit, m_optionCombo);
    setTabOrder(m_optionCombo, m_setButton);
}

void ParamValueDialog::showRow(const QString &path, const CatalogueRow &row)
{
    QStringList details;
    if (!row.units.isEmpty())
        details << row.units;
    if (row.limits)
        details << AllowedRangeText(row);
    m_caption->setText(details.isEmpty() ? path
                                         : path + QLatin1Char('\n') + details.join(QStringLiteral(", ")));

    const bool option = IsOptionKind(row.kind);
    m_optionCombo->clear();
    if (option) {
        m_optionCombo->addItems(OptionTexts(row.kind));
        // A value no item holds selects none, so confirming it unchanged leaves the row as it was.
        m_optionCombo->setCurrentIndex(row.value.isOption() ? int(row.value.number) : -1);
    } else {
        m_valueEdit->setText(ValueText(row));
        m_valueEdit->selectAll();
    }
    m_valueEdit->setVisible(!option);
    m_optionCombo->setVisible(option);
    m_refusal->clear();
    m_refusal->hide();
    // The title bar uses the desktop's font; the title must fit beside its buttons.
    const QMargins margins = layout()->contentsMargins();
    const int titleWidth =
        QFontMetrics(QApplication::font()).horizontalAdvance(windowTitle()) + TitleBarExtra;
    m_caption->setMinimumWidth(std::max(0, titleWidth - margins.left() - margins.right()));
    adjustSize();
}

bool ParamValueDialog::editsOption() const
{
    return !m_optionCombo->isHidden();
}

QString ParamValueDialog::typedText() const
{
    return m_valueEdit->text();
}

int ParamValueDialog::chosenOption() const
{
    return m_optionCombo->currentIndex();
}

void ParamValueDialog::showRefusal(const QString &why)
{
    m_refusal->setText(why);
    m_refusal->show();
    (editsOption() ? static_cast<QWidget *>(m_optionCombo) : m_valueEdit)->setFocus(Qt::OtherFocusReason);
    m_valueEdit->selectAll();
}

void ParamValueDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    (editsOption() ? static_cast<QWidget *>(m_optionCombo) : m_valueEdit)
        ->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace gencfg
