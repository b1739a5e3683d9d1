#pragma once

// Helpers for tests that read the window's widgets.

#include <QPlainTextEdit>
#include <QStringList>

namespace gencfg::test {

// A memo's lines; none for an empty memo.
inline QStringList memoLines(const QPlainTextEdit *memo)
{
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

// The terminal page's traffic view, found by its name: the page keeps it to itself.
inline QPlainTextEdit *trafficView(const QWidget *terminalPage)
{
    return terminalPage->findChild<QPlainTextEdit *>(QStringLiteral("trafficView"));
}

} // namespace gencfg::test
