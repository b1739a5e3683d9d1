#include "FormSim.h"
#include "WidgetSupport.h"
#include "link/Commands.h"
#include "visit/VisitArchive.h"
#include "widgets/SwitchLed.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace gencfg;
using StatusFrameMap::Flag;
using StatusFrameMap::FlagMask;
using namespace gencfg::test;

namespace {

using Edits = QList<QPair<QString, QString>>; // edit name, text

void fill(QWidget *page, const Edits &edits)
{
    for (const auto &[name, text] : edits) {
        auto *edit = page->findChild<QLineEdit *>(name);
        QVERIFY2(edit, qPrintable(name));
        edit->setText(text);
        edit->setModified(true); // as typed: a status frame leaves it alone
    }
}

void clickControl(QWidget *page, const QString &name)
{
    QWidget *control = page->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    QVERIFY2(control->isEnabled(), qPrintable(name + " is disabled"));
    QTest::mouseClick(control, Qt::LeftButton);
}

QString hexList(const QList<QByteArray> &frames)
{
    QStringList out;
    for (const QByteArray &frame : frames)
        out << QString::fromLatin1(frame.toHex(' ').toUpper());
    return out.join(QStringLiteral(" | "));
}

} // namespace

class tst_ServicePage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void command_sendsItsFrameBytesAndEchoesThem_data();
    void command_sendsItsFrameBytesAndEchoesThem();
    void refusedInput_sendsNothingAndSaysWhy_data();
    void refusedInput_sendsNothingAndSaysWhy();
    void modeLampsLitByTheStatusFrame_sendNothing();
    void silentController_commandShowsGlyukAndWriteShowsNothing();
    void replacement_namesTheControllerValueAndOnlyReplaceSendsIt_data();
    void replacement_namesTheControllerValueAndOnlyReplaceSendsIt();
    void serviceCode_unlocksTheWritesAndTheTerminalOnlyWhenExact();
    void logRow_staysWholeOnTheHeightTheWindowGives();
};

void tst_ServicePage::command_sendsItsFrameBytesAndEchoesThem_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<Edits>("edits");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Тест SMS") << "testSmsButton" << Edits{} << hexBytes("00 20 00 00 00 20");
    QTest::newRow("Тест GPRS") << "testGprsButton" << Edits{} << hexBytes("00 21 00 00 00 21");
    QTest::newRow("Перезагрузка модема") << "restartModemButton" << Edits{} << hexBytes("00 22 00 00 00 22");
    QTest::newRow("Режим Авто") << "autoModeSwitch" << Edits{} << hexBytes("00 30 00 00 00 30");
    QTest::newRow("Режим Полу-авто") << "semiautoModeSwitch" << Edits{} << hexBytes("00 31 00 00 00 31");
    QTest::newRow("Старт 1 ч 30 мин")
        << "startGeneratorButton" << Edits{{"runHoursEdit", "1"}, {"runMinutesEdit", "30"}}
        << hexBytes("00 32 00 00 02 15 18 3D");
    QTest::newRow("Старт 18 ч 12 мин, the longest")
        << "startGeneratorButton" << Edits{{"runHoursEdit", "18"}, {"runMinutesEdit", "12"}}
        << hexBytes("00 32 00 00 02 FF F0 3F");
    QTest::newRow("Старт with a sign")
        << "startGeneratorButton" << Edits{{"runHoursEdit", "+0"}, {"runMinutesEdit", "+1"}}
        << hexBytes("00 32 00 00 02 00 3C 0C");
    QTest::newRow("Стоп 0 ч 45 мин") << "stopGeneratorButton"
                                     << Edits{{"waitHoursEdit", "0"}, {"waitMinutesEdit", "45"}}
                                     << hexBytes("00 33 00 00 02 0A 8C B7");
    QTest::newRow("motor hours 1234 ч 56 мин")
        << "setMotorHoursButton" << Edits{{"motorHoursEdit", "1234"}, {"motorMinutesEdit", "56"}}
        << hexBytes("00 04 00 00 04 00 01 21 70 50");
    QTest::newRow("serial number 12345678")
        << "setSerialNumberButton" << Edits{{"serialNumberEdit", "12345678"}}
        << hexBytes("00 04 00 B8 08 31 32 33 34 35 36 37 38 BC");
    QTest::newRow("clock 2026-12-06 14:05:09")
        << "syncClockButton" << Edits{} << hexBytes("00 26 00 00 06 14 05 09 06 12 26 0A");
}

void tst_ServicePage::command_sendsItsFrameBytesAndEchoesThem()
{
    QFETCH(QString, control);
    QFETCH(Edits, edits);
    QFETCH(QByteArray, bytes);
    FormSim s;
    QVERIFY(s.ready());
    QWidget *page = named<QWidget>(&s.form, "servicePage");
    int clockReadings = 0;
    s.form.setClock([&] {
        ++clockReadings;
        return QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9, 999));
    });
    enterServiceCode(page);
    fill(page, edits);
    QVERIFY(s.settle());
    s.boxes.answerAlways(QStringLiteral("Заменить"));

    clickControl(page, control);

    QTRY_VERIFY2(!s.received().isEmpty(), "nothing reached the controller");
    QVERIFY2(
        s.received() == QList<QByteArray>{bytes},
        qPrintable(QStringLiteral("expected %1, received %2").arg(hexList({bytes}), hexList(s.received()))));
    const QString hex = QString::fromLatin1(bytes.toHex().toUpper());
    QCOMPARE(trafficView(named<QWidget>(&s.form, "terminalPage"))->toPlainText(),
             QStringLiteral("<< ^P") + hex);
    QCOMPARE(clockReadings, control == QLatin1String("syncClockButton") ? 1 : 0);
    QVERIFY2(s.boxes.count() == 0, qPrintable(s.boxes.texts().join(QLatin1Char('|'))));
}

void tst_ServicePage::refusedInput_sendsNothingAndSaysWhy_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<Edits>("edits");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    const int error = Message::Critical;
    const int warning = Message::Warning;
    const QString duration = QStringLiteral("Длительность должна быть не больше 18 ч 12 мин");
    const QString motoclock = QStringLiteral("Счетчик моточасов должен быть от 0 до 35791394 ч 7 мин");
    QTest::newRow("empty run hours") << "startGeneratorButton" << Edits{{"runHoursEdit", ""}} << error
                                     << "Ошибка"
                                     << "'' is not a valid integer value";
    QTest::newRow("letters in the wait minutes")
        << "stopGeneratorButton" << Edits{{"waitMinutesEdit", "4o"}} << error << "Ошибка"
        << "'4o' is not a valid integer value";
    QTest::newRow("hours read before minutes")
        << "startGeneratorButton" << Edits{{"runHoursEdit", "x"}, {"runMinutesEdit", "y"}} << error
        << "Ошибка"
        << "'x' is not a valid integer value";
    QTest::newRow("motor hours with a blank")
        << "setMotorHoursButton" << Edits{{"motorHoursEdit", " 12"}} << error << "Ошибка"
        << "' 12' is not a valid integer value";
    QTest::newRow("Старт 18 ч 13 мин")
        << "startGeneratorButton" << Edits{{"runHoursEdit", "18"}, {"runMinutesEdit", "13"}} << warning
        << "Предупреждение" << duration;
    QTest::newRow("Старт 20 ч, once sent modulo 65536")
        << "startGeneratorButton" << Edits{{"runHoursEdit", "20"}, {"runMinutesEdit", "0"}} << warning
        << "Предупреждение" << duration;
    QTest::newRow("Стоп with negative minutes")
        << "stopGeneratorButton" << Edits{{"waitHoursEdit", "1"}, {"waitMinutesEdit", "-1"}} << warning
        << "Предупреждение" << duration;
    QTest::newRow("Стоп with a total that wraps 32 bits")
        << "stopGeneratorButton" << Edits{{"waitHoursEdit", "1193047"}, {"waitMinutesEdit", "0"}} << warning
        << "Предупреждение" << duration;
    QTest::newRow("negative motor hours")
        << "setMotorHoursButton" << Edits{{"motorHoursEdit", "-1"}, {"motorMinutesEdit", "59"}} << warning
        << "Предупреждение" << motoclock;
    QTest::newRow("motor hours the status frame cannot show")
        << "setMotorHoursButton" << Edits{{"motorHoursEdit", "35791394"}, {"motorMinutesEdit", "8"}}
        << warning << "Предупреждение" << motoclock;
    const QString serialLength = QStringLiteral("Серийный номер должен состоять из 8 символов, введено %1");
    const QString serialCharacter = QStringLiteral("Символ «%1» нельзя записать в серийный номер устройства");
    QTest::newRow("serial number of 7") << "setSerialNumberButton" << Edits{{"serialNumberEdit", "1234567"}}
                                        << warning << "Предупреждение" << serialLength.arg(7);
    QTest::newRow("serial number of 9") << "setSerialNumberButton" << Edits{{"serialNumberEdit", "123456789"}}
                                        << warning << "Предупреждение" << serialLength.arg(9);
    QTest::newRow("serial number in Cyrillic")
        << "setSerialNumberButton" << Edits{{"serialNumberEdit", "СН-12345"}} << warning << "Предупреждение"
        << serialCharacter.arg(QStringLiteral("С"));
    QTest::newRow("serial number with a brace")
        << "setSerialNumberButton" << Edits{{"serialNumberEdit", "AB{12345"}} << warning << "Предупреждение"
        << serialCharacter.arg(QStringLiteral("{"));
    QTest::newRow("serial number with a semicolon")
        << "setSerialNumberButton" << Edits{{"serialNumberEdit", "AB;12345"}} << warning << "Предупреждение"
        << serialCharacter.arg(QStringLiteral(";"));
    QTest::newRow("serial number ending in an emoji, 8 characters")
        << "setSerialNumberButton" << Edits{{"serialNumberEdit", QStringLiteral("1234567\U0001F600")}}
        << warning << "Предупреждение" << serialCharacter.arg(QStringLiteral("\U0001F600"));
}

void tst_ServicePage::refusedInput_sendsNothingAndSaysWhy()
{
    QFETCH(QString, control);
    QFETCH(Edits, edits);
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    FormSim s;
    QVERIFY(s.ready());
    QWidget *page = named<QWidget>(&s.form, "servicePage");
    enterServiceCode(page);
    fill(page, edits);
    QVERIFY(s.settle());

    clickControl(page, control);
    // A command that does go out marks the point by which a refused one would have arrived.
    clickControl(page, QStringLiteral("testGprsButton"));

    QTRY_VERIFY(!s.received().isEmpty());
    QVERIFY2(s.received() == QList<QByteArray>{hexBytes("00 21 00 00 00 21")},
             qPrintable(hexList(s.received())));
    if (kind < 0) {
        QVERIFY2(s.boxes.count() == 0, qPrintable(s.boxes.texts().join(QLatin1Char('|'))));
    } else {
        QCOMPARE(s.boxes.count(), 1);
        QCOMPARE(int(s.boxes.all().first().kind), kind);
        QCOMPARE(s.boxes.lastCaption(), caption);
        QCOMPARE(s.boxes.lastText(), text);
    }
    for (const auto &[name, typed] : edits)
        QCOMPARE(page->findChild<QLineEdit *>(name)->text(), typed);
}

void tst_ServicePage::modeLampsLitByTheStatusFrame_sendNothing()
{
    FormSim s;
    QVERIFY(s.ready());
    QWidget *page = named<QWidget>(&s.form, "servicePage");
    const auto *autoModeSwitch = page->findChild<SwitchLed *>(QStringLiteral("autoModeSwitch"));
    const auto *semiautoModeSwitch = page->findChild<SwitchLed *>(QStringLiteral("semiautoModeSwitch"));
    QTRY_VERIFY(autoModeSwitch->isActive());
    s.sim.model().state().flags1 |= FlagMask(Flag::SemiAuto);
    QTRY_VERIFY(semiautoModeSwitch->isActive());
    QVERIFY(!autoModeSwitch->isActive());
    QVERIFY(s.settle());
    QVERIFY2(s.received().isEmpty(), qPrintable(hexList(s.received())));

    // A click sends its command whatever the lamp shows.
    clickControl(page, QStringLiteral("semiautoModeSwitch"));
    QTRY_COMPARE(s.sim.model().lastServiceCommand(), quint8(CMD_MODE_SEMIAUTO));
}

void tst_ServicePage::silentController_commandShowsGlyukAndWriteShowsNothing()
{
    FormSim s;
    QVERIFY(s.ready());
    QWidget *page = named<QWidget>(&s.form, "servicePage");
    enterServiceCode(page);
    QVERIFY(s.settle());
    s.form.link().setTickMs(20);
    s.boxes.answerAlways(QStringLiteral("Заменить"));
    s.sim.model().setSilent(true);
    QTest::qWait(100); // frames already on their way arrive

    clickControl(page, QStringLiteral("testSmsButton"));
    QVERIFY(s.finish());
    QCOMPARE(s.boxes.count(), 1);
    QCOMPARE(int(s.boxes.all().first().kind), int(Message::Plain));
    QCOMPARE(s.boxes.lastCaption(), QStringLiteral("Ошибка"));
    QCOMPARE(s.boxes.lastText(), QStringLiteral("глююююк"));

    clickControl(page, QStringLiteral("setSerialNumberButton"));
    QVERIFY(s.finish());
    QCOMPARE(s.boxes.count(), 1);

    s.sim.model().setSilent(false);
    QVERIFY(s.settle());
    QVERIFY2(s.received().isEmpty(), qPrintable(hexList(s.received())));
    QVERIFY(trafficView(named<QWidget>(&s.form, "terminalPage"))->toPlainText().isEmpty());
    QVERIFY(page->findChild<QWidget *>(QStringLiteral("testSmsButton"))->isEnabled());
}

void tst_ServicePage::replacement_namesTheControllerValueAndOnlyReplaceSendsIt_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<Edits>("edits");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("replaced"); // before, after
    const Edits zero{{"motorHoursEdit", "0"}, {"motorMinutesEdit", "0"}};
    const Edits serial{{"serialNumberEdit", "12345678"}};
    const QStringList counter{"1234 ч 58 мин", "0 ч 0 мин"};
    const QStringList serials{"KUV00042", "12345678"};
    QTest::newRow("counter, Отмена") << "setMotorHoursButton" << zero << "Отмена" << QByteArray() << counter;
    QTest::newRow("counter, Заменить") << "setMotorHoursButton" << zero << "Заменить"
                                       << hexBytes("00 04 00 00 04 00 00 00 00 00") << counter;
    QTest::newRow("serial, Отмена") << "setSerialNumberButton" << serial << "Отмена" << QByteArray()
                                    << serials;
    QTest::newRow("serial, Заменить") << "setSerialNumberButton" << serial << "Заменить"
                                      << hexBytes("00 04 00 B8 08 31 32 33 34 35 36 37 38 BC") << serials;
}

void tst_ServicePage::replacement_namesTheControllerValueAndOnlyReplaceSendsIt()
{
    QFETCH(QString, control);
    QFETCH(Edits, edits);
    QFETCH(QString, answer);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, replaced);
    FormSim s;
    QVERIFY(s.ready());
    s.sim.model().writeMemory(0, hexBytes("00 01 21 72")); // 1234 h 58 min
    s.sim.model().writeMemory(184, QByteArray("KUV00042"));
    QWidget *page = named<QWidget>(&s.form, "servicePage");
    enterServiceCode(page);
    QVERIFY(s.settle());
    named<QPushButton>(&s.form, "readButton")->click();
    QVERIFY(s.finish());
    QVERIFY(s.settle());
    // The fields show what the controller holds, not zeros.
    QCOMPARE(named<QLineEdit>(page, "motorHoursEdit")->text(), QStringLiteral("1234"));
    QCOMPARE(named<QLineEdit>(page, "motorMinutesEdit")->text(), QStringLiteral("58"));
    QCOMPARE(named<QLineEdit>(page, "serialNumberEdit")->text(), QStringLiteral("KUV00042"));
    const auto services = [] {
        QVector<Visit> found;
        for (const Visit &visit : VisitArchive().visits(QStringLiteral("KUV00042")))
            if (visit.kind == VisitKind::Service)
                found << visit;
        return found;
    };
    const qsizetype servicesBefore = services().size();
    const qsizetype framesBefore = s.received().size();
    fill(page, edits);

    clickControl(page, control);
    QVERIFY(s.settle());
    QCOMPARE(s.received().size(), framesBefore); // nothing before the answer
    const QString question = QStringLiteral("Заменить %1 на %2?").arg(replaced.at(0), replaced.at(1));
    QCOMPARE(s.boxes.lastQuestion(), question);
    const Question &asked = s.boxes.questions().last();
    QCOMPARE(asked.buttons.at(asked.defaultButton).text, QStringLiteral("Отмена"));
    QVERIFY(s.boxes.answer(answer));
    QVERIFY(s.finish());
    QVERIFY(s.settle());

    const QList<QByteArray> sent = s.received().mid(framesBefore);
    QVERIFY2(sent == (bytes.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{bytes}),
             qPrintable(hexList(sent)));
    const QString status = named<QLabel>(&s.form, "statusText")->text();
    if (bytes.isEmpty()) {
        QVERIFY2(!status.startsWith(QStringLiteral("Отправлено")), qPrintable(status));
        return;
    }
    QVERIFY2(status.startsWith(QStringLiteral("Отправлено")) && status.contains(replaced.at(1)) &&
                 status.contains(QStringLiteral("было ") + replaced.at(0)),
             qPrintable(status));
    // The archive keeps what was replaced, by what, and when.
    QTRY_COMPARE(services().size(), servicesBefore + 1);
    const Visit kept = services().last();
    QVERIFY(kept.service && kept.service->before);
    QCOMPARE(QStringList({*kept.service->before, kept.service->after}), replaced);
    QVERIFY(qAbs(kept.time.secsTo(QDateTime::currentDateTime())) < 60);
}

void tst_ServicePage::serviceCode_unlocksTheWritesAndTheTerminalOnlyWhenExact()
{
    // On a port: the writes it unlocks reach a controller only there.
    FormSim s;
    QVERIFY(s.ready());
    MainWindow &form = s.form;
    MessageRecorder &boxes = s.boxes;
    QWidget *page = named<QWidget>(&form, "servicePage");
    for (const QString &wrong :
         {QStringLiteral("41730961"), QStringLiteral(" 41730962"), QStringLiteral("41730962 "), QString()}) {
        enterServiceCode(page, wrong);
        QVERIFY2(!form.isTabVisible(named<QWidget>(&form, "terminalPage")), qPrintable(wrong));
        for (QWidget *locked : serviceCodeLocked(page))
            QVERIFY2(!locked->isEnabled(), qPrintable(wrong + ": " + locked->objectName()));
        QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("serviceCodeEdit"))->text(), wrong);
    }
    QCOMPARE(boxes.texts(), QStringList(4, QStringLiteral("Неверный пароль")));

    enterServiceCode(page);
    QVERIFY(form.isTabVisible(named<QWidget>(&form, "terminalPage")));
    for (QWidget *locked : serviceCodeLocked(page))
        QVERIFY2(locked->isEnabled(), qPrintable(locked->objectName()));

    // Once open it stays open, whatever is typed next.
    enterServiceCode(page, QStringLiteral("0"));
    QVERIFY(form.isTabVisible(named<QWidget>(&form, "terminalPage")));
    QVERIFY(page->findChild<QWidget *>(QStringLiteral("setSerialNumberButton"))->isEnabled());
    QCOMPARE(boxes.count(), 5);
}

void tst_ServicePage::logRow_staysWholeOnTheHeightTheWindowGives()
{
    MainWindow form;
    QWidget *page = named<QWidget>(&form, "servicePage");
    showPage(&form, page);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QWidget *syncClockButton = page->findChild<QWidget *>(QStringLiteral("syncClockButton"));
    const QWidget *logSwitch = page->findChild<QWidget *>(QStringLiteral("logSwitch"));
    for (const QWidget *control :
         {static_cast<const QWidget *>(named<QPushButton>(page, "logFileButton")), logSwitch}) {
        QVERIFY2(page->rect().contains(control->geometry()),
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 on a page of height %6")
                                .arg(control->objectName())
                                .arg(control->x())
                                .arg(control->y())
                                .arg(control->width())
                                .arg(control->height())
                                .arg(page->height())));
        QVERIFY(!control->geometry().intersects(syncClockButton->geometry()));
    }
    QCOMPARE(syncClockButton->geometry(), QRect(11, 405, 299, 41));
    QCOMPARE(named<QPushButton>(page, "logFileButton")->x(), 11);
    QCOMPARE(logSwitch->x(), 162);
}

QTEST_MAIN(tst_ServicePage)
#include "tst_service_page.moc"
