#include "FormSim.h"
#include "RecordingFiles.h"
#include "WidgetSupport.h"
#include "config/ParamModel.h"
#include "config/ui/ChangeListDialog.h"
#include "link/ConnectionState.h"
#include "monitor/ui/JournalPage.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

using namespace gencfg;
using namespace gencfg::test;

namespace {

// What the window's connection panel shows in full.
QString connectionText(const MainWindow &form)
{
    return form.findChild<QLabel *>(QStringLiteral("connectionText"))->toolTip();
}

QString statusText(const MainWindow &form)
{
    return named<QLabel>(&form, "statusText")->text();
}

// The window shown and active, so its keys reach their shortcuts.
bool activate(QWidget &form, const char *page)
{
    form.show();
    form.activateWindow();
    showPage(&form, named<QWidget>(&form, page));
    return QTest::qWaitForWindowActive(&form);
}

} // namespace

class tst_Connection : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void adapterText_namesTheMakerOnce_data();
    void adapterText_namesTheMakerOnce();
    void statusBar_followsThePortAndTheController_data();
    void statusBar_followsThePortAndTheController();
    void shortcuts_pressTheirButtonsOrSayNoPortChosen_data();
    void shortcuts_pressTheirButtonsOrSayNoPortChosen();
    void endedReading_leavesItsCountNotItsProgress_data();
    void endedReading_leavesItsCountNotItsProgress();
    void serviceCode_enterConfirmsAndAWrongCodeSaysSo_data();
    void serviceCode_enterConfirmsAndAWrongCodeSaysSo();
    void tab_readsThePageLeftToRightTopToBottom_data();
    void tab_readsThePageLeftToRightTopToBottom();
    void changeList_closesOnEnter();
    void sessionRecording_withoutSuffix_getsGcrec_data();
    void sessionRecording_withoutSuffix_getsGcrec();
};

void tst_Connection::adapterText_namesTheMakerOnce_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("manufacturer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("both") << "USB-Serial Controller"
                          << "Prolific"
                          << "USB-Serial Controller, Prolific";
    QTest::newRow("maker in the description") << "FTDI FT232R USB UART"
                                              << "FTDI"
                                              << "FTDI FT232R USB UART";
    QTest::newRow("maker only") << ""
                                << " CH340 "
                                << "CH340";
    QTest::newRow("nothing known") << ""
                                   << ""
                                   << "";
}

void tst_Connection::adapterText_namesTheMakerOnce()
{
    QFETCH(QString, description);
    QFETCH(QString, manufacturer);
    QFETCH(QString, expected);
    QCOMPARE(ConnectionState::AdapterText(description, manufacturer), expected);
    QCOMPARE(ConnectionState::Text(ConnectionState::State::Connected, "COM3", expected),
             expected.isEmpty() ? "COM3 — Подключено" : "COM3 (" + expected + ") — Подключено");
}

void tst_Connection::statusBar_followsThePortAndTheController_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no port") << QString() << QStringLiteral("Не подключено");
    QTest::newRow("controller heard") << QStringLiteral("sim") << QStringLiteral("sim — Подключено");
    QTest::newRow("controller silent") << QStringLiteral("silent") << QStringLiteral("sim — Нет данных");
    QTest::newRow("recording shown") << QStringLiteral("recording")
                                     << QStringLiteral("session.gcrec — Показана запись");
    QTest::newRow("port gone with its adapter")
        << QStringLiteral("vanished") << QStringLiteral("Не подключено");
}

void tst_Connection::statusBar_followsThePortAndTheController()
{
    QFETCH(QString, source);
    QFETCH(QString, expected);
    if (source.isEmpty()) {
        FormSimBase w;
        QCOMPARE(connectionText(w.form), expected);
        return;
    }
    FormSim w;
    w.form.connection().setSilenceMs(150);
    QVERIFY(w.ready() && w.settle());
    QTemporaryDir dir;
    if (source == QLatin1String("silent"))
        w.sim.model().setSilent(true);
    else if (source == QLatin1String("vanished"))
        w.sim.vanish();
    else if (source == QLatin1String("recording")) {
        QFile file(dir.filePath(QStringLiteral("session.gcrec")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(recordingText(testChunks(3))) > 0);
        file.close();
        w.form.openRecording(file.fileName());
    }
    QTRY_COMPARE_WITH_TIMEOUT(connectionText(w.form), expected, 3000);
}

void tst_Connection::shortcuts_pressTheirButtonsOrSayNoPortChosen_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<bool>("port");
    QTest::newRow("F5 reads") << QKeySequence(Qt::Key_F5) << QByteArray("readButton") << true;
    QTest::newRow("Ctrl+R reads") << QKeySequence(Qt::CTRL | Qt::Key_R) << QByteArray("readButton") << true;
    QTest::newRow("Ctrl+W writes") << QKeySequence(Qt::CTRL | Qt::Key_W) << QByteArray("writeButton") << true;
    QTest::newRow("Ctrl+S saves") << QKeySequence(Qt::CTRL | Qt::Key_S) << QByteArray("saveButton") << true;
    QTest::newRow("Ctrl+O opens") << QKeySequence(Qt::CTRL | Qt::Key_O) << QByteArray("openButton") << true;
    QTest::newRow("F5 without a port") << QKeySequence(Qt::Key_F5) << QByteArray("readButton") << false;
    QTest::newRow("Ctrl+W without a port")
        << QKeySequence(Qt::CTRL | Qt::Key_W) << QByteArray("writeButton") << false;
}

void tst_Connection::shortcuts_pressTheirButtonsOrSayNoPortChosen()
{
    QFETCH(QKeySequence, key);
    QFETCH(QByteArray, button);
    QFETCH(bool, port);
    std::optional<FormSimBase> idle;
    std::optional<FormSim> live;
    FormSimBase *w = port ? static_cast<FormSimBase *>(&live.emplace()) : &idle.emplace();
    QVERIFY(w->ready() == port);
    auto *target = named<QPushButton>(&w->form, button.constData());
    QVERIFY(activate(w->form, "paramsPage"));
    answerFileDialog(&w->form, QString()); // the save and open dialogs are cancelled
    QSignalSpy clicked(target, &QPushButton::clicked);
    QTest::keySequence(&w->form, key);
    QVERIFY(w->finish());
    QCOMPARE(clicked.size(), port ? 1 : 0);
    if (!port) {
        // Nothing that reaches a controller is on; a key that asks for it says why.
        for (const char *name : {"readButton", "writeButton", "readJournalsButton", "testSmsButton"})
            QVERIFY2(!named<QWidget>(&w->form, name)->isEnabled(), name);
        QVERIFY(named<QWidget>(&w->form, "saveButton")->isEnabled());
        QCOMPARE(w->boxes.texts(), QStringList{QStringLiteral("Порт не выбран")});
    }
    QVERIFY2(target->toolTip().contains(key.toString(QKeySequence::NativeText)),
             qPrintable(target->toolTip()));
    // The access key's mark is no part of the name a screen reader says.
    QCOMPARE(QAccessible::queryAccessibleInterface(target)->text(QAccessible::Name),
             target->text().remove(QLatin1Char('&')));
}

void tst_Connection::endedReading_leavesItsCountNotItsProgress_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QByteArray>("progressBar");
    QTest::addColumn<QString>("during");
    QTest::addColumn<QString>("after");
    QTest::newRow("parameters") << QByteArray("readButton") << QByteArray("progressBar")
                                << QStringLiteral("Чтение параметров из устройства...") << QString();
    QTest::newRow("journals") << QByteArray("readJournalsButton") << QByteArray("journalProgressBar")
                              << QStringLiteral("Чтение журнала: ") << QStringLiteral("Прочитано записей: 2");
}

void tst_Connection::endedReading_leavesItsCountNotItsProgress()
{
    QFETCH(QByteArray, button);
    QFETCH(QByteArray, progressBar);
    QFETCH(QString, during);
    QFETCH(QString, after);
    FormSim w;
    QVERIFY(w.ready());
    ControllerJournal &events = w.sim.model().eventJournal();
    events.clear();
    events.appendRaw(hexBytes("14 05 23 11 00"));
    events.appendRaw(hexBytes("00 00 00 00 14")); // code 20 ends the journal
    w.sim.model().alarmJournal().clear();
    w.sim.model().alarmJournal().appendRaw(hexBytes("11 20 04 05 0D"));
    QVERIFY(w.settle());
    // What the status bar and the bar show at the first request, and while the result is shown.
    auto *bar = named<QProgressBar>(&w.form, progressBar.constData());
    QString shown;
    connect(&w.form.link(), &DeviceLink::echoLine, this, [&] {
        if (shown.isEmpty() && !bar->isHidden())
            shown = statusText(w.form);
    });
    QString atBox = after;
    w.form.messages().setHandler([&](const Message &) { atBox = statusText(w.form); });

    named<QPushButton>(&w.form, button.constData())->click();
    QVERIFY(w.finish());

    QVERIFY2(shown.startsWith(during), qPrintable(shown));
    QVERIFY(bar->isHidden());
    QCOMPARE(statusText(w.form), after);
    QCOMPARE(atBox, after);
}

void tst_Connection::serviceCode_enterConfirmsAndAWrongCodeSaysSo_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("unlocked");
    QTest::newRow("right code") << QStringLiteral("41730962") << true;
    QTest::newRow("wrong code") << QStringLiteral("41730961") << false;
    QTest::newRow("right code with a blank") << QStringLiteral("41730962 ") << false;
}

void tst_Connection::serviceCode_enterConfirmsAndAWrongCodeSaysSo()
{
    QFETCH(QString, code);
    QFETCH(bool, unlocked);
    FormSim w;
    QVERIFY(w.ready());
    auto *edit = named<QLineEdit>(&w.form, "serviceCodeEdit");
    edit->setText(code);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(w.form.isTabVisible(named<QWidget>(&w.form, "terminalPage")), unlocked);
    QCOMPARE(named<QWidget>(&w.form, "setMotorHoursButton")->isEnabled(), unlocked);
    QCOMPARE(w.boxes.texts(), unlocked ? QStringList() : QStringList{QStringLiteral("Неверный пароль")});
}

void tst_Connection::tab_readsThePageLeftToRightTopToBottom_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("order");
    QTest::newRow("parameters") << QByteArray("paramsPage")
                                << QStringLiteral(
                                       "fleetButton reportButton historyButton paramTree saveButton "
                                       "openButton writeButton readButton");
    QTest::newRow("service") << QByteArray("servicePage")
                             << QStringLiteral(
                                    "serviceCodeEdit unlockButton autoModeSwitch semiautoModeSwitch "
                                    "motorHoursEdit motorMinutesEdit setMotorHoursButton runHoursEdit "
                                    "runMinutesEdit startGeneratorButton serialNumberEdit "
                                    "setSerialNumberButton waitHoursEdit waitMinutesEdit "
                                    "stopGeneratorButton testSmsButton testGprsButton "
                                    "restartModemButton syncClockButton logFileButton logSwitch");
}

void tst_Connection::tab_readsThePageLeftToRightTopToBottom()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, order);
    FormSim w;
    QVERIFY(w.ready());
    enterServiceCode(named<QWidget>(&w.form, "servicePage"));
    QVERIFY(activate(w.form, page.constData()));
    // From the tabs: the variant chooser, the port chooser, then the page.
    QWidget *tabBar = named<QTabWidget>(&w.form, "pageTabs")->tabBar();
    tabBar->setFocus(Qt::TabFocusReason);
    QStringList reached;
    const QStringList expected = order.split(QLatin1Char(' '));
    for (int i = 0; i < expected.size() + 2; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        // A combo's edit stands for its combo.
        while (focus && focus->objectName().isEmpty())
            focus = focus->parentWidget();
        reached << (focus ? focus->objectName() : QStringLiteral("nothing"));
    }
    QCOMPARE(reached.mid(0, 2), (QStringList{"variantCombo", "portCombo"}));
    QCOMPARE(reached.mid(2), expected);
}

void tst_Connection::changeList_closesOnEnter()
{
    ParamModel tree;
    ChangeListDialog list(tree);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QTest::keyClick(named<QWidget>(&list, "changeTable"), Qt::Key_Return);
    QVERIFY(list.isHidden());
}

void tst_Connection::sessionRecording_withoutSuffix_getsGcrec_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("bare name") << QStringLiteral("sess") << QStringLiteral("sess.gcrec");
    QTest::newRow("own suffix") << QStringLiteral("sess.gcrec") << QStringLiteral("sess.gcrec");
    QTest::newRow("dot in the folder")
        << QStringLiteral("site.2026/sess") << QStringLiteral("site.2026/sess.gcrec");
    QTest::newRow("trailing dot") << QStringLiteral("sess.") << QStringLiteral("sess.gcrec");
}

void tst_Connection::sessionRecording_withoutSuffix_getsGcrec()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("site.2026")));
    FormSim w;
    QVERIFY(w.ready());
    w.form.recordSession(dir.filePath(typed));
    QVERIFY(w.settle());
    QCOMPARE(w.form.sessionRecorder().fileName(), dir.filePath(written));
    QVERIFY(QFileInfo::exists(dir.filePath(written)));
}

QTEST_MAIN(tst_Connection)
#include "tst_connection.moc"
