// The window while a device operation runs: nothing it locks can be used, the
// tree stays put under the value dialog, and a controller that stops
// answering ends a journal reading.

#include "PtyFormSim.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "config/ParamValueText.h"
#include "config/ui/ParamEditor.h"
#include "config/ui/ParamTreeView.h"
#include "config/ui/ParamValueDialog.h"
#include "widgets/PortComboBox.h"

#include "link/Commands.h"
#include "monitor/TrafficLog.h"
#include <QComboBox>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "ExpectedTexts.h"

using namespace gencfg;
using namespace gencfg::test;

namespace {

QByteArray pattern(int seed)
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes += char((i * 7 + seed) & 0xFF);
    return bytes;
}

QByteArray imageBytes(const MainWindow &form)
{
    return QByteArray(reinterpret_cast<const char *>(form.ConfigImage().data()), 256);
}

int requestsOf(const PtySimulator &sim, quint8 command)
{
    int count = 0;
    for (const FrameLogEntry &entry : sim.model().receivedFrames())
        count += quint8(entry.bytes.at(1)) == command;
    return count;
}

// Calls action once, delayMs after the controller has received its first request with command.
void onFirstRequest(PtySimulator &sim, quint8 command, std::function<void()> action, int delayMs = 0)
{
    auto fired = std::make_shared<bool>(false);
    QObject::connect(&sim, &PtySimulator::frameReceived, &sim, [=](const FrameLogEntry &entry) {
        if (*fired || !entry.valid || quint8(entry.bytes.at(1)) != command)
            return;
        *fired = true;
        QTimer::singleShot(delayMs, action);
    });
}

// A number row that both catalogues have at the same position, and a value
// within both ranges that differs from the diesel default.
bool sharedNumberRow(int &node, QString &value)
{
    ParamModel petrol;
    ParamModel diesel;
    LoadParamTree(PetrolParams(), HighestIndexFor(DeviceVariant::Petrol), petrol);
    LoadParamTree(DieselParams(), HighestIndexFor(DeviceVariant::Diesel), diesel);
    for (node = 0; node < qMin(petrol.nodeCount(), diesel.nodeCount()); ++node) {
        if (petrol.row(node).kind != ParamKind::Number || diesel.row(node).kind != ParamKind::Number)
            continue;
        const int low = qMax(MinText(petrol.row(node)).toInt(), MinText(diesel.row(node)).toInt());
        const int high = qMin(MaxText(petrol.row(node)).toInt(), MaxText(diesel.row(node)).toInt());
        for (int v = low; v <= high; ++v) {
            value = QString::number(v);
            if (value != ValueText(diesel.row(node)) && value != ValueText(petrol.row(node)))
                return true;
        }
    }
    return false;
}

} // namespace

class tst_Operations : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void portPickedDuringATransfer_neverMixesTwoControllers_data();
    void portPickedDuringATransfer_neverMixesTwoControllers();
    void variantReportedUnderTheValueDialog_neverMovesTheEditToAnotherRow();
    void dialogsDuringARead_doNotOpen();
    void deviceArea_isLockedWhileAnOperationRunsAndFreedAfter();
    void rowGoneUnderTheDialog_dropsTheEditWithAWarning();
    void journalOfAControllerThatStopsAnswering_endsAfterThreeRequests_data();
    void journalOfAControllerThatStopsAnswering_endsAfterThreeRequests();
};

void tst_Operations::portPickedDuringATransfer_neverMixesTwoControllers_data()
{
    QTest::addColumn<bool>("write");
    QTest::newRow("read") << false;
    QTest::newRow("write") << true;
}

void tst_Operations::portPickedDuringATransfer_neverMixesTwoControllers()
{
    QFETCH(bool, write);
    PtyFormSim a(50, 201);
    PtySimulator b(201, 9);
    b.model().setStatic(true);
    b.setPeriodMs(50);
    QVERIFY(a.ready() && b.start());
    a.form.addExtraPort(b.devicePath());
    a.sim.model().writeMemory(0, pattern(1));
    b.model().writeMemory(0, pattern(2));
    const QByteArray bBefore = b.model().memory();
    QVERIFY(a.settle());

    // Picked once the first block is done, while the transfer waits to send the second.
    onFirstRequest(
        a.sim, write ? CMD_WRITE_MEMORY : CMD_READ_MEMORY, [&] { a.form.pickPort(b.devicePath()); }, 15);
    (write ? named<QPushButton>(&a.form, "writeButton") : named<QPushButton>(&a.form, "readButton"))->click();
    QVERIFY2(QTest::qWaitFor([&] { return a.boxes.count() > 0 && !a.form.link().busy(); }, 20000),
             "the transfer never ended");

    const int requestsToA = requestsOf(a.sim, write ? CMD_WRITE_MEMORY : CMD_READ_MEMORY);
    const int requestsToB = requestsOf(b, write ? CMD_WRITE_MEMORY : CMD_READ_MEMORY);
    QVERIFY2(requestsToA == 0 || requestsToB == 0,
             qPrintable(QStringLiteral("%1 blocks to A, %2 to B").arg(requestsToA).arg(requestsToB)));
    if (write) {
        QVERIFY2(a.boxes.lastText() != WriteDone || requestsToA == 4, qPrintable(a.boxes.lastText()));
        QCOMPARE(b.model().memory(), bBefore);
    } else {
        QVERIFY2(a.boxes.lastText() != ReadDone || imageBytes(a.form) == a.sim.model().memory(),
                 "a read reported as a success must hold one controller's memory");
    }
}

void tst_Operations::variantReportedUnderTheValueDialog_neverMovesTheEditToAnotherRow()
{
    int node = -1;
    QString value;
    QVERIFY(sharedNumberRow(node, value));
    PtyFormSim s(50, 200);
    QVERIFY(s.ready());
    QVERIFY(s.settle());
    ParamModel dieselDefaults;
    LoadParamTree(DieselParams(), HighestIndexFor(DeviceVariant::Diesel), dieselDefaults);

    named<ParamTreeView>(&s.form, "paramTree")->selectNode(node);
    openChosenRow(&s.form);
    auto *dialog = named<ParamValueDialog>(&s.form, "valueDialog");
    QVERIFY(dialog->isVisible());
    const QVector<CatalogueRow> before = treeRows(s.form.tree());
    s.sim.model().setVariantCode(201);
    s.settle(3);
    QVERIFY2(treeRows(s.form.tree()) == before, "the tree was reloaded under the open dialog");
    named<QLineEdit>(dialog, "valueEdit")->setText(value);
    named<QPushButton>(dialog, "setButton")->click();
    QVERIFY(dialog->isHidden());

    QVERIFY(s.settle());
    QCOMPARE(quint8(s.form.variant()), quint8(201));
    QCOMPARE(treeRows(s.form.tree()), treeRows(dieselDefaults));
}

void tst_Operations::dialogsDuringARead_doNotOpen()
{
    PtyFormSim s(50, 201);
    QVERIFY(s.ready());
    QVERIFY(s.settle());
    bool valueDialogOpened = false;
    bool fileDialogOpened = false;
    s.form.findChild<TrafficLog *>()->setFileNameAsker([&](const QString &, const auto &chosen) {
        fileDialogOpened = true;
        chosen(QString());
    });
    int node = 0;
    while (s.form.tree().row(node).kind != ParamKind::Number)
        ++node;
    named<ParamTreeView>(&s.form, "paramTree")->selectNode(node);
    onFirstRequest(s.sim, CMD_READ_MEMORY, [&] {
        openChosenRow(&s.form);
        valueDialogOpened = named<QWidget>(&s.form, "valueDialog")->isVisible();
        named<QPushButton>(named<QWidget>(&s.form, "terminalPage"), "logFileButton")->click();
    });
    named<QPushButton>(&s.form, "readButton")->click();
    QVERIFY(QTest::qWaitFor([&] { return s.boxes.count() > 0 && !s.form.link().busy(); }, 20000));
    QVERIFY(requestsOf(s.sim, CMD_READ_MEMORY) > 0);
    QVERIFY2(!valueDialogOpened, "the value dialog opened during a read");
    QVERIFY2(!fileDialogOpened, "the log-name dialog opened during a read");
    QCOMPARE(s.boxes.lastText(), ReadDone);
}

void tst_Operations::deviceArea_isLockedWhileAnOperationRunsAndFreedAfter()
{
    PtyFormSim s(50, 201);
    QVERIFY(s.ready());
    QVERIFY(s.settle());
    MainWindow &f = s.form;
    QWidget *servicePage = named<QWidget>(&f, "servicePage");
    const QList<QWidget *> area =
        QList<QWidget *>{named<PortComboBox>(&f, "portCombo"),
                         named<QComboBox>(&f, "variantCombo"),
                         named<QPushButton>(&f, "saveButton"),
                         named<QPushButton>(&f, "openButton"),
                         named<QPushButton>(&f, "writeButton"),
                         named<QPushButton>(&f, "readButton"),
                         named<QPushButton>(&f, "readJournalsButton"),
                         named<QPushButton>(servicePage, "logFileButton"),
                         named<QPushButton>(named<QWidget>(&f, "terminalPage"), "logFileButton")}
        << namedWidgets(servicePage, {"autoModeSwitch", "semiautoModeSwitch", "setMotorHoursButton",
                                      "setSerialNumberButton", "startGeneratorButton", "stopGeneratorButton",
                                      "testSmsButton", "testGprsButton", "restartModemButton",
                                      "syncClockButton", "logFileButton"});
    QStringList enabledDuring;
    bool stopShown = false;
    onFirstRequest(s.sim, CMD_READ_MEMORY, [&] {
        for (QWidget *control : area)
            if (control->isEnabled())
                enabledDuring << control->objectName();
        stopShown = !named<QPushButton>(&f, "stopButton")->isHidden();
    });
    named<QPushButton>(&f, "readButton")->click();
    QVERIFY(s.finish());
    QVERIFY2(enabledDuring.isEmpty(), qPrintable(enabledDuring.join(QLatin1Char(' '))));
    QVERIFY(stopShown);
    QVERIFY(named<QPushButton>(&f, "stopButton")->isHidden());
    const QList<QWidget *> serviceLocked = serviceCodeLocked(servicePage);
    // Freed by the enabling rule; a hidden page may still hold its own controls off.
    for (QWidget *control : area)
        QVERIFY2(control->isEnabledTo(control->parentWidget()) != serviceLocked.contains(control),
                 qPrintable(control->objectName()));
}

void tst_Operations::rowGoneUnderTheDialog_dropsTheEditWithAWarning()
{
    MainWindow form;
    MessageRecorder boxes(form.messages());
    ParamModel &tree = form.tree();
    int node = 0;
    while (tree.row(node).kind != ParamKind::Number)
        ++node;
    std::optional<ParamEditor::Outcome> outcome;
    connect(&form.editor(), &ParamEditor::finished, [&outcome](ParamEditor::Outcome o) { outcome = o; });
    QVERIFY(form.editor().edit(node, QPoint(100, 100)));
    tree.clear();
    LoadParamTree(DieselParams(), HighestIndexFor(DeviceVariant::Diesel), tree);
    const bool minIsDefault = MinText(tree.row(node)) == ValueText(tree.row(node));
    auto *dialog = named<ParamValueDialog>(&form, "valueDialog");
    named<QLineEdit>(dialog, "valueEdit")
        ->setText(minIsDefault ? MaxText(tree.row(node)) : MinText(tree.row(node)));
    named<QPushButton>(dialog, "setButton")->click();
    const QVector<CatalogueRow> reloaded = [&] {
        ParamModel diesel;
        LoadParamTree(DieselParams(), HighestIndexFor(DeviceVariant::Diesel), diesel);
        return treeRows(diesel);
    }();
    QVERIFY(outcome == ParamEditor::Outcome::RowGone);
    QVERIFY(dialog->isHidden());
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(int(boxes.all().first().kind), int(Message::Warning));
    QCOMPARE(treeRows(tree), reloaded);
}

void tst_Operations::journalOfAControllerThatStopsAnswering_endsAfterThreeRequests_data()
{
    QTest::addColumn<bool>("statusFramesGoOn");
    QTest::newRow("falls silent") << false;
    QTest::newRow("stops replying") << true;
}

void tst_Operations::journalOfAControllerThatStopsAnswering_endsAfterThreeRequests()
{
    QFETCH(bool, statusFramesGoOn);
    PtyFormSim s(50, 201);
    QVERIFY(s.ready());
    s.sim.model().fillJournals();
    s.form.link().setTickMs(20);
    QVERIFY(s.settle());
    // The reply to the tenth request still goes out; nothing answers after it.
    QObject::connect(&s.sim, &PtySimulator::frameReceived, &s.sim, [&](const FrameLogEntry &entry) {
        if (entry.valid && requestsOf(s.sim, CMD_JOURNAL_RECORD) == 10) {
            if (statusFramesGoOn)
                s.sim.model().setDropReplies(true);
            else
                s.sim.model().setSilent(true);
        }
    });
    named<QPushButton>(&s.form, "readJournalsButton")->click();
    QVERIFY2(
        QTest::qWaitFor([&] { return s.boxes.count() > 0; }, 10000),
        qPrintable(QStringLiteral("no box after %1 requests").arg(requestsOf(s.sim, CMD_JOURNAL_RECORD))));
    QCOMPARE(s.boxes.lastText(), NoLink);
    QCOMPARE(s.boxes.lastCaption(), QStringLiteral("Ошибка"));
    // Nine entries vouched for, the tenth without a later reply to vouch for it, and the journal's shortfall.
    const QStringList events =
        named<QPlainTextEdit>(&s.form, "eventList")->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(events.size(), 11);
    QCOMPARE(events.mid(9), (QStringList{QStringLiteral("-- запись 9 не прочитана --"),
                                         QStringLiteral("Журнал событий может быть неполным")}));
    QVERIFY2(requestsOf(s.sim, CMD_JOURNAL_RECORD) <= 13,
             qPrintable(QString::number(requestsOf(s.sim, CMD_JOURNAL_RECORD))));
}

QTEST_MAIN(tst_Operations)
#include "tst_operations.moc"
