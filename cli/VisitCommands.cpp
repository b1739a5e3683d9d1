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
        // One line per controller: its folder, how many visits, the newest.
        for (const QString &serial : archive.serialFolders()) {
            const QVector<Visit> visits = archive.visits(serial);
            PrintOut(QStringLiteral("%1\t%2\t%3\n")
                         .arg(serial)
                         .arg(visits.size())
                         .arg(VisitTimeText(visits.constLast().time)));
        }
        return Done;
    }
    const QString serial = invocation.argument(0);
    const QVector<Visit> visits = archive.visits(serial);
    if (visits.isEmpty())
        return Fail(InputError, QStringLiteral("no visit of %1 is kept in %2")
                                    .arg(serial, QDir::toNativeSeparators(archive.root())));
    for (const Visit &visit : visits) {
        const QString variant = VariantName(visit.variantCode);
        PrintOut(QStringList{VisitTimeText(visit.time), VisitKindName(visit.kind),
                             variant.isEmpty() ? QString::number(visit.variantCode) : variant,
                             visit.programVersion, QDir::toNativeSeparators(visit.folder)}
                     .join(QLatin1Char('\t')) +
                 QLatin1Char('\n'));
    }
    return Done;
}

} // namespace gencfg::cli
