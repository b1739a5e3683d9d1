#include "ControllerFrames.h"
#include "FormSim.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "app/TerminalLine.h"
#include "monitor/Journal.h"
#include "monitor/JournalReading.h"
#include "monitor/TrafficLog.h"
#include "widgets/SwitchLed.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <optional>

using namespace gencfg;
using namespace gencfg::test;

namespace {

const QDateTime StampTime(QDate(2026, 12, 6), QTime(10, 32, 42, 123));
const QString Stamp = QStringLiteral("06.12 10:32:42:123");

// A frame as the memo shows it: the start byte spelled out, no carriage return.
QString shown(const QByteArray &frame)
{
    return QStringLiteral("^P") + QString::fromLatin1(frame.mid(1, frame.size() - 2));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Whether this process holds the file open.
bool heldOpen(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files | QDir::Dirs))
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() == target)
            return true;
    return false;
}

// A window whose terminal runs on a fixed clock and a Russian locale, with its boxes recorded.
struct Terminal
{
    Terminal()
    {
        enterServiceCode(named<QWidget>(&form, "servicePage"));
        form.setClock([] { return StampTime; });
        page->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    }
    void receive(const QByteArray &bytes) { form.link().receive(bytes); }

    MainWindow form;
    MessageRecorder boxes{form.messages()};
    QWidget *page = named<QWidget>(&form, "terminalPage");
    TrafficLog *log = form.findChild<TrafficLog *>();
    QPlainTextEdit *view = trafficView(page);
    SwitchLed *showSwitch = page->findChild<SwitchLed *>(QStringLiteral("showTrafficSwitch"));
    SwitchLed *logSwitch = page->findChild<SwitchLed *>(QStringLiteral("logSwitch"));
    // The service page's "Вести LOG-файл", named like the terminal's own.
    SwitchLed *serviceLogSwitch = named<SwitchLed>(named<QWidget>(&form, "servicePage"), "logSwitch");
};

// The number the terminal gives its next line, as that line shows it: the display goes on for it.
qint64 nextLineNumber(MainWindow &form)
{
    QWidget *page = named<QWidget>(&form, "terminalPage");
    auto *showSwitch = named<SwitchLed>(page, "showTrafficSwitch");
    if (!showSwitch->isActive())
        QTest::mouseClick(showSwitch, Qt::LeftButton);
    form.link().receive(statusFrame(201));
    return memoLines(trafficView(page)).constLast().section(QLatin1Char(' '), 0, 0).toLongLong();
}

} // namespace

class tst_Terminal : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void separators_comeFromTheLocalesShortFormats_data();
    void separators_comeFromTheLocalesShortFormats();
    void statusFrame_showsOneNumberedStampedLine();
    void linesWhileDisplayIsOff_areCountedNotShown();
    void arrivalWithoutCarriageReturn_waitsForTheOneThatBringsIt();
    void controlBytes_neverBreakTheLine();
    void clearing_emptiesTheMemoAndKeepsTheNumbering();
    void echoLines_showWhileHiddenAndOffWithoutNumbers();
    void logSwitchWithoutName_warnsOnceAndSwitchesTheDisplayOff_data();
    void logSwitchWithoutName_warnsOnceAndSwitchesTheDisplayOff();
    void nameButtons_askForTheLogFileNameAndCancelKeepsIt();
    void namedLog_writesReceivedLinesWithCrLfAndAppendsOnReopen();
    void namedLog_followsEitherSwitchAndClosesWithTheWindow();
    void logFileFailure_namesTheFileAndSwitchesTheLogOff_data();
    void logFileFailure_namesTheFileAndSwitchesTheLogOff();
    void shownAndLoggedLine_carryOneReadingOfTheClock();
    void longSession_terminalKeepsTheLastLinesAndTheLogKeepsAll();
};

void tst_Terminal::separators_comeFromTheLocalesShortFormats_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("stamp");
    QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia) << "06.12 10:32:42:123";
    QTest::newRow("US English") << QLocale(QLocale::English, QLocale::UnitedStates) << "06/12 10:32:42:123";
    QTest::newRow("Finnish, dots in the time")
        << QLocale(QLocale::Finnish, QLocale::Finland) << "06.12 10.32.42.123";
    QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden) << "06-12 10:32:42:123";
    QTest::newRow("Hungarian, blank after the dot")
        << QLocale(QLocale::Hungarian, QLocale::Hungary) << "06.12 10:32:42:123";
    QTest::newRow("Bulgarian, quoted suffix")
        << QLocale(QLocale::Bulgarian, QLocale::Bulgaria) << "06.12 10:32:42:123";
    QTest::newRow("C, only blanks: the pattern's own") << QLocale::c() << "06/12 10:32:42:123";
}

void tst_Terminal::separators_comeFromTheLocalesShortFormats()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, stamp);
    QCOMPARE(TerminalTimeStamp(StampTime, LocaleStampSeparators(locale)), stamp);
    QCOMPARE(TerminalTimeStamp(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 6)), LocaleStampSeparators(locale))
                 .size(),
             stamp.size());
}

void tst_Terminal::statusFrame_showsOneNumberedStampedLine()
{
    Terminal t;
    t.showSwitch->click();
    QVERIFY(t.showSwitch->isActive());
    t.receive(statusFrame(201));
    QCOMPARE(memoLines(t.view),
             QStringList{QStringLiteral("0 ") + Stamp + QLatin1Char(' ') + shown(statusFrame(201))});
    QCOMPARE(nextLineNumber(t.form), 1);
}

void tst_Terminal::linesWhileDisplayIsOff_areCountedNotShown()
{
    Terminal t;
    for (int i = 0; i < 3; ++i)
        t.receive(statusFrame(201));
    QVERIFY(t.view->toPlainText().isEmpty());

    // The shown line carries the count of the hidden ones.
    QTest::mouseClick(t.showSwitch, Qt::LeftButton);
    t.receive(statusFrame(201));
    QTest::mouseClick(t.showSwitch, Qt::LeftButton);
    t.receive(statusFrame(201));
    QCOMPARE(memoLines(t.view),
             QStringList{QStringLiteral("3 ") + Stamp + QLatin1Char(' ') + shown(statusFrame(201))});
    QCOMPARE(nextLineNumber(t.form), 5);
}

void tst_Terminal::arrivalWithoutCarriageReturn_waitsForTheOneThatBringsIt()
{
    Terminal t;
    t.showSwitch->click();
    const QByteArray frame = statusFrame(201);
    t.receive(frame.left(20));
    QVERIFY(t.view->toPlainText().isEmpty());

    // Still line 0: what follows the carriage return in the same arrival ends this line.
    t.receive(frame.mid(20) + "\x10"
                              "01");
    QCOMPARE(memoLines(t.view), QStringList{QStringLiteral("0 ") + Stamp + QLatin1Char(' ') + shown(frame) +
                                            QStringLiteral("^P01")});

    // Two frames in one arrival share one line.
    t.receive(frame + frame);
    QCOMPARE(memoLines(t.view).value(1),
             QStringLiteral("1 ") + Stamp + QLatin1Char(' ') + shown(frame) + shown(frame));
}

void tst_Terminal::controlBytes_neverBreakTheLine()
{
    Terminal t;
    t.showSwitch->click();
    t.receive(QByteArray("A\nB\0C\x7F\r\r\nD", 10));
    QCOMPARE(t.view->blockCount(), 1);
    QCOMPARE(t.view->toPlainText(), QStringLiteral("0 ") + Stamp + QStringLiteral(" A^JB^@C^?^JD"));
}

void tst_Terminal::clearing_emptiesTheMemoAndKeepsTheNumbering()
{
    Terminal t;
    t.showSwitch->click();
    t.receive(statusFrame(201));
    t.receive(statusFrame(201));
    QTest::mouseClick(named<QPushButton>(t.page, "clearButton"), Qt::LeftButton);
    QVERIFY(t.view->toPlainText().isEmpty());
    QVERIFY(t.showSwitch->isActive());
    // The numbering goes on from 2.
    t.receive(statusFrame(201));
    QVERIFY(t.view->toPlainText().startsWith(QStringLiteral("2 ")));
}

void tst_Terminal::echoLines_showWhileHiddenAndOffWithoutNumbers()
{
    FormSim s;
    QVERIFY(s.ready());
    QWidget *terminalPage = named<QWidget>(&s.form, "terminalPage");
    QVERIFY(!s.form.isTabVisible(terminalPage));
    QVERIFY(!named<SwitchLed>(terminalPage, "showTrafficSwitch")->isActive());
    QSignalSpy steps(&s.form.link(), &DeviceLink::terminalStep);
    QVERIFY(s.settle());

    QTest::mouseClick(named<QPushButton>(named<QWidget>(&s.form, "servicePage"), "testSmsButton"),
                      Qt::LeftButton);
    QVERIFY(s.finish());
    SingleStepOperation record(JournalRecordStep(AlarmJournal, 3));
    QCOMPARE(runToEnd(s.form.link(), record), OperationStatus::Succeeded);

    QCOMPARE(memoLines(trafficView(terminalPage)),
             (QStringList{QStringLiteral("<< ^P002000000020"), QStringLiteral("<<^P0028000002010328")}));
    // Unlocked, the terminal shows what it counted meanwhile.
    enterServiceCode(named<QWidget>(&s.form, "servicePage"));
    const qint64 counted = steps.count();
    QCOMPARE(nextLineNumber(s.form), counted);
}

void tst_Terminal::logSwitchWithoutName_warnsOnceAndSwitchesTheDisplayOff_data()
{
    QTest::addColumn<bool>("servicePageSwitch");
    QTest::newRow("Вести лог") << false;
    QTest::newRow("Вести LOG-файл") << true;
}

void tst_Terminal::logSwitchWithoutName_warnsOnceAndSwitchesTheDisplayOff()
{
    QFETCH(bool, servicePageSwitch);
    Terminal t;
    SwitchLed *logSwitch = servicePageSwitch ? t.serviceLogSwitch : t.logSwitch;
    t.showSwitch->click();

    QTest::mouseClick(logSwitch, Qt::LeftButton);
    QCOMPARE(t.boxes.count(), 1);
    QCOMPARE(int(t.boxes.all().first().kind), int(Message::Warning));
    QCOMPARE(t.boxes.lastCaption(), QStringLiteral("Предупреждение"));
    QCOMPARE(t.boxes.lastText(), QStringLiteral("Задайте имя LOG-файла"));
    QVERIFY(!t.logSwitch->isActive());
    QVERIFY(!t.showSwitch->isActive());
    QVERIFY(!t.showSwitch->isActive());
    QVERIFY(!t.log->isOn());
    // The service page's switch keeps what the user gave it; each change of it warns again.
    QCOMPARE(t.serviceLogSwitch->isActive(), servicePageSwitch);
    QTest::mouseClick(logSwitch, Qt::LeftButton);
    QCOMPARE(t.boxes.count(), 2);
    QVERIFY(!t.serviceLogSwitch->isActive());

    t.receive(statusFrame(201));
    QVERIFY(t.view->toPlainText().isEmpty());
}

void tst_Terminal::nameButtons_askForTheLogFileNameAndCancelKeepsIt()
{
    Terminal t;
    QStringList asked;
    QString answer = QStringLiteral("/tmp/first.log");
    t.log->setFileNameAsker([&](const QString &current, const auto &chosen) {
        asked << current;
        chosen(answer);
    });
    QTest::mouseClick(named<QPushButton>(t.page, "logFileButton"), Qt::LeftButton);
    QCOMPARE(t.log->fileName(), QStringLiteral("/tmp/first.log"));
    answer.clear();
    QTest::mouseClick(named<QPushButton>(named<QWidget>(&t.form, "servicePage"), "logFileButton"),
                      Qt::LeftButton);
    QCOMPARE(t.log->fileName(), QStringLiteral("/tmp/first.log"));
    QCOMPARE(asked, (QStringList{QString(), QStringLiteral("/tmp/first.log")}));
    QVERIFY(!t.log->isOn());
    QCOMPARE(t.boxes.count(), 0);
}

void tst_Terminal::namedLog_writesReceivedLinesWithCrLfAndAppendsOnReopen()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("terminal.log"));
    Terminal t;
    t.log->setFileNameAsker([&](const QString &, const auto &chosen) { chosen(path); });
    QTest::mouseClick(named<QPushButton>(t.page, "logFileButton"), Qt::LeftButton);
    t.receive(statusFrame(201)); // before logging: counted, not logged
    QTest::mouseClick(t.showSwitch, Qt::LeftButton);

    QTest::mouseClick(t.logSwitch, Qt::LeftButton);
    QVERIFY(t.log->isOn());
    QVERIFY2(QFile::exists(path), "switching the log on creates the file");
    QVERIFY2(t.showSwitch->isActive(), "a named log leaves the display as the user set it");
    t.receive(statusFrame(201).left(7));
    t.receive(statusFrame(201).mid(7) + "xy");
    Q_EMIT t.form.link().echoLine("<< " + statusFrame(200));
    QTest::mouseClick(t.logSwitch, Qt::LeftButton);
    QVERIFY(!t.log->isOn());
    t.receive(statusFrame(202)); // log off: not written

    const QByteArray first = "1 " + Stamp.toLatin1() + ' ' + statusFrame(201) + "xy\r\n";
    QCOMPARE(readFile(path), first);

    QTest::mouseClick(t.logSwitch, Qt::LeftButton);
    t.receive(statusFrame(200));
    const QByteArray both = first + "3 " + Stamp.toLatin1() + ' ' + statusFrame(200) + "\r\n";
    QCOMPARE(readFile(path), both);

    // A new name while logging moves the log to the new file.
    const QString second = dir.filePath(QStringLiteral("second.log"));
    t.log->setFileNameAsker([&](const QString &, const auto &chosen) { chosen(second); });
    QTest::mouseClick(named<QPushButton>(named<QWidget>(&t.form, "servicePage"), "logFileButton"),
                      Qt::LeftButton);
    t.receive(statusFrame(201));
    QCOMPARE(readFile(path), both);
    QCOMPARE(readFile(second), "4 " + Stamp.toLatin1() + ' ' + statusFrame(201) + "\r\n");
    QCOMPARE(t.boxes.count(), 0);
}

void tst_Terminal::namedLog_followsEitherSwitchAndClosesWithTheWindow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("service.log"));
    {
        QFile existing(path);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("earlier\r\n");
    }
    {
        Terminal t;
        t.log->setFileNameAsker([&](const QString &, const auto &chosen) { chosen(path); });
        SwitchLed *serviceSwitch = t.serviceLogSwitch;
        QTest::mouseClick(named<QPushButton>(named<QWidget>(&t.form, "servicePage"), "logFileButton"),
                          Qt::LeftButton);
        QSignalSpy onChanges(t.log, &TrafficLog::onChanged);
        QTest::mouseClick(serviceSwitch, Qt::LeftButton);
        QVERIFY(t.log->property("on").toBool());
        QCOMPARE(onChanges.count(), 1);
        QTest::mouseClick(t.logSwitch, Qt::LeftButton);
        QTest::mouseClick(serviceSwitch, Qt::LeftButton);
        QVERIFY2(t.log->isOn(), "one lit switch keeps the log");
        QVERIFY(serviceSwitch->isActive() == false && t.logSwitch->isActive());
        QVERIFY(heldOpen(path));
        t.receive(statusFrame(201));
        QCOMPARE(t.boxes.count(), 0);
    }
    QVERIFY2(!heldOpen(path), "the log file outlives the window");
    QCOMPARE(readFile(path), "earlier\r\n0 " + Stamp.toLatin1() + ' ' + statusFrame(201) + "\r\n");
}

void tst_Terminal::logFileFailure_namesTheFileAndSwitchesTheLogOff_data()
{
    QTest::addColumn<QString>("name"); // {dir}: a fresh folder
    QTest::addColumn<int>("room");     // the bytes the log may grow by; -1: no limit
    QTest::addColumn<QString>("text"); // the start of the box, %1 the file
    QTest::newRow("cannot open") << "/nonexistent-dir/terminal.log" << -1
                                 << "Не удалось открыть LOG-файл %1: ";
    QTest::newRow("device node") << "/dev/full" << -1 << "Запись отклонена: %1 не является обычным файлом";
    QTest::newRow("disk full inside a line") << "{dir}/terminal.log" << 20
                                             << QStringLiteral("Не удалось записать в LOG-файл %1: ") +
                                                    QString::fromLocal8Bit(std::strerror(EFBIG));
}

void tst_Terminal::logFileFailure_namesTheFileAndSwitchesTheLogOff()
{
    QFETCH(QString, name);
    QFETCH(int, room);
    QFETCH(QString, text);
#ifndef Q_OS_UNIX
    if (room >= 0 || name.startsWith(QLatin1String("/dev/")))
        QSKIP("needs a limit on file sizes and device nodes");
#endif
    QTemporaryDir dir;
    const QString path = QString(name).replace(QStringLiteral("{dir}"), dir.path());
    const QByteArray earlier = "earlier\r\n";
    if (room >= 0)
        QVERIFY(writeAll(path, earlier));
    Terminal t;
    t.log->setFileName(path);
    QTest::mouseClick(t.serviceLogSwitch, Qt::LeftButton);
    {
        std::optional<FileSizeLimit> full;
        if (room >= 0)
            full.emplace(earlier.size() + room);
        t.receive(statusFrame(201));
    }

    QTRY_COMPARE(t.boxes.count(), 1);
    QCOMPARE(int(t.boxes.all().first().kind), int(Message::Critical));
    QVERIFY2(t.boxes.lastText().startsWith(text.arg(path)), qPrintable(t.boxes.lastText()));
    // Only whole lines stay in the file: the one the disk took in part is taken back.
    if (room >= 0)
        QCOMPARE(readFile(path), earlier);
    QVERIFY(!t.log->isOn());
    QVERIFY(!t.serviceLogSwitch->isActive());
    QVERIFY(!t.logSwitch->isActive());
    t.receive(statusFrame(201));
    QTest::qWait(20);
    QCOMPARE(t.boxes.count(), 1);
    QCOMPARE(nextLineNumber(t.form), 2);
}

void tst_Terminal::shownAndLoggedLine_carryOneReadingOfTheClock()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("terminal.log"));
    Terminal t;
    // Every reading of this clock is two milliseconds later than the one before.
    QDateTime now = StampTime;
    t.form.setClock([&] { return now = now.addMSecs(2); });
    t.log->setFileName(path);
    QTest::mouseClick(t.showSwitch, Qt::LeftButton);
    QTest::mouseClick(t.logSwitch, Qt::LeftButton);
    QVERIFY(t.log->isOn() && t.showSwitch->isActive());

    t.receive(statusFrame(201));

    const QStringList shownLines = memoLines(t.view);
    QCOMPARE(shownLines.size(), 1);
    const QString shownStamp = shownLines.first().section(QLatin1Char(' '), 1, 2);
    const QString loggedStamp = QString::fromLatin1(readFile(path)).section(QLatin1Char(' '), 1, 2);
    QCOMPARE(loggedStamp, shownStamp);
    QCOMPARE(shownStamp, QStringLiteral("06.12 10:32:42:125"));
}

void tst_Terminal::longSession_terminalKeepsTheLastLinesAndTheLogKeepsAll()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.log"));
    Terminal t;
    t.log->setFileName(path);
    QTest::mouseClick(t.showSwitch, Qt::LeftButton);
    QTest::mouseClick(t.logSwitch, Qt::LeftButton);
    const int received = 10005;
    for (int i = 0; i < received; ++i)
        t.receive("line " + QByteArray::number(i) + '\r');

    const QStringList shownLines = memoLines(t.view);
    QCOMPARE(shownLines.size(), 10000);
    QVERIFY2(shownLines.first().startsWith(QStringLiteral("5 ")), qPrintable(shownLines.first()));
    QVERIFY2(shownLines.last().endsWith(QStringLiteral(" line 10004")), qPrintable(shownLines.last()));
    const QList<QByteArray> logged = readFile(path).split('\n');
    QCOMPARE(logged.size(), received + 1); // the last line end leaves an empty tail
    QVERIFY2(logged.first().startsWith("0 ") && logged.first().endsWith("line 0\r\r"),
             logged.first().constData());
    QCOMPARE(nextLineNumber(t.form), qint64(received));
}

QTEST_MAIN(tst_Terminal)
#include "tst_terminal.moc"
