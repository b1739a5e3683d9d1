#include "report/VisitReport.h"

#include "config/Catalogue.h"
#include "config/FileWriting.h"
#include "config/ParamModel.h"
#include "config/ParamValueText.h"
#include "link/DeviceText.h"
#include "monitor/JournalBook.h"
#include "monitor/StatusRows.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextDocument>

namespace gencfg {

namespace {

QString cell(const QString &text, const char *attributes = "")
{
    return QStringLiteral("<td%1>%2</td>").arg(QLatin1String(attributes), text.toHtmlEscaped());
}

QString headerCell(const QString &text, const char *attributes = "")
{
    return QStringLiteral("<th%1>%2</th>").arg(QLatin1String(attributes), text.toHtmlEscaped());
}

QString table(const QString &rows)
{
    return QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\">") + rows +
           QStringLiteral("</table>");
}

QString heading(const QString &text)
{
    return QStringLiteral("<h2>%1</h2>").arg(text.toHtmlEscaped());
}

QString headerPart(const VisitReportInput &in)
{
    const std::optional<DeviceVariant> variant = VariantFromCode(in.variantCode);
    const QList<QPair<QString, QString>> rows{
        {QCoreApplication::translate("VisitReport", "Вариант"),
         variant ? VariantTitle(*variant).trimmed() : QString::number(in.variantCode)},
        {QCoreApplication::translate("VisitReport", "Серийный номер"),
         in.serial.isEmpty() ? QCoreApplication::translate("VisitReport", "не задан") : in.serial},
        {QCoreApplication::translate("VisitReport", "Дата и время"),
         in.time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))},
        {QCoreApplication::translate("VisitReport", "Версия программы"), in.programVersion},
    };
    QString html;
    for (const auto &[caption, value] : rows)
        html +=
            QStringLiteral("<tr>") + cell(caption, " width=\"30%\"") + cell(value) + QStringLiteral("</tr>");
    return QStringLiteral("<h1>%1</h1>")
               .arg(QCoreApplication::translate("VisitReport", "Отчёт о сервисном визите").toHtmlEscaped()) +
           table(html);
}

QString notesPart(const QString &notes)
{
    if (notes.trimmed().isEmpty())
        return {};
    // As typed: runs of blanks, tabs and indentation kept, long lines still wrapped.
    return heading(QCoreApplication::translate("VisitReport", "Заметки")) +
           QStringLiteral("<p style=\"white-space: pre-wrap\">%1</p>")
               .arg(notes.left(MaxReportNotesLength).toHtmlEscaped());
}

QString measurementsPart(const std::optional<TelemetryRecord> &status)
{
    if (!status)
        return heading(QCoreApplication::translate("VisitReport", "Измерения")) +
               QStringLiteral("<p>%1</p>")
                   .arg(QCoreApplication::translate("VisitReport", "Нет данных от контроллера"));
    ShownTexts shown;
    QString rows;
    for (const auto &[caption, value] : StatusRows(*status, shown))
        rows += QStringLiteral("<tr>") + cell(OneLineCaption(caption), " width=\"40%\"") + cell(value) +
                QStringLiteral("</tr>");
    rows += QStringLiteral("<tr>") +
            cell(QCoreApplication::translate("VisitReport", "Флаги"), " width=\"40%\"") +
            cell(FlagWords(*status)) + QStringLiteral("</tr>");
    return heading(QCoreApplication::translate("VisitReport", "Измерения")) + table(rows);
}

QString paramsPart(const VisitReportInput &in)
{
    if (!in.tree)
        return {};
    // What each row held on arrival, decoded into the same catalogue as the tree.
    ParamModel arrival;
    if (in.arrival) {
        if (const std::optional<DeviceVariant> variant = CatalogueInTree(*in.tree)) {
            LoadVariantTree(*variant, arrival);
            DecodeConfigImage(*in.arrival, arrival);
        }
    }
    QString rows = QStringLiteral("<tr>") +
                   headerCell(QCoreApplication::translate("VisitReport", "Параметр"), " width=\"46%\"") +
                   headerCell(QCoreApplication::translate("VisitReport", "Значение"), " width=\"20%\"") +
                   headerCell(QCoreApplication::translate("VisitReport", "Ед. изм."), " width=\"14%\"") +
                   headerCell(QCoreApplication::translate("VisitReport", "При прибытии"), " width=\"20%\"") +
                   QStringLiteral("</tr>");
    int changed = 0;
    for (int node = 0; node < in.tree->nodeCount(); ++node) {
        const CatalogueRow &row = in.tree->row(node);
        const QString indent = QStringLiteral("&nbsp;&nbsp;&nbsp;").repeated(row.level - 1);
        const bool group = row.kind == ParamKind::Group;
        const bool differs = !group && node < arrival.nodeCount() && arrival.row(node).value != row.value;
        changed += differs ? 1 : 0;
        const QString name = indent + (group || differs ? QStringLiteral("<b>%1</b>") : QStringLiteral("%1"))
                                          .arg(row.name.toHtmlEscaped());
        rows += QStringLiteral("<tr><td>%1</td>").arg(name) +
                cell(group ? QString() : PrintableText(ValueText(row))) + cell(row.units) +
                cell(differs ? PrintableText(ValueText(arrival.row(node))) : QString()) +
                QStringLiteral("</tr>");
    }
    QString html = heading(QCoreApplication::translate("VisitReport", "Параметры")) + table(rows);
    if (changed > 0)
        html += QStringLiteral("<p>%1</p>")
                    .arg(QCoreApplication::translate(
                             "VisitReport",
                             "Изменено в этом визите: %1 (значение при прибытии в последнем столбце)")
                             .arg(changed)
                             .toHtmlEscaped());
    if (in.writeProven)
        html += QStringLiteral("<p><b>%1</b></p>")
                    .arg(QCoreApplication::translate("VisitReport", "Запись подтверждена чтением, %1")
                             .arg(in.writeProven->toString(QStringLiteral("HH:mm:ss")))
                             .toHtmlEscaped());
    return html;
}

QString journalsPart(const JournalBook *journals)
{
    QString html;
    for (JournalSelector journal : {EventJournal, AlarmJournal}) {
        html += heading(JournalCaption(journal));
        const QStringList lines = journals ? journals->lines(journal) : QStringList();
        if (!journals)
            html += QStringLiteral("<p>%1</p>")
                        .arg(QCoreApplication::translate("VisitReport", "Журналы не прочитаны"));
        else if (lines.isEmpty())
            html +=
                QStringLiteral("<p>%1</p>").arg(QCoreApplication::translate("VisitReport", "Записей нет"));
        for (const QString &line : lines)
            html += line.toHtmlEscaped() + QStringLiteral("<br>");
    }
    return html;
}

QPageLayout a4Layout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

} // namespace

std::unique_ptr<QTextDocument> VisitReportDocument(const VisitReportInput &input)
{
    auto document = std::make_unique<QTextDocument>();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(9);
    document->setDefaultFont(font);
    document->setHtml(QStringLiteral("<html><body>") + headerPart(input) + notesPart(input.notes) +
                      measurementsPart(input.status) + paramsPart(input) + journalsPart(input.journals) +
                      QStringLiteral("</body></html>"));
    return document;
}

void PrintVisitReport(const VisitReportInput &input, QPagedPaintDevice &device)
{
    device.setPageLayout(a4Layout());
    // An unpaginated document is printed with its page numbers at the foot of each page.
    VisitReportDocument(input)->print(&device);
}

QString WriteVisitReportPdf(const VisitReportInput &input, const QString &path)
{
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("gencfg ") + input.programVersion);
        writer.setTitle(QCoreApplication::translate("VisitReport", "Отчёт о сервисном визите"));
        PrintVisitReport(input, writer);
    }
    bool refused = false;
    const QString failure = SaveWhole(path, pdf, &refused);
    if (failure.isEmpty() || refused)
        return failure;
    return QCoreApplication::translate("VisitReport", "Не удалось сохранить %1: %2").arg(path, failure);
}

} // namespace gencfg
