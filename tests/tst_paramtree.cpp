#include "MessageRecorder.h"
#include "TestSupport.h"
#include "config/Catalogue.h"
#include "config/ParamEditRules.h"
#include "config/ParamLimits.h"
#include "config/ParamModel.h"
#include "config/ParamValueText.h"
#include "config/ui/ParamEditor.h"
#include "config/ui/ParamTreeView.h"
#include "config/ui/ParamValueDialog.h"
#include "widgets/Messages.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

using namespace gencfg;
using gencfg::test::describe;

Q_DECLARE_METATYPE(gencfg::DeviceVariant)
Q_DECLARE_METATYPE(gencfg::ParamKind)
Q_DECLARE_METATYPE(gencfg::CatalogueRow)

namespace {

// Petrol rows used below.
constexpr int MainsHeading = 1;
constexpr int MainsLower = 3;
constexpr int GeneratorOnOff = 10;
constexpr int StarterTime = 19;
constexpr int TestStartRow = 24;
constexpr int UpsHeading = 40;
constexpr int UpsOnOff = 41;
constexpr int Login = 49;
constexpr int SentCounter = 52;
constexpr int Phone1 = 57;
constexpr int Phone1Access = 58;
constexpr int Phone1Messages = 59;
constexpr int SensorOnOff = 81;
constexpr int TemperatureRow = 82;
constexpr int Serial = 83;

QString editorName(const QWidget *w)
{
    return w ? w->objectName() : QStringLiteral("none");
}

QStringList itemsOf(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// The dialog's edit field or option list, whichever it shows.
QWidget *shownEditor(const ParamValueDialog &form)
{
    for (const char *name : {"valueEdit", "optionCombo"}) {
        if (auto *editor = form.findChild<QWidget *>(QLatin1String(name)); editor && !editor->isHidden())
            return editor;
    }
    return nullptr;
}

template <typename T> T *named(const QWidget &parent, const char *name)
{
    return parent.findChild<T *>(QLatin1String(name));
}

} // namespace

class TestParamTree : public QObject
{
    Q_OBJECT

private slots:
    void init();

    // The model
    void loadParamTree_buildsOneNodePerRowInCatalogueOrder_data();
    void loadParamTree_buildsOneNodePerRowInCatalogueOrder();
    void loadParamTree_hangsRowsUnderTheLastShallowerNode();
    void loadParamTree_neverClearsAndStopsAtTheHighestIndex();
    void row_holdsTheCatalogueRowsFields();
    void path_joinsNamesFromTheRootDown_data();
    void path_joinsNamesFromTheRootDown();
    void setValue_replacesTheValueAndKeepsTheRest();
    void setValue_refusesTheSeparator();
    void setValue_onMissingNodeFails();
    void appendChild_toAnEarlierParent_keepsPreOrderNumbering();
    void model_showsFiveReadOnlyColumns();
    void clear_removesEveryNode();
    void valueOutsideLimits_marksTheRowAndTheHeadingsAboveUntilBackWithin();

    // Typed values
    void typedValue_isCheckedAgainstTheRow_data();
    void typedValue_isCheckedAgainstTheRow();
    void chosenOption_acceptsOnlyTheRowsOwnOptionTexts_data();
    void chosenOption_acceptsOnlyTheRowsOwnOptionTexts();
    void limits_valueTextWithinOrOutside_data();
    void limits_valueTextWithinOrOutside();

    // The dialog
    void dialog_namesTheRowAndListsItsOptions_data();
    void dialog_namesTheRowAndListsItsOptions();
    void dialog_enterAccepts_escapeRejects_data();
    void dialog_enterAccepts_escapeRejects();
    void doubleClick_choosesTheEditorByKind_data();
    void doubleClick_choosesTheEditorByKind();
    void doubleClick_opensNoDialogForRowsWithoutEditor_data();
    void doubleClick_opensNoDialogForRowsWithoutEditor();
    void doubleClick_placesTheDialogAtTheCursorOnTheScreen_data();
    void doubleClick_placesTheDialogAtTheCursorOnTheScreen();
    void doubleClick_presetsTheEditorToTheRowsValue_data();
    void doubleClick_presetsTheEditorToTheRowsValue();
    void confirmingUnchanged_leavesEveryRowAsItWas_data();
    void confirmingUnchanged_leavesEveryRowAsItWas();
    void closingWithoutSet_changesNothing_data();
    void closingWithoutSet_changesNothing();
    void confirmedValue_isWrittenAsTyped_data();
    void confirmedValue_isWrittenAsTyped();
    void refusedValue_keepsTheDialogOpenAndTheRow_data();
    void refusedValue_keepsTheDialogOpenAndTheRow();
    void keysTypedIntoAList_leaveTheRowHoldingOneOfItsOptions_data();
    void keysTypedIntoAList_leaveTheRowHoldingOneOfItsOptions();

    // The tree view
    void treeView_hasTheDesignLook();
    void treeView_reportsTheSelectedNode();
    void treeView_enterAndF2AskToEditTheSelectedRow_data();
    void treeView_enterAndF2AskToEditTheSelectedRow();

private:
    struct Run
    {
        int calls = 0;
        QString editor;
        QString presetText;
        QRect frame;
    };
    // No dialog opened; the dialog still open after the user's part: the value was refused.
    static constexpr int NoDialog = -1;
    static constexpr int StillOpen = -2;
    // Runs one double-click; `act` plays the user on the open dialog and returns QDialog::Accepted to
    // click "Установить", QDialog::Rejected to close it, or anything else when it has done so itself.
    // Gives the editor's outcome as a number, NoDialog or StillOpen.
    int doubleClick(int node, const std::function<int(ParamValueDialog &, QWidget *)> &act,
                    QPoint cursor = {400, 300});

    ParamModel m_tree;
    std::unique_ptr<ParamValueDialog> m_form;
    Messages m_messages;
    std::unique_ptr<MessageRecorder> m_recorder;
    Run m_run;
};

void TestParamTree::init()
{
    m_tree.clear();
    LoadParamTree(PetrolParams(), 83, m_tree);
    m_form = std::make_unique<ParamValueDialog>();
    m_recorder = std::make_unique<MessageRecorder>(m_messages);
    m_run = {};
}

int TestParamTree::doubleClick(int node, const std::function<int(ParamValueDialog &, QWidget *)> &act,
                               QPoint cursor)
{
    ParamEditor editor(m_tree, *m_form, m_messages);
    editor.setLocale(QLocale::c());
    std::optional<int> outcome;
    connect(&editor, &ParamEditor::finished, [&outcome](ParamEditor::Outcome o) { outcome = int(o); });
    if (!editor.edit(node, cursor))
        return NoDialog;
    ++m_run.calls;
    QWidget *shown = shownEditor(*m_form);
    m_run.editor = shown ? shown->objectName() : QString();
    auto *combo = qobject_cast<QComboBox *>(shown);
    m_run.presetText = combo ? combo->currentText() : named<QLineEdit>(*m_form, "valueEdit")->text();
    m_run.frame = m_form->frameGeometry();
    const int result = act(*m_form, shown);
    if (result == QDialog::Accepted)
        named<QPushButton>(*m_form, "setButton")->click();
    else if (result == QDialog::Rejected)
        m_form->reject();
    if (outcome)
        return *outcome;
    // Closed by the fixture, so that the next run starts on a closed dialog.
    m_form->reject();
    return StillOpen;
}

// ---------------------------------------------------------------- the model

void TestParamTree::loadParamTree_buildsOneNodePerRowInCatalogueOrder_data()
{
    QTest::addColumn<DeviceVariant>("variant");
    QTest::newRow("petrol") << DeviceVariant::Petrol;
    QTest::newRow("diesel") << DeviceVariant::Diesel;
    QTest::newRow("dry contact") << DeviceVariant::DryContact;
}

void TestParamTree::loadParamTree_buildsOneNodePerRowInCatalogueOrder()
{
    QFETCH(DeviceVariant, variant);
    const ParamTable &table = CatalogueFor(variant);
    m_tree.clear();
    LoadParamTree(table, HighestIndexFor(variant), m_tree);
    QCOMPARE(m_tree.nodeCount(), int(table.size()));

    // A pre-order walk through the item model meets the rows in table order.
    int visited = 0;
    std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
        for (int row = 0; row < m_tree.rowCount(parent); ++row) {
            const QModelIndex index = m_tree.index(row, 0, parent);
            const int node = m_tree.nodeOf(index);
            QCOMPARE(node, visited);
            QCOMPARE(m_tree.row(node), table.at(node));
            QCOMPARE(m_tree.indexOfNode(node), index);
            ++visited;
            walk(index);
        }
    };
    walk({});
    QCOMPARE(visited, int(table.size()));
}

void TestParamTree::loadParamTree_hangsRowsUnderTheLastShallowerNode()
{
    QCOMPARE(m_tree.rowCount(), 7); // engine type, mains, generator, UPS battery, GSM, sensor, serial
    QCOMPARE(m_tree.parentNode(0), -1);
    QCOMPARE(m_tree.parentNode(MainsLower), 2);
    QCOMPARE(m_tree.parentNode(2), MainsHeading);
    // After the level-1 "Контроль АКБ ИБП" the level-2 rows hang under it, not under the
    // earlier level-2 "Контроль АКБ ГУ".
    QCOMPARE(m_tree.parentNode(UpsOnOff), UpsHeading);
    QCOMPARE(m_tree.rowCount(m_tree.indexOfNode(UpsHeading)), 4);
    QCOMPARE(m_tree.parentNode(TemperatureRow), 80);
    QCOMPARE(m_tree.parentNode(Serial), -1);
}

void TestParamTree::loadParamTree_neverClearsAndStopsAtTheHighestIndex()
{
    LoadParamTree(DieselParams(), 82, m_tree);
    QCOMPARE(m_tree.nodeCount(), 84 + 83);
    QCOMPARE(ValueText(m_tree.row(84)), QStringLiteral("дизель"));
    QCOMPARE(m_tree.parentNode(84 + 3), 84 + 2);

    m_tree.clear();
    LoadParamTree(PetrolParams(), 7, m_tree);
    QCOMPARE(m_tree.nodeCount(), 8);
    LoadParamTree(PetrolParams(), 500, m_tree); // beyond the table: stops at its end
    QCOMPARE(m_tree.nodeCount(), 8 + 84);
}

void TestParamTree::row_holdsTheCatalogueRowsFields()
{
    const CatalogueRow mainsLower{3,       "Нижний порог",        ParamValue::ofNumber(180),
                                  "Вольт", ValueLimits{160, 220}, 2,
                                  36,      ParamKind::Number};
    QCOMPARE(m_tree.row(MainsLower), mainsLower);
    QCOMPARE(m_tree.row(MainsHeading),
             (CatalogueRow{1, "Параметры сети", {}, {}, {}, 0, 0, ParamKind::Group}));
    QCOMPARE(ValueText(m_tree.row(Serial)), QString(10, QLatin1Char(' ')));
    QCOMPARE(m_tree.row(Serial).kind, ParamKind::ReadOnly);
    QCOMPARE(MaxText(m_tree.row(TemperatureRow)), QStringLiteral("+70"));
    QCOMPARE(m_tree.row(84), CatalogueRow());
}

void TestParamTree::path_joinsNamesFromTheRootDown_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<QString>("path");
    QTest::newRow("root") << 0 << QStringLiteral("Тип двигателя электрогенератора");
    QTest::newRow("third level") << MainsLower
                                 << QStringLiteral("Параметры сети / Напряжение сети / Нижний порог");
    QTest::newRow("choke time")
        << 21
        << QStringLiteral(
               "Параметры электрогенератора / Запуск электрогенератора / Маx время закрытой заслонки");
    QTest::newRow("second level") << TemperatureRow
                                  << QStringLiteral("Термодатчик / Нижний порог температуры");
    QTest::newRow("missing node") << 84 << QString();
}

void TestParamTree::path_joinsNamesFromTheRootDown()
{
    QFETCH(int, node);
    QFETCH(QString, path);
    QCOMPARE(m_tree.path(node), path);
}

void TestParamTree::setValue_replacesTheValueAndKeepsTheRest()
{
    const CatalogueRow upper = m_tree.row(4);
    CatalogueRow expected = m_tree.row(MainsLower);
    expected.value = ParamValue::ofNumber(200);
    QSignalSpy changed(&m_tree, &QAbstractItemModel::dataChanged);
    QVERIFY(m_tree.setValue(MainsLower, QStringLiteral("200")));
    QCOMPARE(m_tree.row(MainsLower), expected);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex(), m_tree.indexOfNode(MainsLower, ParamModel::ValueColumn));
    QCOMPARE(m_tree.data(m_tree.indexOfNode(MainsLower, 1)).toString(), QStringLiteral("200"));

    // The same value again redraws nothing.
    QVERIFY(m_tree.setValue(MainsLower, QStringLiteral("200")));
    QCOMPARE(changed.count(), 1);

    // Other nodes are untouched.
    QCOMPARE(m_tree.row(4), upper);
}

void TestParamTree::setValue_refusesTheSeparator()
{
    const CatalogueRow before = m_tree.row(Login);
    QSignalSpy changed(&m_tree, &QAbstractItemModel::dataChanged);
    QVERIFY(!m_tree.setValue(Login, QStringLiteral("a;b")));
    QCOMPARE(m_tree.row(Login), before);
    QCOMPARE(changed.count(), 0);
}

void TestParamTree::setValue_onMissingNodeFails()
{
    QVERIFY(!m_tree.setValue(-1, QStringLiteral("1")));
    QVERIFY(!m_tree.setValue(84, QStringLiteral("1")));
    QCOMPARE(m_tree.row(84).name, QString());
    QCOMPARE(ValueText(m_tree.row(-1)), QString());
}

void TestParamTree::appendChild_toAnEarlierParent_keepsPreOrderNumbering()
{
    ParamModel tree;
    const auto named = [](const char *name) { return CatalogueRow{1, name, {}, {}, {}, 0, 0, {}}; };
    const int a = tree.appendRoot(named("A"));
    const int b = tree.appendRoot(named("B"));
    const int b1 = tree.appendChild(b, named("B1"));
    const int a1 = tree.appendChild(a, named("A1"));
    QCOMPARE(a1, 1);
    QCOMPARE(tree.row(0).name, QStringLiteral("A"));
    QCOMPARE(tree.row(1).name, QStringLiteral("A1"));
    QCOMPARE(tree.row(2).name, QStringLiteral("B"));
    QCOMPARE(tree.row(3).name, QStringLiteral("B1"));
    QCOMPARE(tree.row(3).level, 2);
    QCOMPARE(tree.parentNode(3), 2);
    QCOMPARE(tree.nodeOf(tree.index(0, 0, tree.indexOfNode(2))), 3);
    QCOMPARE(b1, 2); // its number when it was made
    QCOMPARE(tree.appendChild(7, named("orphan")), -1);
    QCOMPARE(tree.nodeCount(), 4);
}

void TestParamTree::model_showsFiveReadOnlyColumns()
{
    QCOMPARE(m_tree.columnCount(), 5);
    const QStringList headers = {"Параметр", "Значение", "Ед. измер.", "Мин. знач", "Макс.знач."};
    for (int c = 0; c < headers.size(); ++c)
        QCOMPARE(m_tree.headerData(c, Qt::Horizontal).toString(), headers.at(c));
    QVERIFY(!m_tree.headerData(5, Qt::Horizontal).isValid());

    const QModelIndex max = m_tree.indexOfNode(MainsLower, 4);
    QCOMPARE(m_tree.data(max).toString(), QStringLiteral("220"));
    QVERIFY(!m_tree.indexOfNode(MainsLower, 5).isValid());
    QCOMPARE(m_tree.flags(max), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
}

void TestParamTree::clear_removesEveryNode()
{
    QSignalSpy reset(&m_tree, &QAbstractItemModel::modelReset);
    m_tree.clear();
    QCOMPARE(m_tree.nodeCount(), 0);
    QCOMPARE(m_tree.rowCount(), 0);
    QCOMPARE(reset.count(), 1);
}

void TestParamTree::valueOutsideLimits_marksTheRowAndTheHeadingsAboveUntilBackWithin()
{
    constexpr int Day = 25, Hour = 26, Minute = 27;
    const auto limitsOf = [this](int node, int column) {
        return ParamModel::Limits(m_tree.indexOfNode(node, column).data(ParamModel::LimitsRole).toInt());
    };
    QSignalSpy changed(&m_tree, &QAbstractItemModel::dataChanged);
    QVERIFY(m_tree.setValue(Day, QStringLiteral("200")));
    QVERIFY(m_tree.setValue(Hour, QStringLiteral("99")));
    QVERIFY(m_tree.setValue(Minute, QStringLiteral("59")));

    const QString dayMark = QStringLiteral("Вне допустимых пределов: 1…7");
    for (int column = 0; column < 5; ++column) {
        const QModelIndex day = m_tree.indexOfNode(Day, column);
        QCOMPARE(limitsOf(Day, column), ParamModel::Limits::Outside);
        QCOMPARE(day.data(Qt::ToolTipRole).toString(), dayMark);
        QCOMPARE(day.data(Qt::AccessibleDescriptionRole).toString(), dayMark);
    }
    QCOMPARE(m_tree.indexOfNode(Hour, 1).data(Qt::ToolTipRole).toString(),
             QStringLiteral("Вне допустимых пределов: 0…23"));
    QCOMPARE(limitsOf(Minute, 1), ParamModel::Limits::Within);
    QVERIFY(!m_tree.indexOfNode(Minute, 1).data(Qt::ToolTipRole).isValid());
    // The collapsed headings above tell how many rows below lie outside.
    for (int above = m_tree.parentNode(Day); above >= 0; above = m_tree.parentNode(above)) {
        QCOMPARE(limitsOf(above, 0), ParamModel::Limits::OutsideBelow);
        QCOMPARE(m_tree.indexOfNode(above).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("Параметров вне допустимых пределов: 2"));
    }
    QCOMPARE(limitsOf(MainsHeading, 0), ParamModel::Limits::Within);
    const QVector<ValueOutsideLimits> outside = ValuesOutsideLimits(m_tree);
    QCOMPARE(outside.size(), 2);
    QCOMPARE(outside.first().path,
             QStringLiteral("Параметры электрогенератора / Еженедельный тестовый запуск / День недели"));
    QCOMPARE(outside.first().value, QStringLiteral("200"));
    QCOMPARE(outside.last().node, Hour);
    const bool markRedrawn =
        std::any_of(changed.cbegin(), changed.cend(), [this](const QList<QVariant> &args) {
            return args.at(0).toModelIndex().row() == m_tree.indexOfNode(Day).row() &&
                   args.at(2).value<QList<int>>().contains(ParamModel::LimitsRole);
        });
    QVERIFY(markRedrawn);

    QVERIFY(m_tree.setValue(Day, QStringLiteral("7")));
    QVERIFY(m_tree.setValue(Hour, QStringLiteral("23")));
    QCOMPARE(limitsOf(Day, 1), ParamModel::Limits::Within);
    QVERIFY(!m_tree.indexOfNode(Day, 1).data(Qt::ToolTipRole).isValid());
    QCOMPARE(limitsOf(m_tree.parentNode(Day), 0), ParamModel::Limits::Within);
    QVERIFY(ValuesOutsideLimits(m_tree).isEmpty());
}

// ---------------------------------------------------------------- typed values

void TestParamTree::typedValue_isCheckedAgainstTheRow_data()
{
    QTest::addColumn<CatalogueRow>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("warning"); // empty: accepted

    // The size, kind and limits of a row.
    const auto rowOf = [](int size, ParamKind kind, std::optional<ValueLimits> limits) {
        return CatalogueRow{3, "Row", {}, {}, limits, size, 0, kind};
    };
    const CatalogueRow volts = rowOf(2, ParamKind::Number, ValueLimits{160, 220});
    const CatalogueRow seconds = rowOf(2, ParamKind::Number, ValueLimits{0, 28800});
    const CatalogueRow counter = rowOf(4, ParamKind::Number, ValueLimits{0, 5999940});
    const CatalogueRow temperature = rowOf(1, ParamKind::Temperature, ValueLimits{-30, 70});
    const CatalogueRow phone = rowOf(10, ParamKind::Number, ValueLimits{0, 9999999999});
    const CatalogueRow login = rowOf(16, ParamKind::Number, std::nullopt);
    const CatalogueRow apn = rowOf(32, ParamKind::Number, std::nullopt);
    const QLocale c = QLocale::c();
    const QLocale russian(QLocale::Russian);
    const QString number = EditWarnings::notNumber();
    const QString range = EditWarnings::outOfRange();
    const QString integer = EditWarnings::notInteger();
    const QString digits = EditWarnings::phoneDigits();
    const QString bad = EditWarnings::textBadCharacters();

    QTest::newRow("upper limit accepted") << volts << "220" << c << QString();
    QTest::newRow("lower limit accepted") << volts << "160" << c << QString();
    QTest::newRow("above upper limit") << volts << "221" << c << range;
    QTest::newRow("below lower limit") << volts << "159" << c << range;
    QTest::newRow("leading zeros within range") << volts << "0180" << c << QString();
    QTest::newRow("plus sign within range") << volts << "+180" << c << QString();
    QTest::newRow("letters") << volts << "abc" << c << number;
    QTest::newRow("empty with limits") << volts << "" << c << number;
    QTest::newRow("fraction beyond range") << volts << "220.5" << c << integer;
    QTest::newRow("fraction within range") << volts << "180.5" << c << integer;
    QTest::newRow("fraction, Russian comma") << volts << "180,5" << russian << integer;
    QTest::newRow("Russian comma read as C") << volts << "180,5" << c << number;
    QTest::newRow("whole number written as fraction") << volts << "180.0" << c << integer;
    QTest::newRow("exponent") << volts << "1.8e2" << c << integer;
    QTest::newRow("group separator") << seconds << "1,000" << c << number;
    QTest::newRow("infinity") << seconds << "inf" << c << number;
    QTest::newRow("separator in a number") << volts << "180;1" << c << EditWarnings::separator();
    QTest::newRow("counter top") << counter << "5999940" << c << QString();
    QTest::newRow("counter above top") << counter << "5999941" << c << range;
    QTest::newRow("temperature -30") << temperature << "-30" << c << QString();
    QTest::newRow("temperature 70") << temperature << "70" << c << QString();
    QTest::newRow("temperature +70") << temperature << "+70" << c << QString();
    QTest::newRow("temperature -31") << temperature << "-31" << c << range;
    QTest::newRow("temperature 71") << temperature << "71" << c << range;
    QTest::newRow("temperature -30, Russian") << temperature << "-30" << russian << QString();
    QTest::newRow("temperature fraction") << temperature << "-2.5" << c << integer;
    QTest::newRow("phone with leading zeros") << phone << "0000000001" << c << QString();
    QTest::newRow("phone all nines") << phone << "9999999999" << c << QString();
    QTest::newRow("phone of eleven digits") << phone << "00000000001" << c << digits;
    QTest::newRow("phone of nine digits") << phone << "123456789" << c << digits;
    QTest::newRow("phone with a letter") << phone << "12345a7890" << c << digits;
    QTest::newRow("phone with a sign") << phone << "+123456789" << c << digits;
    QTest::newRow("phone empty") << phone << "" << c << digits;
    QTest::newRow("login default") << login << "vkmtr" << c << QString();
    QTest::newRow("login empty") << login << "" << c << QString();
    QTest::newRow("login of 16") << login << "abcdefghijklmnop" << c << QString();
    QTest::newRow("login of 17") << login << "abcdefghijklmnopq" << c << EditWarnings::textTooLong(16);
    QTest::newRow("apn of 32") << apn << QString(32, QLatin1Char('z')) << c << QString();
    QTest::newRow("apn of 33") << apn << QString(33, QLatin1Char('a')) << c << EditWarnings::textTooLong(32);
    QTest::newRow("login in Cyrillic") << login << "логин" << c << bad;
    QTest::newRow("login with a brace") << login << "a{b" << c << bad;
    QTest::newRow("login with a tilde") << login << "ab~" << c << bad;
    QTest::newRow("login with a euro sign") << login << "ab€" << c << bad;
    QTest::newRow("login not in Windows-1251") << login << "日本" << c << bad;
    QTest::newRow("login with punctuation") << login << "user.name-1_@x" << c << QString();
    QTest::newRow("login with separator") << login << "a;b" << c << EditWarnings::separator();
    // Characters, not UTF-16 units: an emoji is one character, refused as such.
    QTest::newRow("login of 16 characters, one an emoji")
        << login << QStringLiteral("abcdefghijklmno\U0001F600") << c << bad;
    QTest::newRow("login of 17 characters, one an emoji")
        << login << QStringLiteral("abcdefghijklmnop\U0001F600") << c << EditWarnings::textTooLong(16);
    QTest::newRow("row without limits, any text")
        << rowOf(1, ParamKind::Number, std::nullopt) << "abc" << c << QString();
}

void TestParamTree::typedValue_isCheckedAgainstTheRow()
{
    QFETCH(CatalogueRow, row);
    QFETCH(QString, text);
    QFETCH(QLocale, locale);
    QFETCH(QString, warning);
    const EditVerdict verdict = CheckTypedValue(row, text, locale);
    QVERIFY2(verdict.accepted == warning.isEmpty(),
             qPrintable(QStringLiteral("'%1': expected %2, got %3")
                            .arg(text, warning.isEmpty() ? QStringLiteral("accept") : warning,
                                 verdict.accepted ? QStringLiteral("accept") : verdict.warning)));
    QCOMPARE(verdict.warning, warning);
}

void TestParamTree::chosenOption_acceptsOnlyTheRowsOwnOptionTexts_data()
{
    QTest::addColumn<ParamKind>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("warning"); // empty: accepted

    const QString onOff = QStringLiteral("Значение должно быть одним из: «выкл.», «вкл.»");
    const QString messages =
        QStringLiteral("Значение должно быть одним из: «только аварии», «основн. события», «все события»");
    const QString engine =
        QStringLiteral("Значение должно быть одним из: «бензин», «дизель», «сухой контакт»");
    const QString access =
        QStringLiteral("Значение должно быть одним из: «выкл.», «информир.», «управление»");
    const QString testStart =
        QStringLiteral("Значение должно быть одним из: «выкл.», «без подключ. нагр.», «с подключ. нагр.»");
    for (ParamKind kind : {ParamKind::OnOff, ParamKind::Language, ParamKind::MessageType,
                           ParamKind::EngineType, ParamKind::AccessLevel, ParamKind::TestStartMode}) {
        for (const QString &option : OptionTexts(kind))
            QTest::addRow("kind %d, %s", int(kind), qPrintable(option)) << kind << option << QString();
    }
    QTest::newRow("on/off without its full stop") << ParamKind::OnOff << "выкл" << onOff;
    QTest::newRow("on/off in capitals") << ParamKind::OnOff << "ВКЛ." << onOff;
    QTest::newRow("on/off with a blank before") << ParamKind::OnOff << " вкл." << onOff;
    QTest::newRow("on/off empty") << ParamKind::OnOff << "" << onOff;
    QTest::newRow("on/off given an access level") << ParamKind::OnOff << "информир." << onOff;
    QTest::newRow("language made up")
        << ParamKind::Language << "нем." << QStringLiteral("Значение должно быть одним из: «англ.», «рус.»");
    QTest::newRow("message type made up") << ParamKind::MessageType << "никакие" << messages;
    QTest::newRow("engine type with a trailing blank") << ParamKind::EngineType << "бензин " << engine;
    QTest::newRow("engine type empty, as a blank controller shows it")
        << ParamKind::EngineType << "" << engine;
    QTest::newRow("access level given an on/off text") << ParamKind::AccessLevel << "вкл." << access;
    QTest::newRow("test start mode made up") << ParamKind::TestStartMode << "да" << testStart;
    QTest::newRow("option followed by the separator")
        << ParamKind::OnOff << "вкл.;1" << EditWarnings::separator();
}

void TestParamTree::chosenOption_acceptsOnlyTheRowsOwnOptionTexts()
{
    QFETCH(ParamKind, kind);
    QFETCH(QString, text);
    QFETCH(QString, warning);
    const EditVerdict verdict = CheckChosenOption(CatalogueRow{3, "Row", {}, {}, {}, 1, 0, kind}, text);
    QVERIFY2(verdict.accepted == warning.isEmpty(),
             qPrintable(QStringLiteral("'%1': expected %2, got %3")
                            .arg(text, warning.isEmpty() ? QStringLiteral("accept") : warning,
                                 verdict.accepted ? QStringLiteral("accept") : verdict.warning)));
    QCOMPARE(verdict.warning, warning);
}

void TestParamTree::limits_valueTextWithinOrOutside_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("max");
    QTest::addColumn<bool>("within");

    QTest::newRow("day 7 of 1..7") << "7"
                                   << "1"
                                   << "7" << true;
    QTest::newRow("day 1 of 1..7") << "1"
                                   << "1"
                                   << "7" << true;
    QTest::newRow("day 200 of 1..7") << "200"
                                     << "1"
                                     << "7" << false;
    QTest::newRow("day 0 of 1..7") << "0"
                                   << "1"
                                   << "7" << false;
    QTest::newRow("minute 250 of 0..59") << "250"
                                         << "0"
                                         << "59" << false;
    QTest::newRow("SMS timeout 65535 of 60..65534") << "65535"
                                                    << "60"
                                                    << "65534" << false;
    QTest::newRow("start/stop timeout 65535 of 1..65535") << "65535"
                                                          << "1"
                                                          << "65535" << true;
    QTest::newRow("counter -1 of 0..5999940") << "-1"
                                              << "0"
                                              << "5999940" << false;
    QTest::newRow("counter 5999940") << "5999940"
                                     << "0"
                                     << "5999940" << true;
    QTest::newRow("temperature -30 of -30..+70") << "-30"
                                                 << "-30"
                                                 << "+70" << true;
    QTest::newRow("temperature +70 of -30..+70") << "+70"
                                                 << "-30"
                                                 << "+70" << true;
    QTest::newRow("temperature 71 of -30..+70") << "71"
                                                << "-30"
                                                << "+70" << false;
    QTest::newRow("temperature -31 of -30..+70") << "-31"
                                                 << "-30"
                                                 << "+70" << false;
    QTest::newRow("leading zeros") << "0180"
                                   << "160"
                                   << "220" << true;
    QTest::newRow("phone of ten digits") << "0123456789"
                                         << "0000000000"
                                         << "9999999999" << true;
    QTest::newRow("phone left empty by a blank controller") << ""
                                                            << "0000000000"
                                                            << "9999999999" << false;
    QTest::newRow("phone with a byte beyond the digits") << "01:3456789"
                                                         << "0000000000"
                                                         << "9999999999" << false;
    QTest::newRow("row without limits, any text") << "abc"
                                                  << ""
                                                  << "" << true;
}

void TestParamTree::limits_valueTextWithinOrOutside()
{
    QFETCH(QString, value);
    QFETCH(QString, min);
    QFETCH(QString, max);
    QFETCH(bool, within);
    // A phone row holds its digits as text, a row without limits any text, other rows whole numbers.
    CatalogueRow row{
        3, "Row", {}, {}, {}, min.isEmpty() ? 16 : min.size() == 10 ? 10 : 4, 0, ParamKind::Number};
    if (!min.isEmpty())
        row.limits = ValueLimits{min.toDouble(), max.toDouble()};
    const std::optional<ParamValue> held = ValueFromText(row, value);
    QVERIFY(held);
    row.value = *held;
    QCOMPARE(OutsideLimits(row), !within);
}

// ---------------------------------------------------------------- the dialog

void TestParamTree::dialog_namesTheRowAndListsItsOptions_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("options"); // empty: the edit field
    const QString access =
        QStringLiteral("Параметры GSM модема / Телефонный номер 1 / Активность и уровень доступа");
    QTest::newRow("number") << MainsLower
                            << "Параметры сети / Напряжение сети / Нижний порог\nВольт, Допустимо: 160…220"
                            << QStringList();
    QTest::newRow("temperature") << TemperatureRow
                                 << "Термодатчик / Нижний порог температуры\nградус, Допустимо: -30…+70"
                                 << QStringList();
    QTest::newRow("text") << Login << "Параметры GSM модема / GPRS мониторинг / Login" << QStringList();
    QTest::newRow("on/off")
        << GeneratorOnOff << "Параметры электрогенератора / Напряжение электрогенератора / Активность функции"
        << OptionTexts(ParamKind::OnOff);
    QTest::newRow("access level") << Phone1Access << access << OptionTexts(ParamKind::AccessLevel);
    QTest::newRow("engine type") << 0 << "Тип двигателя электрогенератора"
                                 << OptionTexts(ParamKind::EngineType);
}

void TestParamTree::dialog_namesTheRowAndListsItsOptions()
{
    QFETCH(int, node);
    QFETCH(QString, caption);
    QFETCH(QStringList, options);
    const ParamValueDialog &form = *m_form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Установка параметра"));
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint) && flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint) && !flags.testFlag(Qt::WindowMinMaxButtonsHint));

    QStringList items;
    QWidget *next = nullptr;
    doubleClick(node, [&](ParamValueDialog &, QWidget *shown) {
        if (auto *combo = qobject_cast<QComboBox *>(shown))
            items = itemsOf(combo);
        next = shown->nextInFocusChain();
        while (next && (next->focusPolicy() == Qt::NoFocus || next->isHidden()))
            next = next->nextInFocusChain();
        return QDialog::Rejected;
    });
    QCOMPARE(m_run.editor, QString(options.isEmpty() ? "valueEdit" : "optionCombo"));
    QCOMPARE(named<QLabel>(form, "paramCaption")->text(), caption);
    QCOMPARE(items, options);
    QCOMPARE(editorName(next), QStringLiteral("setButton"));
    QCOMPARE(named<QPushButton>(form, "setButton")->text(), QStringLiteral("Установить"));
    QVERIFY(named<QPushButton>(form, "setButton")->isDefault());
    // The title fits its bar beside the buttons, in the desktop's font.
    QVERIFY(m_run.frame.width() >
            QFontMetrics(QApplication::font()).horizontalAdvance(form.windowTitle()) + 60);
}

void TestParamTree::dialog_enterAccepts_escapeRejects_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("outcome");
    const int applied = int(ParamEditor::Outcome::Applied);
    const int cancelled = int(ParamEditor::Outcome::Cancelled);
    QTest::newRow("Enter in the edit field") << MainsLower << int(Qt::Key_Return) << applied;
    QTest::newRow("Escape in the edit field") << MainsLower << int(Qt::Key_Escape) << cancelled;
    QTest::newRow("Enter in the option list") << GeneratorOnOff << int(Qt::Key_Return) << applied;
    QTest::newRow("Escape in the option list") << GeneratorOnOff << int(Qt::Key_Escape) << cancelled;
}

void TestParamTree::dialog_enterAccepts_escapeRejects()
{
    QFETCH(int, node);
    QFETCH(int, key);
    QFETCH(int, outcome);
    QWidget *focused = nullptr;
    const int result = doubleClick(node, [&](ParamValueDialog &form, QWidget *shown) {
        if (!QTest::qWaitForWindowExposed(&form))
            return int(QDialog::Rejected);
        focused = form.focusWidget();
        QTest::keyClick(shown, Qt::Key(key));
        return StillOpen;
    });
    QCOMPARE(result, outcome);
    // The editor takes the focus when the dialog comes up.
    QCOMPARE(editorName(focused), m_run.editor);
    QVERIFY(m_form->isHidden());
}

void TestParamTree::doubleClick_choosesTheEditorByKind_data()
{
    QTest::addColumn<ParamKind>("kind");
    QTest::addColumn<QString>("editor");
    QTest::newRow("number") << ParamKind::Number << "valueEdit";
    QTest::newRow("temperature") << ParamKind::Temperature << "valueEdit";
    QTest::newRow("on/off") << ParamKind::OnOff << "optionCombo";
    QTest::newRow("language") << ParamKind::Language << "optionCombo";
    QTest::newRow("message type") << ParamKind::MessageType << "optionCombo";
    QTest::newRow("engine type") << ParamKind::EngineType << "optionCombo";
    QTest::newRow("access level") << ParamKind::AccessLevel << "optionCombo";
    QTest::newRow("test start mode") << ParamKind::TestStartMode << "optionCombo";
    QTest::newRow("heading") << ParamKind::Group << "";
    QTest::newRow("read-only") << ParamKind::ReadOnly << "";
    QTest::newRow("unknown kind 9") << ParamKind(9) << "";
    QTest::newRow("unknown kind 254") << ParamKind(254) << "";
}

void TestParamTree::doubleClick_choosesTheEditorByKind()
{
    QFETCH(ParamKind, kind);
    QFETCH(QString, editor);
    m_tree.clear();
    const int node = m_tree.appendRoot(CatalogueRow{1, "Row", {}, {}, {}, 1, 0, kind});
    const int outcome = doubleClick(node, [](ParamValueDialog &, QWidget *) { return QDialog::Rejected; });
    if (editor.isEmpty()) {
        QCOMPARE(outcome, NoDialog);
        QCOMPARE(m_run.calls, 0);
    } else {
        QCOMPARE(outcome, int(ParamEditor::Outcome::Cancelled));
        QCOMPARE(m_run.calls, 1);
        QCOMPARE(m_run.editor, editor);
    }
}

void TestParamTree::doubleClick_opensNoDialogForRowsWithoutEditor_data()
{
    QTest::addColumn<int>("node");
    QTest::newRow("heading") << MainsHeading;
    QTest::newRow("sent counter") << SentCounter;
    QTest::newRow("serial number") << Serial;
    QTest::newRow("nothing selected") << -1;
}

void TestParamTree::doubleClick_opensNoDialogForRowsWithoutEditor()
{
    QFETCH(int, node);
    const CatalogueRow before = m_tree.row(node);
    QCOMPARE(doubleClick(node, [](ParamValueDialog &, QWidget *) { return QDialog::Accepted; }), NoDialog);
    QCOMPARE(m_run.calls, 0);
    QCOMPARE(m_tree.row(node), before);
    QCOMPARE(m_recorder->count(), 0);
}

void TestParamTree::doubleClick_placesTheDialogAtTheCursorOnTheScreen_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<QPoint>("fromCentre"); // where the cursor is, from the screen's centre
    QTest::newRow("edit field mid-screen") << MainsLower << QPoint(0, 0);
    QTest::newRow("option list mid-screen") << Phone1Access << QPoint(0, 0);
    QTest::newRow("long path at the right edge") << Phone1Messages << QPoint(10000, 0);
    QTest::newRow("at the bottom edge") << MainsLower << QPoint(0, 10000);
}

void TestParamTree::doubleClick_placesTheDialogAtTheCursorOnTheScreen()
{
    QFETCH(int, node);
    QFETCH(QPoint, fromCentre);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint cursor(std::min(screen.right(), screen.center().x() + fromCentre.x()),
                        std::min(screen.bottom(), screen.center().y() + fromCentre.y()));
    doubleClick(
        node, [](ParamValueDialog &, QWidget *) { return QDialog::Rejected; }, cursor);
    QCOMPARE(m_run.calls, 1);
    QVERIFY2(screen.contains(m_run.frame), qPrintable(QStringLiteral("dialog at %1,%2 %3x%4")
                                                          .arg(m_run.frame.x())
                                                          .arg(m_run.frame.y())
                                                          .arg(m_run.frame.width())
                                                          .arg(m_run.frame.height())));
    if (fromCentre.isNull())
        QVERIFY(m_run.frame.contains(cursor));
}

void TestParamTree::doubleClick_presetsTheEditorToTheRowsValue_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<QString>("value"); // empty: no value, as a blank controller leaves an option row
    QTest::addColumn<QString>("shown");
    QTest::newRow("number") << StarterTime << "7"
                            << "7";
    QTest::newRow("temperature") << TemperatureRow << "-12"
                                 << "-12";
    QTest::newRow("phone") << Phone1 << "0123456789"
                           << "0123456789";
    QTest::newRow("login") << Login << "user"
                           << "user";
    QTest::newRow("on/off listed") << GeneratorOnOff << "выкл."
                                   << "выкл.";
    QTest::newRow("message type listed") << Phone1Messages << "все события"
                                         << "все события";
    QTest::newRow("engine type empty after a blank device") << 0 << ""
                                                            << "";
}

void TestParamTree::doubleClick_presetsTheEditorToTheRowsValue()
{
    QFETCH(int, node);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    QVERIFY(value.isEmpty() ? m_tree.setValue(node, ParamValue()) : m_tree.setValue(node, value));
    doubleClick(node, [](ParamValueDialog &, QWidget *) { return QDialog::Rejected; });
    QCOMPARE(m_run.presetText, shown);
}

void TestParamTree::confirmingUnchanged_leavesEveryRowAsItWas_data()
{
    QTest::addColumn<DeviceVariant>("variant");
    QTest::newRow("petrol") << DeviceVariant::Petrol;
    QTest::newRow("diesel") << DeviceVariant::Diesel;
    QTest::newRow("dry contact") << DeviceVariant::DryContact;
}

void TestParamTree::confirmingUnchanged_leavesEveryRowAsItWas()
{
    QFETCH(DeviceVariant, variant);
    m_tree.clear();
    LoadParamTree(CatalogueFor(variant), HighestIndexFor(variant), m_tree);
    int edited = 0;
    for (int node = 0; node < m_tree.nodeCount(); ++node) {
        const CatalogueRow before = m_tree.row(node);
        const int outcome =
            doubleClick(node, [](ParamValueDialog &, QWidget *) { return QDialog::Accepted; });
        QVERIFY2(
            m_tree.row(node) == before,
            qPrintable(QStringLiteral("%1 became %2").arg(describe(before), describe(m_tree.row(node)))));
        if (outcome != NoDialog) {
            QVERIFY2(outcome == int(ParamEditor::Outcome::Applied), qPrintable(describe(before)));
            ++edited;
        }
    }
    QCOMPARE(m_recorder->count(), 0);
    QVERIFY2(edited > 40, qPrintable(QString::number(edited)));
}

void TestParamTree::closingWithoutSet_changesNothing_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<QString>("typed");
    QTest::newRow("number") << MainsLower << "200";
    QTest::newRow("number made invalid") << MainsLower << "abc";
    QTest::newRow("combo") << GeneratorOnOff << "выкл.";
    QTest::newRow("combo typed") << Phone1Access << "управление";
}

void TestParamTree::closingWithoutSet_changesNothing()
{
    QFETCH(int, node);
    QFETCH(QString, typed);
    const CatalogueRow before = m_tree.row(node);
    const int outcome = doubleClick(node, [&](ParamValueDialog &, QWidget *shown) {
        if (auto *combo = qobject_cast<QComboBox *>(shown))
            combo->setCurrentText(typed);
        else
            static_cast<QLineEdit *>(shown)->setText(typed);
        return QDialog::Rejected;
    });
    QCOMPARE(outcome, int(ParamEditor::Outcome::Cancelled));
    QCOMPARE(m_tree.row(node), before);
    QCOMPARE(m_recorder->count(), 0);
}

void TestParamTree::confirmedValue_isWrittenAsTyped_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<QString>("typed"); // for a combo: an item index as text, or the text to type
    QTest::addColumn<QString>("value");
    QTest::newRow("upper limit") << MainsLower << "220"
                                 << "220";
    QTest::newRow("plus sign, a number") << MainsLower << "+200"
                                         << "200";
    QTest::newRow("leading zeros kept") << Phone1 << "0000000001"
                                        << "0000000001";
    QTest::newRow("temperature -30") << TemperatureRow << "-30"
                                     << "-30";
    QTest::newRow("temperature 70") << TemperatureRow << "70"
                                    << "70";
    QTest::newRow("login") << Login << "admin"
                           << "admin";
    QTest::newRow("on/off item 1") << GeneratorOnOff << "#1"
                                   << "вкл.";
    QTest::newRow("message type item 2") << Phone1Messages << "#2"
                                         << "все события";
    QTest::newRow("engine type item 1") << 0 << "#1"
                                        << "дизель";
    QTest::newRow("option chosen by its text") << UpsOnOff << "вкл."
                                               << "вкл.";
}

void TestParamTree::confirmedValue_isWrittenAsTyped()
{
    QFETCH(int, node);
    QFETCH(QString, typed);
    QFETCH(QString, value);
    const CatalogueRow before = m_tree.row(node);
    const int outcome = doubleClick(node, [&](ParamValueDialog &, QWidget *shown) {
        if (auto *combo = qobject_cast<QComboBox *>(shown)) {
            if (typed.startsWith(QLatin1Char('#')))
                combo->setCurrentIndex(typed.mid(1).toInt());
            else
                combo->setCurrentText(typed);
        } else {
            static_cast<QLineEdit *>(shown)->setText(typed);
        }
        return QDialog::Accepted;
    });
    QCOMPARE(outcome, int(ParamEditor::Outcome::Applied));
    CatalogueRow expected = before;
    expected.value = m_tree.row(node).value;
    QCOMPARE(m_tree.row(node), expected);
    QCOMPARE(ValueText(m_tree.row(node)), value);
    QCOMPARE(m_recorder->count(), 0);
}

void TestParamTree::refusedValue_keepsTheDialogOpenAndTheRow_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal");
    const QString range = EditWarnings::outOfRange() + QLatin1Char('\n');
    QTest::newRow("letters") << MainsLower << "abc" << EditWarnings::notNumber();
    QTest::newRow("above range") << MainsLower << "221" << range + "Допустимо: 160…220";
    QTest::newRow("below range") << MainsLower << "159" << range + "Допустимо: 160…220";
    QTest::newRow("fraction") << MainsLower << "180.5" << EditWarnings::notInteger();
    QTest::newRow("temperature -31") << TemperatureRow << "-31" << range + "Допустимо: -30…+70";
    QTest::newRow("temperature 71") << TemperatureRow << "71" << range + "Допустимо: -30…+70";
    QTest::newRow("eleven-digit phone") << Phone1 << "00000000001" << EditWarnings::phoneDigits();
    QTest::newRow("long login") << Login << "abcdefghijklmnopq" << EditWarnings::textTooLong(16);
    QTest::newRow("Cyrillic login") << Login << "вход" << EditWarnings::textBadCharacters();
    QTest::newRow("separator in a number") << MainsLower << "180;" << EditWarnings::separator();
}

void TestParamTree::refusedValue_keepsTheDialogOpenAndTheRow()
{
    QFETCH(int, node);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    const CatalogueRow before = m_tree.row(node);
    QString shown;
    const int outcome = doubleClick(node, [&](ParamValueDialog &form, QWidget *editor) {
        static_cast<QLineEdit *>(editor)->setText(typed);
        named<QPushButton>(form, "setButton")->click();
        if (form.isVisible() && !named<QLabel>(form, "refusalLabel")->isHidden())
            shown = named<QLabel>(form, "refusalLabel")->text();
        // The technician corrects the value in the open dialog.
        static_cast<QLineEdit *>(editor)->setText(ValueText(before));
        return StillOpen;
    });
    QCOMPARE(outcome, StillOpen);
    QCOMPARE(shown, refusal);
    QCOMPARE(m_tree.row(node), before);
    QCOMPARE(m_recorder->count(), 0);
}

void TestParamTree::keysTypedIntoAList_leaveTheRowHoldingOneOfItsOptions_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");
    QTest::newRow("off without its full stop") << GeneratorOnOff << "вкл."
                                               << "выкл"
                                               << "выкл.";
    QTest::newRow("engine type in capitals") << 0 << "бензин"
                                             << "ДИЗ"
                                             << "дизель";
    QTest::newRow("access level, first letters") << Phone1Access << "выкл."
                                                 << "упр"
                                                 << "управление";
    QTest::newRow("a word no option starts with") << Phone1Messages << "основн. события"
                                                  << "xyz"
                                                  << "основн. события";
    QTest::newRow("an option and the separator") << SensorOnOff << "выкл."
                                                 << "вкл.;"
                                                 << "вкл.";
    QTest::newRow("empty engine type confirmed without a choice") << 0 << ""
                                                                  << ""
                                                                  << "";
}

void TestParamTree::keysTypedIntoAList_leaveTheRowHoldingOneOfItsOptions()
{
    QFETCH(int, node);
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    QVERIFY(before.isEmpty() ? m_tree.setValue(node, ParamValue()) : m_tree.setValue(node, before));
    const int outcome = doubleClick(node, [&](ParamValueDialog &form, QWidget *shown) {
        if (!QTest::qWaitForWindowExposed(&form))
            return int(QDialog::Rejected);
        // Letter by letter, as a keyboard with a Cyrillic layout gives them.
        for (QChar c : keys)
            QTest::sendKeyEvent(QTest::Click, shown, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::keyClick(shown, Qt::Key_Return);
        return StillOpen;
    });
    QCOMPARE(outcome, int(ParamEditor::Outcome::Applied));
    QCOMPARE(ValueText(m_tree.row(node)), after);
    QVERIFY2(m_recorder->count() == 0, qPrintable(m_recorder->texts().join(QLatin1Char('|'))));
}

// ---------------------------------------------------------------- the tree view

void TestParamTree::treeView_hasTheDesignLook()
{
    ParamTreeView view;
    view.setModel(&m_tree);
    view.resize(787, 449);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // The name column takes what the others leave, at least its design width.
    const int widths[] = {0, 150, 100, 100, 100};
    for (int c = 1; c < 5; ++c)
        QCOMPARE(view.columnWidth(c), widths[c]);
    QVERIFY(view.columnWidth(0) >= 300);
    QCOMPARE(view.header()->length(), view.viewport()->width());
    view.resize(1287, 449);
    QCOMPARE(view.header()->length(), view.viewport()->width());
    QCOMPARE(view.textElideMode(), Qt::ElideMiddle);
    QCOMPARE(view.header()->height(), 25);
    QCOMPARE(view.font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(view.font().pixelSize(), 13);
    QCOMPARE(view.header()->font().pixelSize(), 13);
    QCOMPARE(view.header()->sectionResizeMode(0), QHeaderView::Stretch);
    QCOMPARE(view.indentation(), 19);
    QCOMPARE(view.editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(view.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(view.selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(view.uniformRowHeights());

    const int rowHeight = view.visualRect(m_tree.indexOfNode(0)).height();
    QCOMPARE(rowHeight, std::max(14, view.fontMetrics().height()));
    QVERIFY2(
        rowHeight >= 14 && rowHeight >= view.fontMetrics().height(),
        qPrintable(QStringLiteral("row %1 px, font %2 px").arg(rowHeight).arg(view.fontMetrics().height())));
    // Nothing is expanded or selected after loading.
    QVERIFY(!view.isExpanded(m_tree.indexOfNode(MainsHeading)));
    QCOMPARE(view.selectedNode(), -1);

    const QPalette palette = view.palette();
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight),
             palette.color(QPalette::Active, QPalette::Highlight));

    // A name's tooltip is its whole path, however much of it the column shows.
    view.selectNode(Phone1Messages);
    const QRect name = view.visualRect(m_tree.indexOfNode(Phone1Messages));
    QHelpEvent help(QEvent::ToolTip, name.center(), view.viewport()->mapToGlobal(name.center()));
    QCoreApplication::sendEvent(view.viewport(), &help);
    QCOMPARE(QToolTip::text(), m_tree.path(Phone1Messages));
}

void TestParamTree::treeView_reportsTheSelectedNode()
{
    ParamTreeView view;
    QCOMPARE(view.selectedNode(), -1);
    view.setModel(&m_tree);
    view.selectNode(MainsLower);
    QCOMPARE(view.selectedNode(), MainsLower);
    QVERIFY(view.isExpanded(m_tree.indexOfNode(2)));

    // Clicking another row's value cell selects that whole row.
    view.resize(787, 449);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QRect cell = view.visualRect(m_tree.indexOfNode(4, 1));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(view.selectedNode(), 4);
    QCOMPARE(view.selectionModel()->selectedIndexes().size(), 5);

    view.selectNode(-1);
    QCOMPARE(view.selectedNode(), -1);
    m_tree.clear();
    QCOMPARE(view.selectedNode(), -1);
}

void TestParamTree::treeView_enterAndF2AskToEditTheSelectedRow_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("asked");
    QTest::newRow("Enter") << int(Qt::Key_Return) << MainsLower << 1;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << MainsLower << 1;
    QTest::newRow("F2") << int(Qt::Key_F2) << GeneratorOnOff << 1;
    QTest::newRow("F2 without a selected row") << int(Qt::Key_F2) << -1 << 0;
    QTest::newRow("another key") << int(Qt::Key_F3) << MainsLower << 0;
}

void TestParamTree::treeView_enterAndF2AskToEditTheSelectedRow()
{
    QFETCH(int, key);
    QFETCH(int, selected);
    QFETCH(int, asked);
    ParamTreeView view;
    view.setModel(&m_tree);
    view.selectNode(selected);
    QSignalSpy editRequested(&view, &ParamTreeView::editRequested);
    QTest::keyClick(&view, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(editRequested.count(), asked);
}

QTEST_MAIN(TestParamTree)
#include "tst_paramtree.moc"
