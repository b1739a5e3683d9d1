#include "widgets/SaveFileDialog.h"

#include <QFileDialog>

namespace gencfg {

QString AskSaveFileName(QWidget *parent, const SaveQuestion &question)
{
    QFileDialog dialog(parent, question.title, question.proposed, question.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The dialog adds it before its overwrite question, natively too.
    dialog.setDefaultSuffix(question.suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, question.appends);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace gencfg
