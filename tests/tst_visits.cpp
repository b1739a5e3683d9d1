#include "ExpectedTexts.h"
#include "FormSim.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "config/MemoryMap.h"
#include "config/ParamValueText.h"
#include "visit/VisitArchive.h"
#include "visit/VisitKeeper.h"
#include "visit/ui/ReportDialog.h"

#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTreeWidget>

using namespace gencfg;
using namespace gencfg::test;

namespace {

const QString Serial = QStringLiteral("21070415");

// The window on a petrol controller in memory, its archive in a folder of its own.
struct VisitWindow : FormSim
{
    explicit VisitWindow(DeviceVariant variant = DeviceVariant::Petrol) : FormSim(60, quint8(variant)) {}
    bool readController()
    {
        const qsizetype before = archive().visits(Serial).size();
        QTest::mouseClick(named<QPushButton>(&form, "readButton"), Qt::LeftButton);
        return finish() && QTest::qWaitFor([&] { return archive().visits(Serial).size() > before; }, 5000);
    }
    static VisitArchive archive() { return VisitArchive(); }
    QDialog *sinceLastVisit() const
    {
        return form.findChild<QDialog *>(QStringLiteral("sinceLastVisitList"));
    }
};

// Each row as "path|then|now": the path is the parameter's tooltip, its own name shown first.
QStringList rowsOf(const QTreeWidget *table)
{
    QStringList rows;
    for (int row = 0; row < table->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = table->topLevelItem(row);
        const QString path = item->toolTip(0);
        const qsizetype cut = path.lastIndexOf(" / ");
        if (item->text(0) != path.mid(cut + 3) + " — " + path.left(cut))
            rows << "shown as " + item->text(0);
        rows << QStringList{path, item->text(1), item->text(2)}.join(QLatin1Char('|'));
    }
    return rows;
}

// Sets the serial number the controller holds, as set-serial does.
void setSerial(ControllerModel &model, const QByteArray &serial)
{
    model.writeMemory(MemoryMap::SerialNumber, serial.leftJustified(MemoryMap::SerialNumberSize, ' '));
}

// Points the archive somewhere else for one test.
struct DataHome
{
    explicit DataHome(const QString &path) : before(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", path.toUtf8());
    }
    ~DataHome() { qputenv("XDG_DATA_HOME", before); }
    QByteArray before;
};

} // namespace

class tst_Visits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // These writes are about the line and the archive; the change list before a write is tested on its own.
    void initTestCase() { setWriteConfirmation(false); }
    void secondVisit_listsExactlyTheParametersChangedSinceTheLast();
    void archiveThatCannotBeWritten_isOnlyTold();
    void archiveTurnedOff_keepsNothing();
    void teamArchiveWithoutName_asksItOnceAndKeepsItWithEachVisit();
    void report_holdsTheVisitAsTheTechnicianLeftIt();
    void controllerSwappedBehindALostPort_getsNothingOfTheOneBefore();
    void reportName_fromASerialNumberWithSigns_staysInTheHomeFolder();
    void save_addsTheSuffixBeforeAskingToReplace_data();
    void save_addsTheSuffixBeforeAskingToReplace();
    void reportNotes_keepTheirSpacingAndAreBounded();
};

void tst_Visits::secondVisit_listsExactlyTheParametersChangedSinceTheLast()
{
    QTemporaryDir dir;
    const DataHome home(dir.path());
    VisitWindow w;
    QVERIFY(w.ready() && w.settle(1));

    // A first visit has nothing to compare with.
    QVERIFY(w.readController());
    QVERIFY(!w.sinceLastVisit());
    const QDateTime first = VisitWindow::archive().visits(Serial).constLast().time;

    // Meanwhile someone changes three parameters.
    w.sim.model().writeMemory(36, QByteArray("\x00\xBE", 2)); // mains lower threshold 190 V
    w.sim.model().writeMemory(192, QByteArray("site7") + QByteArray(11, '\xFF'));
    w.sim.model().writeMemory(15, QByteArray("\xFB", 1)); // -5 degrees
    QVERIFY(w.readController());
    QVERIFY(QTest::qWaitFor([&] { return w.sinceLastVisit() && w.sinceLastVisit()->isVisible(); }, 5000));
    const QStringList changed =
        rowsOf(w.sinceLastVisit()->findChild<QTreeWidget *>(QStringLiteral("changeTable")));
    const auto *table = w.sinceLastVisit()->findChild<QTreeWidget *>(QStringLiteral("changeTable"));
    const QString then = QStringLiteral("В прошлый раз (%1)").arg(first.toString("dd.MM.yyyy HH:mm"));
    QCOMPARE(table->headerItem()->text(1), then);
    QCOMPARE(table->headerItem()->text(2), QStringLiteral("Сейчас"));
    QCOMPARE(rowsOf(table), QStringList({"Параметры сети / Напряжение сети / Нижний порог|180|190",
                                         "Параметры GSM модема / GPRS мониторинг / Login|vkmtr|site7",
                                         "Термодатчик / Нижний порог температуры|5|-5"}));
    QVERIFY(!w.sinceLastVisit()->isModal());

    // Nothing changed since: only the status bar says so, and the old list goes. The result box waits
    // for the technician, as a modal box does, while the archive answers.
    const QDateTime second = VisitWindow::archive().visits(Serial).constLast().time;
    w.form.messages().setHandler([](const Message &) { QTest::qWait(300); });
    QVERIFY(w.readController());
    QVERIFY(QTest::qWaitFor([&] { return !w.sinceLastVisit(); }, 5000));
    QCOMPARE(named<QLabel>(&w.form, "statusText")->text(), VisitKeeper::UnchangedSinceText(second));
    QCOMPARE(named<QLabel>(&w.form, "statusText")->text(),
             QStringLiteral("С прошлого визита (%1) параметры не менялись")
                 .arg(second.toString("dd.MM.yyyy HH:mm")));

    // Every read is its own visit, each kept whole, the fleet's row kept beside them.
    QVERIFY(
        QFileInfo::exists(VisitWindow::archive().root() + QLatin1Char('/') + Serial + "/fleet-index.json"));
    const QVector<Visit> visits = VisitWindow::archive().visits(Serial);
    QCOMPARE(visits.size(), 3);
    QCOMPARE(bytesOf(*visits.constLast().image), w.sim.model().memory());
    QCOMPARE(visits.constLast().status.value("variant").toString(), QStringLiteral("petrol"));

    // "История" lists them; two chosen compare as the list since the last visit did.
    QTest::mouseClick(named<QPushButton>(&w.form, "historyButton"), Qt::LeftButton);
    auto *history = w.form.findChild<QDialog *>(QStringLiteral("HistoryDialog"));
    QVERIFY(history && history->isVisible());
    auto *list = named<QTreeWidget>(history, "visitList");
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("Чтение"));
    auto *compare = named<QPushButton>(history, "compareButton");
    QVERIFY(!compare->isEnabled());
    list->topLevelItem(0)->setSelected(true);
    list->topLevelItem(2)->setSelected(true);
    QTest::mouseClick(compare, Qt::LeftButton);
    QDialog *compared = nullptr;
    for (QDialog *dialog : history->findChildren<QDialog *>())
        compared = dialog->windowTitle() == QStringLiteral("Сравнение визитов") ? dialog : compared;
    QVERIFY(compared && compared->isVisible());
    QCOMPARE(rowsOf(named<QTreeWidget>(compared, "changeTable")), changed);
}

void tst_Visits::archiveThatCannotBeWritten_isOnlyTold()
{
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath("file"), "x"));
    const DataHome home(dir.filePath("file"));
    VisitWindow w;
    QVERIFY(w.ready() && w.settle(1));
    QTest::mouseClick(named<QPushButton>(&w.form, "readButton"), Qt::LeftButton);
    QVERIFY(w.finish());
    QCOMPARE(w.boxes.texts(), QStringList{ReadDone});
    QVERIFY(QTest::qWaitFor(
        [&] {
            return named<QLabel>(&w.form, "statusText")->text().startsWith("Визит не сохранён в архив: ");
        },
        5000));
    QCOMPARE(readAll(dir.filePath("file")), QByteArray("x"));
}

void tst_Visits::archiveTurnedOff_keepsNothing()
{
    QTemporaryDir dir;
    const DataHome home(dir.filePath("data"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("config"));
    QVERIFY(QDir().mkpath(dir.filePath("config/gencfg")));
    QVERIFY(writeAll(dir.filePath("config/gencfg/gencfg.ini"), "[archive]\nenabled=false\n"));
    VisitWindow w;
    QVERIFY(w.ready() && w.settle(1));
    QTest::mouseClick(named<QPushButton>(&w.form, "readButton"), Qt::LeftButton);
    QVERIFY(w.finish());
    QCOMPARE(w.boxes.texts(), QStringList{ReadDone});
    QTest::qWait(200);
    QVERIFY(!QFileInfo::exists(dir.filePath("data/gencfg")));
}

void tst_Visits::teamArchiveWithoutName_asksItOnceAndKeepsItWithEachVisit()
{
    QTemporaryDir dir;
    const DataHome home(dir.filePath("data"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("config"));
    const QString ini = dir.filePath("config/gencfg/gencfg.ini");
    QVERIFY(QDir().mkpath(dir.filePath("config/gencfg")));
    // A server out of reach: nothing here waits for it.
    QVERIFY(
        writeAll(ini, "[archive]\nserver=postgresql:///team?host=" + dir.filePath("none").toUtf8() + "\n"));
    {
        VisitWindow w;
        QVERIFY(w.ready());
        QDialog *asked = nullptr;
        QVERIFY(QTest::qWaitFor(
            [&] { return (asked = w.form.findChild<QDialog *>(QStringLiteral("technicianDialog"))); }, 5000));
        auto *ok = asked->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        QVERIFY(!ok->isEnabled());
        auto *name = asked->findChild<QLineEdit *>(QStringLiteral("technicianEdit"));
        QTest::keyClicks(name, "   ");
        QVERIFY(!ok->isEnabled());
        name->setText(QStringLiteral("  Сидоров "));
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(QSettings(ini, QSettings::IniFormat).value("archive/technician").toString(), "Сидоров");
        QVERIFY(w.settle(1) && w.readController());
        QCOMPARE(VisitWindow::archive().visits(Serial).constLast().technician, "Сидоров");
    }
    VisitWindow again;
    QVERIFY(again.ready() && again.settle(1));
    QTest::qWait(100);
    QVERIFY(!again.form.findChild<QDialog *>(QStringLiteral("technicianDialog")));
}

void tst_Visits::report_holdsTheVisitAsTheTechnicianLeftIt()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    QVERIFY2(!pdftotext.isEmpty(), "pdftotext is missing: tools/deps.sh installs poppler-utils");
    QTemporaryDir dir;
    const DataHome home(dir.path());
    VisitWindow w(DeviceVariant::Diesel);
    QVERIFY(w.ready() && w.settle(1));
    QVERIFY(w.readController());

    // One value changed and written, proven by reading back.
    ParamModel &tree = w.form.tree();
    QVERIFY(tree.setValue(nodeAt(tree, 36), QStringLiteral("190")));
    setWriteConfirmation(false); // the settings folder is an earlier test's
    QTest::mouseClick(named<QPushButton>(&w.form, "writeButton"), Qt::LeftButton);
    QVERIFY(w.finish());
    QCOMPARE(w.boxes.lastText(), WriteDone);
    showPage(&w.form, named<QWidget>(&w.form, "journalPage"));
    QTest::mouseClick(named<QPushButton>(&w.form, "readJournalsButton"), Qt::LeftButton);
    QVERIFY(w.finish());
    const QStringList events = memoLines(named<QPlainTextEdit>(&w.form, "eventList"));
    const QStringList alarms = memoLines(named<QPlainTextEdit>(&w.form, "alarmList"));
    QVERIFY(!events.isEmpty() && !alarms.isEmpty());
    // Both journals into one CSV file, ".csv" added: a header, then a row for each line shown.
    answerFileDialog(&w.form, dir.filePath("journals"));
    QTest::mouseClick(named<QPushButton>(&w.form, "saveJournalsButton"), Qt::LeftButton);
    QVERIFY(fileDialogClosed());
    const QStringList rows =
        QString::fromUtf8(readAll(dir.filePath("journals.csv"))).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(rows.value(0),
             QStringLiteral("Журнал,Номер,День,Месяц,Час,Минута,Код,Событие,Серийный номер,Вариант"));
    QCOMPARE(rows.size(), 1 + events.size() + alarms.size());

    showPage(&w.form, named<QWidget>(&w.form, "paramsPage"));
    QTest::mouseClick(named<QPushButton>(&w.form, "reportButton"), Qt::LeftButton);
    auto *report = w.form.findChild<ReportDialog *>();
    QVERIFY(report && report->isVisible());
    QTest::keyClicks(named<QPlainTextEdit>(report, "notesEdit"), QStringLiteral("Starter battery replaced"));
    const auto saved = answerFileDialog(&w.form, dir.filePath("visit"));
    QTest::mouseClick(named<QPushButton>(report, "savePdfButton"), Qt::LeftButton);
    QVERIFY(fileDialogClosed());
    QVERIFY(saved->opened);
    QVERIFY2(QFileInfo(saved->proposed)
                 .fileName()
                 .startsWith("report-21070415-" + QDate::currentDate().toString("yyyyMMdd")),
             qPrintable(saved->proposed));
    QCOMPARE(w.boxes.lastText(), WriteDone); // no error
    // "Печать" asks for a printer beside the window, never in a loop of its own.
    QTest::mouseClick(named<QPushButton>(report, "printButton"), Qt::LeftButton);
    auto *printDialog = report->findChild<QPrintDialog *>();
    QVERIFY(printDialog && printDialog->isVisible());
    printDialog->reject();

    QProcess extract;
    extract.start(pdftotext, {"-layout", dir.filePath("visit.pdf"), "-"});
    QVERIFY(extract.waitForFinished(30000) && extract.exitCode() == 0);
    const QString text = QString::fromUtf8(extract.readAllStandardOutput());
    const QString flat = text.simplified();
    for (const QString &expected :
         {QStringLiteral("КУВ-дизель v2.0"), QStringLiteral("21070415"),
          QCoreApplication::applicationVersion(), QStringLiteral("Starter battery replaced")})
        QVERIFY2(flat.contains(expected), qPrintable(expected));
    // The changed row with its value on arrival, and the proof.
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Нижний порог +190 +Вольт +180"))),
             qPrintable(text));
    QVERIFY(flat.contains(
        QRegularExpression(QStringLiteral("Запись подтверждена чтением, \\d\\d:\\d\\d:\\d\\d"))));
    // Every value the tree holds, every journal line, and numbered pages.
    for (int node = 0; node < tree.nodeCount(); ++node)
        QVERIFY2(flat.contains(ValueText(tree.row(node)).simplified()), qPrintable(tree.path(node)));
    for (const QString &line : events + alarms)
        QVERIFY2(flat.contains(line.simplified()), qPrintable(line));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("\\n\\s+2\\n"))));
}

void tst_Visits::controllerSwappedBehindALostPort_getsNothingOfTheOneBefore()
{
    QTemporaryDir dir;
    const DataHome home(dir.path());
    VisitWindow w(DeviceVariant::Diesel);
    QVERIFY(w.ready() && w.settle(1));
    QVERIFY(w.readController());
    const auto readJournals = [&] {
        QTest::mouseClick(named<QPushButton>(&w.form, "readJournalsButton"), Qt::LeftButton);
        return w.finish();
    };
    QVERIFY(readJournals());
    QVERIFY(QTest::qWaitFor([&] { return VisitWindow::archive().visits(Serial).size() == 2; }, 5000));
    // The journals saved name the controller they were read from.
    answerFileDialog(&w.form, dir.filePath("a"));
    QTest::mouseClick(named<QPushButton>(&w.form, "saveJournalsButton"), Qt::LeftButton);
    QVERIFY(fileDialogClosed());
    const QStringList rows =
        QString::fromUtf8(readAll(dir.filePath("a.csv"))).split("\r\n", Qt::SkipEmptyParts);
    QVERIFY2(rows.size() > 1 && rows.at(0).endsWith(",Серийный номер,Вариант") &&
                 rows.at(1).endsWith(",21070415,КУВ-дизель v2.0"),
             qPrintable(rows.join('\n')));

    // The adapter is pulled and comes back with another controller behind it.
    w.sim.vanish();
    setSerial(w.sim.model(), "BBBB2222");
    QCOMPARE(w.sim.open(QStringLiteral("sim")), QString());
    QVERIFY(w.settle(2));
    QVERIFY(readJournals());
    QVERIFY(QTest::qWaitFor([&] { return VisitWindow::archive().visits(QString()).size() == 1; }, 5000));
    QCOMPARE(VisitWindow::archive().visits(Serial).size(), 2);
    QCOMPARE(VisitWindow::archive().visits(QString()).constFirst().kind, VisitKind::Journals);
    // Until it is read, a report cannot name it.
    QTest::mouseClick(named<QPushButton>(&w.form, "reportButton"), Qt::LeftButton);
    auto *report = w.form.findChild<ReportDialog *>();
    QVERIFY(report && report->isVisible());
    const auto dialog = answerFileDialog(&w.form, QString());
    QTest::mouseClick(named<QPushButton>(report, "savePdfButton"), Qt::LeftButton);
    QCOMPARE(w.boxes.lastText(), ReportDialog::ReadParametersFirstText());
    QVERIFY(!dialog->opened);
    QTest::qWait(50);

    // Another port picked: the journal page keeps nothing of the controller before.
    w.form.addExtraPort(QStringLiteral("other"));
    w.form.pickPort(QStringLiteral("other"));
    for (const char *list : {"eventList", "alarmList"})
        QCOMPARE(memoLines(named<QPlainTextEdit>(&w.form, list)), QStringList{"-пусто-"});
    QTest::mouseClick(named<QPushButton>(&w.form, "saveJournalsButton"), Qt::LeftButton);
    QCOMPARE(w.boxes.lastText(), QStringLiteral("Журналы ещё не прочитаны"));
    QCOMPARE(w.boxes.lastCaption(), QStringLiteral("Предупреждение"));
}

void tst_Visits::reportName_fromASerialNumberWithSigns_staysInTheHomeFolder()
{
    QTemporaryDir dir;
    const DataHome home(dir.path());
    VisitWindow w;
    setSerial(w.sim.model(), "/../../.");
    QVERIFY(w.ready() && w.settle(1));
    QTest::mouseClick(named<QPushButton>(&w.form, "readButton"), Qt::LeftButton);
    QVERIFY(w.finish());
    QTest::mouseClick(named<QPushButton>(&w.form, "reportButton"), Qt::LeftButton);
    auto *report = w.form.findChild<ReportDialog *>();
    QVERIFY(report);
    const auto saved = answerFileDialog(&w.form, QString());
    QTest::mouseClick(named<QPushButton>(report, "savePdfButton"), Qt::LeftButton);
    QVERIFY(fileDialogClosed());
    QVERIFY(saved->opened);
    const QFileInfo proposed(saved->proposed);
    QCOMPARE(proposed.absolutePath(), QDir::homePath());
    QVERIFY2(proposed.fileName().startsWith("report-%2F%2E%2E%2F%2E%2E%2F%2E-"), qPrintable(saved->proposed));
}

void tst_Visits::save_addsTheSuffixBeforeAskingToReplace_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("journals") << "saveJournalsButton"
                              << "csv";
    QTest::newRow("report") << "savePdfButton"
                            << "pdf";
    QTest::newRow("parameter file") << "saveButton"
                                    << "txt";
    QTest::newRow("trends") << "saveCsvButton"
                            << "csv";
}

void tst_Visits::save_addsTheSuffixBeforeAskingToReplace()
{
    QFETCH(QString, button);
    QFETCH(QString, suffix);
    QTemporaryDir dir;
    const DataHome home(dir.path());
    VisitWindow w(DeviceVariant::Diesel);
    QVERIFY(w.ready() && w.settle(1));
    if (button == "saveJournalsButton") {
        QTest::mouseClick(named<QPushButton>(&w.form, "readJournalsButton"), Qt::LeftButton);
        QVERIFY(w.finish());
    }
    if (button == "savePdfButton")
        QTest::mouseClick(named<QPushButton>(&w.form, "reportButton"), Qt::LeftButton);
    const QString existing = dir.filePath("kept." + suffix);
    QVERIFY(writeAll(existing, "kept"));
    const auto asked = typeIntoFileDialog(&w.form, dir.filePath("kept"));
    QWidget *report = w.form.findChild<ReportDialog *>();
    named<QPushButton>(report ? report : &w.form, qPrintable(button))->click();
    QTRY_VERIFY(*asked);
    QCOMPARE(readAll(existing), QByteArray("kept"));
}

void tst_Visits::reportNotes_keepTheirSpacingAndAreBounded()
{
    VisitReportInput input;
    input.notes = QStringLiteral("Шаг 1:\n    снят  кожух\tАКБ");
    QVERIFY2(VisitReportDocument(input)->toPlainText().contains(QStringLiteral("    снят  кожух\tАКБ")),
             qPrintable(VisitReportDocument(input)->toPlainText()));
    // Pasted notes beyond the bound are cut in the dialog, before any layout.
    Messages messages;
    ReportDialog dialog([] { return VisitReportInput(); }, messages);
    auto *notes = named<QPlainTextEdit>(&dialog, "notesEdit");
    notes->setPlainText(QString(MaxReportNotesLength + 5000, QLatin1Char('x')));
    QCOMPARE(notes->toPlainText().size(), MaxReportNotesLength);
}

QTEST_MAIN(tst_Visits)
#include "tst_visits.moc"
