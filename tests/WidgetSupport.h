#pragma once

// Helpers for tests that read the window's widgets.

#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>

namespace gencfg::test {

// A memo's lines; none for an empty memo.
inline QStringList memoLines(const QPlainTextEdit *memo)
{
    const QString text = memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

// A page's widget by its object name, for tests that work it as a user would.
template <class Widget> Widget *named(const QWidget *page, const char *name)
{
    return page->findChild<Widget *>(QLatin1String(name));
}

// The terminal page's traffic view: the page keeps it to itself.
inline QPlainTextEdit *trafficView(const QWidget *terminalPage)
{
    return named<QPlainTextEdit>(terminalPage, "trafficView");
}

} // namespace gencfg::test
