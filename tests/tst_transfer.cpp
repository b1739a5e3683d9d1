#include "FormSim.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "app/MainWindow.h"
#include "config/ConfigTransfer.h"
#include "config/ParamChanges.h"
#include "config/ParamEditRules.h"
#include "config/ParamFile.h"
#include "config/ParamValueText.h"
#include "config/ui/ChangeListDialog.h"
#include "config/ui/ParamEditor.h"
#include "config/ui/ParamValueDialog.h"
#include "link/FrameCodec.h"
#include "widgets/AngularGauge.h"
#include "widgets/PortComboBox.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "ExpectedTexts.h"

#include "LinkWait.h"

#include <csignal>
#include <sys/resource.h>

using namespace gencfg;
using namespace gencfg::test;

namespace {

// Calls back on each of the parameters page's threshold images, as the gauges receive them.
class ThresholdsWatch : public QObject
{
    Q_OBJECT
public:
    ThresholdsWatch(QWidget *paramsPage, std::function<void(const ConfigImageBytes &)> shown)
        : QObject(paramsPage), m_shown(std::move(shown))
    {
        connect(paramsPage, SIGNAL(thresholdsChanged(gencfg::ConfigImageBytes)), this,
                SLOT(thresholdsChanged(gencfg::ConfigImageBytes)));
    }

private Q_SLOTS:
    void thresholdsChanged(const gencfg::ConfigImageBytes &image) { m_shown(image); }

private:
    std::function<void(const ConfigImageBytes &)> m_shown;
};

// What the window showed when a box came up.
struct BoxSeen
{
    Message message;
    int progress = -1;
    bool barShown = false;
    QString panel;
    int thresholdsBefore = 0;
};

// A window with its message boxes, threshold updates, status texts and
// progress recorded; Base is the window alone or on a simulated controller.
template <class Base> struct Recorded : Base
{
    template <class... Args> explicit Recorded(Args &&...args) : Base(std::forward<Args>(args)...)
    {
        MainWindow &form = this->form;
        form.messages().setHandler([this, &form](const Message &m) {
            boxes.append({m, named<QProgressBar>(page, "progressBar")->value(),
                          !named<QProgressBar>(page, "progressBar")->isHidden(),
                          named<QLabel>(&form, "statusText")->text(), int(thresholds.size())});
        });
        new ThresholdsWatch(page, [this, &form](const ConfigImageBytes &image) {
            thresholds.append(image);
            treeAtThresholds = treeRows(form.tree());
        });
        QObject::connect(named<QProgressBar>(page, "progressBar"), &QProgressBar::valueChanged, page,
                         [this](int v) { progress << v; });
    }
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const BoxSeen &box : boxes)
            texts << box.message.text;
        return texts;
    }
    // The texts of the status bar's transfer panel, in order; empty when no transfer runs.
    QStringList panelTexts() const
    {
        QStringList texts;
        for (const QList<QVariant> &emitted : progressTexts)
            texts << emitted.value(0).toString();
        return texts;
    }
    void saveAs(const QString &chosen)
    {
        const std::shared_ptr<FileDialogAnswer> answer = answerFileDialog(&this->form, chosen);
        named<QPushButton>(page, "saveButton")->click();
        fileDialogClosed();
        proposed = answer->proposed;
    }
    void open(const QString &path) { openParamFile(&this->form, path); }
    // Gives the page image with the tree at its defaults, without a box.
    bool openImage(const ConfigImageBytes &image)
    {
        const qsizetype shown = boxes.size();
        return test::openImage(&this->form, this->form.variant(), image) && boxes.size() == shown;
    }

    QWidget *page = named<QWidget>(&this->form, "paramsPage");
    QSignalSpy progressTexts{page, SIGNAL(progressText(QString))};
    QList<BoxSeen> boxes; // what the window showed, in place of the base's plain record
    QList<ConfigImageBytes> thresholds;
    QVector<CatalogueRow> treeAtThresholds;
    QList<int> progress;
    QString proposed;
};

using Window = Recorded<FormSimBase>;

struct SimWindow : Recorded<FormSim>
{
    explicit SimWindow(int periodMs = 60) : Recorded<FormSim>(periodMs, quint8(200)) {}
    bool ready() { return FormSim::ready() && settle(1); }
    QVector<FrameLogEntry> requests() const { return sim.model().receivedFrames(); }
};

} // namespace

class tst_Transfer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The writes here are about what reaches the controller; the change list before them has tests of its
    // own.
    void initTestCase() { setWriteConfirmation(false); }
    void unwrittenEdits_eachWayOutAsksAndOtmenaKeepsAll_data();
    void unwrittenEdits_eachWayOutAsksAndOtmenaKeepsAll();
    void unwrittenEdits_zapisatWritesThenCloses();
    void writeButton_showsTheChangesFirstUnlessTurnedOff_data();
    void writeButton_showsTheChangesFirstUnlessTurnedOff();
    // Parameter files.
    void savingDefaults_writesTheFileAndNamesTheWindowAfterIt();
    void savedName_getsTxtOnlyWhenItLacksIt_data();
    void savedName_getsTxtOnlyWhenItLacksIt();
    void reopeningASavedFile_restoresEveryByteAndTheTree();
    void fileWithABadValue_changesNothingAndNamesFileLineAndToken_data();
    void fileWithABadValue_changesNothingAndNamesFileLineAndToken();
    void failedSave_leavesTheExistingFileAndTheCaption_data();
    void failedSave_leavesTheExistingFileAndTheCaption();
    void cancelledDialogs_changeNothing();
    void uncodableTree_savesAndSendsNothingAndNamesTheParameter_data();
    void uncodableTree_savesAndSendsNothingAndNamesTheParameter();

    // The device, through the simulator.
    void readFromDevice_showsItsValuesInTheTreeAndItsThresholds();
    void writeToDevice_storesTheImageButNeverCounterOrReadOnlyBytes();
    void readSaveOpenWrite_leavesTheDeviceMemoryAsItWas();
    void silentDevice_failsAfterTheFirstStepAndSendsNothing_data();
    void silentDevice_failsAfterTheFirstStepAndSendsNothing();
    void unansweredSecondBlock_keepsTheImageAndTheTree();
    void clicksDuringATransfer_areRefused();
    void fileDialog_opensOverTheWindowAndLocksItsButtons_data();
    void fileDialog_opensOverTheWindowAndLocksItsButtons();
    void stopAfterTheSecondBlock_changesNothingOrSaysWhatWasWritten_data();
    void stopAfterTheSecondBlock_changesNothingOrSaysWhatWasWritten();

    // What differs from the controller, and writes proven by reading back.
    void baseline_marksWhatDiffersUntilAProvenWriteAndBelongsToOneController();
    void unprovenWrite_namesTheParametersAndMarksWhatTheControllerHolds_data();
    void unprovenWrite_namesTheParametersAndMarksWhatTheControllerHolds();
    void stoppedOrFailedWrite_dropsTheBaselineOnceABlockWentOut_data();
    void stoppedOrFailedWrite_dropsTheBaselineOnceABlockWentOut();
    void strayKeyInTheVariantCombo_leavesNothingToSaveOrWrite();
    void variantChangingDuringATransfer_failsItAndKeepsTreeAndImage_data();
    void variantChangingDuringATransfer_failsItAndKeepsTreeAndImage();

    // What the controller may be given.
    void everyOptionRow_writesExactlyTheChosenCodeOrNothing_data();
    void everyOptionRow_writesExactlyTheChosenCodeOrNothing();
    void valuesOutsideTheirLimits_areMarkedAndNotWrittenUntilBackWithin_data();
    void valuesOutsideTheirLimits_areMarkedAndNotWrittenUntilBackWithin();
};

namespace {

// A window that read its controller and holds one edit it has not written.
struct EditedWindow : FormSim
{
    EditedWindow()
    {
        form.addExtraPort(QStringLiteral("other"));
        // The controller's variant is known before the read.
        read = settle();
        named<QPushButton>(&form, "readButton")->click();
        read = read && finish() && boxes.count() == 1;
        edited = nodeAt(form.tree(), 36);
        read = read && form.tree().setValue(edited, QStringLiteral("170"));
    }
    int writesReceived() const
    {
        const QList<QByteArray> frames = received();
        return int(std::count_if(frames.cbegin(), frames.cend(), [](const QByteArray &frame) {
            return frame.size() > 1 && frame.at(1) == 4;
        }));
    }
    bool read = false;
    int edited = -1;
};

enum WayOut { CloseWindow, OtherPort, ParamFile, OtherVariant, Recording };

} // namespace

void tst_Transfer::unwrittenEdits_eachWayOutAsksAndOtmenaKeepsAll_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("closing the window") << int(CloseWindow);
    QTest::newRow("another port") << int(OtherPort);
    QTest::newRow("a parameter file") << int(ParamFile);
    QTest::newRow("another variant") << int(OtherVariant);
    QTest::newRow("a recording") << int(Recording);
}

void tst_Transfer::unwrittenEdits_eachWayOutAsksAndOtmenaKeepsAll()
{
    QFETCH(int, way);
    EditedWindow w;
    QVERIFY(w.read);
    QVERIFY(w.form.isWindowModified());
    auto *variantCombo = named<QComboBox>(&w.form, "variantCombo");
    const QString variantShown = variantCombo->currentText();
    const auto fileDialog = answerFileDialog(&w.form, QString());

    switch (WayOut(way)) {
    case CloseWindow:
        w.form.close();
        break;
    case OtherPort:
        w.form.pickPort(QStringLiteral("other"));
        break;
    case ParamFile:
        named<QPushButton>(&w.form, "openButton")->click();
        break;
    case OtherVariant:
        variantCombo->setCurrentIndex(0);
        Q_EMIT variantCombo->activated(0);
        break;
    case Recording:
        w.form.openRecording(QStringLiteral("session.gcrec"));
        break;
    }
    QCOMPARE(w.boxes.lastQuestion(), QStringLiteral("Записать изменения в устройство?"));
    QStringList buttons;
    for (const Question::Button &button : w.boxes.questions().last().buttons)
        buttons << button.text;
    QCOMPARE(buttons, QStringList({"Записать", "Не записывать", "Отмена"}));
    QVERIFY(w.boxes.answer(QStringLiteral("Отмена")));
    QTest::qWait(50);

    QCOMPARE(ValueText(w.form.tree().row(w.edited)), QStringLiteral("170"));
    QVERIFY(w.form.isWindowModified());
    QVERIFY(w.form.link().transport().isOpen());
    QCOMPARE(w.form.link().transport().portName(), QStringLiteral("sim"));
    QCOMPARE(named<PortComboBox>(&w.form, "portCombo")->currentPort(), QStringLiteral("sim"));
    QCOMPARE(variantCombo->currentText(), variantShown);
    QVERIFY(!w.form.playsRecording());
    QVERIFY(!fileDialog->opened);
    QCOMPARE(w.writesReceived(), 0);
}

void tst_Transfer::unwrittenEdits_zapisatWritesThenCloses()
{
    EditedWindow w;
    QVERIFY(w.read);
    w.form.close();
    QVERIFY(w.boxes.answer(QStringLiteral("Записать")));
    // The window goes only once the controller gave back what was written.
    QVERIFY(w.form.link().transport().isOpen());
    QTRY_VERIFY_WITH_TIMEOUT(!w.form.link().transport().isOpen(), 30000);
    QCOMPARE(w.writesReceived(), 4);
    QCOMPARE(quint8(w.sim.model().memory().at(36)), w.form.ConfigImage()[36]);
    QVERIFY(!w.form.isWindowModified());
}

void tst_Transfer::writeButton_showsTheChangesFirstUnlessTurnedOff_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("answer"); // the list's button, when it shows
    QTest::addColumn<int>("writes");
    QTest::newRow("list, Отмена") << true << "closeButton" << 0;
    QTest::newRow("list, Записать") << true << "writeButton" << 4;
    QTest::newRow("turned off for the workshop") << false << "" << 4;
}

void tst_Transfer::writeButton_showsTheChangesFirstUnlessTurnedOff()
{
    QFETCH(bool, confirm);
    QFETCH(QString, answer);
    QFETCH(int, writes);
    EditedWindow w;
    QVERIFY(w.read);
    setWriteConfirmation(confirm);
    named<QPushButton>(&w.form, "writeButton")->click();
    setWriteConfirmation(false);
    auto *list = w.form.findChild<QDialog *>(QStringLiteral("writeConfirmation"));
    QCOMPARE(list != nullptr, confirm);
    if (list) {
        QVERIFY(list->isVisible());
        const auto *table = named<QTreeWidget>(list, "changeTable");
        QCOMPARE(table->topLevelItemCount(), 1);
        QCOMPARE(table->topLevelItem(0)->text(2), QStringLiteral("170"));
        QTest::qWait(100);
        QCOMPARE(w.writesReceived(), 0); // nothing before the answer
        list->findChild<QPushButton *>(answer)->click();
    }
    QTest::qWait(50);
    QVERIFY(w.finish());
    QCOMPARE(w.writesReceived(), writes);
    QCOMPARE(w.form.isWindowModified(), writes == 0);
}

void tst_Transfer::savingDefaults_writesTheFileAndNamesTheWindowAfterIt()
{
    QTemporaryDir dir;
    Window w;
    w.saveAs(dir.filePath(QStringLiteral("defaults")));
    QVERIFY2(w.boxes.isEmpty(), qPrintable(describe(w.boxTexts())));
    // The window's caption, proposed as the file the dialog would write: with its suffix.
    QCOMPARE(QFileInfo(w.proposed).fileName(), QStringLiteral("ПО Конфигуратор v2a.txt"));

    const QString written = dir.filePath(QStringLiteral("defaults.txt"));
    const QByteArray content = readAll(written);
    QCOMPARE(content.size(), 1056);
    const QList<QByteArray> lines = content.split('\n');
    QCOMPARE(lines.at(0), QByteArray("255 255 255 255 0   0   0   0   100 0   1   15  5   1   0   5   \r"));
    QCOMPARE(lines.at(14), QByteArray("105 110 116 101 114 110 101 116 255 255 255 255 255 255 255 255 \r"));
    QVERIFY2(w.form.ConfigImage() == DefaultConfigImage(DeviceVariant::Petrol),
             "the image is the encoded tree");
    QCOMPARE(w.form.windowTitle().remove(QStringLiteral("[*]")), written);

    // The next save proposes the name just written.
    w.saveAs(dir.filePath(QStringLiteral("again")));
    QCOMPARE(w.proposed, written);
}

void tst_Transfer::savedName_getsTxtOnlyWhenItLacksIt_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    // The suffix rule itself is tst_paramfile's; here the window applies it to what it writes and shows.
    QTest::newRow("no suffix") << "site"
                               << "site.txt";
    QTest::newRow("already .txt") << "site.txt"
                                  << "site.txt";
}

void tst_Transfer::savedName_getsTxtOnlyWhenItLacksIt()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QTemporaryDir dir;
    Window w;
    w.saveAs(dir.filePath(chosen));
    QVERIFY2(w.boxes.isEmpty(), qPrintable(describe(w.boxTexts())));
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    QCOMPARE(files, QStringList{written});
    QCOMPARE(QFileInfo(dir.filePath(written)).size(), 1056);
    QCOMPARE(w.form.windowTitle().remove(QStringLiteral("[*]")), dir.filePath(written));
}

void tst_Transfer::reopeningASavedFile_restoresEveryByteAndTheTree()
{
    QTemporaryDir dir;
    Window w;
    ParamModel &tree = w.form.tree();
    const QString apn = QStringLiteral("abcdefghijklmnopqrstuvwxyz012345"); // fills bytes 224-255
    QVERIFY(tree.setValue(nodeAt(tree, 36), QStringLiteral("200")));
    QVERIFY(tree.setValue(nodeAt(tree, 224), apn));
    w.saveAs(dir.filePath(QStringLiteral("site")));
    const QString path = dir.filePath(QStringLiteral("site.txt"));
    const ConfigImageBytes saved = w.form.ConfigImage();
    QCOMPARE(saved[255], quint8('5'));
    const QVector<CatalogueRow> savedTree = treeRows(tree);

    QVERIFY(w.openImage(filledImage(0)));
    QVERIFY(tree.setValue(nodeAt(tree, 36), QStringLiteral("170")));
    QVERIFY(tree.setValue(nodeAt(tree, 224), QStringLiteral("other")));
    w.form.setWindowTitle(QStringLiteral("unchanged"));
    w.open(path);

    QVERIFY2(w.boxes.isEmpty(), qPrintable(describe(w.boxTexts())));
    QVERIFY2(w.form.ConfigImage() == saved, "all 256 bytes come back from the file");
    QCOMPARE(ValueText(tree.row(nodeAt(tree, 36))), QStringLiteral("200"));
    QCOMPARE(ValueText(tree.row(nodeAt(tree, 224))), apn);
    // ReadOnly rows decode from the 0xFF the save wrote; everything else is as saved.
    for (int node = 0; node < tree.nodeCount(); ++node) {
        if (tree.row(node).kind != ParamKind::ReadOnly)
            QCOMPARE(tree.row(node), savedTree.at(node));
    }
    QCOMPARE(w.form.windowTitle().remove(QStringLiteral("[*]")), QStringLiteral("unchanged"));
    QVERIFY2(w.thresholds.isEmpty(), "a file never moves the gauges' sections");
}

void tst_Transfer::fileWithABadValue_changesNothingAndNamesFileLineAndToken_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("token");
    QTest::newRow("letters on line 2") << QByteArray("1 2 3\r\n4 x7 6\r\n") << 2 << "x7";
    QTest::newRow("above 255") << QByteArray("10 20 256 30") << 1 << "256";
    QTest::newRow("negative after blank lines") << QByteArray("10\r\n\r\n-1 5") << 3 << "-1";
    QTest::newRow("fraction") << QByteArray("0 0 0 0 180.5") << 1 << "180.5";
}

void tst_Transfer::fileWithABadValue_changesNothingAndNamesFileLineAndToken()
{
    QFETCH(QByteArray, content);
    QFETCH(int, line);
    QFETCH(QString, token);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.txt"));
    QVERIFY(writeAll(path, content));
    Window w;
    QVERIFY(w.openImage(filledImage(0x33)));
    const ConfigImageBytes before = w.form.ConfigImage();
    const QVector<CatalogueRow> treeBefore = treeRows(w.form.tree());
    w.open(path);

    QCOMPARE(w.boxes.size(), 1);
    const QString text = w.boxes.first().message.text;
    QCOMPARE(w.boxes.first().message.kind, Message::Critical);
    for (const QString &part : {QDir::toNativeSeparators(path), QStringLiteral("строка %1").arg(line), token})
        QVERIFY2(text.contains(part), qPrintable(QStringLiteral("'%1' should name '%2'").arg(text, part)));
    QVERIFY2(w.form.ConfigImage() == before, "no byte of the image may change");
    QCOMPARE(treeRows(w.form.tree()), treeBefore);
}

void tst_Transfer::failedSave_leavesTheExistingFileAndTheCaption_data()
{
    QTest::addColumn<bool>("cutShort");
    QTest::newRow("directory under the name") << false;
    QTest::newRow("write cut short") << true;
}

void tst_Transfer::failedSave_leavesTheExistingFileAndTheCaption()
{
    QFETCH(bool, cutShort);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("params.txt"));
    const QByteArray old = FormatParamFile(ConfigImageBytes{});
    if (cutShort)
        QVERIFY(writeAll(target, old));
    else
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("params.txt")));

    Window w;
    w.form.setWindowTitle(QStringLiteral("last.txt"));
    {
        // A file size limit makes the write fail part-way, as a full disk would.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (cutShort) {
            rlimit small = saved;
            small.rlim_cur = 100;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        }
        w.saveAs(dir.filePath(QStringLiteral("params")));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }

    QCOMPARE(w.boxes.size(), 1);
    const QString text = w.boxes.first().message.text;
    QVERIFY2(text.contains(QDir::toNativeSeparators(target)), qPrintable(text));
    QCOMPARE(w.form.windowTitle().remove(QStringLiteral("[*]")), QStringLiteral("last.txt"));
    if (cutShort) {
        QCOMPARE(readAll(target), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("params.txt")});
    } else {
        QVERIFY(QFileInfo(target).isDir());
    }
}

void tst_Transfer::cancelledDialogs_changeNothing()
{
    Window w;
    QVERIFY(w.openImage(filledImage(0x44)));
    const QVector<CatalogueRow> treeBefore = treeRows(w.form.tree());
    w.saveAs(QString());
    w.open(QString());
    QVERIFY2(w.boxes.isEmpty(), qPrintable(describe(w.boxTexts())));
    QCOMPARE(w.form.windowTitle().remove(QStringLiteral("[*]")), QStringLiteral("ПО Конфигуратор v2a"));
    QVERIFY2(std::all_of(w.form.ConfigImage().begin(), w.form.ConfigImage().end(),
                         [](quint8 b) { return b == 0x44; }),
             "a cancelled save must not encode");
    QCOMPARE(treeRows(w.form.tree()), treeBefore);
}

void tst_Transfer::uncodableTree_savesAndSendsNothingAndNamesTheParameter_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("name");
    QTest::newRow("letter in a phone number") << 96 << "01234a6789"
                                              << "Номер абонента";
    QTest::newRow("empty phone number") << 80 << ""
                                        << "Номер абонента";
}

void tst_Transfer::uncodableTree_savesAndSendsNothingAndNamesTheParameter()
{
    QFETCH(int, address);
    QFETCH(QString, value);
    QFETCH(QString, name);
    SimWindow w;
    QVERIFY(w.ready());
    ParamModel &tree = w.form.tree();
    QVERIFY(w.openImage(filledImage(0x55)));
    QVERIFY(tree.setValue(nodeAt(tree, address), value));
    const ConfigImageBytes before = w.form.ConfigImage();

    QTemporaryDir dir;
    w.saveAs(dir.filePath(QStringLiteral("params")));
    QVERIFY(QDir(dir.path()).isEmpty());
    QCOMPARE(w.form.windowTitle().remove(QStringLiteral("[*]")), QStringLiteral("ПО Конфигуратор v2a"));

    named<QPushButton>(w.page, "writeButton")->click();

    QVERIFY(w.finish());
    QTest::qWait(150);
    QVERIFY2(w.requests().isEmpty(), "nothing may be sent");
    QVERIFY(named<QProgressBar>(w.page, "progressBar")->isHidden());
    QVERIFY(named<QLabel>(&w.form, "statusText")->text().isEmpty());
    // Nothing is written: the status bar never says a write runs.
    QCOMPARE(w.panelTexts(), QStringList());

    QCOMPARE(w.boxes.size(), 2);
    for (const BoxSeen &box : w.boxes) {
        QCOMPARE(box.message.kind, Message::Critical);
        QVERIFY2(
            box.message.text.contains(name) && box.message.text.contains(value),
            qPrintable(QStringLiteral("'%1' should name '%2' and '%3'").arg(box.message.text, name, value)));
    }
    QVERIFY2(w.form.ConfigImage() == before, "a half-coded image must not replace the image");
    QVERIFY(w.thresholds.isEmpty());
}

void tst_Transfer::readFromDevice_showsItsValuesInTheTreeAndItsThresholds()
{
    SimWindow w;
    QVERIFY(w.ready());
    w.sim.model().writeMemory(36, QByteArray("\x00\xBE", 2)); // mains lower threshold 190 V
    w.sim.model().writeMemory(192, QByteArray("site7") + QByteArray(11, '\xFF'));
    ParamModel &tree = w.form.tree();
    const int mainsLow = nodeAt(tree, 36);
    const int login = nodeAt(tree, 192);

    named<QPushButton>(w.page, "readButton")->click();

    QVERIFY(w.finish());

    QCOMPARE(w.boxTexts(), QStringList{ReadDone});
    const BoxSeen &box = w.boxes.first();
    QCOMPARE(box.message.caption, QStringLiteral("Информация"));
    QCOMPARE(box.message.kind, Message::Plain);
    QCOMPARE(box.progress, 100);
    // The box tells the result: the transfer's bar and text are gone by then.
    QVERIFY(!box.barShown);
    QCOMPARE(box.panel, QString());
    QCOMPARE(box.thresholdsBefore, 1);

    QCOMPARE(ValueText(tree.row(mainsLow)), QStringLiteral("190"));
    QCOMPARE(ValueText(tree.row(login)), QStringLiteral("site7"));
    QCOMPARE(bytesOf(w.form.ConfigImage(), 0, 256), w.sim.model().memory());

    QCOMPARE(w.thresholds.size(), 1);
    QCOMPARE(w.treeAtThresholds.at(mainsLow), tree.row(mainsLow)); // decoded before the gauges
    QCOMPARE(ThresholdsFromImage(w.thresholds.first()).mainsLow, 190.0);
    QVERIFY(named<AngularGauge>(&w.form, "phaseAGauge"));
    QCOMPARE(named<AngularGauge>(&w.form, "phaseAGauge")->property("lowAlarm").toDouble(), 190.0);

    QCOMPARE(w.progress, (QList<int>{25, 50, 75, 100}));
    QCOMPARE(w.panelTexts(), (QStringList{ReadText, QString()}));
    QVERIFY(named<QProgressBar>(w.page, "progressBar")->isHidden());
    QVERIFY(named<QLabel>(&w.form, "statusText")->text().isEmpty());

    const QVector<FrameLogEntry> requests = w.requests();
    QCOMPARE(requests.size(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(requests.at(i).text, BuildReadFrame(quint16(64 * i), 64));
}

void tst_Transfer::writeToDevice_storesTheImageButNeverCounterOrReadOnlyBytes()
{
    SimWindow w;
    QVERIFY(w.ready());
    const QByteArray before = w.sim.model().memory();
    ParamModel &tree = w.form.tree();
    QVERIFY(openTreeAsFile(&w.form, tree));
    QVERIFY(tree.setValue(nodeAt(tree, 36), QStringLiteral("200")));
    QVERIFY(tree.setValue(nodeAt(tree, 192), QStringLiteral("tester")));

    named<QPushButton>(w.page, "writeButton")->click();

    QVERIFY(w.finish());

    QCOMPARE(w.boxTexts(), QStringList{WriteDone});
    const BoxSeen &box = w.boxes.first();
    QCOMPARE(box.message.caption, QStringLiteral("Информация"));
    QCOMPARE(box.message.kind, Message::Plain);
    QCOMPARE(box.progress, 100);
    QCOMPARE(box.panel, QString());
    QCOMPARE(box.thresholdsBefore, 0); // the gauges follow the box
    QCOMPARE(w.thresholds.size(), 1);
    QVERIFY(w.thresholds.first() == w.form.ConfigImage());
    QCOMPARE(ThresholdsFromImage(w.thresholds.first()).mainsLow, 200.0);
    QVERIFY(named<AngularGauge>(&w.form, "phaseAGauge"));
    QCOMPARE(named<AngularGauge>(&w.form, "phaseAGauge")->property("lowAlarm").toDouble(), 200.0);
    QVERIFY(named<QProgressBar>(w.page, "progressBar")->isHidden());
    QVERIFY(named<QLabel>(&w.form, "statusText")->text().isEmpty());

    const ConfigImageBytes &image = w.form.ConfigImage();
    QTRY_COMPARE(w.sim.model().memory().mid(192, 64), bytesOf(image, 192, 64));
    const QByteArray memory = w.sim.model().memory();
    QCOMPARE(memory.mid(4, 176), bytesOf(image, 4, 176));
    QCOMPARE(memory.mid(36, 2), QByteArray("\x00\xC8", 2));
    QCOMPARE(memory.mid(192, 7), QByteArray("tester\xFF"));
    QCOMPARE(memory.mid(0, 4), before.mid(0, 4));
    QCOMPARE(memory.mid(180, 12), before.mid(180, 12));

    // The four blocks, then the whole memory read back to prove them.
    const QVector<FrameLogEntry> requests = w.requests();
    QCOMPARE(requests.size(), 8);
    const int plan[4][2] = {{4, 60}, {64, 64}, {128, 52}, {192, 64}};
    for (int i = 0; i < 4; ++i) {
        const auto [address, length] = plan[i];
        QCOMPARE(requests.at(i).text,
                 BuildWriteFrame(quint16(address), quint8(length), bytesOf(image, address, length)));
        QCOMPARE(requests.at(4 + i).text, BuildReadFrame(quint16(64 * i), 64));
    }
}

void tst_Transfer::readSaveOpenWrite_leavesTheDeviceMemoryAsItWas()
{
    SimWindow w;
    QVERIFY(w.ready());
    w.sim.model().writeMemory(36, QByteArray("\x00\xBE", 2));
    w.sim.model().writeMemory(192, QByteArray("site7") + QByteArray(11, '\xFF'));
    const QByteArray before = w.sim.model().memory();

    named<QPushButton>(w.page, "readButton")->click();

    QVERIFY(w.finish());
    // The edits below are dropped on purpose, each time the window asks.
    static_cast<FormSimBase &>(w).boxes.answerAlways(QStringLiteral("Не записывать"));
    QTemporaryDir dir;
    w.saveAs(dir.filePath(QStringLiteral("site")));
    QVERIFY(w.openImage(filledImage(0)));
    w.form.tree().setValue(nodeAt(w.form.tree(), 36), QStringLiteral("170"));
    w.open(dir.filePath(QStringLiteral("site.txt")));
    named<QPushButton>(w.page, "writeButton")->click();
    QVERIFY(w.finish());

    QCOMPARE(w.boxTexts(), (QStringList{ReadDone, WriteDone}));
    QTRY_COMPARE(w.requests().size(), 12);
    QTest::qWait(100);
    const QByteArray after = w.sim.model().memory();
    for (int address = 0; address < 256; ++address) {
        QVERIFY2(after.at(address) == before.at(address), qPrintable(QStringLiteral("byte %1: %2, was %3")
                                                                         .arg(address)
                                                                         .arg(quint8(after.at(address)))
                                                                         .arg(quint8(before.at(address)))));
    }
}

void tst_Transfer::silentDevice_failsAfterTheFirstStepAndSendsNothing_data()
{
    QTest::addColumn<bool>("write");
    QTest::newRow("write") << true;
    QTest::newRow("read") << false;
}

void tst_Transfer::silentDevice_failsAfterTheFirstStepAndSendsNothing()
{
    QFETCH(bool, write);
    SimWindow w;
    QVERIFY(w.ready());
    w.sim.model().setSilent(true);
    QTest::qWait(150); // frames already on the line arrive
    w.form.link().setTickMs(20);
    QVERIFY(w.openImage(filledImage(0x66)));
    QVERIFY(!write || openTreeAsFile(&w.form, w.form.tree()));
    const ConfigImageBytes before = w.form.ConfigImage();
    const QVector<CatalogueRow> treeBefore = treeRows(w.form.tree());

    (write ? named<QPushButton>(w.page, "writeButton") : named<QPushButton>(w.page, "readButton"))->click();

    QVERIFY(w.finish());

    QCOMPARE(w.boxTexts(), QStringList{NoLink});
    QCOMPARE(w.boxes.first().message.caption, QStringLiteral("Ошибка"));
    QCOMPARE(w.boxes.first().message.kind, Message::Plain);
    QCOMPARE(w.boxes.first().progress, write ? 12 : 25); // a write runs over its read-back too
    QCOMPARE(w.boxes.first().panel, QString());
    QVERIFY(named<QProgressBar>(w.page, "progressBar")->isHidden());
    QVERIFY(named<QLabel>(&w.form, "statusText")->text().isEmpty());
    QVERIFY(w.thresholds.isEmpty());
    QTest::qWait(50);
    QVERIFY2(w.requests().isEmpty(), "nothing may be sent to a silent device");
    QCOMPARE(treeRows(w.form.tree()), treeBefore);
    if (!write)
        QVERIFY2(w.form.ConfigImage() == before, "a failed first block leaves the image");
}

void tst_Transfer::unansweredSecondBlock_keepsTheImageAndTheTree()
{
    SimWindow w;
    QVERIFY(w.ready());
    w.sim.model().writeMemory(36, QByteArray("\x00\xBE", 2));
    connect(&w.sim, &SimTransport::frameSent, this, [&w](const FrameLogEntry &entry) {
        if (entry.bytes.size() > 1 && quint8(entry.bytes.at(1)) == CMD_READ_MEMORY)
            w.sim.model().setDropReplies(true);
    });
    QVERIFY(w.openImage(filledImage(0x5A)));
    const QVector<CatalogueRow> treeBefore = treeRows(w.form.tree());

    named<QPushButton>(w.page, "readButton")->click();

    QVERIFY(w.finish());

    QCOMPARE(w.boxTexts(), QStringList{NoLink});
    QCOMPARE(w.boxes.first().progress, 50);
    QCOMPARE(bytesOf(w.form.ConfigImage(), 0, 256), QByteArray(256, '\x5A'));
    QCOMPARE(treeRows(w.form.tree()), treeBefore);
    QVERIFY(w.thresholds.isEmpty());
    QVERIFY(named<QProgressBar>(w.page, "progressBar")->isHidden());
    QCOMPARE(w.requests().size(), 2);
}

void tst_Transfer::fileDialog_opensOverTheWindowAndLocksItsButtons_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::newRow("save") << QByteArray("saveButton");
    QTest::newRow("open") << QByteArray("openButton");
}

void tst_Transfer::fileDialog_opensOverTheWindowAndLocksItsButtons()
{
    QFETCH(QByteArray, button);
    SimWindow w;
    QVERIFY(w.ready());
    showPage(&w.form, w.page);
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    // A dialog still open long after the click would have had to return is cancelled, so a waiting click
    // ends.
    QTimer::singleShot(2000, &w.form, [] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    named<QPushButton>(w.page, button.constData())->click();
    auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
    QVERIFY2(dialog, "the click waited for the dialog to be closed");
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    // Clicked as the user does, through the window, where a blocked window refuses it.
    auto *read = named<QPushButton>(w.page, "readButton");
    const auto clickRead = [&] {
        QTest::mouseClick(w.form.windowHandle(), Qt::LeftButton, {},
                          read->mapTo(&w.form, read->rect().center()));
    };
    QSignalSpy pressed(read, &QPushButton::clicked);
    clickRead();
    QCOMPARE(pressed.count(), 0);
    QVERIFY(!w.form.link().busy());
    dialog->reject();
    QVERIFY(fileDialogClosed());
    clickRead();
    QCOMPARE(pressed.count(), 1);
    QVERIFY(w.finish());
    QCOMPARE(w.boxTexts(), QStringList{ReadDone});
}

void tst_Transfer::clicksDuringATransfer_areRefused()
{
    SimWindow w;
    QVERIFY(w.ready());
    const QList<QPushButton *> buttons{
        named<QPushButton>(w.page, "saveButton"), named<QPushButton>(w.page, "openButton"),
        named<QPushButton>(w.page, "writeButton"), named<QPushButton>(w.page, "readButton")};
    QStringList enabledDuring;
    QList<std::shared_ptr<FileDialogAnswer>> dialogs;
    QTimer::singleShot(30, w.page, [&] {
        for (QPushButton *button : buttons) {
            if (button->isEnabled())
                enabledDuring << button->objectName();
        }
        if (named<QPushButton>(&w.form, "readJournalsButton")->isEnabled())
            enabledDuring << QStringLiteral("readJournalsButton");
        // A file dialog that opened anyway is cancelled and counted.
        for (QPushButton *button : buttons) {
            dialogs << answerFileDialog(&w.form, QString());
            QTest::mouseClick(button, Qt::LeftButton);
        }
    });

    named<QPushButton>(w.page, "readButton")->click();

    QVERIFY(w.finish());

    QVERIFY2(enabledDuring.isEmpty(), qPrintable(enabledDuring.join(QLatin1Char(' '))));
    QVERIFY(std::none_of(dialogs.cbegin(), dialogs.cend(),
                         [](const std::shared_ptr<FileDialogAnswer> &dialog) { return dialog->opened; }));
    QCOMPARE(w.boxTexts(), QStringList{ReadDone});
    QCOMPARE(w.panelTexts(), (QStringList{ReadText, QString()}));
    QTest::qWait(100);
    const QVector<FrameLogEntry> requests = w.requests();
    QCOMPARE(requests.size(), 4);
    for (const FrameLogEntry &request : requests)
        QCOMPARE(quint8(request.bytes.at(1)), quint8(CMD_READ_MEMORY));
    for (QPushButton *button : buttons)
        QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
}

void tst_Transfer::stopAfterTheSecondBlock_changesNothingOrSaysWhatWasWritten_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<bool>("escape");
    QTest::newRow("read, Стоп") << false << false;
    QTest::newRow("read, Escape") << false << true;
    QTest::newRow("write, Стоп") << true << false;
}

void tst_Transfer::stopAfterTheSecondBlock_changesNothingOrSaysWhatWasWritten()
{
    QFETCH(bool, write);
    QFETCH(bool, escape);
    SimWindow w;
    QVERIFY(w.ready());
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.sim.model().writeMemory(0, QByteArray(256, '\x42'));
    const QByteArray memoryBefore = w.sim.model().memory();
    QVERIFY(w.openImage(filledImage(0x5A)));
    QVERIFY(!write || openTreeAsFile(&w.form, w.form.tree()));
    // Back in the window once the file dialog closed, where Escape reaches its shortcut.
    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    const ConfigImageBytes imageBefore = w.form.ConfigImage();
    const QVector<CatalogueRow> treeBefore = treeRows(w.form.tree());
    QObject::connect(named<QProgressBar>(w.page, "progressBar"), &QProgressBar::valueChanged, w.page,
                     [&](int value) {
                         if (value != (write ? 25 : 50)) // two blocks of eight steps, or of four
                             return;
                         QVERIFY(named<QPushButton>(&w.form, "stopButton")->isVisible());
                         if (escape)
                             QTest::keyClick(&w.form, Qt::Key_Escape);
                         else
                             named<QPushButton>(&w.form, "stopButton")->click();
                     });

    (write ? named<QPushButton>(w.page, "writeButton") : named<QPushButton>(w.page, "readButton"))->click();
    QVERIFY(w.finish());

    QTest::qWait(150);
    QCOMPARE(w.requests().size(), 2);
    QVERIFY(named<QProgressBar>(w.page, "progressBar")->isHidden());
    QVERIFY(!named<QPushButton>(&w.form, "stopButton")->isVisible());
    QVERIFY(named<QLabel>(&w.form, "statusText")->text().isEmpty());
    QVERIFY(w.thresholds.isEmpty());
    if (write) {
        QCOMPARE(w.boxTexts(), QStringList{QStringLiteral("Запись прервана: записаны блоки 1-2 из 4")});
        QCOMPARE(w.sim.model().memory().mid(128), memoryBefore.mid(128));
        QVERIFY(w.sim.model().memory().mid(4, 124) != memoryBefore.mid(4, 124));
    } else {
        QVERIFY2(w.boxes.isEmpty(), qPrintable(describe(w.boxTexts())));
        QVERIFY2(w.form.ConfigImage() == imageBefore, "a stopped read must leave the image");
        QCOMPARE(treeRows(w.form.tree()), treeBefore);
    }
}

QTEST_MAIN(tst_Transfer)
#include "tst_transfer.moc"

void tst_Transfer::baseline_marksWhatDiffersUntilAProvenWriteAndBelongsToOneController()
{
    SimWindow w;
    QVERIFY(w.ready());
    ParamModel &tree = w.form.tree();
    const int low = nodeAt(tree, 36);
    const int login = nodeAt(tree, 192);
    const int frost = nodeAt(tree, 15);
    const auto changedNodes = [&tree] {
        QList<int> nodes;
        for (const ParamDifference &d : tree.changes())
            nodes << d.node;
        return nodes;
    };

    // Nothing read yet: nothing to compare with.
    tree.setValue(low, QStringLiteral("170"));
    QVERIFY(!tree.isChanged(low));
    QVERIFY(!named<QPushButton>(w.page, "changesButton")->isEnabled());

    named<QPushButton>(w.page, "readButton")->click();
    QVERIFY(w.finish());
    QVERIFY(tree.changes().isEmpty());
    QVERIFY(named<QPushButton>(w.page, "changesButton")->isEnabled());

    // An edit shows at once, on the row and on every row above it; the same value written otherwise does not.
    tree.setValue(low, QStringLiteral("170"));
    QCOMPARE(changedNodes(), QList<int>{low});
    QCOMPARE(tree.indexOfNode(low, 1).data(Qt::ToolTipRole).toString(), QStringLiteral("В устройстве: 180"));
    for (int above = tree.parentNode(low); above >= 0; above = tree.parentNode(above)) {
        QCOMPARE(tree.changesBelow(above), 1);
        QCOMPARE(tree.indexOfNode(above).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("Изменено параметров: 1"));
    }
    tree.setValue(low, QStringLiteral("0180"));
    QVERIFY(tree.changes().isEmpty());
    QCOMPARE(tree.changesBelow(0) + tree.changesBelow(tree.parentNode(low)), 0);

    // A file with three other values.
    ConfigImageBytes file = w.form.ConfigImage();
    file[36] = 0, file[37] = 200;
    file[15] = 0xFB;
    std::copy_n("tech\xFF", 5, file.begin() + 192);
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath(QStringLiteral("three.txt")), FormatParamFile(file)));
    w.open(dir.filePath(QStringLiteral("three.txt")));
    QCOMPARE(changedNodes(), (QList<int>{low, login, frost}));

    named<QPushButton>(w.page, "changesButton")->click();
    ChangeListDialog *list = w.form.findChild<ChangeListDialog *>();
    QVERIFY(list && list->isVisible());
    QCOMPARE(named<QTreeWidget>(list, "changeTable")->topLevelItemCount(), 3);
    QCOMPARE(list->text(), QStringLiteral("Параметр\tВ устройстве\tНовое значение\n"
                                          "Параметры сети / Напряжение сети / Нижний порог\t180\t200\n"
                                          "Параметры GSM модема / GPRS мониторинг / Login\tvkmtr\ttech\n"
                                          "Термодатчик / Нижний порог температуры\t5\t-5\n"));
    list->copyToClipboard();
    QCOMPARE(QGuiApplication::clipboard()->text(), list->text());

    // Proven: the new values are what the controller holds.
    named<QPushButton>(w.page, "writeButton")->click();
    QVERIFY(w.finish());
    QCOMPARE(w.boxTexts().constLast(), WriteDone);
    QVERIFY(tree.changes().isEmpty());
    QCOMPARE(named<QTreeWidget>(list, "changeTable")->topLevelItemCount(), 0);

    // The baseline belongs to this controller: a reported variant change drops it.
    tree.setValue(low, QStringLiteral("170"));
    QVERIFY(tree.isChanged(low));
    w.sim.model().setVariantCode(201);
    QTRY_VERIFY(!tree.baseline().has_value());
    QVERIFY(tree.changes().isEmpty());
    QVERIFY(!named<QPushButton>(w.page, "changesButton")->isEnabled());
    // So does a pulled adapter: it may come back on another controller.
    named<QPushButton>(w.page, "readButton")->click();
    QVERIFY(w.finish());
    QVERIFY(tree.baseline().has_value());
    w.sim.vanish();
    QTRY_VERIFY(!tree.baseline().has_value());
}

void tst_Transfer::unprovenWrite_namesTheParametersAndMarksWhatTheControllerHolds_data()
{
    QTest::addColumn<bool>("ignoreAll");
    QTest::newRow("writes ignored") << true;
    QTest::newRow("second block lost to noise") << false;
}

void tst_Transfer::unprovenWrite_namesTheParametersAndMarksWhatTheControllerHolds()
{
    QFETCH(bool, ignoreAll);
    SimWindow w;
    QVERIFY(w.ready());
    ParamModel &tree = w.form.tree();
    named<QPushButton>(w.page, "readButton")->click();
    QVERIFY(w.finish());
    const ConfigImageBytes read = w.form.ConfigImage();
    // One value in the first, the last and the second block, in tree order.
    const int low = nodeAt(tree, 36), timeout = nodeAt(tree, 70), login = nodeAt(tree, 192);
    tree.setValue(low, QStringLiteral("170"));
    tree.setValue(timeout, QStringLiteral("120"));
    tree.setValue(login, QStringLiteral("tech"));
    const QVector<CatalogueRow> treeBefore = treeRows(tree);
    const qsizetype thresholdsBefore = w.thresholds.size();

    if (ignoreAll) {
        w.sim.model().setIgnoreWrites(true);
    } else {
        w.sim.setWriteFilter([writes = 0](const QByteArray &bytes) mutable {
            QByteArray arriving = bytes;
            if (++writes == 2) // the checksum no longer matches: the controller drops the frame
                arriving[arriving.size() / 2] = arriving.at(arriving.size() / 2) == '0' ? '1' : '0';
            return arriving;
        });
    }
    named<QPushButton>(w.page, "writeButton")->click();
    QVERIFY(w.finish());

    const QString lowLine = tree.path(low) + QStringLiteral(": записано \"170\", прочитано \"180\"");
    const QString timeoutLine = tree.path(timeout) + QStringLiteral(": записано \"120\", прочитано \"3600\"");
    const QString loginLine = tree.path(login) + QStringLiteral(": записано \"tech\", прочитано \"vkmtr\"");
    const QStringList lines =
        ignoreAll ? QStringList{lowLine, loginLine, timeoutLine} : QStringList{timeoutLine};
    QCOMPARE(w.boxTexts().constLast(),
             QStringLiteral("Запись не подтверждена: устройство вернуло другие значения.\n") +
                 lines.join(QLatin1Char('\n')));
    QCOMPARE(w.boxes.constLast().message.caption, QStringLiteral("Ошибка"));
    QCOMPARE(w.boxes.constLast().progress, 100);
    QCOMPARE(w.thresholds.size(), thresholdsBefore);
    QCOMPARE(treeRows(tree), treeBefore);
    // What was read back is what the controller holds: the marks show what still differs.
    QVERIFY(tree.baseline().has_value());
    QCOMPARE(
        QByteArray(reinterpret_cast<const char *>(tree.baseline()->data()), int(tree.baseline()->size())),
        w.sim.model().memory());
    QCOMPARE(tree.changes().size(), ignoreAll ? 3 : 1);
    QCOMPARE(tree.isChanged(timeout), true);
    QCOMPARE(tree.isChanged(low), ignoreAll);
    Q_UNUSED(read)
}

void tst_Transfer::strayKeyInTheVariantCombo_leavesNothingToSaveOrWrite()
{
    SimWindow w;
    QVERIFY(w.ready());
    named<QPushButton>(w.page, "readButton")->click();
    QVERIFY(w.finish());
    const QByteArray memory = w.sim.model().memory();
    const int requests = int(w.requests().size());
    w.boxes.clear();
    QComboBox *combo = named<QComboBox>(&w.form, "variantCombo");
    combo->lineEdit()->selectAll();
    QTest::keyClick(combo->lineEdit(), Qt::Key_X);
    QVERIFY(w.settle(3));
    QCOMPARE(w.form.tree().nodeCount(), 0);

    QTemporaryDir dir;
    w.saveAs(dir.filePath(QStringLiteral("empty.txt")));
    named<QPushButton>(w.page, "writeButton")->click();
    QVERIFY(w.finish());
    QCOMPARE(w.boxTexts(), QStringList(2, IncompleteTreeText()));
    QVERIFY(QDir(dir.path()).isEmpty());
    QCOMPARE(int(w.requests().size()), requests);
    QCOMPARE(w.sim.model().memory(), memory);
    // Nothing to prove a write with either.
    QVERIFY(!WriteProven(w.form.tree(), {}));
}

void tst_Transfer::variantChangingDuringATransfer_failsItAndKeepsTreeAndImage_data()
{
    QTest::addColumn<bool>("write");
    QTest::newRow("read") << false;
    QTest::newRow("write") << true;
}

void tst_Transfer::variantChangingDuringATransfer_failsItAndKeepsTreeAndImage()
{
    QFETCH(bool, write);
    Recorded<FormSim> w(50, quint8(DeviceVariant::Diesel));
    QVERIFY(w.ready() && w.settle(2));
    ParamModel &tree = w.form.tree();
    named<QPushButton>(w.page, "readButton")->click();
    QVERIFY(w.finish());
    tree.setValue(nodeAt(tree, 36), QStringLiteral("190"));
    const QVector<CatalogueRow> treeBefore = treeRows(tree);
    const ConfigImageBytes imageBefore = w.form.ConfigImage();
    w.boxes.clear();

    // The controller reports another variant for a moment, again and again.
    QTimer flap;
    const quint8 codes[] = {202, 201, 200};
    int next = 0;
    connect(&flap, &QTimer::timeout, &w.sim, [&] { w.sim.model().setVariantCode(codes[next++ % 3]); });
    flap.start(45);
    // It settles back on its own variant as the transfer ends.
    connect(&w.form.link(), &DeviceLink::busyChanged, &w.sim, [&](bool busy) {
        if (busy)
            return;
        flap.stop();
        w.sim.model().setVariantCode(quint8(DeviceVariant::Diesel));
        w.sim.sendStatusFrame();
    });
    (write ? named<QPushButton>(w.page, "writeButton") : named<QPushButton>(w.page, "readButton"))->click();
    QVERIFY(w.finish());
    QVERIFY(w.settle(2));
    QCOMPARE(w.boxTexts(), QStringList{write ? VariantChangedWriteText() : VariantChangedReadText()});
    QCOMPARE(quint8(w.form.variant()), quint8(DeviceVariant::Diesel));
    QCOMPARE(treeRows(tree), treeBefore);
    // A write has coded the tree into the image first, as always.
    QVERIFY(write || w.form.ConfigImage() == imageBefore);
}

void tst_Transfer::stoppedOrFailedWrite_dropsTheBaselineOnceABlockWentOut_data()
{
    QTest::addColumn<bool>("blockSent");
    QTest::newRow("stopped during the first block") << true;
    QTest::newRow("controller silent before the first block") << false;
}

void tst_Transfer::stoppedOrFailedWrite_dropsTheBaselineOnceABlockWentOut()
{
    QFETCH(bool, blockSent);
    SimWindow w;
    QVERIFY(w.ready());
    ParamModel &tree = w.form.tree();
    named<QPushButton>(w.page, "readButton")->click();
    QVERIFY(w.finish());
    const int low = nodeAt(tree, 36);
    tree.setValue(low, QStringLiteral("190"));
    if (blockSent) {
        connect(&w.form.link(), &DeviceLink::echoLine, w.page, [&w] { w.form.link().cancelOperation(); });
    } else {
        w.form.link().setTickMs(20);
        w.sim.model().setSilent(true);
    }
    named<QPushButton>(w.page, "writeButton")->click();
    QVERIFY(w.finish());
    if (blockSent) {
        // The controller holds 190 now, or may: no mark may claim it still holds 180.
        QVERIFY(!tree.baseline().has_value());
        QVERIFY(!tree.isChanged(low));
    } else {
        QVERIFY(tree.baseline().has_value());
        QVERIFY(tree.isChanged(low));
    }
}

void tst_Transfer::everyOptionRow_writesExactlyTheChosenCodeOrNothing_data()
{
    QTest::addColumn<DeviceVariant>("variant");
    QTest::newRow("petrol") << DeviceVariant::Petrol;
    QTest::newRow("diesel") << DeviceVariant::Diesel;
    QTest::newRow("dry contact") << DeviceVariant::DryContact;
}

void tst_Transfer::everyOptionRow_writesExactlyTheChosenCodeOrNothing()
{
    QFETCH(DeviceVariant, variant);
    Recorded<FormSim> w(50, quint8(variant));
    QVERIFY(w.ready() && w.settle(2));
    ParamModel &tree = w.form.tree();
    QCOMPARE(CatalogueInTree(tree), std::optional(variant));

    struct OptionRow
    {
        int node;
        int address;
        QStringList options;
        QString notAnOption;
    };
    QList<OptionRow> rows;
    for (int node = 0; node < tree.nodeCount(); ++node) {
        const QStringList options = OptionTexts(tree.row(node).kind);
        if (options.isEmpty())
            continue;
        // Texts a hurried technician types: the option without its full stop, or with a trailing blank.
        const QString first = options.first();
        const QString typed = first.endsWith(QLatin1Char('.')) ? first.chopped(1) : first + QLatin1Char(' ');
        rows.append({node, tree.row(node).address, options, typed});
        // Code 0 everywhere: a text that is no option used to code as 1, 2 or 0xFF.
        w.sim.model().writeMemory(rows.last().address, QByteArray(1, '\0'));
    }
    QVERIFY2(rows.size() >= 20, qPrintable(QString::number(rows.size())));
    named<QPushButton>(w.page, "readButton")->click();
    QVERIFY(w.finish());
    QCOMPARE(w.boxTexts(), QStringList{ReadDone});

    // Chooses a text in the row's list through the value dialog and its rules.
    ParamEditor &editor = w.form.editor();
    auto *dialog = named<ParamValueDialog>(&w.form, "valueDialog");
    const auto choose = [&](const OptionRow &row, const QString &text) {
        std::optional<ParamEditor::Outcome> outcome;
        QObject watch;
        QObject::connect(&editor, &ParamEditor::finished, &watch,
                         [&outcome](ParamEditor::Outcome o) { outcome = o; });
        if (!editor.edit(row.node, QPoint(100, 100)))
            return outcome;
        named<QComboBox>(dialog, "optionCombo")->setCurrentText(text);
        named<QPushButton>(dialog, "setButton")->click();
        return outcome;
    };
    // Writes the tree with its read-back and returns the controller's option bytes.
    const auto writeAndRead = [&] {
        w.boxes.clear();
        named<QPushButton>(w.page, "writeButton")->click();
        QList<int> codes;
        if (!w.finish() || w.boxTexts() != QStringList{WriteDone})
            return codes;
        for (const OptionRow &row : rows)
            codes << w.sim.model().memoryByte(row.address);
        return codes;
    };

    // First the texts that are no option: nothing may reach the controller but what it holds.
    QList<int> expected;
    for (const OptionRow &row : rows) {
        QVERIFY2(!CheckChosenOption(tree.row(row.node), row.notAnOption).accepted,
                 qPrintable(row.notAnOption));
        choose(row, row.notAnOption);
        expected << 0;
    }
    QCOMPARE(writeAndRead(), expected);
    for (const OptionRow &row : rows)
        QCOMPARE(ValueText(tree.row(row.node)), row.options.first());

    // Then every option, the last codes first so that each batch changes the bytes it sets.
    for (int code = 2; code >= 0; --code) {
        for (int i = 0; i < rows.size(); ++i) {
            const OptionRow &row = rows.at(i);
            if (code >= row.options.size())
                continue; // a row of two options keeps what it holds
            QVERIFY(choose(row, row.options.at(code)) == ParamEditor::Outcome::Applied);
            QCOMPARE(ValueText(tree.row(row.node)), row.options.at(code));
            expected[i] = code;
        }
        QCOMPARE(writeAndRead(), expected);
    }
}

void tst_Transfer::valuesOutsideTheirLimits_areMarkedAndNotWrittenUntilBackWithin_data()
{
    QTest::addColumn<bool>("fromFile");
    QTest::newRow("opened from a file") << true;
    QTest::newRow("read from the controller") << false;
}

void tst_Transfer::valuesOutsideTheirLimits_areMarkedAndNotWrittenUntilBackWithin()
{
    QFETCH(bool, fromFile);
    SimWindow w;
    QVERIFY(w.ready());
    ParamModel &tree = w.form.tree();
    // Weekly test day, hour and minute at 24, 25 and 26.
    const QByteArray outside("\xC8\x63\xFA", 3); // 200, 99, 250
    QTemporaryDir dir;
    if (fromFile) {
        ConfigImageBytes file = DefaultConfigImage(DeviceVariant::Petrol);
        std::copy(outside.cbegin(), outside.cend(), file.begin() + 24);
        QVERIFY(writeAll(dir.filePath(QStringLiteral("outside.txt")), FormatParamFile(file)));
        w.open(dir.filePath(QStringLiteral("outside.txt")));
        QVERIFY2(w.boxes.isEmpty(), qPrintable(describe(w.boxTexts())));
    } else {
        w.sim.model().writeMemory(24, outside);
        named<QPushButton>(w.page, "readButton")->click();
        QVERIFY(w.finish());
        QCOMPARE(w.boxTexts(), QStringList{ReadDone});
    }
    const QByteArray memoryBefore = w.sim.model().memory();
    const int requestsBefore = int(w.requests().size());

    const int day = nodeAt(tree, 24), hour = nodeAt(tree, 25), minute = nodeAt(tree, 26);
    const QStringList limits[] = {{"1", "7"}, {"0", "23"}, {"0", "59"}};
    const int marked[] = {day, hour, minute};
    QCOMPARE(ValueText(tree.row(day)), QStringLiteral("200"));
    for (int i = 0; i < 3; ++i) {
        const QModelIndex value = tree.indexOfNode(marked[i], ParamModel::ValueColumn);
        QCOMPARE(ParamModel::Limits(value.data(ParamModel::LimitsRole).toInt()), ParamModel::Limits::Outside);
        QCOMPARE(value.data(Qt::ToolTipRole).toString(),
                 OutsideLimitsMark.arg(limits[i].at(0), limits[i].at(1)));
    }
    for (int node = 0; node < tree.nodeCount(); ++node) {
        if (node != day && node != hour && node != minute)
            QVERIFY2(tree.indexOfNode(node, ParamModel::ValueColumn).data(ParamModel::LimitsRole).toInt() !=
                         int(ParamModel::Limits::Outside),
                     qPrintable(tree.path(node)));
    }

    // "Записать" names the rows and sends nothing.
    w.boxes.clear();
    named<QPushButton>(w.page, "writeButton")->click();
    QVERIFY(w.finish());
    QTest::qWait(150);
    QCOMPARE(int(w.requests().size()), requestsBefore);
    QCOMPARE(w.sim.model().memory(), memoryBefore);
    QCOMPARE(w.boxes.size(), 1);
    QCOMPARE(w.boxes.first().message.kind, Message::Critical);
    const QString group = QStringLiteral("Параметры электрогенератора / Еженедельный тестовый запуск / ");
    QCOMPARE(w.boxes.first().message.text,
             NotWrittenOutsideLimits + QStringLiteral("\n%1День недели: 200 (допустимо 1…7)"
                                                      "\n%1Час: 99 (допустимо 0…23)"
                                                      "\n%1Минута: 250 (допустимо 0…59)")
                                           .arg(group));
    QVERIFY(named<QProgressBar>(w.page, "progressBar")->isHidden());
    QVERIFY(named<QLabel>(&w.form, "statusText")->text().isEmpty());
    QVERIFY(w.thresholds.size() == (fromFile ? 0 : 1));

    // Saving keeps what was opened or read: a file may hold a controller's values as they are.
    w.saveAs(dir.filePath(QStringLiteral("kept")));
    QCOMPARE(w.boxes.size(), 1);
    QCOMPARE(ReadParamFile(dir.filePath(QStringLiteral("kept.txt"))).values.mid(24, 3),
             (QVector<quint8>{200, 99, 250}));

    // Back within: written and proven.
    QVERIFY(tree.setValue(day, QStringLiteral("1")));
    QVERIFY(tree.setValue(hour, QStringLiteral("23")));
    QVERIFY(tree.setValue(minute, QStringLiteral("0")));
    named<QPushButton>(w.page, "writeButton")->click();
    QVERIFY(w.finish());
    QCOMPARE(w.boxTexts().constLast(), WriteDone);
    QCOMPARE(w.sim.model().memory().mid(24, 3), QByteArray("\x01\x17\x00", 3));
}
