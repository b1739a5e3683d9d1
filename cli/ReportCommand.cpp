#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"

#include "config/ConfigTransfer.h"
#include "config/ParamModel.h"
#include "monitor/JournalBook.h"
#include "monitor/JournalReading.h"
#include "report/Language.h"
#include "report/VisitReport.h"
#include "visit/VisitArchive.h"

namespace gencfg::cli {

int RunReport(const Invocation &invocation)
{
    const std::optional<InterfaceLanguage> language =
        ChosenLanguage(invocation.value(QStringLiteral("lang")), qEnvironmentVariable("GENCFG_LANG"));
    if (!language)
        return Fail(InputError, QStringLiteral("unknown language: give --lang ru or --lang en"));
    const InterfaceTranslators translators(*language);
    const QString path = invocation.argument(0);
    if (const int writable = CheckOutputFile(path); writable != Done)
        return writable;
    const QString notes = invocation.value(QStringLiteral("notes"));
    if (notes.size() > MaxReportNotesLength)
        return Fail(InputError, QStringLiteral("--notes holds %1 characters; at most %2 go into a report")
                                    .arg(notes.size())
                                    .arg(MaxReportNotesLength));

    DeviceSession session;
    if (const int opened = session.open(invocation.value(QStringLiteral("port"))); opened != Done)
        return opened;
    DeviceVariant variant = DeviceVariant::Petrol;
    if (const int chosen = session.chooseVariant(invocation, variant); chosen != Done)
        return chosen;
    Progress progress(ReadProgressText());
    ConfigReadOperation read(BlankImage());
    session.watchVariant(read);
    const OperationStatus readStatus = session.run(read, &progress);
    progress.finish();
    if (readStatus != OperationStatus::Succeeded)
        return session.failure(readStatus);

    JournalBook journals;
    const OperationStatus journalStatus = session.readJournals(journals);
    if (journalStatus != OperationStatus::Succeeded)
        return session.failure(journalStatus);
    // A stop that came after the last reply still means no file.
    if (session.interrupted())
        return session.failure(OperationStatus::Cancelled);

    ParamModel tree;
    LoadVariantTree(variant, tree);
    DecodeConfigImage(read.image(), tree);
    VisitReportInput report;
    report.variantCode = quint8(variant);
    report.serial = SerialNumberOf(read.image());
    report.time = QDateTime::currentDateTime();
    report.programVersion = QCoreApplication::applicationVersion();
    report.notes = notes;
    report.status = session.statusFeed().latest();
    report.tree = &tree;
    report.arrival = read.image();
    report.journals = &journals;
    if (const QString failure = WriteVisitReportPdf(report, path); !failure.isEmpty())
        return Fail(InputError, failure);
    // The report holds the entries it could not read as such; the command still tells.
    const QStringList shortfalls = journals.shortfalls();
    return shortfalls.isEmpty() ? Done : Fail(NoAnswer, shortfalls.join(QLatin1Char('\n')));
}

} // namespace gencfg::cli
