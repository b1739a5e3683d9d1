#pragma once

// The one question every save in the window asks: where to write. The file's
// suffix goes onto a typed name inside the dialog, before it asks whether to
// replace an existing file, so the file written is the one the user was asked about.

#include <QString>
#include <functional>

class QObject;
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
using FileChosen = std::function<void(const QString &path)>;

// Opens the dialog window-modal over parent and returns at once; chosen is called once it closes, and only
// while receiver lives.
void AskSaveFileName(QWidget *parent, const SaveQuestion &question, const QObject *receiver,
                     FileChosen chosen);

// The same for a file to open.
void AskOpenFileName(QWidget *parent, const QString &title, const QString &filter, const QObject *receiver,
                     FileChosen chosen);

} // namespace gencfg
