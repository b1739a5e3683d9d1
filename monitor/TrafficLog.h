#pragma once

// The log of received lines: one file name and one file for every page that
// shows the log's name button and switch.

#include "monitor/LineAppendFile.h"

#include <QObject>
#include <QSet>
#include <functional>

namespace gencfg {

class TrafficLog : public QObject
{
    Q_OBJECT
    // Whether received lines are written; the pages' switches go out when it goes off.
    Q_PROPERTY(bool on READ isOn NOTIFY onChanged)
public:
    // Asks for a log-file name, given the current one, and gives it to chosen, later; empty when cancelled.
    using FileNameAsker =
        std::function<void(const QString &current, const std::function<void(const QString &name)> &chosen)>;

    using QObject::QObject;

    QString fileName() const { return m_fileName; }
    // A new name takes effect at once: an open log moves to the new file.
    void setFileName(const QString &name);
    void setFileNameAsker(FileNameAsker asker) { m_askFileName = std::move(asker); }
    // A cancelled question keeps the current name.
    void chooseFileName();

    // Whether received lines are written.
    bool isOn() const { return m_file.isOpen(); }
    // Only a user's change of a switch opens or closes the log: it is on while any switch is lit.
    void switchChanged(const QObject *lamp, bool lit);
    // A page put its switch out itself: the log forgets it without a word.
    void switchOff(const QObject *lamp);
    // One line, ended by CR LF; a failure turns the log off.
    void write(const QByteArray &line);

Q_SIGNALS:
    void onChanged(bool on);
    // A switch changed while no file name was set.
    void nameMissing();
    // The file failed and the log is off: every switch goes off, and text says why.
    void failed(const QString &text);

private:
    void open();
    void close();
    void fail(const QString &text);

    QString m_fileName;
    LineAppendFile m_file;
    // The switches the user has lit.
    QSet<const QObject *> m_lit;
    FileNameAsker m_askFileName;
};

} // namespace gencfg
