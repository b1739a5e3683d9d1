#include "ExpectedTexts.h"
#include "FormSim.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "config/Catalogue.h"
#include "config/ConfigTransfer.h"
#include "config/ParamFile.h"
#include "config/ParamValueText.h"
#include "monitor/TelemetryCsv.h"
#include "report/Language.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

using namespace gencfg;
using namespace gencfg::test;

namespace {

struct TsMessage
{
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete" or empty
};

QList<TsMessage> readTs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<TsMessage> messages;
    QXmlStreamReader xml(&file);
    QString context;
    TsMessage message;
    QString *text = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("message"))
                message = TsMessage{context, {}, {}, {}};
            else if (name == QLatin1String("name"))
                context = xml.readElementText();
            else if (name == QLatin1String("source"))
                text = &message.source;
            else if (name == QLatin1String("translation")) {
                text = &message.translation;
                message.type = xml.attributes().value(QLatin1String("type")).toString();
            } else if (name == QLatin1String("byte") && text) // lupdate's way of writing a carriage return
                *text += QChar(xml.attributes().value(QLatin1String("value")).toString().toInt(nullptr, 16));
        } else if (xml.isCharacters() && text) {
            *text += xml.text();
        } else if (xml.isEndElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("source") || name == QLatin1String("translation"))
                text = nullptr;
            else if (name == QLatin1String("message"))
                messages << message;
        }
    }
    return xml.hasError() ? QList<TsMessage>{} : messages;
}

// The "%1".."%9" a text fills in, the blanks at its ends and its line breaks: what a translation must keep.
QString shapeOf(const QString &text)
{
    QStringList shape;
    QRegularExpressionMatchIterator args = QRegularExpression(QStringLiteral("%\\d")).globalMatch(text);
    QStringList numbers;
    while (args.hasNext())
        numbers << args.next().captured();
    numbers.sort();
    shape << numbers.join(QLatin1Char(','));
    shape << QString::number(text.size() - text.trimmed().size() > 0 && text.endsWith(QLatin1Char(' ')));
    shape << QString::number(text.count(QLatin1Char('\n'))) << QString::number(text.count(QLatin1Char('\r')));
    return shape.join(QLatin1Char('|'));
}

struct ModalSeen
{
    QString text; // a message box's
    QStringList buttons;
};

// Reads the next modal dialog once it shows, then closes it.
void watchNextModal(ModalSeen &seen)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, &seen] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        if (const auto *box = qobject_cast<QMessageBox *>(dialog))
            seen.text = box->text();
        for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
            if (button->isVisible() && !button->text().isEmpty())
                seen.buttons << button->text();
        }
        dialog->reject();
    });
    timer->start();
}

QStringList editMenuTexts()
{
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction *action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text().section(QLatin1Char('\t'), 0, 0); // without its shortcut
    }
    return texts;
}

QStringList tabTexts(const QTabWidget &tabs)
{
    QStringList texts;
    for (int i = 0; i < tabs.count(); ++i)
        texts << tabs.tabText(i);
    return texts;
}

// A parameter set read from a controller through the window's "Прочитать", then saved with "Сохранить".
QByteArray readAndSave(const QString &path)
{
    FormSim w(50, quint8(DeviceVariant::Diesel));
    if (!w.settle())
        return {};
    named<QPushButton>(&w.form, "readButton")->click();
    if (!w.finish() ||
        w.boxes.lastText() != QCoreApplication::translate("ConfigTransfer", ReadDone.toUtf8().constData()))
        return {};
    answerFileDialog(&w.form, path);
    named<QPushButton>(&w.form, "saveButton")->click();
    fileDialogClosed();
    return readAll(path);
}

} // namespace

class tst_Translations : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void englishTranslation_coversEveryTextAndKeepsItsShape();
    void language_russianUnlessEnglishIsAsked_data();
    void language_russianUnlessEnglishIsAsked();
    void unknownLanguage_isRefusedAtStart();
    void defaultWindow_isRussianWithQtsOwnTextsInRussian();
    void englishWindow_showsEnglishPagesBoxesAndTree();
    void englishCatalogue_codesEveryImageAsRussianDoes_data();
    void englishCatalogue_codesEveryImageAsRussianDoes();
    void savedParameterFile_isTheSameInBothLanguages();
};

void tst_Translations::englishTranslation_coversEveryTextAndKeepsItsShape()
{
    // lupdate over today's sources into a copy: any text without a translation, or a
    // translation whose text is gone from the sources, shows in the copy.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString shipped = QStringLiteral(GENCFG_SOURCE_DIR "/translations/gencfg_en.ts");
    const QString copy = dir.filePath(QStringLiteral("gencfg_en.ts"));
    QVERIFY(QFile::copy(shipped, copy));
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(GENCFG_SOURCE_DIR));
    QStringList arguments{QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-I"),
                          QStringLiteral(".")};
    arguments << QStringLiteral(GENCFG_TRANSLATED_FOLDERS).split(QLatin1Char(' '));
    arguments << QStringLiteral("-ts") << copy;
    lupdate.start(QStringLiteral(GENCFG_LUPDATE), arguments);
    QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());

    const QList<TsMessage> messages = readTs(copy);
    QVERIFY2(messages.size() > 300, qPrintable(QString::number(messages.size())));
    QStringList faults;
    for (const TsMessage &m : messages) {
        const QString where = m.context + QStringLiteral(": \"") + m.source + QLatin1Char('"');
        if (!m.type.isEmpty())
            faults << m.type + QLatin1Char(' ') + where;
        else if (shapeOf(m.source) != shapeOf(m.translation))
            faults << QStringLiteral("placeholders, end blank or line breaks differ in ") + where;
        // A tree row is its fields joined by ';'.
        else if (m.context == QLatin1String("Catalogue") && m.translation.contains(QLatin1Char(';')))
            faults << QStringLiteral("';' in ") + where;
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void tst_Translations::language_russianUnlessEnglishIsAsked_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<int>("expected"); // -1: refused

    QTest::newRow("nothing asked") << QString() << QString() << int(InterfaceLanguage::Russian);
    QTest::newRow("--lang en") << "en" << QString() << int(InterfaceLanguage::English);
    QTest::newRow("GENCFG_LANG=EN") << QString() << "EN" << int(InterfaceLanguage::English);
    QTest::newRow("--lang wins over GENCFG_LANG") << "ru"
                                                  << "en" << int(InterfaceLanguage::Russian);
    QTest::newRow("unknown option") << "de"
                                    << "en" << -1;
    QTest::newRow("unknown environment") << QString() << "en_US.UTF-8" << -1;
}

void tst_Translations::language_russianUnlessEnglishIsAsked()
{
    QFETCH(QString, option);
    QFETCH(QString, environment);
    QFETCH(int, expected);
    const std::optional<InterfaceLanguage> language = ChosenLanguage(option, environment);
    QCOMPARE(language ? int(*language) : -1, expected);
}

void tst_Translations::unknownLanguage_isRefusedAtStart()
{
    QProcess gencfg;
    gencfg.setProcessChannelMode(QProcess::MergedChannels);
    gencfg.start(qEnvironmentVariable("GENCFG_BUILD_DIR") + QStringLiteral("/gencfg"),
                 {QStringLiteral("--lang"), QStringLiteral("fr")});
    QVERIFY(gencfg.waitForFinished(20000));
    QCOMPARE(gencfg.exitCode(), 2);
    QVERIFY2(gencfg.readAll().contains("Unknown language 'fr': use ru or en."),
             "no message naming the language");
}

void tst_Translations::defaultWindow_isRussianWithQtsOwnTextsInRussian()
{
    // The suite runs this test under LANG=en_US.UTF-8: the system locale does not choose the language.
    QCOMPARE(QLocale::system().language(), QLocale::English);
    const std::optional<InterfaceLanguage> language =
        ChosenLanguage(QString(), qEnvironmentVariable("GENCFG_LANG"));
    QVERIFY(language);
    const InterfaceTranslators translators(*language);
    QVERIFY2(translators.missing().isEmpty(), qPrintable(translators.missing().join(QLatin1Char(' '))));

    MainWindow form;
    QCOMPARE(tabTexts(*named<QTabWidget>(&form, "pageTabs")),
             QStringList(
                 {"Измерения", "Параметры", "Журнал событий", "Дополнительно", "Терминал+лог", "Графики"}));
    QCOMPARE(form.tree().row(0).name, QStringLiteral("Тип двигателя электрогенератора"));

    QVERIFY2(editMenuTexts().contains(QStringLiteral("&Копировать")), qPrintable(describe(editMenuTexts())));
    QFileDialog dialog(&form);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    ModalSeen seen;
    watchNextModal(seen);
    dialog.exec();
    QVERIFY2(seen.buttons.contains(QStringLiteral("Отмена")) &&
                 seen.buttons.contains(QStringLiteral("&Открыть")),
             qPrintable(describe(seen.buttons)));
}

void tst_Translations::englishWindow_showsEnglishPagesBoxesAndTree()
{
    TelemetryRecord manual;
    manual.Mode = 1;
    const QString russianCsv = TelemetryCsvHeader() + TelemetryCsvRow(0, manual);
    const InterfaceTranslators translators(*ChosenLanguage(QStringLiteral("en"), QString()));
    QVERIFY2(translators.missing().isEmpty(), qPrintable(translators.missing().join(QLatin1Char(' '))));

    MainWindow form;
    QCOMPARE(form.windowTitle().remove(QStringLiteral("[*]")), QStringLiteral("Configurator software v2a"));
    QCOMPARE(
        tabTexts(*named<QTabWidget>(&form, "pageTabs")),
        QStringList({"Measurements", "Parameters", "Event journal", "Advanced", "Terminal+log", "Charts"}));
    QCOMPARE(form.tree().row(0).name, QStringLiteral("Generator engine type"));
    QCOMPARE(ValueText(form.tree().row(0)), QStringLiteral("petrol"));
    QCOMPARE(named<QComboBox>(&form, "variantCombo")->itemText(1), QStringLiteral("KUV diesel v2.0 "));

    // A variant picked by hand is found by its shown text.
    pickItem(named<QComboBox>(&form, "variantCombo"), 1);
    QCOMPARE(int(quint8(form.variant())), int(DeviceVariant::Diesel));
    QCOMPARE(ValueText(form.tree().row(0)), QStringLiteral("diesel"));

    // "Прочитать" by its key without a port: the real box, in English, with Qt's own English button.
    QPushButton *read = named<QPushButton>(&form, "readButton");
    QCOMPARE(read->text(), QStringLiteral("&Read"));
    form.show();
    showPage(&form, named<QWidget>(&form, "paramsPage"));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ModalSeen seen;
    watchNextModal(seen);
    QTest::keyClick(&form, Qt::Key_F5);
    QTRY_VERIFY_WITH_TIMEOUT(!seen.text.isEmpty(), 30000);
    QCOMPARE(seen.text, QStringLiteral("No port selected"));
    QCOMPARE(seen.buttons, QStringList{QStringLiteral("OK")});
    QVERIFY2(editMenuTexts().contains(QStringLiteral("&Copy")), qPrintable(describe(editMenuTexts())));

    // The recording file is read by scripts: it keeps its Russian texts while the window shows English.
    QCOMPARE(StatusCaption(manual).value_or(QString()), QStringLiteral("Manual mode"));
    QCOMPARE(TelemetryCsvHeader() + TelemetryCsvRow(0, manual), russianCsv);
    QVERIFY(russianCsv.contains(QStringLiteral("Фаза А (В)")) &&
            russianCsv.contains(QStringLiteral("Ручной режим")));
}

void tst_Translations::englishCatalogue_codesEveryImageAsRussianDoes_data()
{
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("optionCode"); // written into every option byte
    for (const DeviceVariant variant : Variants) {
        for (int code : {0, 1, 2}) {
            QTest::addRow("%s, options %d", qPrintable(VariantTitle(variant).trimmed()), code)
                << int(variant) << code;
        }
    }
}

void tst_Translations::englishCatalogue_codesEveryImageAsRussianDoes()
{
    QFETCH(int, variant);
    QFETCH(int, optionCode);
    const auto v = DeviceVariant(variant);
    ConfigImageBytes image = DefaultConfigImage(v);
    ParamModel layout;
    LoadParamTree(CatalogueFor(v), HighestIndexFor(v), layout);
    for (int node = 0; node < layout.nodeCount(); ++node) {
        if (!OptionTexts(layout.row(node).kind).isEmpty())
            image[size_t(layout.row(node).address)] = quint8(optionCode);
    }
    ConfigImageBytes russian;
    QVERIFY(RecodeConfigImage(image, v, russian).ok);
    const ConfigImageBytes russianDefaults = DefaultConfigImage(v);

    const InterfaceTranslators english(InterfaceLanguage::English);
    ConfigImageBytes recoded;
    QVERIFY(RecodeConfigImage(image, v, recoded).ok);
    QCOMPARE(bytesOf(recoded), bytesOf(russian));
    // The English tree holds English option texts, and the catalogue's defaults code as in Russian.
    ParamModel tree;
    LoadParamTree(CatalogueFor(v), HighestIndexFor(v), tree);
    DecodeConfigImage(image, tree);
    QCOMPARE(ValueText(tree.row(nodeAt(tree, 10))), QString(optionCode == 0 ? "off" : "on"));
    QCOMPARE(bytesOf(DefaultConfigImage(v)), bytesOf(russianDefaults));
}

void tst_Translations::savedParameterFile_isTheSameInBothLanguages()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray russian = readAndSave(dir.filePath(QStringLiteral("ru.txt")));
    QVERIFY(!russian.isEmpty());
    QByteArray english;
    {
        const InterfaceTranslators translators(InterfaceLanguage::English);
        english = readAndSave(dir.filePath(QStringLiteral("en.txt")));
    }
    QVERIFY(!english.isEmpty());
    QCOMPARE(english, russian);
}

QTEST_MAIN(tst_Translations)
#include "tst_translations.moc"
