#pragma once

// Helpers for tests that read the window's widgets.

#include "MessageRecorder.h"
#include "config/Catalogue.h"
#include "config/ConfigImage.h"
#include "config/ParamFile.h"
#include "config/ParamModel.h"
#include "widgets/ScrolledPage.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStringList>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <initializer_list>
#include <memory>

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

// Picks an item of a combo box as the user does from its list.
inline void pickItem(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

// Shows a page of the window as a click on its tab does.
inline void showPage(const QWidget *form, const QWidget *page)
{
    auto *tabs = named<QTabWidget>(form, "pageTabs");
    tabs->setCurrentIndex(TabIndexOf(tabs, page));
}

// The page the window shows now.
inline QWidget *shownPage(const QWidget *form)
{
    return PageIn(named<QTabWidget>(form, "pageTabs")->currentWidget());
}

// Double-clicks the chosen row of the parameter tree, as the user opens its value dialog.
inline void openChosenRow(const QWidget *form)
{
    auto *tree = named<QAbstractItemView>(form, "paramTree");
    Q_EMIT tree->doubleClicked(tree->currentIndex());
}

// A page's widgets by their object names, in that order.
inline QList<QWidget *> namedWidgets(const QWidget *page, std::initializer_list<const char *> names)
{
    QList<QWidget *> widgets;
    for (const char *name : names)
        widgets << named<QWidget>(page, name);
    return widgets;
}

// The service page's controls that stay locked until the service code is accepted.
inline QList<QWidget *> serviceCodeLocked(const QWidget *servicePage)
{
    return namedWidgets(servicePage, {"motorHoursEdit", "motorMinutesEdit", "setMotorHoursButton",
                                      "serialNumberEdit", "setSerialNumberButton"});
}

// The terminal page's traffic view: the page keeps it to itself.
inline QPlainTextEdit *trafficView(const QWidget *terminalPage)
{
    return named<QPlainTextEdit>(terminalPage, "trafficView");
}

// Types a service code into the service page and confirms it, as the technician does.
inline void enterServiceCode(QWidget *servicePage, const QString &code = QStringLiteral("41730962"))
{
    named<QLineEdit>(servicePage, "serviceCodeEdit")->setText(code);
    QTest::mouseClick(named<QWidget>(servicePage, "unlockButton"), Qt::LeftButton);
}

// Whether "Записать" shows the change list first, as the window's settings file says.
inline void setWriteConfirmation(bool on)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("gencfg"),
                       QStringLiteral("gencfg"));
    settings.setValue(QStringLiteral("window/confirm_write"), on);
    settings.sync();
}

// What a file dialog answered by answerFileDialog showed: whether it opened, and the file it proposed.
struct FileDialogAnswer
{
    bool opened = false;
    QString proposed;
};

// Answers the next file dialog over window with path, as the user types it and confirms; an empty path
// cancels it. Left unanswered, the wait ends with the window.
inline std::shared_ptr<FileDialogAnswer> answerFileDialog(QWidget *window, const QString &path)
{
    auto answer = std::make_shared<FileDialogAnswer>();
    auto *waiting = new QTimer(window);
    waiting->setInterval(10);
    QObject::connect(waiting, &QTimer::timeout, waiting, [waiting, path, answer] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        waiting->stop();
        waiting->deleteLater();
        answer->opened = true;
        answer->proposed = dialog->selectedFiles().value(0);
        dialog->selectFile(path);
        // The whole path in the name field, so the folder the dialog has loaded so far does not matter.
        if (auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            nameField->setText(path);
        static_cast<QDialog *>(dialog)->done(path.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
    });
    waiting->start();
    return answer;
}

// Returns once no file dialog is open any more, so whatever its answer started has run.
inline bool fileDialogClosed()
{
    return QTest::qWaitFor([] { return !qobject_cast<QFileDialog *>(QApplication::activeModalWidget()); },
                           5000);
}

// Types name into the next file dialog over window and confirms it as the user does, through the dialog's
// own checks; a question whether to replace a file is answered No and the dialog then cancelled. Tells
// whether such a question came.
inline std::shared_ptr<bool> typeIntoFileDialog(QWidget *window, const QString &name)
{
    auto asked = std::make_shared<bool>(false);
    auto *waiting = new QTimer(window);
    waiting->setInterval(10);
    QObject::connect(waiting, &QTimer::timeout, waiting, [waiting, name, asked] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        waiting->stop();
        waiting->deleteLater();
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(name);
        QTimer::singleShot(50, dialog, [dialog, asked] {
            if (auto *question = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                *asked = true;
                question->button(QMessageBox::No)->click();
            }
            if (dialog->isVisible())
                dialog->reject();
        });
        static_cast<QDialog *>(dialog)->accept(); // through the dialog's own checks
    });
    waiting->start();
    return asked;
}

// Opens a parameter file through the window's "Открыть" and its file dialog.
inline void openParamFile(QWidget *window, const QString &path)
{
    answerFileDialog(window, path);
    named<QPushButton>(window, "openButton")->click();
    fileDialogClosed();
}

// Gives the parameters page image while the tree shows the catalogue's defaults, as the user does: opens a
// parameter file holding it, then picks the variant again.
inline bool openImage(QWidget *window, DeviceVariant variant, const ConfigImageBytes &image)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("image.txt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(FormatParamFile(image)) < 0)
        return false;
    file.close();
    openParamFile(window, file.fileName());
    auto *variants = named<QComboBox>(window, "variantCombo");
    pickItem(variants, variants->findText(VariantTitle(variant)));
    return true;
}

// Opens a parameter file holding what the tree shows, as a technician does before writing a set made by
// hand: the catalogue's defaults alone are never written.
inline bool openTreeAsFile(QWidget *window, const ParamModel &tree)
{
    ConfigImageBytes image{};
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("tree.txt")));
    if (!EncodeConfigImage(tree, image).ok || !file.open(QIODevice::WriteOnly) ||
        file.write(FormatParamFile(image)) < 0)
        return false;
    file.close();
    openParamFile(window, file.fileName());
    return tree.origin() == ParamModel::Origin::File;
}

} // namespace gencfg::test
