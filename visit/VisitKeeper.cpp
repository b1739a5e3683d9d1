#include "visit/VisitKeeper.h"

#include "config/ParamModel.h"
#include "link/DeviceText.h"
#include "monitor/JournalBook.h"
#include "monitor/TelemetryJson.h"
#include "visit/FleetTable.h"

#include <QCoreApplication>

namespace gencfg {

VisitKeeper::VisitKeeper(QObject *parent) : QObject(parent)
{
    // One writer: visits are written in the order they happened.
    m_writer.setMaxThreadCount(1);
}

VisitKeeper::~VisitKeeper()
{
    m_writer.waitForDone();
}

QString VisitKeeper::ShownTime(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

QString VisitKeeper::UnchangedSinceText(const QDateTime &lastVisit)
{
    return tr("С прошлого визита (%1) параметры не менялись").arg(ShownTime(lastVisit));
}

QString VisitKeeper::LastVisitHeading(const QDateTime &lastVisit, const QString &technician)
{
    if (technician.isEmpty())
        return tr("В прошлый раз (%1)").arg(ShownTime(lastVisit));
    return tr("В прошлый раз: %1 %2")
        .arg(lastVisit.toLocalTime().toString(QStringLiteral("dd.MM.yyyy")), PrintableText(technician));
}

void VisitKeeper::forgetController()
{
    m_serial.reset();
    m_arrival.reset();
    m_writeProvenAt.reset();
    m_journals.reset();
}

void VisitKeeper::keepParameters(VisitKind kind, const ConfigImageBytes &image, quint8 variantCode,
                                 const QDateTime &at)
{
    const QString serial = SerialNumberOf(image);
    // Another controller on the same port begins a visit of its own.
    if (m_serial && *m_serial != serial)
        forgetController();
    m_serial = serial;
    if (!m_arrival)
        m_arrival = image;
    if (kind == VisitKind::Write)
        m_writeProvenAt = at;
    Visit visit;
    visit.kind = kind;
    visit.variantCode = variantCode;
    visit.serial = *m_serial;
    visit.image = image;
    visit.time = at;
    keep(std::move(visit), kind == VisitKind::Read);
}

void VisitKeeper::keepJournals(const JournalBook &journals, quint8 variantCode)
{
    m_journals = journals;
    Visit visit;
    visit.kind = VisitKind::Journals;
    visit.variantCode = variantCode;
    // Under the controller the reading began on.
    visit.serial = journals.serial().value_or(m_serial.value_or(QString()));
    visit.journals = journals.text();
    keep(std::move(visit), false);
}

void VisitKeeper::keepService(const ServiceChange &change, quint8 variantCode)
{
    Visit visit;
    visit.kind = VisitKind::Service;
    visit.variantCode = variantCode;
    visit.serial = m_serial.value_or(QString());
    visit.time = change.time;
    visit.service = change;
    if (change.what == ServiceChange::SerialNumber && m_serial)
        m_serial = change.after.trimmed();
    keep(std::move(visit), false);
}

void VisitKeeper::keep(Visit visit, bool compare)
{
    if (!m_enabled)
        return;
    if (!visit.time.isValid())
        visit.time = QDateTime::currentDateTime();
    visit.programVersion = QCoreApplication::applicationVersion();
    visit.technician = m_technician;
    visit.pc = m_pc;
    if (m_feed && m_feed->seen())
        visit.status = StatusJson(m_feed->latest());
    // Journals read before any parameters come from a controller not yet known: nothing to tell.
    if (visit.serial.isEmpty() && (visit.kind == VisitKind::Read || visit.kind == VisitKind::Write) &&
        !m_toldNoSerial) {
        m_toldNoSerial = true;
        Q_EMIT message(tr("Серийный номер контроллера не задан: визит сохранён в архив в папку «%1»")
                           .arg(NoSerialFolder));
    }
    const VisitArchive archive = m_archive;
    m_writer.start([this, archive, visit, compare]() mutable {
        // The last visit is looked up before this one joins it.
        const std::optional<Visit> last =
            compare && !visit.serial.isEmpty() ? archive.lastWithImage(visit.serial) : std::nullopt;
        const QString error = archive.store(visit);
        // The fleet's next run then reads none of this controller's visits.
        if (error.isEmpty())
            UpdateFleetIndex(archive, visit.serial);
        // The keeper outlives its writer thread's work: the destructor waits for it.
        QMetaObject::invokeMethod(
            this, [this, visit, error, last] { written(visit, error, last); }, Qt::QueuedConnection);
    });
}

void VisitKeeper::written(const Visit &visit, const QString &error, const std::optional<Visit> &last)
{
    if (!error.isEmpty()) {
        Q_EMIT message(tr("Визит не сохранён в архив: %1").arg(error));
        return;
    }
    Q_EMIT kept(visit.folder);
    const std::optional<DeviceVariant> variant = VariantFromCode(visit.variantCode);
    if (!last || !variant)
        return;
    ParamModel layout;
    LoadVariantTree(*variant, layout);
    Q_EMIT comparedWithLastVisit(last->time, last->technician,
                                 DifferingParams(layout, *last->image, *visit.image, Compare::Values));
}

} // namespace gencfg
