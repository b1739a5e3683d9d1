#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/StatusFormat.h"

#include "visit/VisitArchive.h"

#include <QDir>

namespace gencfg::cli {

int RunHistory(const Invocation &invocation)
{
    const VisitArchive archive;
    if (invocation.arguments.isEmpty()) {
        // One line per controller: its serial number, how many visits, the newest.
        for (const QString &serial : archive.serials()) {
            const QVector<Visit> visits = archive.visits(serial);
            PrintOut(QStringLiteral("%1\t%2\t%3\n")
                         .arg(serial.isEmpty() ? NoSerialFolder : serial)
                         .arg(visits.size())
                         .arg(VisitTimeText(visits.constLast().time)));
        }
        return Done;
    }
    const QString serial = SerialNamed(invocation.argument(0));
    const QVector<Visit> visits = archive.visits(serial);
    if (visits.isEmpty())
        return Fail(InputError, QStringLiteral("no visit of %1 is kept in %2")
                                    .arg(invocation.argument(0), QDir::toNativeSeparators(archive.root())));
    for (const Visit &visit : visits) {
        const QString variant = VariantName(visit.variantCode);
        QStringList fields{VisitTimeText(visit.time), VisitKindName(visit.kind),
                           variant.isEmpty() ? QString::number(visit.variantCode) : variant,
                           visit.programVersion, QDir::toNativeSeparators(visit.folder)};
        if (VisitInFuture(visit))
            fields.append(QStringLiteral("dated in the future: never taken as last"));
        PrintOut(fields.join(QLatin1Char('\t')) + QLatin1Char('\n'));
    }
    return Done;
}

} // namespace gencfg::cli
