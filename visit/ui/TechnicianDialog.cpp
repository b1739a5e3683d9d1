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
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("technicianEdit"));
    // As long as a name, not a file's worth of text.
    nameEdit->setMaxLength(100);
    layout->addWidget(nameEdit);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton = buttons->button(QDialogButtonBox::Ok);
    okButton->setEnabled(false);
    layout->addWidget(buttons);
    connect(nameEdit, &QLineEdit::textChanged, this,
            [this](const QString &text) { okButton->setEnabled(!text.trimmed().isEmpty()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        const QString name = nameEdit->text().trimmed();
        if (name.isEmpty())
            return;
        accept();
        Q_EMIT named(name);
    });
}

} // namespace gencfg
