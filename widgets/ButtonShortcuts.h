#pragma once

// Keys that press a button wherever the focus is on its page, named in the
// button's tooltip. A key pressed while the button is off may say why.

#include <QKeySequence>
#include <QList>
#include <functional>

class QAbstractButton;

namespace gencfg {

// Pressing one of keys clicks button when it is enabled, else runs whenOff (when given).
void AddButtonShortcuts(QAbstractButton *button, const QList<QKeySequence> &keys,
                        const std::function<void()> &whenOff = {});

// "Прочитать (F5, Ctrl+R)": the text without its access-key mark, then the keys.
QString ShortcutToolTip(const QString &text, const QList<QKeySequence> &keys);

} // namespace gencfg
