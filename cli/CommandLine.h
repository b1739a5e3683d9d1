#pragma once

// The command line of gencfg-cli: one command, its options and arguments,
// checked against the command's synopsis before anything touches a device.

#include <QHash>
#include <QString>
#include <QStringList>

namespace gencfg::cli {

// One side of diff-config: a parameter file, the controller on a port, or an archived visit.
struct ComparedSide
{
    enum Kind { File, Port, Visit };
    Kind kind = File;
    QString name;
};

struct Invocation
{
    QString command;
    QStringList arguments;                // the positional arguments, as many as the command takes
    QHash<QString, QString> options;      // given options by long name; flags map to an empty text
    QHash<QString, QStringList> repeated; // every value of an option given more than once, in order
    QList<ComparedSide> sides;            // diff-config: A and B, in the order given

    bool has(const QString &option) const { return options.contains(option); }
    QString value(const QString &option) const { return options.value(option); }
    // Every value given for the option; empty when it was not given.
    QStringList values(const QString &option) const
    {
        return repeated.contains(option) ? repeated.value(option)
                                         : (has(option) ? QStringList{value(option)} : QStringList{});
    }
    QString argument(int i) const { return arguments.value(i); }
};

struct ParsedCommandLine
{
    enum Outcome { Run, Help, Version, Invalid };
    Outcome outcome = Invalid;
    Invocation invocation;
    QString text; // the help text, or what is wrong
};

// arguments without the program name.
ParsedCommandLine ParseCommandLine(const QStringList &arguments);

QString ProgramHelp();
// Empty for an unknown command.
QString CommandHelp(const QString &command);

} // namespace gencfg::cli
