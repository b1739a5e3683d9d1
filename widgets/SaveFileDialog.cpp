#include "widgets/SaveFileDialog.h"

#include <QFileDialog>

namespace gencfg {

namespace {

void AskFileName(QFileDialog *dialog, const QObject *receiver, FileChosen chosen)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    QObject::connect(dialog, &QDialog::finished, receiver, [dialog, chosen = std::move(chosen)](int result) {
        chosen(result == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString());
    });
    dialog->open();
}

} // namespace

void AskSaveFileName(QWidget *parent, const SaveQuestion &question, const QObject *receiver,
                     FileChosen chosen)
{
    auto *dialog = new QFileDialog(parent, question.title, question.proposed, question.filter);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // The dialog adds it before its overwrite question, natively too.
    dialog->setDefaultSuffix(question.suffix);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, question.appends);
    AskFileName(dialog, receiver, std::move(chosen));
}

void AskOpenFileName(QWidget *parent, const QString &title, const QString &filter, const QObject *receiver,
                     FileChosen chosen)
{
    auto *dialog = new QFileDialog(parent, title, QString(), filter);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    AskFileName(dialog, receiver, std::move(chosen));
}

} // namespace gencfg
