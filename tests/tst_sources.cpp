// The window between its sources: live controllers on two ports and a session recording shown between
// them. Whatever belongs to one source (tree, variant, CSV file, session recording, report) stays its own.

#include "ControllerFrames.h"
#include "ExpectedTexts.h"
#include "FormSim.h"
#include "RecordingFiles.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "app/PlaybackBar.h"
#include "app/SourceTexts.h"
#include "config/ConfigTransfer.h"
#include "config/ParamValueText.h"
#include "link/LinkTexts.h"
#include "record/RecordingReader.h"
#include "record/RecordingTransport.h"
#include "widgets/PortComboBox.h"
#include "widgets/SwitchLed.h"

#include <QAbstractSlider>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>

using namespace gencfg;
using namespace gencfg::test;

namespace {

// Two simulated controllers behind one port chooser: diesel on "diesel", petrol on "petrol". A port
// marked gone can no longer be opened.
class TwoControllers : public ByteTransport
{
public:
    TwoControllers()
    {
        for (const auto &[name, variant] :
             {std::pair{QStringLiteral("diesel"), 201}, {QStringLiteral("petrol"), 200}}) {
            auto *sim = new SimTransport(quint8(variant), 7, this);
            sim->model().setStatic(true);
            sim->setPeriodMs(50);
            connect(sim, &ByteTransport::bytesArrived, this, [this, sim](const QByteArray &bytes) {
                if (sim == m_open)
                    Q_EMIT bytesArrived(bytes);
            });
            connect(sim, &ByteTransport::lost, this, [this](const QString &port) {
                m_open = nullptr;
                Q_EMIT lost(port);
            });
            m_sims.insert(name, sim);
        }
    }
    QString open(const QString &name) override
    {
        close();
        if (!m_sims.contains(name) || gone.contains(name))
            return QStringLiteral("Can't open device %1").arg(name);
        m_open = m_sims.value(name);
        return m_open->open(name);
    }
    void close() override
    {
        if (m_open)
            m_open->close();
        m_open = nullptr;
    }
    bool isOpen() const override { return m_open && m_open->isOpen(); }
    QString portName() const override { return m_open ? m_open->portName() : QString(); }
    qint64 write(const QByteArray &bytes) override { return m_open ? m_open->write(bytes) : -1; }
    SimTransport &sim(const QString &name) { return *m_sims.value(name); }

    QSet<QString> gone;

private:
    QHash<QString, SimTransport *> m_sims;
    SimTransport *m_open = nullptr;
};

// The status variants a session recording's received bytes hold; {-1} when it cannot be read.
QSet<int> recordedVariants(const QString &path)
{
    RecordingReader reader;
    if (!reader.open(path).isEmpty())
        return {-1};
    DeviceLink link;
    QSet<int> variants;
    QObject::connect(&link, &DeviceLink::statusFrameReceived, &link,
                     [&variants](const RxBuffer &rx) { variants << rx[5]; });
    RecordedChunk chunk;
    while (reader.next(chunk))
        if (chunk.direction == ChunkDirection::Received)
            link.receive(chunk.bytes);
    return variants;
}

// The window on both controllers, the port given picked, recordings played as fast as possible.
struct SourcesWindow : FormSimBase
{
    explicit SourcesWindow(const QString &port = QStringLiteral("diesel")) : ports(*new TwoControllers)
    {
        form.link().setTransport(std::unique_ptr<ByteTransport>(&ports));
        form.addExtraPort(QStringLiteral("diesel"));
        form.addExtraPort(QStringLiteral("petrol"));
        if (!port.isEmpty())
            form.pickPort(port);
        enterServiceCode(named<QWidget>(&form, "servicePage"));
        pickItem(named<QComboBox>(bar, "speedCombo"), 3);
    }
    // A petrol controller's recording, phase A at 77 V, made long ago.
    QString petrolRecording()
    {
        QList<RecordedChunk> chunks;
        for (int i = 0; i < 20; ++i)
            chunks << RecordedChunk{100 * i, ChunkDirection::Received, Status(200).at(9, 77).frame()};
        RecordingHeader header = testRecordingHeader();
        header.start =
            QDateTime::fromString(QStringLiteral("2020-03-01T06:42:58.000+03:00"), Qt::ISODateWithMs);
        header.variant = QStringLiteral("petrol");
        QFile file(dir.filePath(QStringLiteral("petrol.gcrec")));
        const QByteArray text = recordingText(chunks, header);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? file.fileName()
                                                                                  : QString();
    }
    // Opens path through the strip's button and lets it play to its end.
    bool playToEnd(const QString &path)
    {
        answerFileDialog(&form, path);
        click("openRecordingButton");
        fileDialogClosed();
        const auto *position = named<QLabel>(bar, "positionLabel");
        return form.playsRecording() && QTest::qWaitFor(
                                            [&] {
                                                const QStringList parts = position->text().split(" / ");
                                                return parts.size() == 2 && parts.first() == parts.last();
                                            },
                                            5000);
    }
    void click(const char *name) { QTest::mouseClick(named<QWidget>(&form, name), Qt::LeftButton); }
    SwitchLed *sessionSwitch() const { return named<SwitchLed>(&form, "sessionRecordSwitch"); }

    TwoControllers &ports; // owned by the window's link
    QWidget *bar = named<QWidget>(&form, "playbackBar");
    QTemporaryDir dir;
};

} // namespace

class tst_Sources : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void recordingShownBetweenReadAndWrite_leavesTheReadTreeToWrite();
    void trendsFile_recordsTheLiveControllerOnly();
    void portPickedOrLost_endsTheSessionRecording();
    void report_afterARecording_holdsNoneOfItsMeasurements();
    void sessionRecordingWaitingForAPort_outlivesAPlayback();
    void closingARecording_returnsToTheLivePortOrSaysItIsGone_data();
    void closingARecording_returnsToTheLivePortOrSaysItIsGone();
    void replacedRecording_stopsWithAMessage();
    void playbackStrip_holdsHugePositionsAndPassesCtrlTab();
};

void tst_Sources::recordingShownBetweenReadAndWrite_leavesTheReadTreeToWrite()
{
    SourcesWindow w;
    QVERIFY(w.settle());
    ControllerModel &diesel = w.ports.sim(QStringLiteral("diesel")).model();
    diesel.writeMemory(36, QByteArray("\x00\xBE", 2));
    w.click("readButton");
    QVERIFY(w.finish());
    ParamModel &tree = w.form.tree();
    QCOMPARE(ValueText(tree.row(nodeAt(tree, 36))), QStringLiteral("190"));

    QVERIFY(w.playToEnd(w.petrolRecording()));
    w.click("closeRecordingButton");
    w.form.pickPort(QStringLiteral("diesel"));
    QVERIFY(w.settle());
    QCOMPARE(ValueText(tree.row(nodeAt(tree, 36))), QStringLiteral("190"));
    w.click("writeButton");
    QVERIFY(w.finish());
    QCOMPARE(w.boxes.texts(), (QStringList{ReadDone, WriteDone}));
    QCOMPARE(diesel.memory().mid(36, 2), QByteArray("\x00\xBE", 2));

    // The catalogue's defaults, loaded by hand, never go to the controller.
    const qsizetype requests = diesel.receivedFrames().size();
    pickItem(named<QComboBox>(&w.form, "variantCombo"), 1);
    w.click("writeButton");
    QVERIFY(w.finish());
    QCOMPARE(w.boxes.lastText(), UnreadTreeWriteText());
    QCOMPARE(diesel.receivedFrames().size(), requests);
}

void tst_Sources::trendsFile_recordsTheLiveControllerOnly()
{
    SourcesWindow w;
    QWidget *trends = named<QWidget>(&w.form, "trendsPage");
    auto *recordSwitch = named<SwitchLed>(trends, "recordSwitch");
    const QString csv = w.dir.filePath(QStringLiteral("trends.csv"));
    named<QLineEdit>(trends, "recordFileEdit")->setText(csv);
    recordSwitch->click();
    QVERIFY(w.settle(3));
    QVERIFY(w.playToEnd(w.petrolRecording()));
    QVERIFY(recordSwitch->isActive() && !recordSwitch->isEnabled());
    w.click("closeRecordingButton");
    QVERIFY(w.settle(3));
    QVERIFY(recordSwitch->isActive() && recordSwitch->isEnabled());
    recordSwitch->click();

    const QStringList rows =
        QString::fromUtf8(readAll(csv)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QVERIFY2(rows.size() >= 7, qPrintable(rows.join('\n')));
    for (int i = 2; i < rows.size(); ++i) {
        QVERIFY2(rows.at(i).section(',', 0, 0) >= rows.at(i - 1).section(',', 0, 0), qPrintable(rows.at(i)));
        QVERIFY2(rows.at(i).section(',', 1, 1) != QStringLiteral("77"), qPrintable(rows.at(i)));
    }
}

void tst_Sources::portPickedOrLost_endsTheSessionRecording()
{
    SourcesWindow w;
    const QString path = w.dir.filePath(QStringLiteral("site.gcrec"));
    w.form.recordSession(path);
    QVERIFY(w.settle(4));
    w.form.pickPort(QStringLiteral("petrol"));
    QVERIFY(!w.form.sessionRecorder().isRecording() && !w.sessionSwitch()->isActive());
    QCOMPARE(named<QLabel>(&w.form, "statusText")->text(),
             SessionRecordingEndedText("site.gcrec", SourceChange::PortPicked));

    // On again: a file of its own, which ends with its port.
    w.sessionSwitch()->click();
    QCOMPARE(w.form.sessionRecorder().fileName(), w.dir.filePath(QStringLiteral("site-2.gcrec")));
    QVERIFY(w.settle(4));
    w.ports.sim(QStringLiteral("petrol")).vanish();
    QVERIFY(!w.form.sessionRecorder().isRecording() && !w.sessionSwitch()->isActive());
    QCOMPARE(named<QLabel>(&w.form, "statusText")->text(),
             SessionRecordingEndedText("site-2.gcrec", SourceChange::PortLost));
    QCOMPARE(recordedVariants(path), QSet<int>{201});
    QCOMPARE(recordedVariants(w.dir.filePath(QStringLiteral("site-2.gcrec"))), QSet<int>{200});
}

void tst_Sources::report_afterARecording_holdsNoneOfItsMeasurements()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    QVERIFY2(!pdftotext.isEmpty(), "pdftotext is missing: tools/deps.sh installs poppler-utils");
    SourcesWindow w{QString()};
    QVERIFY(w.playToEnd(w.petrolRecording()));
    w.click("closeRecordingButton");
    w.click("reportButton");
    const QString pdf = w.dir.filePath(QStringLiteral("visit.pdf"));
    answerFileDialog(&w.form, pdf);
    QTest::mouseClick(named<QWidget>(&w.form, "savePdfButton"), Qt::LeftButton);
    QVERIFY(fileDialogClosed());
    QProcess extract;
    extract.start(pdftotext, {pdf, "-"});
    QVERIFY(extract.waitForFinished(30000) && extract.exitCode() == 0);
    const QString text = QString::fromUtf8(extract.readAllStandardOutput()).simplified();
    QVERIFY2(text.contains(QStringLiteral("Нет данных от контроллера")), qPrintable(text));
}

void tst_Sources::sessionRecordingWaitingForAPort_outlivesAPlayback()
{
    SourcesWindow w{QString()};
    const QString path = w.dir.filePath(QStringLiteral("site.gcrec"));
    w.form.recordSession(path);
    QVERIFY(w.sessionSwitch()->isActive() && !w.form.sessionRecorder().isRecording());
    QVERIFY(w.playToEnd(w.petrolRecording()));
    w.click("closeRecordingButton");
    QVERIFY(w.sessionSwitch()->isActive());
    w.form.pickPort(QStringLiteral("diesel"));
    QVERIFY(w.form.sessionRecorder().isRecording());
    QVERIFY(w.settle(3));
    w.sessionSwitch()->click();
    QCOMPARE(recordedVariants(path), QSet<int>{201});
}

void tst_Sources::closingARecording_returnsToTheLivePortOrSaysItIsGone_data()
{
    QTest::addColumn<bool>("gone");
    QTest::newRow("the port still there") << false;
    QTest::newRow("the port gone meanwhile") << true;
}

void tst_Sources::closingARecording_returnsToTheLivePortOrSaysItIsGone()
{
    QFETCH(bool, gone);
    SourcesWindow w;
    QVERIFY(w.settle());
    QWidget *journals = named<QWidget>(&w.form, "journalPage");
    QVERIFY(w.playToEnd(w.petrolRecording()));
    if (gone)
        w.ports.gone << QStringLiteral("diesel");
    w.click("closeRecordingButton");

    QCOMPARE(w.form.variant(), DeviceVariant::Diesel);
    QCOMPARE(named<QComboBox>(&w.form, "variantCombo")->currentText(), VariantTitle(DeviceVariant::Diesel));
    QVERIFY(w.form.isTabVisible(journals));
    QCOMPARE(w.form.link().transport().isOpen(), !gone);
    if (gone) {
        QCOMPARE(w.boxes.texts(), QStringList{LivePortGoneText(QStringLiteral("diesel"),
                                                               QStringLiteral("Can't open device diesel"))});
        return;
    }
    QCOMPARE(named<PortComboBox>(&w.form, "portCombo")->currentText(),
             named<PortComboBox>(&w.form, "portCombo")->portText(QStringLiteral("diesel")));
    QCOMPARE(named<QLabel>(&w.form, "statusText")->text(),
             PortReopenedText(named<PortComboBox>(&w.form, "portCombo")->portText(QStringLiteral("diesel"))));
    QVERIFY(w.settle());
    QCOMPARE(w.boxes.count(), 0);
}

void tst_Sources::replacedRecording_stopsWithAMessage()
{
    SourcesWindow w{QString()};
    const QString path = w.petrolRecording();
    QVERIFY(w.playToEnd(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(recordingText({RecordedChunk{0, ChunkDirection::Received, statusFrame(201)}})) > 0);
    file.close();
    named<QAbstractSlider>(w.bar, "positionSlider")->setValue(0);
    QTRY_COMPARE(w.boxes.texts(), QStringList{RecordingChangedText(path)});
    QCOMPARE(w.form.telemetryLog().size(), 0);
}

void tst_Sources::playbackStrip_holdsHugePositionsAndPassesCtrlTab()
{
    SourcesWindow w{QString()};
    auto *bar = static_cast<PlaybackBar *>(w.bar);
    const qint64 huge = Q_INT64_C(999999999999999);
    bar->showPlayback(huge);
    bar->showPosition(huge);
    auto *slider = named<QAbstractSlider>(bar, "positionSlider");
    QCOMPARE(slider->value(), slider->maximum());
    QCOMPARE(named<QLabel>(bar, "positionLabel")->text(), PlaybackBar::PositionText(huge, huge));
    QSignalSpy chosen(bar, &PlaybackBar::positionChosen);
    slider->setValue(slider->maximum() / 2);
    QVERIFY(qAbs(chosen.value(0).value(0).toLongLong() - huge / 2) < huge / 1000000);

    const int page = named<QTabWidget>(&w.form, "pageTabs")->currentIndex();
    QTest::keyClick(named<QWidget>(bar, "pauseButton"), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(named<QTabWidget>(&w.form, "pageTabs")->currentIndex(), page + 1);
}

QTEST_MAIN(tst_Sources)
#include "tst_sources.moc"
