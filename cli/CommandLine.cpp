#include "cli/CommandLine.h"

#include "config/Catalogue.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <algorithm>

namespace gencfg::cli {

namespace {

const QString Program = QStringLiteral("gencfg-cli");

struct OptionEntry
{
    const char *name;
    const char *valueName; // nullptr for a flag
    const char *help;
};

const OptionEntry Options[] = {
    {"port", "DEV", "serial device of the controller: /dev/ttyUSB0, COM3, a gensim device"},
    {"json", nullptr, "print JSON instead of text"},
    {"csv", nullptr, "print CSV: status frames as the trend export, journals as \"Сохранить журналы\""},
    {"follow", nullptr, "print every status frame until interrupted"},
    {"raw", nullptr, "save the 256 bytes exactly as read"},
    {"verify", nullptr, "read the memory back and compare (the default; kept for old scripts)"},
    {"no-verify", nullptr, "do not read the memory back"},
    {"variant", "petrol|diesel|dry", "catalogue to decode with"},
    {"code", "CODE", "the service code"},
    {"notes", "TEXT", "the technician's notes, printed under the report's header"},
    {"lang", "ru|en", "the report's language: Russian (the default, else GENCFG_LANG) or English"},
    {"visit", "SERIAL@DATE", "an archived visit: SERIAL@last, or the newest whose time begins with DATE"},
    {"values", "UNITS.csv",
     "per-unit values: a key column \"serial\" or \"port\", then one column per tree path"},
    {"ledger", "LEDGER.csv", "the bench's ledger: one line is appended for every unit finished"},
    {"watch", nullptr, "configure each controller whose port appears, until interrupted"},
    {"from-recording", "FILE",
     "decode a session recording (gencfg-cli record, the window) instead of a port"},
    {"duration", "SECONDS", "stop after this many seconds instead of at Ctrl+C"},
    {"due", "DAYS", "keep the controllers whose maintenance may fall due within DAYS"},
    {"archive-server", "URL", "the team archive: postgresql://HOST[:PORT]/DB?sslmode=... (else the setting)"},
};

struct CommandEntry
{
    const char *name;
    const char *synopsis;
    const char *summary;
    const char *details;
    QStringList options;
    QStringList arguments; // each one required, unless its name is in brackets
    QStringList required;  // required options
};

const QList<CommandEntry> &Commands()
{
    const QString port = QStringLiteral("port");
    const QString code = QStringLiteral("code");
    static const QList<CommandEntry> commands = {
        {"ports",
         "",
         "list the serial ports",
         "Prints one port per line: the name to give to --port, then a tab and the\n"
         "port's description where the system has one.",
         {},
         {},
         {}},
        {"status",
         "--port DEV [--json | --csv] [--follow] | --from-recording FILE [--json | --csv]",
         "print the controller's next status frame",
         "Waits for the controller's next status frame and prints it as the measurement\n"
         "page shows it: status text, voltages, batteries, engine hours, time to\n"
         "maintenance, clock, GSM signal and registration, temperatures and flags.\n"
         "With --json, one JSON object per frame, on one line; a text the window would\n"
         "leave unchanged is null. With --csv, a header row of names and units, then\n"
         "one row per frame with its local time, as the window's \"Сохранить CSV\".\n"
         "With --follow, every frame until interrupted.\n"
         "With --from-recording FILE instead of --port, every status frame of a session\n"
         "recording, decoded as a live port's, each with its recorded time; a malformed\n"
         "line ends the output with status 2, a file cut short is read up to the cut.",
         {port, "json", "csv", "follow", "from-recording"},
         {},
         {}},
        {"record",
         "--port DEV FILE [--duration SECONDS]",
         "record the session with the controller into a file",
         "Writes every byte the controller sends, with its arrival time, into FILE, a\n"
         "session recording (docs/recording.md), written as it goes and flushed at\n"
         "least twice a second. Runs until Ctrl+C (or SIGTERM) or for --duration\n"
         "SECONDS, then ends with status 0 and the file complete. Prints nothing on\n"
         "stdout. FILE is replaced if it exists; a name that is not a regular file is\n"
         "refused. A write that fails (a full disk) or the port lost ends the recording\n"
         "with a message and status 1; the file keeps every whole line written.",
         {port, "duration"},
         {"FILE"},
         {port}},
        {"read-config",
         "--port DEV FILE [--raw] [--variant petrol|diesel|dry]",
         "read the parameter set into a parameter file",
         "Reads the 256-byte configuration memory in four blocks and saves the file the\n"
         "window saves after \"Прочитать\" and \"Сохранить\": the bytes decoded into the\n"
         "catalogue of the variant the controller reports (or --variant) and encoded\n"
         "again. FILE is written under exactly the name given, no \".txt\" added, and\n"
         "replaced if it exists; a name that is not a regular file is refused. With\n"
         "--raw the bytes are saved exactly as read.",
         {port, "raw", "variant"},
         {"FILE"},
         {port}},
        {"write-config",
         "--port DEV FILE [--no-verify] [--variant petrol|diesel|dry]",
         "write a parameter file into the controller",
         "Does what \"Открыть\" and \"Записать\" do: FILE decoded into the catalogue of the\n"
         "variant the controller reports (or --variant), encoded again and written in\n"
         "four blocks. The engine-hour counter (bytes 0-3) and the read-only fields\n"
         "(180-191) are never written. The write command has no reply, so the memory is\n"
         "then read back and every parameter written compared; each one that differs is\n"
         "listed (tree path, written, read back) and the exit status is 4. --no-verify\n"
         "skips the read-back. A value outside its catalogue limits is refused as the\n"
         "window refuses it: each one is listed (tree path, value, limits), nothing is\n"
         "written and the exit status is 2.",
         {port, "verify", "no-verify", "variant"},
         {"FILE"},
         {port}},
        {"batch",
         "TEMPLATE --port DEV [--port DEV ...] [--values UNITS.csv] [--ledger LEDGER.csv]\n"
         "       [--variant petrol|diesel|dry] [--watch]",
         "configure many controllers at once from a template",
         "Reads every controller given with --port at once, each on its own port: its\n"
         "variant, serial number and parameters. Each gets the parameter file TEMPLATE\n"
         "with its own row of UNITS.csv over it: a UTF-8 CSV file whose header is\n"
         "\"serial\" or \"port\", then tree paths as show-config and diff-config print\n"
         "them; a row's cell holds that unit's value, an empty cell keeps the value the\n"
         "unit holds. A unit without a row gets the template alone. Only the blocks that\n"
         "hold a differing parameter are written; the whole memory is then read back to\n"
         "prove them. A unit that already holds every value is not written: \"уже\n"
         "настроен\". An unknown path, a value the window would refuse or a row for a\n"
         "unit that is not there is named by file, line and column, and nothing is\n"
         "written to any unit.\n"
         "Each unit finished appends a line to LEDGER.csv: time, port, serial number,\n"
         "variant, result (\"записан и проверен\", \"уже настроен\", \"ошибка\"), the\n"
         "parameters changed, the failure and a note (no row of its own; proven before).\n"
         "Stdout shows a line per unit, redrawn in place on a terminal, then a summary.\n"
         "With --watch the ports given, or without --port every serial port that\n"
         "appears after the start, are watched: each controller plugged in is\n"
         "configured and recorded, until Ctrl+C. Nothing is retried without the user.\n"
         "Exit status: 0 when every unit is proven or already configured; 4 a write\n"
         "not proven; 3 a port cannot be opened; 2 bad input; 1 no answer; 130 Ctrl+C.",
         {port, "values", "ledger", "variant", "watch"},
         {"TEMPLATE"},
         {}},
        {"diff-config",
         "A B [--variant petrol|diesel|dry]",
         "list the parameters that differ between two parameter sets",
         "A and B are parameter files; either one may be --port DEV instead, to read the\n"
         "controller on that port, and either or both --visit SERIAL@DATE, a visit the\n"
         "window archived (SERIAL@last for the newest; 'history' lists them). Prints one\n"
         "line per parameter whose value differs: tree path, A's value and B's value,\n"
         "separated by tabs. The values are decoded into the catalogue of --variant,\n"
         "else of the variant the controller reports, else of the first visit's, else\n"
         "petrol. Counters, the serial number and bytes no parameter owns are not\n"
         "compared.\n"
         "Exit status: 0 the same, 1 they differ, 2 a file cannot be used, the\n"
         "controller did not answer or the list cannot be printed, 3 the port cannot\n"
         "be opened.",
         {port, "visit", "variant"},
         {"A", "B"},
         {}},
        {"report",
         "--port DEV OUT.pdf [--notes TEXT] [--lang ru|en]",
         "write a service report of the controller as PDF",
         "Reads the parameters, both journals and a status frame, then writes OUT.pdf\n"
         "as the window's \"Отчёт\" does: the variant, serial number, date and program\n"
         "version, the notes, the measurements, every parameter with its value and\n"
         "both journals, on numbered A4 pages. Needs no display. Entries the\n"
         "controller did not answer are printed as such and end the command with\n"
         "status 1; nothing is written when the parameters or the journals cannot be\n"
         "read.",
         {port, "notes", "lang", "variant"},
         {"OUT.pdf"},
         {port}},
        {"history",
         "[SERIAL]",
         "list the visits the window archived",
         "Without SERIAL prints one line per controller: its serial number (\"no-serial\"\n"
         "for those without one), how many visits are kept and the newest one's time,\n"
         "separated by tabs.\n"
         "With SERIAL prints that controller's visits, oldest first: time, what was done\n"
         "(read, write, journals), variant, program version, the visit's folder, the\n"
         "technician and the PC it was made on (empty when not kept); a visit dated more\n"
         "than a day ahead of the clock says so in an eighth field and is never taken as\n"
         "SERIAL@last. Visits fetched from the team archive ('archive sync') are listed too.\n"
         "A time, or its beginning, names the visit for diff-config --visit SERIAL@DATE;\n"
         "ISO 8601 with a T between date and time names it too.\n"
         "The archive lives in the window's data folder, under \"visits\", or in the\n"
         "folder the setting [archive] folder= names.",
         {},
         {"[SERIAL]"},
         {}},
        {"archive",
         "sync [--archive-server URL]",
         "share the visit archive with the team's server",
         "Sends the visits this PC keeps that the team archive lacks, and fetches the\n"
         "team's visits of every controller this PC has met (of all with the setting\n"
         "[archive] pull_all=true), then prints how many went each way and how many\n"
         "still wait. The server is --archive-server URL, else [archive] server= of the\n"
         "settings file; libpq finds the user and password (~/.pgpass, its service file,\n"
         "PGUSER, PGPASSWORD). A visit of the server that could not be one (control\n"
         "characters, a text too large, a date in the future, a parameter image of the\n"
         "wrong length) is named on stderr and not taken. A server out of reach or of a\n"
         "newer schema ends with status 3; nothing is half sent or half fetched.",
         {"archive-server"},
         {"sync"},
         {}},
        {"fleet",
         "[--csv | --json] [--due DAYS]",
         "list every controller the visit archive knows, soonest maintenance first",
         "One line per controller: serial number, variant, its last visit (time,\n"
         "technician, PC, what was done: read, write, journals), the engine minutes and\n"
         "the engine minutes left until maintenance its status frame showed then, the\n"
         "earliest day that maintenance can fall due (the engine running round the clock\n"
         "from the visit on) and how many days that is from today, the alarms its last\n"
         "journal reading found newer than the visit before it, and the parameters its\n"
         "last visit changed against the visit before with parameters. Sorted by that\n"
         "day; controllers without a status frame come last. A heading line and tabs,\n"
         "or --csv, or --json (one array). --due DAYS keeps those due within DAYS days,\n"
         "overdue ones included. Visits fetched from the team archive count as well.",
         {"csv", "json", "due"},
         {},
         {}},
        {"show-config",
         "FILE [--variant petrol|diesel|dry]",
         "print a parameter file as the parameter tree",
         "Prints FILE as the parameter tree: indented names, values and units. A value\n"
         "outside its catalogue limits is followed by \"[outside the limits MIN…MAX]\".\n"
         "Needs no device. Without --variant the petrol catalogue is used, the one the\n"
         "window starts with.",
         {"variant"},
         {"FILE"},
         {}},
        {"read-journal",
         "--port DEV [--json | --csv]",
         "read the event and alarm journals",
         "Reads both journals and lists them as the window does, each under its\n"
         "caption. An entry the controller does not answer is asked once more at the end\n"
         "of its journal; one still unanswered is listed at its place as\n"
         "\"-- запись N не прочитана --\" and ends the command with status 1. Three requests\n"
         "in a row without a reply end the reading with status 1, the entries read so far\n"
         "printed. With --json: {\"events\": [...], \"alarms\": [...], \"missing\":\n"
         "{\"events\": [N, ...], \"alarms\": [N, ...]}}, each entry with index, hour,\n"
         "minute, day, month, code, text and line. With --csv: the file the journal\n"
         "page's \"Сохранить журналы\" writes, one row per entry read.",
         {port, "json", "csv"},
         {},
         {port}},
        {"send",
         "--port DEV COMMAND",
         "send a one-shot command",
         "COMMAND is one of:\n"
         "  test-sms       \"Тест SMS\"\n"
         "  test-gprs      \"Тест GPRS\"\n"
         "  restart-modem  \"Перезагрузка модема\"\n"
         "  sync-clock     \"Синхронизация системного времени\" (this computer's clock)\n"
         "  mode-auto      \"Режим Авто\"\n"
         "  mode-semiauto  \"Режим Полу-авто\"",
         {port},
         {"COMMAND"},
         {port}},
        {"start",
         "--port DEV H:MM",
         "start the generator for a run time",
         "Sends \"Старт\" with a run time of H hours and MM minutes (00-59), at most\n"
         "18:12 as in the window.",
         {port},
         {"H:MM"},
         {port}},
        {"stop",
         "--port DEV H:MM",
         "stop the generator for a wait time",
         "Sends \"Стоп\" with a wait time of H hours and MM minutes (00-59), at most\n"
         "18:12 as in the window.",
         {port},
         {"H:MM"},
         {port}},
        {"set-motor-hours",
         "--port DEV H:MM --code CODE",
         "set the engine-hour counter",
         "Writes the engine-hour counter: H hours and MM minutes (00-59). Needs the\n"
         "service code.",
         {port, code},
         {"H:MM"},
         {port, code}},
        {"set-serial",
         "--port DEV TEXT --code CODE",
         "set the serial number",
         "Writes the serial number TEXT: exactly 8 characters a stored text can hold\n"
         "(Latin letters, digits and signs below '{', no ';'). Needs the service code.",
         {port, code},
         {"TEXT"},
         {port, code}},
    };
    return commands;
}

const CommandEntry *findCommand(const QString &name)
{
    for (const CommandEntry &entry : Commands()) {
        if (name == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

const OptionEntry *findOption(const QString &name)
{
    for (const OptionEntry &option : Options) {
        if (name == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

QString usageLine(const CommandEntry &entry)
{
    return QStringLiteral("Usage: %1 %2 %3")
        .arg(Program, QLatin1String(entry.name), QLatin1String(entry.synopsis));
}

QString optionLabel(const OptionEntry &option)
{
    QString label = QStringLiteral("--") + QLatin1String(option.name);
    if (option.valueName)
        label += QLatin1Char(' ') + QLatin1String(option.valueName);
    return label;
}

QString columns(const QList<QPair<QString, QString>> &rows)
{
    int width = 0;
    for (const auto &row : rows)
        width = qMax(width, int(row.first.size()));
    QString text;
    for (const auto &row : rows)
        text += QStringLiteral("  ") + row.first.leftJustified(width + 2) + row.second + QLatin1Char('\n');
    return text;
}

ParsedCommandLine outcome(ParsedCommandLine::Outcome kind, const QString &text)
{
    ParsedCommandLine parsed;
    parsed.outcome = kind;
    parsed.text = text;
    return parsed;
}

ParsedCommandLine invalid(const QString &what, const CommandEntry *entry = nullptr)
{
    if (!entry)
        return outcome(ParsedCommandLine::Invalid,
                       QStringLiteral("%1: %2\nRun '%1 --help' for the commands.").arg(Program, what));
    return outcome(ParsedCommandLine::Invalid,
                   QStringLiteral("%1 %2: %3\n%4\nRun '%1 %2 --help' for more.")
                       .arg(Program, QLatin1String(entry->name), what, usageLine(*entry)));
}

// diff-config's sides in the order given: files, "--port DEV" and each "--visit SERIAL@DATE".
QList<ComparedSide> comparedSides(const QStringList &arguments, const QCommandLineParser &parser)
{
    QList<QPair<qsizetype, ComparedSide>> placed;
    qsizetype from = 0;
    for (const QString &file : parser.positionalArguments()) {
        from = arguments.indexOf(file, from);
        placed.append({from++, {ComparedSide::File, file}});
    }
    const QRegularExpression portOption(QStringLiteral("^--port(=.*)?$"));
    if (parser.isSet(QStringLiteral("port")))
        placed.append(
            {arguments.indexOf(portOption), {ComparedSide::Port, parser.value(QStringLiteral("port"))}});
    const QRegularExpression visitOption(QStringLiteral("^--visit(=.*)?$"));
    from = 0;
    for (const QString &visit : parser.values(QStringLiteral("visit"))) {
        from = arguments.indexOf(visitOption, from);
        placed.append({from++, {ComparedSide::Visit, visit}});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<ComparedSide> sides;
    for (const auto &side : placed)
        sides.append(side.second);
    return sides;
}

bool isHelp(const QString &argument)
{
    return argument == QLatin1String("-h") || argument == QLatin1String("--help") ||
           argument == QLatin1String("help");
}

} // namespace

QString ProgramHelp()
{
    QList<QPair<QString, QString>> rows;
    for (const CommandEntry &entry : Commands())
        rows.append({QLatin1String(entry.name), QLatin1String(entry.summary)});
    return QStringLiteral("Usage: %1 COMMAND [options]\n\n"
                          "Every device operation of the gencfg window, from the command line: the same\n"
                          "transactions, catalogue, file format and texts.\n\n"
                          "Commands:\n%2\n"
                          "Exit status:\n"
                          "  0  done\n"
                          "  1  the controller did not answer, or the output cannot be written\n"
                          "  2  a usage or input error\n"
                          "  3  the port cannot be opened\n"
                          "  4  write-config or batch read back something else than it wrote\n"
                          "  (diff-config: 0 the same, 1 different, 2 trouble, 3 the port cannot be opened)\n"
                          "  130  stopped with Ctrl+C or SIGTERM; no file is written\n"
                          "  (status --follow and record: Ctrl+C is their normal end, status 0)\n\n"
                          "Run '%1 COMMAND --help' for a command's options.\n")
        .arg(Program, columns(rows));
}

QString CommandHelp(const QString &command)
{
    const CommandEntry *entry = findCommand(command);
    if (!entry)
        return {};
    QList<QPair<QString, QString>> rows;
    for (const QString &name : entry->options) {
        const OptionEntry *option = findOption(name);
        Q_ASSERT(option);
        rows.append({optionLabel(*option), QString::fromUtf8(option->help)});
    }
    rows.append({QStringLiteral("-h, --help"), QStringLiteral("show this help")});
    return QStringLiteral("%1\n\n%2: %3.\n\n%4\n\nOptions:\n%5")
        .arg(usageLine(*entry), QLatin1String(entry->name), QLatin1String(entry->summary),
             QString::fromUtf8(entry->details), columns(rows));
}

ParsedCommandLine ParseCommandLine(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return invalid(QStringLiteral("no command given"));
    const QString first = arguments.first();
    if (isHelp(first)) {
        if (first == QLatin1String("help") && arguments.size() > 1) {
            const QString help = CommandHelp(arguments.at(1));
            if (help.isEmpty())
                return invalid(QStringLiteral("unknown command '%1'").arg(arguments.at(1)));
            return outcome(ParsedCommandLine::Help, help);
        }
        return outcome(ParsedCommandLine::Help, ProgramHelp());
    }
    if (first == QLatin1String("--version") || first == QLatin1String("-v"))
        return outcome(ParsedCommandLine::Version,
                       QStringLiteral("%1 %2\n").arg(Program, QStringLiteral(GENCFG_VERSION)));
    const CommandEntry *entry = findCommand(first);
    if (!entry) {
        if (first.startsWith(QLatin1Char('-')))
            return invalid(QStringLiteral("a command must come first, not '%1'").arg(first));
        return invalid(QStringLiteral("unknown command '%1'").arg(first));
    }

    QCommandLineParser parser;
    parser.addHelpOption();
    for (const QString &name : entry->options) {
        const OptionEntry *option = findOption(name);
        parser.addOption(option->valueName
                             ? QCommandLineOption(name, QString(), QLatin1String(option->valueName))
                             : QCommandLineOption(name));
    }
    if (!parser.parse(QStringList{Program} + arguments.mid(1)))
        return invalid(parser.errorText(), entry);
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        return outcome(ParsedCommandLine::Help, CommandHelp(first));

    ParsedCommandLine parsed;
    parsed.outcome = ParsedCommandLine::Run;
    Invocation &invocation = parsed.invocation;
    invocation.command = first;
    invocation.arguments = parser.positionalArguments();
    const bool isDiff = first == QLatin1String("diff-config");
    if (isDiff)
        invocation.sides = comparedSides(arguments, parser);
    const qsizetype atMost =
        isDiff ? 2 - (invocation.sides.size() - invocation.arguments.size()) : entry->arguments.size();
    const qsizetype atLeast =
        isDiff ? atMost
               : std::count_if(entry->arguments.cbegin(), entry->arguments.cend(),
                               [](const QString &name) { return !name.startsWith(QLatin1Char('[')); });
    if (invocation.arguments.size() < atLeast)
        return invalid(QStringLiteral("missing %1").arg(entry->arguments.at(invocation.arguments.size())),
                       entry);
    if (invocation.arguments.size() > atMost)
        return invalid(atMost < 0
                           ? QStringLiteral("give two sides to compare, not %1").arg(invocation.sides.size())
                           : QStringLiteral("unexpected argument '%1'").arg(invocation.arguments.at(atMost)),
                       entry);
    for (const QString &name : entry->options) {
        if (!parser.isSet(name))
            continue;
        invocation.options.insert(name, parser.value(name));
        if (const QStringList all = parser.values(name); all.size() > 1)
            invocation.repeated.insert(name, all);
    }
    for (const QString &name : entry->required) {
        if (!invocation.has(name))
            return invalid(QStringLiteral("missing %1").arg(optionLabel(*findOption(name))), entry);
    }
    // An empty value is no value, whether the option is required or not.
    for (const QString &name : entry->options) {
        const OptionEntry *option = findOption(name);
        if (option->valueName && invocation.has(name) && invocation.values(name).contains(QString()))
            return invalid(QStringLiteral("%1 is empty").arg(optionLabel(*option)), entry);
    }
    // status reads either a port or a recording.
    if (first == QLatin1String("status")) {
        const bool fromRecording = invocation.has(QStringLiteral("from-recording"));
        if (fromRecording == invocation.has(QStringLiteral("port")))
            return invalid(fromRecording ? QStringLiteral("give --port or --from-recording, not both")
                                         : QStringLiteral("missing --port DEV"),
                           entry);
        if (fromRecording && invocation.has(QStringLiteral("follow")))
            return invalid(QStringLiteral("--follow reads a port; --from-recording prints every frame"),
                           entry);
    }
    if (invocation.has(QStringLiteral("variant")) &&
        !VariantFromName(invocation.value(QStringLiteral("variant"))))
        return invalid(QStringLiteral("unknown variant '%1': give petrol, diesel or dry")
                           .arg(invocation.value(QStringLiteral("variant"))),
                       entry);
    return parsed;
}

} // namespace gencfg::cli
