// The window playing a session recording as a controller, and recording its own session.

#include "ControllerFrames.h"
#include "FormSim.h"
#include "RecordingFiles.h"
#include "WidgetSupport.h"
#include "link/LinkTexts.h"
#include "record/RecordingReader.h"
#include "widgets/PortComboBox.h"
#include "widgets/SwitchLed.h"

#include <QAbstractSlider>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace gencfg;
using namespace gencfg::test;

namespace {

// A diesel controller's frames a tenth of a second apart, phase A rising by a volt each, with
// noise and a frame whose checksum is wrong among them, and a request the session sent.
struct RecordedSession
{
    RecordedSession()
    {
        for (int i = 0; i < 20; ++i) {
            lastPhaseA = Status(201).at(9, quint8(100 + i));
            QByteArray bytes = lastPhaseA.frame();
            if (i == 5)
                bytes.prepend("\x07noise");
            if (i == 9)
                bytes[bytes.size() - 2] = bytes[bytes.size() - 2] == '0' ? '1' : '0';
            chunks << RecordedChunk{100 * i, ChunkDirection::Received, bytes};
            if (i == 10)
                chunks << RecordedChunk{100 * i + 5, ChunkDirection::Sent, deviceFrame(CMD_STATUS, {})};
        }
        // What a link on the controller counted, the recording's own counts.
        for (const RecordedChunk &chunk : chunks)
            if (chunk.direction == ChunkDirection::Received)
                counted.receive(chunk.bytes);
    }
    // The whole file, or cut after its first cutAt bytes.
    QString write(const QTemporaryDir &dir, const QByteArray &tail = {}, int cutAt = -1) const
    {
        QByteArray text = recordingText(chunks) + tail;
        if (cutAt >= 0)
            text.truncate(cutAt);
        QFile file(dir.filePath(QStringLiteral("session.gcrec")));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? file.fileName()
                                                                                  : QString();
    }

    QList<RecordedChunk> chunks;
    Status lastPhaseA;
    DeviceLink counted;
};

// The window on the simulator, its playback strip at hand, the recordings played as fast as possible.
struct ReplayWindow : FormSim
{
    ReplayWindow()
    {
        enterServiceCode(named<QWidget>(&form, "servicePage"));
        pickItem(named<QComboBox>(bar, "speedCombo"), 3);
    }
    // Opens path through the strip's button and its file dialog, and lets it play to its end.
    bool playToEnd(const QString &path)
    {
        answerFileDialog(&form, path);
        named<QPushButton>(bar, "openRecordingButton")->click();
        fileDialogClosed();
        return QTest::qWaitFor([&] { return !form.playsRecording() || positionText().startsWith(endText()); },
                               5000);
    }
    QString positionText() const { return named<QLabel>(bar, "positionLabel")->text(); }
    QString endText() const { return positionText().section(QStringLiteral(" / "), 1); }
    QString shownText(const char *display) const
    {
        return named<QWidget>(named<QWidget>(&form, "measurementPage"), display)->accessibleDescription();
    }

    QWidget *bar = named<QWidget>(&form, "playbackBar");
    QTemporaryDir dir;
};

// Whether each control is enabled as expected, named when not.
QString enabledMismatch(const QList<QWidget *> &controls, bool enabled)
{
    for (QWidget *control : controls)
        if (control->isEnabled() != enabled)
            return control->objectName();
    return {};
}

} // namespace

class tst_ReplayWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void recording_playsThroughTheLivePathWithDeviceControlsOff();
    void damagedRecording_playsUpToTheDamage_data();
    void damagedRecording_playsUpToTheDamage();
    void sessionSwitch_recordsTheSimulatorUntilSwitchedOff();
    void sessionRecordingFailure_switchesOffAndKeepsTheLink_data();
    void sessionRecordingFailure_switchesOffAndKeepsTheLink();
};

void tst_ReplayWindow::recording_playsThroughTheLivePathWithDeviceControlsOff()
{
    ReplayWindow w;
    QVERIFY(w.settle());
    const RecordedSession session;
    const QString path = session.write(w.dir);
    QVERIFY(w.playToEnd(path));
    QVERIFY(w.form.playsRecording());

    // Shown as live: the measurement page, the counters and the record at the recorded times.
    QCOMPARE(w.shownText("phaseADisplay"), QStringLiteral("%1В").arg(session.lastPhaseA.record().VoltageA));
    QVERIFY(session.counted.badFrameCount() >= 1);
    QCOMPARE(named<QLabel>(&w.form, "errorCountLabel")->text(),
             QStringLiteral("Ошибок: %1").arg(session.counted.badFrameCount()));
    QCOMPARE(named<QLabel>(&w.form, "packetsCaption")->text(),
             QStringLiteral("Пакетов принято: %1").arg(session.counted.packetCount()));
    QCOMPARE(named<QLabel>(&w.form, "statusText")->text(),
             QStringLiteral("Показана запись сеанса: session.gcrec — не устройство"));
    const qint64 start = testRecordingHeader().start.toMSecsSinceEpoch();
    QCOMPARE(w.form.telemetryLog().size(), 19);
    QCOMPARE(w.form.telemetryLog().newest().msecs, start + 1900);
    QVERIFY(
        trafficView(named<QWidget>(&w.form, "terminalPage"))->toPlainText().contains(QStringLiteral("<< ")));

    // Nothing acts on a controller; a port may still be picked, and the playback is at hand by its text.
    const QList<QWidget *> deviceControls = namedWidgets(
        &w.form, {"readButton", "writeButton", "readJournalsButton", "syncClockButton", "setMotorHoursButton",
                  "variantCombo", "sessionRecordSwitch", "sessionFileButton"});
    QCOMPARE(enabledMismatch(deviceControls, false), QString());
    QVERIFY(named<PortComboBox>(&w.form, "portCombo")->isEnabled());
    for (const char *name : {"openRecordingButton", "pauseButton", "closeRecordingButton"}) {
        auto *button = named<QPushButton>(w.bar, name);
        QVERIFY2(button->isVisible() || !w.form.isVisible(), name);
        QCOMPARE(button->accessibleName(), button->text());
    }
    QCOMPARE(named<QWidget>(w.bar, "speedCombo")->accessibleName(), QStringLiteral("Скорость"));
    QCOMPARE(named<QWidget>(w.bar, "positionSlider")->accessibleDescription(), w.positionText());
    QCOMPARE(w.positionText(), QStringLiteral("00:00:01 / 00:00:01"));

    // The trends page fits its time axis to the whole recording.
    QWidget *trends = named<QWidget>(&w.form, "trendsPage");
    w.form.show();
    showPage(&w.form, trends);
    named<QPushButton>(trends, "wholeRecordingButton")->click();
    const auto *time = qobject_cast<QDateTimeAxis *>(
        named<QChartView>(trends, "voltageChart")->chart()->axes(Qt::Horizontal).value(0));
    QCOMPARE(time->min().toMSecsSinceEpoch(), start);
    QCOMPARE(time->max().toMSecsSinceEpoch(), start + 1900);

    // Going back plays it again from there, counted afresh.
    named<QAbstractSlider>(w.bar, "positionSlider")->setValue(0);
    QCOMPARE(w.form.telemetryLog().size(), 0);
    QTRY_COMPARE(w.form.telemetryLog().size(), 19);
    QCOMPARE(named<QLabel>(&w.form, "errorCountLabel")->text(),
             QStringLiteral("Ошибок: %1").arg(session.counted.badFrameCount()));

    // Closing it gives the controls back and opens the simulator's port again.
    named<QPushButton>(w.bar, "closeRecordingButton")->click();
    QVERIFY(!w.form.playsRecording());
    QCOMPARE(named<QLabel>(&w.form, "statusText")->text(),
             PortReopenedText(named<PortComboBox>(&w.form, "portCombo")->portText(QStringLiteral("sim"))));
    QCOMPARE(enabledMismatch(deviceControls, true), QString());
    QCOMPARE(w.form.telemetryLog().size(), 0);
    w.form.pickPort(QStringLiteral("sim"));
    QVERIFY(w.settle());
    QVERIFY(qAbs(w.form.telemetryLog().newest().msecs - QDateTime::currentMSecsSinceEpoch()) < 60000);
    QCOMPARE(w.boxes.count(), 0);
}

void tst_ReplayWindow::damagedRecording_playsUpToTheDamage_data()
{
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<int>("cut");
    QTest::addColumn<QString>("box");
    QTest::newRow("cut inside its last line") << QByteArray() << -2 << QString();
    QTest::newRow("a malformed line after the frames")
        << QByteArray("2000 < 02zz\n2100 < 0d\n") << -1 << QStringLiteral("23");
    QTest::newRow("cut inside a line ending with a request") << QByteArray("2000 > 02") << -1 << QString();
}

void tst_ReplayWindow::damagedRecording_playsUpToTheDamage()
{
    QFETCH(QByteArray, tail);
    QFETCH(int, cut);
    QFETCH(QString, box);
    ReplayWindow w;
    const RecordedSession session;
    const int whole = int(recordingText(session.chunks).size());
    // Cut halfway into the last frame's line: that frame never arrives.
    const QString path = session.write(w.dir, tail, cut == -2 ? whole - 20 : -1);
    QVERIFY(w.playToEnd(path) || QTest::qWaitFor([&] { return w.boxes.count() > 0; }, 3000));
    QTest::qWait(50);
    QTRY_COMPARE(w.form.telemetryLog().size(), cut == -2 ? 18 : 19);
    if (box.isEmpty()) {
        QCOMPARE(w.boxes.count(), 0);
    } else {
        QTRY_COMPARE(w.boxes.count(), 1);
        QVERIFY2(w.boxes.lastText().contains(box), qPrintable(w.boxes.lastText()));
    }
    QVERIFY(w.form.playsRecording());
}

void tst_ReplayWindow::sessionSwitch_recordsTheSimulatorUntilSwitchedOff()
{
    ReplayWindow w;
    QVERIFY(w.settle());
    QWidget *terminal = named<QWidget>(&w.form, "terminalPage");
    auto *sessionSwitch = named<SwitchLed>(terminal, "sessionRecordSwitch");
    const QString path = w.dir.filePath(QStringLiteral("site.gcrec"));
    // Switched on without a name, it asks for one.
    answerFileDialog(&w.form, path);
    sessionSwitch->click();
    QVERIFY(fileDialogClosed());
    QVERIFY(sessionSwitch->isActive());
    QVERIFY(w.form.sessionRecorder().isRecording());
    QVERIFY(w.settle(5));
    sessionSwitch->click();
    QVERIFY(!w.form.sessionRecorder().isRecording());

    RecordingReader reader;
    QCOMPARE(reader.open(path), QString());
    QCOMPARE(reader.header().port, QStringLiteral("sim"));
    QCOMPARE(reader.header().variant, QStringLiteral("diesel"));
    QByteArray received;
    RecordedChunk chunk;
    qint64 lastMs = -1;
    while (reader.next(chunk)) {
        QVERIFY(chunk.ms >= lastMs);
        lastMs = chunk.ms;
        if (chunk.direction == ChunkDirection::Received)
            received += chunk.bytes;
    }
    QCOMPARE(reader.error(), QString());
    DeviceLink replayed;
    replayed.receive(received);
    QVERIFY2(replayed.packetCount() >= 5 && replayed.badFrameCount() == 0, received.constData());
}

void tst_ReplayWindow::sessionRecordingFailure_switchesOffAndKeepsTheLink_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("a folder") << QStringLiteral("folder");
    QTest::newRow("a device") << QStringLiteral("/dev/full");
    QTest::newRow("in a folder that is not there") << QStringLiteral("missing/site.gcrec");
}

void tst_ReplayWindow::sessionRecordingFailure_switchesOffAndKeepsTheLink()
{
    QFETCH(QString, name);
    ReplayWindow w;
    QVERIFY(QDir(w.dir.path()).mkdir(QStringLiteral("folder")));
    const QString path = name.startsWith(QLatin1Char('/')) ? name : w.dir.filePath(name);
    w.form.recordSession(path);
    auto *sessionSwitch = named<SwitchLed>(named<QWidget>(&w.form, "terminalPage"), "sessionRecordSwitch");
    QVERIFY(!sessionSwitch->isActive());
    QTRY_COMPARE(w.boxes.count(), 1);
    QVERIFY2(w.boxes.lastText().contains(path), qPrintable(w.boxes.lastText()));
    QVERIFY(w.form.link().transport().isOpen());
    QVERIFY(w.settle());
}

QTEST_MAIN(tst_ReplayWindow)
#include "tst_replay_window.moc"
