#include "widgets/ButtonShortcuts.h"

#include <QAbstractButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QStringList>

namespace gencfg {

void AddButtonShortcuts(QAbstractButton *button, const QList<QKeySequence> &keys,
                        const std::function<void()> &whenOff)
{
    for (const QKeySequence &key : keys) {
        // On the button's page: its keys act where the button can be seen.
        auto *shortcut = new QShortcut(key, button->parentWidget());
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, button, [button, whenOff] {
            if (button->isEnabled())
                button->click();
            else if (whenOff)
                whenOff();
        });
    }
    button->setToolTip(ShortcutToolTip(button->text(), keys));
}

QString ShortcutToolTip(const QString &text, const QList<QKeySequence> &keys)
{
    QString plain = text;
    plain.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    QStringList names;
    for (const QKeySequence &key : keys)
        names << key.toString(QKeySequence::NativeText);
    return QStringLiteral("%1 (%2)").arg(plain, names.join(QStringLiteral(", ")));
}

} // namespace gencfg
