#pragma once

// The one question every save in the window asks: where to write. The file's
// suffix goes onto a typed name inside the dialog, before it asks whether to
// replace an existing file, so the file written is the one the user was asked about.

#include <QString>

class QWidget;

namespace gencfg {

struct SaveQuestion
{
    QString title;
    QString proposed; // a path, or a file name
    QString filter;   // "CSV (*.csv)"
    QString suffix;   // without its dot: "csv"; added to a name that has none
    // A file only ever appended to is not replaced, so there is nothing to ask.
    bool appends = false;
};

// The chosen path, or an empty text when the user cancels.
QString AskSaveFileName(QWidget *parent, const SaveQuestion &question);

} // namespace gencfg
