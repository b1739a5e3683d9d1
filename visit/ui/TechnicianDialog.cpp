#include "visit/ui/TechnicianDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace gencfg {

TechnicianDialog::TechnicianDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("technicianDialog"));
    setWindowTitle(tr("Техник"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(tr("Ваше имя, которое архив команды сохранит с каждым визитом:"), this);
    label->setWordWrap(true);
    layout->addWidget(label);
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("technicianEdit"));
    // As long as a name, not a file's worth of text.
    m_nameEdit->setMaxLength(100);
    layout->addWidget(m_nameEdit);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_okButton = buttons->button(QDialogButtonBox::Ok);
    m_okButton->setEnabled(false);
    layout->addWidget(buttons);
    connect(m_nameEdit, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_okButton->setEnabled(!text.trimmed().isEmpty()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        const QString name = m_nameEdit->text().trimmed();
        if (name.isEmpty())
            return;
        accept();
        Q_EMIT named(name);
    });
}

} // namespace gencfg
