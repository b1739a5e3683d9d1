#include "ControllerFrames.h"
#include "ExpectedTexts.h"
#include "PtyPair.h"
#include "WidgetSupport.h"
#include "app/MainWindow.h"
#include "config/ParamValueText.h"
#include "config/ui/ParamTreeView.h"
#include "widgets/PortComboBox.h"
#include "widgets/SwitchLed.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace gencfg;
using namespace gencfg::test;

class tst_MainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startUp_showsThePetrolTreeAndTheNoDataState();
    void pages_areInTabOrderWithTheirControls();
    void allSixTabs_keepClearOfTheCombos();
    void keyOnARow_opensTheValueDialogOnIt_data();
    void keyOnARow_opensTheValueDialogOnIt();
    void variantChosenByHand_reloadsTheTreeAndShowsTheJournal_data();
    void variantChosenByHand_reloadsTheTreeAndShowsTheJournal();
    void typedVariantText_emptiesTheTree();
    void statusFrameVariant_reloadsWithoutRunningTheComboHandler();
    void statusFrameVariantUnknownOrSame_changesNothing();
    void ctrlTab_neverOpensAHiddenPage();
    void variantInTheNarrowField_showsFromItsFirstLetter();
    void switchCaptions_allInTheWindowsFontSize();
    void packetAndErrorCounters_showInTheStatusBar();
    void pickedPort_opensAndTheSamePortAgainDoesNothing();
    void networkPort_showsTheConnectTimeBeforeAnyRequest();
    void networkPortLostMidRead_endsTheReadAsAClosedPort();
    void badDeviceName_showsTheOpenFailureBox();
    void closingTheWindow_closesThePort();
    void vanishedDevice_isReportedOnceAndThePortCanBePickedAgain();
};

void tst_MainWindow::startUp_showsThePetrolTreeAndTheNoDataState()
{
    MainWindow form;
    QCOMPARE(form.windowTitle().remove(QStringLiteral("[*]")), QStringLiteral("ПО Конфигуратор v2a"));
    QCOMPARE(form.size(), QSize(799, 572));
    QCOMPARE(form.tree().nodeCount(), 84);
    QCOMPARE(int(quint8(form.variant())), 200);
    QCOMPARE(named<QComboBox>(&form, "variantCombo")->currentText(), QStringLiteral("КУВ-бензин v2.0"));
    QCOMPARE(named<QComboBox>(&form, "variantCombo")->currentIndex(), -1);
    QCOMPARE(named<QComboBox>(&form, "variantCombo")->count(), 3);
    QCOMPARE(named<QComboBox>(&form, "variantCombo")->itemText(2), QStringLiteral("КУВ-сухой контакт v2.0 "));
    QCOMPARE(named<QLabel>(&form, "packetsCaption")->text(), QStringLiteral("Пакетов принято:"));
    QVERIFY(named<QLabel>(&form, "errorCountLabel")->text().isEmpty());
    QVERIFY(!form.isTabVisible(named<QWidget>(&form, "terminalPage")));
    QVERIFY(form.isTabVisible(named<QWidget>(&form, "journalPage")));
    QCOMPARE(shownPage(&form), named<QWidget>(&form, "measurementPage"));
    QCOMPARE(named<PortComboBox>(&form, "portCombo")->currentIndex(), -1);
    QVERIFY(!form.link().transport().isOpen());
    QVERIFY(std::all_of(form.ConfigImage().begin(), form.ConfigImage().end(),
                        [](quint8 b) { return b == 0xFF; }));
    QVERIFY(named<QTimer>(&form, "faultBlinkTimer")->isActive());
    QCOMPARE(named<QTimer>(&form, "faultBlinkTimer")->interval(), 2000);
}

void tst_MainWindow::pages_areInTabOrderWithTheirControls()
{
    MainWindow form;
    const QStringList tabs{QStringLiteral("Измерения"), QStringLiteral("Параметры"),
                           QStringLiteral("Журнал событий"), QStringLiteral("Дополнительно"),
                           QStringLiteral("Терминал+лог")};
    for (int i = 0; i < tabs.size(); ++i)
        QCOMPARE(named<QTabWidget>(&form, "pageTabs")->tabText(i), tabs.at(i));
    QCOMPARE(named<ParamTreeView>(&form, "paramTree")->geometry(), QRect(0, 24, 787, 449));
    QCOMPARE(named<QPushButton>(&form, "readButton")->text(), QStringLiteral("&Прочитать"));
    QVERIFY(named<QProgressBar>(&form, "progressBar")->isHidden());
    QCOMPARE(named<QPlainTextEdit>(&form, "eventList")->toPlainText(), QStringLiteral("-пусто-"));
    QCOMPARE(named<QPlainTextEdit>(&form, "alarmList")->toPlainText(), QStringLiteral("-пусто-"));
    QCOMPARE(named<QPushButton>(&form, "readJournalsButton")->text(),
             QStringLiteral("&Прочитать ЖУРНАЛ СОБЫТИЙ"));
    for (QWidget *locked : serviceCodeLocked(named<QWidget>(&form, "servicePage")))
        QVERIFY2(!locked->isEnabled(), qPrintable(locked->objectName()));
    const auto serviceChild = [&](const char *name) {
        return named<QWidget>(named<QWidget>(&form, "servicePage"), name);
    };
    QCOMPARE(qobject_cast<QLineEdit *>(serviceChild("serialNumberEdit"))->text(), QStringLiteral("00000000"));
    QCOMPARE(qobject_cast<QLineEdit *>(serviceChild("serviceCodeEdit"))->echoMode(), QLineEdit::Password);
    QCOMPARE(serviceChild("syncClockButton")->geometry(), QRect(11, 405, 299, 41));
    QCOMPARE(named<QPushButton>(named<QWidget>(&form, "terminalPage"), "clearButton")->text(),
             QStringLiteral("Очистить "));
    QVERIFY(trafficView(named<QWidget>(&form, "terminalPage"))->toPlainText().isEmpty());
}

void tst_MainWindow::allSixTabs_keepClearOfTheCombos()
{
    MainWindow form;
    form.setTabVisible(named<QWidget>(&form, "terminalPage"), true); // as once the service code is accepted
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const QSize size : {QSize(MainWindow::ClientWidth, MainWindow::ClientHeight), QSize(1280, 900)}) {
        form.resize(size);
        QTRY_COMPARE(form.width(), size.width());
        const QTabBar *tabs = named<QTabWidget>(&form, "pageTabs")->tabBar();
        const int tabsEnd = tabs->mapTo(&form, QPoint(tabs->width(), 0)).x();
        QVERIFY2(tabsEnd <= named<QComboBox>(&form, "variantCombo")->x(),
                 qPrintable(QStringLiteral("tabs end at %1, the variant combo starts at %2")
                                .arg(tabsEnd)
                                .arg(named<QComboBox>(&form, "variantCombo")->x())));
        QCOMPARE(named<QTabWidget>(&form, "pageTabs")->tabText(5), QStringLiteral("Графики"));
    }
}

void tst_MainWindow::variantChosenByHand_reloadsTheTreeAndShowsTheJournal_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("variant");
    QTest::newRow("diesel") << 1 << 83 << 201;
    QTest::newRow("dry contact") << 2 << 81 << 202;
    QTest::newRow("petrol again") << 0 << 84 << 200;
}

void tst_MainWindow::variantChosenByHand_reloadsTheTreeAndShowsTheJournal()
{
    QFETCH(int, index);
    QFETCH(int, rows);
    QFETCH(int, variant);
    MainWindow form;
    form.setTabVisible(named<QWidget>(&form, "journalPage"), false);
    form.tree().setValue(3, QStringLiteral("200"));
    pickItem(named<QComboBox>(&form, "variantCombo"), index);
    QCOMPARE(form.tree().nodeCount(), rows);
    QCOMPARE(int(quint8(form.variant())), variant);
    QVERIFY(form.isTabVisible(named<QWidget>(&form, "journalPage")));
    QCOMPARE(ValueText(form.tree().row(3)), QStringLiteral("180"));
}

void tst_MainWindow::keyOnARow_opensTheValueDialogOnIt_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("F2") << int(Qt::Key_F2);
}

void tst_MainWindow::keyOnARow_opensTheValueDialogOnIt()
{
    QFETCH(int, key);
    MainWindow form;
    form.show();
    showPage(&form, named<QWidget>(&form, "paramsPage"));
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *tree = named<ParamTreeView>(&form, "paramTree");
    tree->selectNode(3);
    QTest::keyClick(tree, Qt::Key(key));
    auto *dialog = named<QDialog>(&form, "valueDialog");
    QVERIFY(dialog->isVisible());
    // At the row, wherever the mouse is.
    QVERIFY(dialog->frameGeometry().contains(tree->selectedValuePoint()));
    QCOMPARE(named<QLabel>(dialog, "paramCaption")->text(),
             QStringLiteral("Параметры сети / Напряжение сети / Нижний порог\nВольт, Допустимо: 160…220"));
    QCOMPARE(named<QLineEdit>(dialog, "valueEdit")->text(), QStringLiteral("180"));
    QTest::keyClick(named<QLineEdit>(dialog, "valueEdit"), Qt::Key_Escape);
    QVERIFY(dialog->isHidden());
}

void tst_MainWindow::typedVariantText_emptiesTheTree()
{
    MainWindow form;
    named<QComboBox>(&form, "variantCombo")->setFocus();
    QTest::keyClicks(named<QComboBox>(&form, "variantCombo")->lineEdit(), QStringLiteral("x"));
    QCOMPARE(form.tree().nodeCount(), 0);
    QCOMPARE(int(quint8(form.variant())), 200);
}

void tst_MainWindow::statusFrameVariant_reloadsWithoutRunningTheComboHandler()
{
    MainWindow form;
    form.link().receive(statusFrame(201));
    QCOMPARE(form.tree().nodeCount(), 83);
    QCOMPARE(int(quint8(form.variant())), 201);
    QCOMPARE(named<QComboBox>(&form, "variantCombo")->currentIndex(), 1);
    QCOMPARE(named<QComboBox>(&form, "variantCombo")->currentText(), QStringLiteral("КУВ-дизель v2.0 "));
    QVERIFY(form.isTabVisible(named<QWidget>(&form, "journalPage")));

    form.link().receive(statusFrame(200));
    QCOMPARE(form.tree().nodeCount(), 84);
    QCOMPARE(named<QComboBox>(&form, "variantCombo")->currentIndex(), 0);
    QVERIFY2(!form.isTabVisible(named<QWidget>(&form, "journalPage")),
             "a petrol controller has no journal page");
}

void tst_MainWindow::statusFrameVariantUnknownOrSame_changesNothing()
{
    MainWindow form;
    form.tree().setValue(3, QStringLiteral("200"));
    for (quint8 code : {quint8(200), quint8(203), quint8(0)})
        form.link().receive(statusFrame(code));
    QCOMPARE(ValueText(form.tree().row(3)), QStringLiteral("200"));
    QVERIFY(form.isTabVisible(named<QWidget>(&form, "journalPage")));
    QCOMPARE(form.link().packetCount(), 3);
}

void tst_MainWindow::variantInTheNarrowField_showsFromItsFirstLetter()
{
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QComboBox *combo = named<QComboBox>(&form, "variantCombo");
    const auto pick = [combo](int row) {
        combo->setFocus();
        combo->showPopup();
        QAbstractItemView *list = combo->view();
        list->setCurrentIndex(list->model()->index(row, 0));
        QTest::keyClick(list, Qt::Key_Return);
    };
    pick(1);
    QCOMPARE(int(quint8(form.variant())), 201);
    QCOMPARE(combo->lineEdit()->cursorPosition(), 0);
    pick(1);
    QCOMPARE(combo->lineEdit()->cursorPosition(), 0);
    form.link().receive(statusFrame(202));
    QCOMPARE(combo->currentIndex(), 2);
    QCOMPARE(combo->lineEdit()->cursorPosition(), 0);
}

void tst_MainWindow::switchCaptions_allInTheWindowsFontSize()
{
    MainWindow form;
    const QList<SwitchLed *> switches = form.findChildren<SwitchLed *>();
    QVERIFY(switches.size() >= 5);
    for (const SwitchLed *sw : switches)
        QVERIFY2(sw->captionFont().pixelSize() == QFontInfo(sw->font()).pixelSize(),
                 qPrintable(QStringLiteral("%1 \"%2\": %3 px, not %4 px")
                                .arg(sw->objectName(), sw->caption())
                                .arg(sw->captionFont().pixelSize())
                                .arg(QFontInfo(sw->font()).pixelSize())));
}

void tst_MainWindow::packetAndErrorCounters_showInTheStatusBar()
{
    MainWindow form;
    form.link().receive(statusFrame());
    QCOMPARE(named<QLabel>(&form, "packetsCaption")->text(), QStringLiteral("Пакетов принято: 1"));
    form.link().receive(deviceFrame(CMD_READ_MEMORY, QByteArray(4, '\0')));
    QCOMPARE(named<QLabel>(&form, "packetsCaption")->text(), QStringLiteral("Пакетов принято: 2"));
    // Until the first error the count takes no room from the status text.
    QVERIFY(named<QLabel>(&form, "errorCountLabel")->text().isEmpty());
    QVERIFY(named<QLabel>(&form, "errorCountLabel")->isHidden());
    QByteArray corrupted = statusFrame();
    corrupted[5] = 'F';
    form.link().receive(corrupted);
    QCOMPARE(named<QLabel>(&form, "errorCountLabel")->text(), QStringLiteral("Ошибок: 1"));
    QVERIFY(!named<QLabel>(&form, "errorCountLabel")->isHidden());
    QCOMPARE(named<QLabel>(&form, "packetsCaption")->text(), QStringLiteral("Пакетов принято: 2"));
}

void tst_MainWindow::ctrlTab_neverOpensAHiddenPage()
{
    // The terminal stays behind the service code; a petrol controller has no journals.
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.link().receive(statusFrame(201));
    form.link().receive(statusFrame(200));
    QVERIFY(!form.isTabVisible(named<QWidget>(&form, "journalPage")));
    QStringList visited;
    for (int i = 0; i < 2 * named<QTabWidget>(&form, "pageTabs")->count(); ++i) {
        QTest::keyClick(shownPage(&form), Qt::Key_Tab, Qt::ControlModifier);
        visited << shownPage(&form)->objectName();
    }
    visited.removeDuplicates();
    visited.sort();
    QCOMPARE(visited, (QStringList{"measurementPage", "paramsPage", "servicePage", "trendsPage"}));
}

void tst_MainWindow::pickedPort_opensAndTheSamePortAgainDoesNothing()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    MainWindow form;
    MessageRecorder boxes(form.messages());
    form.addExtraPort(pty.slavePath());
    form.pickPort(pty.slavePath());
    QVERIFY2(form.link().transport().isOpen(), qPrintable(boxes.lastText()));
    QCOMPARE(named<PortComboBox>(&form, "portCombo")->currentPort(), pty.slavePath());
    QCOMPARE(boxes.count(), 0);

    // Data flows at once: a status frame from the far end is counted.
    QVERIFY(pty.write(statusFrame()));
    QTRY_COMPARE(form.link().packetCount(), 1);

    form.pickPort(pty.slavePath());
    QVERIFY(form.link().transport().isOpen());
    QCOMPARE(boxes.count(), 0);
}

void tst_MainWindow::networkPort_showsTheConnectTimeBeforeAnyRequest()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    const QString port = QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort());
    MainWindow form;
    MessageRecorder boxes(form.messages());
    auto *network = named<QLabel>(&form, "networkText");
    QVERIFY(network->isHidden());
    form.addExtraPort(port);
    form.pickPort(port);
    // A window that only watches sends nothing: the round trip shown is the connect's.
    QTRY_VERIFY2(!network->isHidden(), qPrintable(boxes.lastText()));
    QCOMPARE(network->text(), QStringLiteral("Сеть: %1 мс").arg(form.link().transport().connectMs()));
}

void tst_MainWindow::networkPortLostMidRead_endsTheReadAsAClosedPort()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    const QString port = QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort());
    MainWindow form;
    MessageRecorder boxes(form.messages());
    form.addExtraPort(port);
    form.pickPort(port);
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *device = server.nextPendingConnection();
    named<QPushButton>(&form, "readButton")->click();
    QVERIFY(device->write(statusFrame()) > 0);
    // The server goes once the first request has reached it, before any reply.
    QTRY_VERIFY(device->bytesAvailable() > 0);
    device->abort();
    QTRY_VERIFY(!form.link().busy());
    // As over a cable: the port is told closed, and the read failed.
    QTRY_COMPARE(boxes.count(), 2);
    QVERIFY2(boxes.texts().contains(PortGone) && boxes.texts().contains(NoLink),
             qPrintable(boxes.texts().join(QLatin1Char('\n'))));
    QVERIFY2(named<QLabel>(&form, "statusText")->text().startsWith(QStringLiteral("Соединение потеряно: ")),
             qPrintable(named<QLabel>(&form, "statusText")->text()));
}

void tst_MainWindow::badDeviceName_showsTheOpenFailureBox()
{
    MainWindow form;
    MessageRecorder boxes(form.messages());
    form.addExtraPort(QStringLiteral("/dev/nonexistent-port"));
    form.pickPort(QStringLiteral("/dev/nonexistent-port"));
    QVERIFY(!form.link().transport().isOpen());
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.lastText(), QStringLiteral("Invalid port number (/dev/nonexistent-port)"));
    QCOMPARE(named<PortComboBox>(&form, "portCombo")->currentIndex(), -1);
}

void tst_MainWindow::closingTheWindow_closesThePort()
{
    PtyPair pty;
    MainWindow form;
    form.show();
    form.pickPort(pty.slavePath());
    QVERIFY(form.link().transport().isOpen());
    form.close();
    QVERIFY(!form.link().transport().isOpen());
}

void tst_MainWindow::vanishedDevice_isReportedOnceAndThePortCanBePickedAgain()
{
    auto pty = std::make_unique<PtyPair>();
    const QString path = pty->slavePath();
    MainWindow form;
    MessageRecorder boxes(form.messages());
    form.addExtraPort(path);
    form.pickPort(path);
    QVERIFY(form.link().transport().isOpen());
    pty.reset();
    QTRY_VERIFY(!form.link().transport().isOpen());
    QTest::qWait(100);
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Порт закрыт: устройство отключено")});
    QCOMPARE(named<PortComboBox>(&form, "portCombo")->currentIndex(), -1);

    // A new device on the same path (as a replugged adapter) opens again.
    PtyPair again;
    form.addExtraPort(again.slavePath());
    form.pickPort(again.slavePath());
    QVERIFY(form.link().transport().isOpen());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
