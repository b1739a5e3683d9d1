#include "WidgetSupport.h"
#include "app/MainWindow.h"
#include "widgets/AngularGauge.h"
#include "widgets/LcdPanel.h"
#include "widgets/Led.h"
#include "widgets/PageLayout.h"
#include "widgets/PortComboBox.h"
#include "widgets/ScaleGauge.h"
#include "widgets/ScrolledPage.h"
#include "widgets/WrapLabel.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QFile>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace gencfg;
using gencfg::test::enterServiceCode;
using gencfg::test::named;
using gencfg::test::showPage;

namespace {

// Places columns on a bare page of the page control's size, as a page's layout places them.
void placeColumns(QWidget &page,
                  std::initializer_list<std::pair<std::array<QWidget *, 3>, ColumnRule>> columns)
{
    auto *layout = new PageLayout(&page);
    for (const auto &[parts, rule] : columns) {
        for (QWidget *part : parts)
            if (part)
                part->setParent(&page);
        layout->addColumn(parts[0], parts[1], parts[2], rule);
    }
    layout->setGeometry(page.rect());
}

// The design's neighbourhood and a large screen's: the page control is 50 pixels lower than the window.
const QSize SmallWindow(800, 600);
const QSize LargeWindow(1300, 950);

std::unique_ptr<MainWindow> windowOf(const QSize &size)
{
    auto form = std::make_unique<MainWindow>();
    form->show();
    form->resize(size);
    QCoreApplication::processEvents();
    return form;
}

QString where(const QWidget *w, const QRect &r)
{
    QString text;
    QDebug(&text) << w << r;
    return text;
}

QString where(const QWidget *w)
{
    return where(w, w->geometry());
}

int centreOf(const QWidget *w)
{
    return w->x() + half(w->width());
}

// Every page, its tab shown and made current once: a hidden page takes the page control's size lazily.
QList<QWidget *> pagesOf(MainWindow &form)
{
    QList<QWidget *> pages;
    for (int i = 0; i < named<QTabWidget>(&form, "pageTabs")->count(); ++i) {
        pages << PageIn(named<QTabWidget>(&form, "pageTabs")->widget(i));
        form.setTabVisible(pages.last(), true);
        named<QTabWidget>(&form, "pageTabs")->setCurrentIndex(i);
        QCoreApplication::processEvents();
    }
    return pages;
}

bool bearsText(const QWidget *w)
{
    return qobject_cast<const QLabel *>(w) || qobject_cast<const QAbstractButton *>(w) ||
           qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const Led *>(w) ||
           qobject_cast<const LcdPanel *>(w) || qobject_cast<const WrapLabel *>(w) ||
           qobject_cast<const QStatusBar *>(w);
}

// The page's visible text-bearing controls, not the parts of another one (a combo's edit, a list's viewport).
QList<QWidget *> textControls(const QWidget *page)
{
    QList<QWidget *> controls;
    for (QWidget *w : page->findChildren<QWidget *>()) {
        bool part = false;
        for (const QWidget *up = w->parentWidget(); up != page; up = up->parentWidget())
            part = part || bearsText(up);
        if (bearsText(w) && !part && w->isVisibleTo(page))
            controls << w;
    }
    return controls;
}

// Where a control shows itself in the page. A label paints nothing but its text, so only the text's box
// counts: a page sizes its labels before the window gives them its font, which leaves them wider than their
// text.
QRect shownPlace(const QWidget *w, const QWidget *page)
{
    QRect place(w->mapTo(page, QPoint()), w->size());
    if (const auto *label = qobject_cast<const QLabel *>(w))
        place = QStyle::alignedRect(label->layoutDirection(), label->alignment(), label->sizeHint(), place);
    return place;
}

// Why a control's shown text does not fit, or empty. Each text is measured in the control's own font against
// the box its style draws that text in: a button's label inside its bevel, an edit's text inside its frame
// and side margins, a combo's inside its edit field, a label's with its margins and indent (its size hint).
// Lamps, panels and wrap labels shrink their font to their box, and lists scroll: nothing there to clip.
QString clipping(const QWidget *w)
{
    const QFontMetrics fm = w->fontMetrics();
    QSize text;
    QRect box;
    if (const auto *label = qobject_cast<const QLabel *>(w)) {
        text = label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                                 : label->sizeHint();
        box = label->rect();
    } else if (const auto *button = qobject_cast<const QPushButton *>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        text = fm.size(Qt::TextShowMnemonic, button->text());
        box = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    } else if (const auto *edit = qobject_cast<const QLineEdit *>(w)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
        // Two pixels each side: the edit's own horizontal margin.
        text = QSize(fm.horizontalAdvance(edit->displayText()) + 4, fm.height());
        box = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit) - edit->textMargins();
    } else if (const auto *combo = qobject_cast<const QComboBox *>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        text = QSize(fm.horizontalAdvance(combo->currentText()), fm.height());
        box =
            combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    } else {
        return {};
    }
    if (text.width() <= box.width() && text.height() <= box.height())
        return {};
    return QStringLiteral("%1 needs %2x%3 in %4x%5")
        .arg(where(w))
        .arg(text.width())
        .arg(text.height())
        .arg(box.width())
        .arg(box.height());
}

// The first text-bearing control of the page that leaves it, clips its text or overlaps another; or empty.
QString textFaults(const QWidget *page)
{
    const QList<QWidget *> controls = textControls(page);
    if (controls.isEmpty())
        return page->objectName() + QStringLiteral(" shows no text");
    for (int i = 0; i < controls.size(); ++i) {
        const QRect place = shownPlace(controls[i], page);
        if (!page->rect().contains(place))
            return where(controls[i], place) + QStringLiteral(" leaves ") + where(page);
        if (const QString clipped = clipping(controls[i]); !clipped.isEmpty())
            return clipped;
        for (int j = i + 1; j < controls.size(); ++j) {
            const QRect other = shownPlace(controls[j], page);
            if (place.intersects(other))
                return where(controls[i], place) + QStringLiteral(" overlaps ") + where(controls[j], other);
        }
    }
    // A plot's axis labels are whole and in sight: a plot shortens a label that finds no room for it.
    for (const QGraphicsView *plot : page->findChildren<QGraphicsView *>()) {
        for (const QGraphicsItem *item : plot->scene()->items()) {
            const auto *text = dynamic_cast<const QGraphicsTextItem *>(item);
            if (!text || !text->isVisible() || text->toPlainText().isEmpty())
                continue;
            const QRect shown = plot->mapFromScene(text->sceneBoundingRect()).boundingRect();
            if (text->toPlainText().endsWith(QStringLiteral("...")) ||
                !plot->viewport()->rect().contains(shown))
                return where(plot) + QStringLiteral(" shows ") + text->toPlainText() + where(plot, shown);
        }
    }
    return {};
}

// Runs the current row again in a process of its own, on a screen of that many device pixels at that scale
// (both are fixed when the application starts); what the process printed when it failed, else empty.
QString failureOnScreen(const QSize &screen, double scale)
{
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("screen.json")));
    const QJsonObject geometry{{"name", "screen"},
                               {"x", 0},
                               {"y", 0},
                               {"width", screen.width()},
                               {"height", screen.height()},
                               {"logicalDpi", 96},
                               {"logicalBaseDpi", 96},
                               {"dpr", 1}};
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(QJsonDocument(QJsonObject{{"screens", QJsonArray{geometry}}}).toJson()) <= 0)
        return config.errorString();
    config.close();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                       QStringLiteral("offscreen:configfile=") + config.fileName());
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
    environment.insert(QStringLiteral("GENCFG_SCREEN_ROW"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("%1:%2").arg(QTest::currentTestFunction(), QTest::currentDataTag())});
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
        return QStringLiteral("no end within two minutes");
    }
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0 || !output.contains(" 0 failed"))
        return output;
    return {};
}

// The page's own controls and the page's size at one window size.
struct Snapshot
{
    QSize page;
    QMap<QString, QRect> controls;
};

// Placement reads the page control's size, so the page's controls are measured against it.
Snapshot snapshotOf(const QWidget *page, const QSize &client)
{
    Snapshot s{client, {}};
    int unnamed = 0;
    for (const QWidget *w : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (w->isVisibleTo(page))
            s.controls.insert(w->objectName().isEmpty() ? QString::number(unnamed++) : w->objectName(),
                              w->geometry());
    return s;
}

// Start, centre and end of a rectangle along one axis.
std::array<int, 3> points(const QRect &r, Qt::Orientation axis)
{
    return axis == Qt::Horizontal ? std::array{r.left(), r.left() + half(r.width()), r.right() + 1}
                                  : std::array{r.top(), r.top() + half(r.height()), r.bottom() + 1};
}

// A point follows the page when it keeps its fraction of the page (within rounding), its distance from the
// page edge it is nearer to, or its short distance from a neighbour's edge or centre (a caption over its
// gauge, a lamp under another).
bool follows(int index, const QString &name, Qt::Orientation axis, const Snapshot &a, const Snapshot &b)
{
    const int from = points(a.controls[name], axis)[index];
    const int to = points(b.controls[name], axis)[index];
    const int pageA = axis == Qt::Horizontal ? a.page.width() : a.page.height();
    const int pageB = axis == Qt::Horizontal ? b.page.width() : b.page.height();
    const bool nearStart = from <= pageA - from;
    if (qAbs(to - from * double(pageB) / pageA) <= 2 || (nearStart ? to == from : pageB - to == pageA - from))
        return true;
    for (auto it = a.controls.cbegin(); it != a.controls.cend(); ++it) {
        for (int j = 0; it.key() != name && j < 3; ++j)
            if (const int gap = from - points(it.value(), axis)[j];
                qAbs(gap) <= 32 && to - points(b.controls[it.key()], axis)[j] == gap)
                return true;
    }
    return false;
}

// A control that keeps its extent needs one of its points to follow the page; one that grows needs both
// edges.
QString strayControls(const Snapshot &a, const Snapshot &b)
{
    QStringList stray;
    for (auto it = a.controls.cbegin(); it != a.controls.cend(); ++it) {
        for (Qt::Orientation axis : {Qt::Horizontal, Qt::Vertical}) {
            const bool sameExtent = axis == Qt::Horizontal
                                        ? it.value().width() == b.controls[it.key()].width()
                                        : it.value().height() == b.controls[it.key()].height();
            const bool start = follows(0, it.key(), axis, a, b);
            const bool end = follows(2, it.key(), axis, a, b);
            if (sameExtent ? !(start || end || follows(1, it.key(), axis, a, b)) : !(start && end))
                stray << QStringLiteral("%1 %2").arg(it.key(), axis == Qt::Horizontal ? "across" : "down");
        }
    }
    return stray.join(QStringLiteral(", "));
}

} // namespace

class tst_Layout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundHalfEven_data();
    void roundHalfEven();
    void dialSide_followsTheShorterSideOfThePageControl_data();
    void dialSide_followsTheShorterSideOfThePageControl();
    void dialOffset_halvesToTheEvenNeighbour();
    void pages_showEveryTextWholeAndApart_data();
    void pages_showEveryTextWholeAndApart();
    void window_fitsEachScreenWithPagesScrollingBelowTheirMinimum_data();
    void window_fitsEachScreenWithPagesScrollingBelowTheirMinimum();
    void tabs_stayInSightWhenTheTerminalPageAppears_data();
    void tabs_stayInSightWhenTheTerminalPageAppears();
    void controls_keepTheirPlaceAsThePageGrows();
    void captions_sitFiveOrTenPixelsOverTheirGauges_data();
    void captions_sitFiveOrTenPixelsOverTheirGauges();
    void modeLeds_stack24PixelsApartAroundTheStageRow();
    void statusColumn_movesSidewaysOnly();
    void servicePage_neverMoves();
    void placement_dependsOnlyOnTheCurrentSize();
    void window_shrinksToHalfItsDesignSizeKeepingTheStatusBarInside();
};

void tst_Layout::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");
    QTest::newRow("80.5 down to even") << 80.5 << 80;
    QTest::newRow("81.5 up to even") << 81.5 << 82;
    QTest::newRow("0.5 to 0") << 0.5 << 0;
    QTest::newRow("-0.5 to 0") << -0.5 << 0;
    QTest::newRow("-1.5 to -2") << -1.5 << -2;
    QTest::newRow("-2.5 to -2") << -2.5 << -2;
    QTest::newRow("below a half") << 7.4999 << 7;
    QTest::newRow("above a half") << 7.5001 << 8;
    QTest::newRow("whole") << 161.0 << 161;
}

void tst_Layout::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, rounded);
    QCOMPARE(RoundHalfEven(value), rounded);
}

void tst_Layout::dialSide_followsTheShorterSideOfThePageControl_data()
{
    QTest::addColumn<QSize>("pageControl");
    QTest::addColumn<int>("phaseSide");
    QTest::addColumn<int>("generatorSide");
    QTest::newRow("wide: from the height 750") << QSize(1400, 750) << 172 << 240;
    QTest::newRow("tall: from the width 800") << QSize(800, 1250) << 184 << 256;
    QTest::newRow("design size: from the height 522") << QSize(799, 522) << 120 << 167;
}

void tst_Layout::dialSide_followsTheShorterSideOfThePageControl()
{
    QFETCH(QSize, pageControl);
    QFETCH(int, phaseSide);
    QFETCH(int, generatorSide);
    QWidget control, small, large;
    control.resize(pageControl);
    placeColumns(control, {{{&small, nullptr, nullptr}, {0.08, 0.3, 0.08, 10, GaugeSize::SmallDial, {}}},
                           {{&large, nullptr, nullptr}, {0.72, 0.25, 0.72, 10, GaugeSize::LargeDial, {}}}});
    QCOMPARE(small.size(), QSize(phaseSide, phaseSide));
    QCOMPARE(large.size(), QSize(generatorSide, generatorSide));
    // The window sizes its three phase dials small and the generator's large.
    const auto form = windowOf(pageControl + QSize(0, 50));
    const auto *page = named<QWidget>(form.get(), "measurementPage");
    for (const char *phase : {"phaseAGauge", "phaseBGauge", "phaseCGauge"})
        QVERIFY2(named<QWidget>(page, phase)->size() == small.size(),
                 qPrintable(where(named<QWidget>(page, phase))));
    QCOMPARE(named<QWidget>(page, "generatorGauge")->size(), large.size());
}

void tst_Layout::dialOffset_halvesToTheEvenNeighbour()
{
    // Page control 1000 x 709: the dial is round(163.07) = 163 wide, and half of it rounds to 82.
    QWidget control, dial, display, caption;
    control.resize(1000, 709);
    display.resize(60, 20);
    caption.resize(40, 13);
    placeColumns(control, {{{&dial, &display, &caption}, {0.08, 0.3, 0.08, 5, GaugeSize::SmallDial, {}}}});
    QCOMPARE(dial.geometry(), QRect(80 - 82, 213 - 82, 163, 163));
    // The display 10 pixels under the dial, the caption's middle the gap over it.
    QCOMPARE(display.geometry(), QRect(80 - 30, 213 + 82 + 10 - 10, 60, 20));
    QCOMPARE(caption.geometry(), QRect(80 - 20, 213 - 82 - 5 - 6, 40, 13));
}

void tst_Layout::pages_showEveryTextWholeAndApart_data()
{
    QTest::addColumn<QSize>("window");
    QTest::newRow("small") << SmallWindow;
    QTest::newRow("large") << LargeWindow;
}

void tst_Layout::pages_showEveryTextWholeAndApart()
{
    QFETCH(QSize, window);
    const auto form = windowOf(window);
    // The design's font or its narrow stand-in: the wide fallback runs captions into their fields.
    QVERIFY2(QStringList({"Tahoma", "DejaVu Sans Condensed"}).contains(QFontInfo(form->font()).family()),
             "install fonts-dejavu-extra");
    for (const QWidget *page : pagesOf(*form)) {
        const QString faults = textFaults(page);
        QVERIFY2(faults.isEmpty(), qPrintable(faults));
    }
}

void tst_Layout::window_fitsEachScreenWithPagesScrollingBelowTheirMinimum_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<double>("scale");
    QTest::addColumn<bool>("scrolls");
    QTest::addColumn<bool>("across");
    QTest::newRow("1366x768 at 100%") << QSize(1366, 768) << 1.0 << false << false;
    QTest::newRow("1366x768 at 150%") << QSize(1366, 768) << 1.5 << true << false;
    QTest::newRow("1366x768 at 200%") << QSize(1366, 768) << 2.0 << true << true;
    QTest::newRow("1920x1080 at 100%") << QSize(1920, 1080) << 1.0 << false << false;
    QTest::newRow("1920x1080 at 150%") << QSize(1920, 1080) << 1.5 << false << false;
    QTest::newRow("1920x1080 at 200%") << QSize(1920, 1080) << 2.0 << true << false;
}

void tst_Layout::window_fitsEachScreenWithPagesScrollingBelowTheirMinimum()
{
    QFETCH(QSize, screen);
    QFETCH(double, scale);
    QFETCH(bool, scrolls);
    QFETCH(bool, across);
    const QScreen *here = QGuiApplication::primaryScreen();
    const QSizeF inDevicePixels = QSizeF(here->size()) * here->devicePixelRatio();
    if (!qFuzzyCompare(here->devicePixelRatio(), scale) ||
        qAbs(inDevicePixels.width() - screen.width()) > 2 ||
        qAbs(inDevicePixels.height() - screen.height()) > 2) {
        // A process started for the row that does not get its screen reports it rather than start another.
        QVERIFY2(!qEnvironmentVariableIsSet("GENCFG_SCREEN_ROW"),
                 qPrintable(QStringLiteral("screen %1x%2 at %3")
                                .arg(inDevicePixels.width())
                                .arg(inDevicePixels.height())
                                .arg(here->devicePixelRatio())));
        const QString failure = failureOnScreen(screen, scale);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        return;
    }
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY2(here->availableGeometry().contains(form.frameGeometry()),
             qPrintable(where(&form, form.frameGeometry()) + QStringLiteral(" on ") +
                        where(nullptr, here->availableGeometry())));
    for (QWidget *page : pagesOf(form)) {
        const QScrollArea *area = ScrollAreaAround(page);
        QVERIFY(area);
        // A page's minimum, or where it gives none, its own layout's.
        const QSize minimum = page->minimumSize().expandedTo(page->minimumSizeHint());
        const bool fits = area->width() >= minimum.width() && area->height() >= minimum.height();
        QVERIFY2(fits != scrolls, qPrintable(where(area)));
        // Where the screen is wide enough, the window takes the room for the scroll bar of a page cut short.
        QVERIFY2(across || !area->horizontalScrollBar()->isVisibleTo(area), qPrintable(where(area)));
        // The page fills the area down to its minimum, and the scroll bars reach every part of it.
        QCOMPARE(page->size(), area->viewport()->size().expandedTo(minimum));
        QCOMPARE(area->horizontalScrollBar()->maximum(), page->width() - area->viewport()->width());
        QCOMPARE(area->verticalScrollBar()->maximum(), page->height() - area->viewport()->height());
        const QString faults = textFaults(page);
        QVERIFY2(faults.isEmpty(), qPrintable(faults));
    }
}

void tst_Layout::tabs_stayInSightWhenTheTerminalPageAppears_data()
{
    QTest::addColumn<QSize>("window");
    QTest::newRow("design size") << QSize(MainWindow::ClientWidth, MainWindow::ClientHeight);
    QTest::newRow("small") << SmallWindow;
    QTest::newRow("large") << LargeWindow;
}

void tst_Layout::tabs_stayInSightWhenTheTerminalPageAppears()
{
    QFETCH(QSize, window);
    const auto form = windowOf(window);
    enterServiceCode(named<QWidget>(form.get(), "servicePage"));
    QVERIFY(form->isTabVisible(named<QWidget>(form.get(), "terminalPage")));
    QCoreApplication::processEvents();
    const QTabBar *bar = named<QTabWidget>(form.get(), "pageTabs")->tabBar();
    for (int i = 0; i < bar->count(); ++i)
        QVERIFY2(!bar->isTabVisible(i) || bar->rect().contains(bar->tabRect(i)),
                 qPrintable(bar->tabText(i) + where(bar, bar->tabRect(i))));
    const QRect tabs(bar->mapTo(form.get(), QPoint()), bar->size());
    for (const char *name : {"variantCombo", "portCombo"}) {
        const QWidget *chooser = named<QWidget>(form.get(), name);
        QVERIFY2(form->rect().contains(chooser->geometry()) && !tabs.intersects(chooser->geometry()),
                 qPrintable(where(chooser)));
    }
    // The pages keep their height whenever the choosers find room beside the tabs.
    const QWidget *pageTabs = named<QWidget>(form.get(), "pageTabs");
    QCOMPARE(pageTabs->geometry().bottom(), form->height() - 50);
    QCOMPARE(pageTabs->y() == 1, bar->sizeHint().width() + 240 <= window.width());
}

void tst_Layout::controls_keepTheirPlaceAsThePageGrows()
{
    const auto form = windowOf(SmallWindow);
    // The service page never moves: it has a check of its own.
    QList<QWidget *> parts = pagesOf(*form);
    parts.removeOne(named<QWidget>(form.get(), "servicePage"));
    parts << form.get();
    QList<Snapshot> before;
    QMap<const ScaleGauge *, QList<int>> looks;
    const auto lookOf = [](const ScaleGauge *g) {
        const auto *dial = qobject_cast<const AngularGauge *>(g);
        return QList<int>{g->width(),           g->tickMajorLength(),
                          g->pointerSize(),     dial ? dial->hubSize() : 0,
                          g->tickMinorLength(), g->height()};
    };
    const auto clientOf = [&form](const QWidget *part) {
        return part == form.get() ? form->size() : named<QTabWidget>(form.get(), "pageTabs")->size();
    };
    // The window's own parts as it starts: the terminal's tab, shown for its page, packs the choosers
    // together.
    const auto snapshotAll = [&] {
        QList<Snapshot> shots;
        for (const QWidget *part : parts) {
            form->setTabVisible(named<QWidget>(form.get(), "terminalPage"), part != form.get());
            shots << snapshotOf(part, clientOf(part));
        }
        return shots;
    };
    before = snapshotAll();
    for (const ScaleGauge *g : form->findChildren<ScaleGauge *>())
        looks.insert(g, lookOf(g));
    form->resize(LargeWindow);
    pagesOf(*form);
    const QList<Snapshot> after = snapshotAll();
    for (int i = 0; i < parts.size(); ++i) {
        const QString stray = strayControls(before[i], after[i]);
        QVERIFY2(stray.isEmpty(), qPrintable(parts[i]->objectName() + QStringLiteral(": ") + stray));
    }
    // A gauge grows with the page control (a bar with its own side, a dial with the shorter), and its ticks,
    // pointer and hub with the width; the minor tick stays half the major.
    const QSizeF scale(
        double(named<QTabWidget>(form.get(), "pageTabs")->width()) / before.first().page.width(),
        double(named<QTabWidget>(form.get(), "pageTabs")->height()) / before.first().page.height());
    QVERIFY(!looks.isEmpty());
    for (auto it = looks.cbegin(); it != looks.cend(); ++it) {
        const QList<int> now = lookOf(it.key());
        const auto scaled = [&](int i, double by) { return qAbs(now[i] - it.value()[i] * by) <= 2; };
        QVERIFY2(scaled(1, scale.width()) && scaled(2, scale.width()) && scaled(3, scale.width()),
                 qPrintable(where(it.key())));
        for (int i : {0, 5})
            QVERIFY2(scaled(i, scale.width()) || scaled(i, scale.height()), qPrintable(where(it.key())));
        QCOMPARE(now[4], half(now[1]));
    }
}

void tst_Layout::captions_sitFiveOrTenPixelsOverTheirGauges_data()
{
    QTest::addColumn<QString>("gauge");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("gap");
    QTest::newRow("GSM signal") << "signalGauge"
                                << "signalCaption" << 5;
    QTest::newRow("UPS") << "upsBatteryGauge"
                         << "upsBatteryCaption" << 5;
    QTest::newRow("phase B") << "phaseBGauge"
                             << "phaseBCaption" << 10;
    QTest::newRow("generator") << "generatorGauge"
                               << "generatorCaption" << 10;
    QTest::newRow("starter battery") << "starterBatteryGauge"
                                     << "starterBatteryCaption" << 10;
    QTest::newRow("registration") << "registrationLabel"
                                  << "registrationCaption" << 10;
    QTest::newRow("over the four temperatures") << "temperature1Gauge"
                                                << "temperaturesCaption" << 10;
    QTest::newRow("mode") << "stageLabel"
                          << "modeCaption" << 10;
}

void tst_Layout::captions_sitFiveOrTenPixelsOverTheirGauges()
{
    QFETCH(QString, gauge);
    QFETCH(QString, caption);
    QFETCH(int, gap);
    for (const QSize &size : {SmallWindow, LargeWindow}) {
        const auto form = windowOf(size);
        const auto *page = named<QWidget>(form.get(), "measurementPage");
        const QWidget *g = page->findChild<QWidget *>(gauge);
        const QWidget *c = page->findChild<QWidget *>(caption);
        // The temperatures' caption is centred over the row of four, not over the first.
        const QWidget *last = gauge.startsWith("temperature") ? named<QWidget>(page, "temperature4Gauge") : g;
        QVERIFY(g && c);
        QCOMPARE(g->y() - c->y() - half(c->height()), gap);
        QVERIFY2(qAbs(centreOf(c) - (centreOf(g) + centreOf(last)) / 2) <= 1, qPrintable(where(c)));
        QCOMPARE(last->y(), g->y());
    }
}

void tst_Layout::modeLeds_stack24PixelsApartAroundTheStageRow()
{
    for (const QSize &size : {SmallWindow, LargeWindow}) {
        const auto form = windowOf(size);
        const auto *page = named<QWidget>(form.get(), "measurementPage");
        const QWidget *semiauto = named<QWidget>(page, "semiautoLed");
        const QWidget *stage = named<QWidget>(page, "stageLabel");
        QCOMPARE(semiauto->y() + half(semiauto->height()), stage->y() + half(stage->height()));
        QCOMPARE(named<QWidget>(page, "autoLed")->geometry(), semiauto->geometry().translated(0, -24));
        QCOMPARE(named<QWidget>(page, "manualLed")->geometry(), semiauto->geometry().translated(0, 24));
    }
}

void tst_Layout::statusColumn_movesSidewaysOnly()
{
    const auto form = windowOf(SmallWindow);
    const auto *page = named<QWidget>(form.get(), "measurementPage");
    const int line = centreOf(named<QWidget>(page, "motoclockDisplay"));
    QList<const QWidget *> column;
    for (const QWidget *w : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (centreOf(w) == line)
            column << w;
    QMap<const QWidget *, int> rows;
    for (const QWidget *w : column)
        rows.insert(w, w->y());
    // The three readings and every flag lamp share the line; the mode lamps have a column of their own.
    for (const char *name : {"motoclockCaption", "maintenanceCaption", "maintenanceDisplay", "clockCaption",
                             "clockDisplay", "threeLineLed", "gprsLed"})
        QVERIFY2(column.contains(named<QWidget>(page, name)), name);
    QVERIFY(!column.contains(named<QWidget>(page, "semiautoLed")));
    form->resize(LargeWindow);
    QCoreApplication::processEvents();
    const int moved = centreOf(column.first());
    QVERIFY2(qAbs(moved - line * double(LargeWindow.width()) / SmallWindow.width()) <= 2,
             qPrintable(where(column.first())));
    for (const QWidget *w : column)
        QVERIFY2(centreOf(w) == moved && w->y() == rows[w], qPrintable(where(w)));
}

void tst_Layout::servicePage_neverMoves()
{
    MainWindow form;
    const auto *page = named<QWidget>(&form, "servicePage");
    const Snapshot designed = snapshotOf(page, {});
    form.show();
    for (const QSize &size : {QSize(1000, 750), QSize(1600, 1200), QSize(799, 572)}) {
        form.resize(size);
        QCoreApplication::processEvents();
        QCOMPARE(snapshotOf(page, {}).controls, designed.controls);
    }
}

void tst_Layout::placement_dependsOnlyOnTheCurrentSize()
{
    const auto form = windowOf({799, 572});
    const auto *page = named<QWidget>(form.get(), "measurementPage");
    const Snapshot first = snapshotOf(page, {});
    form->resize(1400, 1000);
    QCoreApplication::processEvents();
    QVERIFY(snapshotOf(page, {}).controls != first.controls);
    form->resize(799, 572);
    QCoreApplication::processEvents();
    QCOMPARE(snapshotOf(page, {}).controls, first.controls);
}

void tst_Layout::window_shrinksToHalfItsDesignSizeKeepingTheStatusBarInside()
{
    // A window twice its design size on screen at scale factor 2 must still fit a 1920 x 1080 screen.
    const QSize half(400, 286);
    const auto form = windowOf(half);
    QVERIFY2(
        form->minimumWidth() <= half.width() && form->minimumHeight() <= half.height(),
        qPrintable(QStringLiteral("minimum %1x%2").arg(form->minimumWidth()).arg(form->minimumHeight())));
    QCOMPARE(form->size(), half);
    const int sb = named<QStatusBar>(form.get(), "statusBar")->height();
    QCOMPARE(named<QStatusBar>(form.get(), "statusBar")->geometry(),
             QRect(0, half.height() - sb, half.width(), sb));
    QVERIFY(form->rect().contains(named<PortComboBox>(form.get(), "portCombo")->geometry()));
    QVERIFY(form->rect().contains(named<QComboBox>(form.get(), "variantCombo")->geometry()));
    // The proportional placement still gives every instrument a size of its own.
    for (const QWidget *w :
         named<QWidget>(form.get(), "measurementPage")->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QVERIFY2(w->width() > 0 && w->height() > 0, qPrintable(where(w)));
    // The buttons over the parameter tree stay on the page, within reach; the one over the journals
    // keeps clear of their captions.
    for (const char *name : {"paramsPage", "journalPage"}) {
        auto *page = named<QWidget>(form.get(), name);
        showPage(form.get(), page);
        QCoreApplication::processEvents();
        for (const QPushButton *button : page->findChildren<QPushButton *>()) {
            QVERIFY2(button->y() > 0 || page->rect().contains(button->geometry()), qPrintable(where(button)));
            for (const QLabel *label : page->findChildren<QLabel *>())
                QVERIFY2(!shownPlace(label, page).intersects(button->geometry()), qPrintable(where(label)));
        }
    }
    form->resize(half / 2);
    QCoreApplication::processEvents();
    QCOMPARE(form->size(), form->minimumSize());
}

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"
