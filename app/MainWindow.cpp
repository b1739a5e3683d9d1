#include "app/MainWindow.h"

#include "app/PlaybackBar.h"
#include "app/ScreenFit.h"
#include "app/TerminalPage.h"
#include "app/UnusedFileName.h"
#include "config/ui/ChangeListDialog.h"
#include "config/ui/ParamEditor.h"
#include "config/ui/ParamValueDialog.h"
#include "config/ui/ParamsPage.h"
#include "config/ui/UnwrittenChanges.h"
#include "link/LinkTexts.h"
#include "link/NetworkPortName.h"
#include "link/PortAccess.h"
#include "monitor/Journal.h"
#include "monitor/TelemetryJson.h"
#include "monitor/TrafficLog.h"
#include "monitor/ui/JournalPage.h"
#include "monitor/ui/MeasurementPage.h"
#include "monitor/ui/TrendsPage.h"
#include "record/RecordingTransport.h"
#include "service/ui/ServicePage.h"
#include "visit/ArchiveSettings.h"
#include "visit/TeamSyncer.h"
#include "visit/ui/FleetDialog.h"
#include "visit/ui/HistoryDialog.h"
#include "visit/ui/ReportDialog.h"
#include "visit/ui/TechnicianDialog.h"
#include "widgets/ConnectionLabel.h"
#include "widgets/NetworkPortDialog.h"
#include "widgets/PageLayout.h"
#include "widgets/PortComboBox.h"
#include "widgets/ReadingTabOrder.h"
#include "widgets/SaveFileDialog.h"
#include "widgets/ScrolledPage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace gencfg {

namespace {

const QString NetworkPortsKey = QStringLiteral("ports/network");
constexpr int RememberedNetworkPortCount = 8;

QSettings PortSettings()
{
    return {QSettings::IniFormat, QSettings::UserScope, QStringLiteral("gencfg"), QStringLiteral("gencfg")};
}

QStringList RememberedNetworkPorts()
{
    return PortSettings().value(NetworkPortsKey).toStringList();
}

// The newest first; a port used again moves to the front.
void RememberNetworkPort(const QString &name)
{
    QStringList ports = RememberedNetworkPorts();
    ports.removeAll(name);
    ports.prepend(name);
    PortSettings().setValue(NetworkPortsKey, ports.mid(0, RememberedNetworkPortCount));
}

} // namespace

namespace {

// The playback strip and the status bar under the page control.
constexpr int BelowPages = 50;
// The choosers' own row over the tabs, when the tabs need the whole width.
constexpr int ChooserRowHeight = 24;
constexpr int PortComboWidth = 109;
constexpr int PortComboRightGap = 14;

// Where the variant and port choosers sit: at their design places beside the tabs, packed together at the
// right end when that lets the tabs fit beside them, else in a row of their own over the tabs.
enum class ChooserPlace { Design, Packed, OwnRow };

// The room the tab row leaves at its right end for the choosers.
int ChooserRoom(ChooserPlace place)
{
    switch (place) {
    case ChooserPlace::Design:
        return MainWindow::VariantComboWidth + MainWindow::VariantComboRightGap + 4;
    case ChooserPlace::Packed:
        return MainWindow::VariantComboWidth + 4 + PortComboWidth + PortComboRightGap + 4;
    case ChooserPlace::OwnRow:
        break;
    }
    return 0;
}

ChooserPlace ChooserPlaceFor(int tabsWidth, int windowWidth)
{
    for (ChooserPlace place : {ChooserPlace::Design, ChooserPlace::Packed})
        if (tabsWidth <= windowWidth - ChooserRoom(place))
            return place;
    return ChooserPlace::OwnRow;
}

// Room kept free in a layout: its size is its fixed size.
class FixedSpace : public QWidget
{
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return minimumSize(); }
};

} // namespace

MainWindow::MainWindow(QWidget *parent) : QWidget(parent), m_messages(this)
{
    buildWindow();
    connectLink();
    connectVisits();
    connectPlayback();
    setInitialState();
}

MainWindow::~MainWindow()
{
    shutDown();
}

void MainWindow::buildWindow()
{
    setObjectName(QStringLiteral("MainWindow"));
    // "[*]": a star while edits wait to be written.
    setWindowTitle(tr("ПО Конфигуратор v2a") + QStringLiteral("[*]"));
    QFont font;
    // Tahoma where it exists; a narrow sans elsewhere keeps the design's captions inside their controls.
    font.setFamilies(
        {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Sans Serif")});
    font.setPixelSize(11);
    setFont(font);
    resize(ClientWidth, ClientHeight);
    setMinimumSize(QSize(ClientWidth, ClientHeight) / 2);
    FitToScreenWhenShown(this);

    m_pageTabs = new QTabWidget(this);
    m_pageTabs->setObjectName(QStringLiteral("pageTabs"));
    m_pageTabs->setDocumentMode(true);

    m_measurementPage = new MeasurementPage;
    m_paramsPage = new ParamsPage(m_tree);
    m_journalPage = new JournalPage;
    auto *trafficLog = new TrafficLog(this);
    m_servicePage = new ServicePage(*trafficLog);
    m_terminalPage = new TerminalPage(*trafficLog);
    m_trendsPage = new TrendsPage(m_telemetry);
    m_pageTabs->addTab(ScrolledPage(m_measurementPage), tr("Измерения"));
    m_pageTabs->addTab(ScrolledPage(m_paramsPage), tr("Параметры"));
    // The page is named after the event journal it shows first.
    m_pageTabs->addTab(ScrolledPage(m_journalPage), JournalCaption(EventJournal));
    m_pageTabs->addTab(ScrolledPage(m_servicePage), tr("Дополнительно"));
    m_pageTabs->addTab(ScrolledPage(m_terminalPage), tr("Терминал+лог"));
    m_pageTabs->addTab(ScrolledPage(m_trendsPage), tr("Графики"));

    m_variantCombo = new QComboBox(this);
    m_variantCombo->setObjectName(QStringLiteral("variantCombo"));
    m_variantCombo->setEditable(true);
    m_variantCombo->setInsertPolicy(QComboBox::NoInsert);
    for (DeviceVariant variant : Variants)
        m_variantCombo->addItem(VariantTitle(variant));
    m_variantCombo->setCurrentIndex(-1);
    // The initial text is the petrol item without its trailing blank.
    m_variantCombo->setEditText(VariantTitle(DeviceVariant::Petrol).trimmed());
    m_variantCombo->lineEdit()->setCursorPosition(0);
    // The two combos sit over the right end of the tab strip: the tabs keep clear of
    // them and scroll when they do not fit, as with all six pages shown.
    auto *comboSpace = new FixedSpace(m_pageTabs);
    comboSpace->setObjectName(QStringLiteral("tabStripComboSpace"));
    comboSpace->setFixedSize(ChooserRoom(ChooserPlace::Design), 1);
    m_pageTabs->setCornerWidget(comboSpace, Qt::TopRightCorner);
    m_pageTabs->setUsesScrollButtons(true);
    m_pageTabs->tabBar()->setElideMode(Qt::ElideNone);
    // Below the design size the pages keep it and scroll: the page control's design height less its tab row.
    const QSize pageMinimum(ClientWidth,
                            ClientHeight - BelowPages - m_pageTabs->tabBar()->sizeHint().height());
    for (int i = 0; i < m_pageTabs->count(); ++i)
        PageIn(m_pageTabs->widget(i))->setMinimumSize(pageMinimum);
    // The plots stretch with a layout of their own, which holds the page's width above what its row of
    // controls needs; narrower, the plots only lose room between their time labels.
    m_trendsPage->setMinimumWidth(0);
    connect(m_variantCombo, &QComboBox::activated, this, [this] {
        onVariantChosen();
        // The picked text leaves the caret at its end, which scrolls its first letter out of the field.
        m_variantCombo->lineEdit()->setCursorPosition(0);
    });
    connect(m_variantCombo->lineEdit(), &QLineEdit::textEdited, this, [this] { onVariantChosen(); });

    m_portCombo = new PortComboBox(this);
    m_portCombo->setObjectName(QStringLiteral("portCombo"));
    m_portCombo->setBusyProbe([](const QString &path) { return PortHeldByOtherProgram(path); });
    connect(m_portCombo, &PortComboBox::portPicked, this, &MainWindow::onPortPicked);
    m_portCombo->setRememberedPorts(RememberedNetworkPorts());
    // Window-modal but not a loop of its own: the link goes on while the address is typed.
    connect(m_portCombo, &PortComboBox::networkPortAsked, this, [this] {
        auto *dialog = new NetworkPortDialog(this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QDialog::accepted, this, [this, dialog] { pickPort(dialog->portName()); });
        dialog->open();
    });

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("statusBar"));
    m_statusBar->setSizeGripEnabled(false);
    // The panels change with every frame and request: plain text of a fixed size never
    // makes the status bar lay itself out again.
    const int panelHeight = QFontMetrics(font).height() + 2;
    m_packetsCaption = new QLabel(tr("Пакетов принято:"));
    m_packetsCaption->setObjectName(QStringLiteral("packetsCaption"));
    m_packetsCaption->setTextFormat(Qt::PlainText);
    m_packetsCaption->setFixedSize(200, panelHeight);
    m_statusText = new QLabel;
    m_statusText->setObjectName(QStringLiteral("statusText"));
    m_statusText->setTextFormat(Qt::PlainText);
    m_statusText->setMinimumWidth(50);
    m_statusText->setFixedHeight(panelHeight);
    m_statusText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_errorCountLabel = new QLabel;
    m_errorCountLabel->setObjectName(QStringLiteral("errorCountLabel"));
    m_errorCountLabel->setTextFormat(Qt::PlainText);
    m_errorCountLabel->setFixedSize(110, panelHeight);
    // Shown from the first error on: until then its room goes to the status text.
    m_errorCountLabel->hide();
    m_stopButton = new QPushButton(tr("Стоп"));
    m_stopButton->setObjectName(QStringLiteral("stopButton"));
    m_stopButton->setAccessibleName(tr("Стоп"));
    m_stopButton->setFocusPolicy(Qt::NoFocus);
    m_stopButton->setFixedHeight(14);
    m_stopButton->hide();
    m_statusBar->addWidget(m_packetsCaption);
    m_statusBar->addWidget(m_statusText, 1);
    m_statusBar->addWidget(m_stopButton);
    m_statusBar->addWidget(m_errorCountLabel);
    // The round trip of a network port; hidden for a local one.
    auto *networkText = new QLabel;
    networkText->setObjectName(QStringLiteral("networkText"));
    networkText->setTextFormat(Qt::PlainText);
    networkText->setFixedSize(110, panelHeight);
    networkText->hide();
    m_statusBar->addWidget(networkText);
    auto *connectionText = new ConnectionLabel(m_connection);
    connectionText->setFixedHeight(panelHeight);
    m_statusBar->addPermanentWidget(connectionText);
    connect(&m_link, &DeviceLink::roundTripChanged, networkText, [networkText](int ms) {
        networkText->setVisible(ms >= 0);
        networkText->setText(NetworkRoundTripText(ms));
    });
    connect(m_stopButton, &QPushButton::clicked, &m_link, &DeviceLink::cancelOperation);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, &m_link, &DeviceLink::cancelOperation);

    m_playbackBar = new PlaybackBar(this);

    placeParts();

    m_faultBlinkTimer.setObjectName(QStringLiteral("faultBlinkTimer"));
    m_faultBlinkTimer.setInterval(2000);

    connect(m_measurementPage, &MeasurementPage::automaticModeShown, m_servicePage,
            &ServicePage::showAutomaticMode);
    connect(m_servicePage, &ServicePage::serviceUnlocked, this, &MainWindow::onServiceUnlocked);
    connect(&m_faultBlinkTimer, &QTimer::timeout, m_measurementPage, &MeasurementPage::blinkStep);

    m_valueDialog = new ParamValueDialog(this);
    m_editor = std::make_unique<ParamEditor>(m_tree, *m_valueDialog, m_messages);
    // A variant reported while the dialog was open reloads the tree once it closes.
    connect(m_editor.get(), &ParamEditor::finished, this, &MainWindow::applyHeldVariant);
    connect(m_paramsPage, &ParamsPage::paramActivated, this, &MainWindow::editChosenParam);
    m_paramsPage->attach(m_link, m_messages);
    // A transfer's end clears its progress text, but not why the network port went.
    const auto showProgress = [this](const QString &text) {
        const ByteTransport &port = m_link.transport();
        const QString reason = port.isOpen() ? QString() : port.lossReason();
        m_statusText->setText(text.isEmpty() && !reason.isEmpty() ? ConnectionLostText(reason) : text);
    };
    connect(m_paramsPage, &ParamsPage::progressText, this, showProgress);
    connect(m_journalPage, &JournalPage::progressText, this, showProgress);
    connect(m_paramsPage, &ParamsPage::thresholdsChanged, m_measurementPage,
            &MeasurementPage::ShowThresholdsOnGauges);
    connect(m_paramsPage, &ParamsPage::thresholdsChanged, m_trendsPage, &TrendsPage::showThresholds);
    m_trendsPage->attach(m_messages, m_recording);
    connect(m_paramsPage, &ParamsPage::saved, this,
            [this](const QString &fileName) { setWindowTitle(fileName + QStringLiteral("[*]")); });
    UnwrittenChanges &unwritten = m_paramsPage->unwrittenChanges();
    // A recording plays through the link: nothing is written to it.
    unwritten.setWritable([this] { return !m_playback && !m_link.busy() && m_link.transport().isOpen(); });
    connect(&unwritten, &UnwrittenChanges::presentChanged, this, &QWidget::setWindowModified);

    // Tab reads the window: the tabs, the two choosers beside them, then the page.
    // The tab strip's scroll arrows are for the mouse; the keys turn pages with the arrows or Ctrl+Tab.
    for (QToolButton *arrow : m_pageTabs->tabBar()->findChildren<QToolButton *>())
        arrow->setFocusPolicy(Qt::NoFocus);
    QWidget::setTabOrder(m_pageTabs->tabBar(), m_variantCombo);
    QWidget::setTabOrder(m_variantCombo, m_portCombo);
    for (QWidget *page : {static_cast<QWidget *>(m_paramsPage), static_cast<QWidget *>(m_journalPage),
                          static_cast<QWidget *>(m_servicePage), static_cast<QWidget *>(m_terminalPage)})
        SetReadingTabOrder(page);
}

void MainWindow::placeParts()
{
    using Frame = PageLayout::Frame;
    const int sb = PageLayout::StatusBarHeight;
    auto *layout = new PageLayout(this);
    // The status bar is docked to the bottom edge; the playback strip fills the room between it and the
    // pages.
    layout->add(m_statusBar, {0, ClientHeight - sb, ClientWidth, sb},
                [](const Frame &f, const QRect &) { return QRect(0, f.H - sb, f.W, sb); });
    layout->add(m_playbackBar, {0, ClientHeight - 48, ClientWidth, 48 - sb},
                [](const Frame &f, const QRect &) { return QRect(0, f.H - 48, f.W, 48 - sb); });
    // No tab hides behind scroll arrows: the choosers make room for the tabs as they appear.
    const auto chooserPlace = [this](const Frame &f) {
        return ChooserPlaceFor(m_pageTabs->tabBar()->sizeHint().width(), f.W);
    };
    layout->add(m_pageTabs, {1, 1, 800, 550}, [this, chooserPlace](const Frame &f, const QRect &r) {
        const ChooserPlace place = chooserPlace(f);
        m_pageTabs->cornerWidget(Qt::TopRightCorner)->setFixedWidth(ChooserRoom(place));
        const int top = place == ChooserPlace::OwnRow ? ChooserRowHeight : 1;
        return QRect(QPoint(r.x(), top), QSize(f.W, f.H - BelowPages + 1 - top));
    });
    layout->add(m_variantCombo, {568, 1, VariantComboWidth, 20},
                [chooserPlace](const Frame &f, const QRect &r) {
                    const int rightGap = chooserPlace(f) == ChooserPlace::Packed
                                             ? PortComboWidth + PortComboRightGap + 4
                                             : VariantComboRightGap;
                    return QRect({f.W - r.width() - rightGap, r.y()}, r.size());
                });
    layout->add(m_portCombo, {683, 1, PortComboWidth, 21}, [](const Frame &f, const QRect &r) {
        return QRect({f.W - r.width() - PortComboRightGap, r.y()}, r.size());
    });
}

void MainWindow::connectLink()
{
    // Direct connections: the dispatcher's steps run in its own order.
    connect(&m_link, &DeviceLink::packetCountChanged, this, [this](int count) {
        m_packetsCaption->setText(tr("Пакетов принято: %1").arg(count));
        if (count > 0)
            m_connection.frameReceived();
        // A port opened again beneath the window, as a returning adapter is, lets the controls on.
        if (m_link.transport().isOpen() != m_portShownOpen)
            updateControls();
    });
    connect(&m_link, &DeviceLink::badFrameCountChanged, this, [this](int count) {
        m_errorCountLabel->setText(tr("Ошибок: %1").arg(count));
        m_errorCountLabel->show();
    });
    connect(&m_statusFeed, &StatusFeed::recordDecoded, this, &MainWindow::onStatusRecord);
    connect(&m_link, &DeviceLink::terminalStep, m_terminalPage, &TerminalPage::terminalStep);
    connect(&m_link, &DeviceLink::echoLine, m_terminalPage, &TerminalPage::appendEcho);
    m_journalPage->attach(m_link, m_messages);
    m_servicePage->attach(m_link, m_messages);
    m_terminalPage->attach(m_messages);
    connect(&m_link, &DeviceLink::busyChanged, this, &MainWindow::updateControls);
    // After the operation's own result has been handled.
    connect(&m_link, &DeviceLink::busyChanged, this, &MainWindow::applyHeldVariant, Qt::QueuedConnection);
    connect(&m_link, &DeviceLink::portLost, this, &MainWindow::onPortLost);
    m_link.setReopenReturningPort(true);
    connect(&m_link, &DeviceLink::portReturned, this, [this](const QString &path) {
        m_portCombo->refresh();
        m_portCombo->showPort(path);
        m_statusText->setText(PortReopenedText(m_portCombo->portText(path)));
        updateControls();
    });
}

void MainWindow::connectVisits()
{
    const ArchiveSettings settings = ArchiveSettings::Read();
    m_visits.setEnabled(settings.enabled);
    m_visits.setArchive(settings.archive());
    m_visits.setAuthor(settings.technician, settings.pc);
    QString serverError;
    if (const std::optional<TeamServer> server = TeamServer::Parse(settings.server, serverError);
        server && settings.enabled) {
        connect(&m_teamSync, &TeamSyncer::message, m_statusText, &QLabel::setText);
        connect(&m_visits, &VisitKeeper::kept, &m_teamSync, &TeamSyncer::syncSoon);
        m_teamSync.start(TeamArchive(settings.archive(), *server, settings.pc, settings.pullAll));
    } else if (!settings.server.isEmpty()) {
        m_statusText->setText(serverError);
    }
    if (settings.asksTechnician()) {
        // Once the window is up, over it, and never waited on: visits made meanwhile name no one.
        QTimer::singleShot(0, this, [this, pc = settings.pc] {
            auto *dialog = new TechnicianDialog(this);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            connect(dialog, &TechnicianDialog::named, this, [this, pc](const QString &name) {
                ArchiveSettings::StoreTechnician(name);
                m_visits.setAuthor(name, pc);
            });
            dialog->open();
        });
    }
    m_visits.setStatusFeed(&m_statusFeed);
    connect(m_paramsPage, &ParamsPage::deviceRead, this, [this](const ConfigImageBytes &image) {
        m_visits.keepParameters(VisitKind::Read, image, m_variant);
        m_servicePage->showControllerImage(image);
    });
    connect(m_paramsPage, &ParamsPage::writeProven, this,
            [this](const ConfigImageBytes &readBack, const QDateTime &provenAt) {
                m_visits.keepParameters(VisitKind::Write, readBack, m_variant, provenAt);
                m_servicePage->showControllerImage(readBack);
            });
    connect(m_servicePage, &ServicePage::serviceSent, this, [this](const ServiceChange &change) {
        m_statusText->setText(ServiceSentText(change));
        m_visits.keepService(change, m_statusFeed.seen() ? m_statusFeed.latest().VariantCode : m_variant);
    });
    m_journalPage->setControllerSource([this] {
        return std::pair{m_visits.currentSerial(),
                         m_statusFeed.seen() ? m_statusFeed.latest().VariantCode : m_variant};
    });
    connect(m_journalPage, &JournalPage::journalsRead, this, [this](const JournalBook &journals) {
        m_visits.keepJournals(journals, m_statusFeed.latest().VariantCode);
    });
    connect(&m_visits, &VisitKeeper::message, m_statusText, &QLabel::setText);
    connect(&m_visits, &VisitKeeper::comparedWithLastVisit, this, &MainWindow::showSinceLastVisit);
    connect(m_paramsPage, &ParamsPage::reportRequested, this, &MainWindow::showReportDialog);
    connect(m_paramsPage, &ParamsPage::historyRequested, this, [this] {
        if (!m_history)
            m_history = new HistoryDialog(m_visits.archive(), this);
        m_history->showController(m_visits.currentSerial());
        m_history->show();
        m_history->raise();
    });
    connect(m_paramsPage, &ParamsPage::fleetRequested, this, [this] {
        if (!m_fleet)
            m_fleet = new FleetDialog(m_visits.archive(), this);
        else
            m_fleet->refresh();
        m_fleet->show();
        m_fleet->raise();
    });
}

void MainWindow::showReportDialog()
{
    if (!m_report) {
        m_report = new ReportDialog(
            [this] {
                VisitReportInput report;
                report.variantCode = m_variant;
                // The controller read in this visit, else what the image opened from a file holds; journals
                // of a controller not read since its port came back belong to no serial number yet.
                report.serial = m_visits.arrival() ? m_visits.currentSerial() : SerialNumberOf(ConfigImage());
                report.serialKnown = m_visits.arrival() || !m_visits.journals();
                report.time = QDateTime::currentDateTime();
                report.programVersion = QCoreApplication::applicationVersion();
                if (m_statusFeed.seen())
                    report.status = m_statusFeed.latest();
                report.tree = &m_tree;
                report.arrival = m_visits.arrival();
                report.writeProven = m_visits.writeProvenAt();
                report.journals = m_visits.journals();
                return report;
            },
            m_messages, this);
        updateControls();
    }
    m_report->show();
    m_report->raise();
}

void MainWindow::showSinceLastVisit(const QDateTime &lastVisit, const QString &lastTechnician,
                                    const QVector<ParamDifference> &differences)
{
    delete m_sinceLastVisit;
    if (differences.isEmpty()) {
        m_statusText->setText(VisitKeeper::UnchangedSinceText(lastVisit));
        return;
    }
    m_sinceLastVisit = new ChangeListDialog(
        tr("С прошлого визита"),
        {tr("Параметр"), VisitKeeper::LastVisitHeading(lastVisit, lastTechnician), tr("Сейчас")}, differences,
        this);
    m_sinceLastVisit->setObjectName(QStringLiteral("sinceLastVisitList"));
    m_sinceLastVisit->setAttribute(Qt::WA_DeleteOnClose);
    m_sinceLastVisit->show();
}

void MainWindow::setInitialState()
{
    ConfigImageBytes blank;
    blank.fill(0xFF);
    m_paramsPage->setConfigImage(blank);
    m_measurementPage->showNoData();
    m_variant = quint8(DeviceVariant::Petrol);
    m_tree.clear();
    LoadParamTree(PetrolParams(), HighestIndexFor(DeviceVariant::Petrol), m_tree);
    updateControls();
    m_pageTabs->setCurrentIndex(TabIndexOf(m_pageTabs, m_measurementPage));
    m_faultBlinkTimer.start();
}

void MainWindow::shutDown()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    // A transfer still waiting ends now; its result is no longer shown to anyone.
    m_messages.setHandler([](const Message &) {});
    m_link.closePort();
    m_recording.stop();
    m_sessionRecorder.stop();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_leaving && !m_destroyed && m_paramsPage->unwrittenChanges().present()) {
        event->ignore();
        m_paramsPage->unwrittenChanges().settle([this] {
            m_leaving = true;
            close();
        });
        return;
    }
    shutDown();
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // Ctrl+Tab left unused by the playback strip or the combos still turns the pages.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        event->modifiers().testFlag(Qt::ControlModifier)) {
        QCoreApplication::sendEvent(m_pageTabs, event);
        return;
    }
    QWidget::keyPressEvent(event);
}

const ConfigImageBytes &MainWindow::ConfigImage() const
{
    return m_paramsPage->ConfigImage();
}

bool MainWindow::isTabVisible(QWidget *page) const
{
    return m_pageTabs->isTabVisible(TabIndexOf(m_pageTabs, page));
}

void MainWindow::setTabVisible(QWidget *page, bool visible)
{
    const int index = TabIndexOf(m_pageTabs, page);
    const bool changed = m_pageTabs->isTabVisible(index) != visible;
    m_pageTabs->setTabVisible(index, visible);
    // A tab more or less may need the choosers' room in the tab row, or give it back.
    if (changed && layout())
        layout()->setGeometry(rect());
    // Ctrl+Tab passes over disabled tabs only, hidden or not.
    m_pageTabs->setTabEnabled(index, visible);
}

void MainWindow::loadCatalogue(DeviceVariant variant)
{
    m_variant = quint8(variant);
    LoadVariantTree(variant, m_tree);
}

void MainWindow::onVariantChosen()
{
    const QString text = m_variantCombo->currentText();
    m_paramsPage->unwrittenChanges().settle(
        [this, text] { applyChosenVariant(text); },
        [this] {
            const QSignalBlocker blocker(m_variantCombo);
            m_variantCombo->setCurrentIndex(
                int(std::find(std::begin(Variants), std::end(Variants), DeviceVariant(m_variant)) -
                    std::begin(Variants)));
            m_variantCombo->lineEdit()->setCursorPosition(0);
        });
}

void MainWindow::applyChosenVariant(const QString &text)
{
    m_tree.clear();
    const int index = m_variantCombo->findText(text, Qt::MatchExactly);
    if (index < 0 || index >= int(std::size(Variants)))
        return;
    loadCatalogue(Variants[index]);
    m_petrolReported = false;
    updateControls();
}

void MainWindow::detectVariant(quint8 code)
{
    // No row changes under the value dialog or an operation: the variant the
    // last frame reported is applied when they end.
    if (code == m_variant) {
        m_pendingVariant.reset();
        return;
    }
    if (m_editor->isEditing() || m_link.busy()) {
        m_pendingVariant = code;
        return;
    }
    const std::optional<DeviceVariant> variant = VariantFromCode(code);
    if (!variant)
        return;
    const int comboIndex =
        int(std::find(std::begin(Variants), std::end(Variants), *variant) - std::begin(Variants));
    // Another controller, or this one changed: what it held is no longer known.
    m_tree.setBaseline(std::nullopt);
    m_tree.clear();
    loadCatalogue(*variant);
    m_petrolReported = *variant == DeviceVariant::Petrol;
    updateControls();
    const QSignalBlocker blocker(m_variantCombo);
    m_variantCombo->setCurrentIndex(comboIndex);
    m_variantCombo->lineEdit()->setCursorPosition(0);
}

void MainWindow::onStatusRecord(const TelemetryRecord &record, qint64 msecs)
{
    // A recording shown is no controller: the live session's tree, variant and CSV file stay its own.
    if (!m_playback) {
        detectVariant(record.VariantCode);
        m_servicePage->showControllerRecord(record);
    }
    m_measurementPage->show(record);
    m_telemetry.append(msecs, record);
    if (!m_playback)
        m_recording.append(m_telemetry.newest());
    m_trendsPage->sampleAdded();
}

void MainWindow::addExtraPort(const QString &path)
{
    m_portCombo->addExtraPort(path);
}

void MainWindow::setClock(const std::function<QDateTime()> &clock)
{
    m_terminalPage->setClock(clock);
    m_servicePage->setClock(clock);
}

void MainWindow::pickPort(const QString &path)
{
    m_portCombo->showPort(path);
    onPortPicked(path);
}

void MainWindow::onPortPicked(const QString &path)
{
    const ByteTransport &open = m_link.transport();
    if (m_link.busy() || (!m_playback && open.isOpen() && open.portName() == path))
        return;
    const QString shown = !m_playback && open.isOpen() ? open.portName() : QString();
    m_paramsPage->unwrittenChanges().settle([this, path] { openPickedPort(path); },
                                            [this, shown] {
                                                if (shown.isEmpty())
                                                    m_portCombo->clearSelection();
                                                else
                                                    m_portCombo->showPort(shown);
                                            });
}

void MainWindow::openPickedPort(const QString &path)
{
    if (m_link.busy())
        return;
    // A port picked while a recording plays ends it: the window shows a controller again.
    if (m_playback) {
        const QString livePort = endPlayback();
        if (path == livePort) {
            returnToLivePort(path);
            return;
        }
    }
    const ByteTransport &port = m_link.transport();
    if (port.isOpen() && port.portName() == path)
        return;
    // The values and journals read belong to the controller on the port that was open.
    leaveController(SourceChange::PortPicked);
    m_journalPage->clear();
    const QString failure = m_link.openPort(path);
    if (!failure.isEmpty()) {
        m_portCombo->clearSelection();
        updateControls();
        m_messages.error(failure);
        return;
    }
    if (IsNetworkPortName(path)) {
        RememberNetworkPort(path);
        m_portCombo->setRememberedPorts(RememberedNetworkPorts());
        m_portCombo->showPort(path);
    }
    updateControls();
    startHeldSessionRecording();
}

void MainWindow::onPortLost()
{
    // The adapter may come back on another controller: nothing read afterwards is taken for this one's.
    leaveController(SourceChange::PortLost);
    m_portCombo->clearSelection();
    updateControls();
    // A network port is reconnected by itself: the reason goes to the status bar, and a box only
    // when the loss ended an operation, which then says why it failed.
    if (const QString reason = m_link.transport().lossReason(); !reason.isEmpty()) {
        m_statusText->setText(ConnectionLostText(reason));
        if (!m_link.busy())
            return;
    }
    // The loss may be told from inside a write: the box comes once that write has returned.
    QMetaObject::invokeMethod(
        this, [this] { m_messages.error(PortLostText()); }, Qt::QueuedConnection);
}

void MainWindow::applyHeldVariant()
{
    if (m_playback || !m_pendingVariant || m_link.busy() || m_editor->isEditing())
        return;
    const quint8 code = *m_pendingVariant;
    m_pendingVariant.reset();
    detectVariant(code);
}

QList<QWidget *> MainWindow::deviceArea() const
{
    // Everything that could touch the link, the tree or the image, or report them half read.
    QList<QWidget *> area = m_servicePage->deviceControls()
                            << m_paramsPage->deviceControls() << m_journalPage->deviceControls()
                            << m_terminalPage->deviceControls() << m_portCombo << m_variantCombo;
    if (m_report)
        area << m_report->reportControls();
    return area;
}

void MainWindow::updateControls()
{
    // The one place that decides which controls are enabled and which pages
    // show: the device area while nothing runs, the service-locked controls and
    // the terminal once the code is confirmed, the journals unless a petrol
    // controller reported itself.
    const bool idle = !m_link.busy();
    const QList<QWidget *> locked = m_servicePage->lockedControls();
    const QList<QWidget *> device = deviceArea();
    // Without a port nothing reaches a controller.
    const bool portOpen = m_link.transport().isOpen();
    m_portShownOpen = portOpen;
    const QList<QWidget *> needPort = m_paramsPage->controllerControls() +
                                      m_journalPage->controllerControls() +
                                      m_servicePage->controllerControls();
    // A disabled control hands its focus on; keep it on the page rather than in the variant combo.
    QWidget *focus = QApplication::focusWidget();
    if ((!idle && device.contains(focus)) || (!portOpen && needPort.contains(focus)))
        PageIn(m_pageTabs->currentWidget())->setFocus(Qt::OtherFocusReason);
    // A recording plays: nothing may act on a controller, but a port may be picked to end it.
    const bool playing = m_playback != nullptr;
    for (QWidget *control : device + locked) {
        const bool free = idle || !device.contains(control);
        const bool unplayed = !playing || control == m_portCombo;
        const bool reachable = portOpen || !needPort.contains(control);
        control->setEnabled(free && unplayed && reachable &&
                            (m_serviceUnlocked || !locked.contains(control)));
    }
    m_connection.showRecording(playing ? QFileInfo(m_link.transport().portName()).fileName() : QString());
    m_connection.followPort(!playing && portOpen ? m_link.transport().portName() : QString());
    for (QWidget *control : m_terminalPage->sessionRecordingControls())
        control->setEnabled(!playing);
    m_playbackBar->openButton()->setEnabled(idle);
    m_stopButton->setVisible(!idle);
    setTabVisible(m_journalPage, !m_petrolReported);
    setTabVisible(m_terminalPage, m_serviceUnlocked);
}

void MainWindow::onServiceUnlocked()
{
    m_serviceUnlocked = true;
    updateControls();
}

void MainWindow::editChosenParam()
{
    if (m_link.busy())
        return;
    m_editor->edit(m_paramsPage->selectedNode(), m_paramsPage->selectedValuePoint());
}

void MainWindow::setTelemetryClock(std::function<qint64()> clock)
{
    m_liveClock = std::move(clock);
    if (!m_playback)
        m_statusFeed.setClock(m_liveClock);
}

QString MainWindow::RecordingShownText(const QString &path)
{
    return tr("Показана запись сеанса: %1 — не устройство").arg(QFileInfo(path).fileName());
}

void MainWindow::connectPlayback()
{
    m_sessionRecorder.setLink(&m_link);
    connect(m_terminalPage, &TerminalPage::sessionRecordingSwitched, this, &MainWindow::onSessionSwitch);
    connect(&m_sessionRecorder, &SessionRecorder::stopped, this, &MainWindow::onSessionRecordingStopped);
    connect(m_playbackBar, &PlaybackBar::openRequested, this, &MainWindow::chooseRecording);
    connect(m_playbackBar, &PlaybackBar::closeRequested, this, [this] {
        closeRecording();
        m_portCombo->setFocus(Qt::OtherFocusReason);
    });
    connect(m_playbackBar, &PlaybackBar::pauseSwitched, this, [this](bool paused) {
        if (m_playback)
            paused ? m_playback->pause() : m_playback->resume();
    });
    connect(m_playbackBar, &PlaybackBar::speedChosen, this, [this](double speed) {
        if (m_playback)
            m_playback->setSpeed(speed);
    });
    connect(m_playbackBar, &PlaybackBar::positionChosen, this, [this](qint64 ms) {
        if (!m_playback)
            return;
        // Going back plays the earlier frames again: the record and the counts start from there.
        if (ms < m_playback->position())
            startAfresh();
        m_playback->seek(ms);
        m_playbackBar->showPosition(m_playback->position());
    });
    m_playbackTick.setInterval(250);
    connect(&m_playbackTick, &QTimer::timeout, this, [this] {
        if (m_playback)
            m_playbackBar->showPosition(m_playback->position());
    });
}

void MainWindow::recordSession(const QString &path)
{
    m_terminalPage->setSessionFileName(path);
    onSessionSwitch(true, path);
}

void MainWindow::onSessionSwitch(bool on, const QString &path)
{
    m_heldSessionPath.clear();
    if (!on) {
        m_sessionRecorder.stop();
        m_terminalPage->showSessionRecording(false);
        return;
    }
    m_terminalPage->showSessionRecording(true);
    m_heldSessionPath = RecordingFileName(path);
    if (m_link.transport().isOpen() && !m_playback)
        startHeldSessionRecording();
}

void MainWindow::startHeldSessionRecording()
{
    if (m_heldSessionPath.isEmpty() || m_playback)
        return;
    QString path = std::exchange(m_heldSessionPath, QString());
    // A recording this run made belongs to its own controller: a new one never replaces it.
    if (m_recordedSessionFiles.contains(QFileInfo(path).absoluteFilePath())) {
        path = UnusedFileName(path);
        m_terminalPage->setSessionFileName(path);
    }
    RecordingHeader header;
    header.programVersion = QCoreApplication::applicationVersion();
    header.port = m_link.transport().portName();
    if (m_statusFeed.seen())
        header.variant = VariantName(m_statusFeed.latest().VariantCode);
    const QString failure = m_sessionRecorder.start(path, header);
    if (!failure.isEmpty())
        onSessionRecordingStopped(failure);
    else
        m_recordedSessionFiles.insert(QFileInfo(path).absoluteFilePath());
}

void MainWindow::endSessionRecording(SourceChange change)
{
    if (!m_sessionRecorder.isRecording())
        return;
    const QString fileName = QFileInfo(m_sessionRecorder.fileName()).fileName();
    m_sessionRecorder.stop();
    m_statusText->setText(SessionRecordingEndedText(fileName, change));
}

void MainWindow::leaveController(SourceChange change)
{
    m_tree.setBaseline(std::nullopt);
    m_tree.forgetController();
    m_visits.forgetController();
    m_servicePage->forgetController();
    // The report and a new recording's header describe the controller now on the line, once it speaks.
    m_statusFeed.forget();
    endSessionRecording(change);
}

void MainWindow::onSessionRecordingStopped(const QString &failure)
{
    m_terminalPage->showSessionRecording(false);
    if (failure.isEmpty())
        return;
    // Not from inside the receive path or a write: the box comes once they have returned.
    QMetaObject::invokeMethod(
        this, [this, failure] { m_messages.error(failure); }, Qt::QueuedConnection);
}

void MainWindow::chooseRecording()
{
    AskOpenFileName(this, tr("Открыть запись сеанса"), tr("Записи сеанса (*.gcrec);;Все файлы (*)"), this,
                    [this](const QString &path) {
                        if (!path.isEmpty())
                            openRecording(path);
                    });
}

void MainWindow::startAfresh()
{
    m_link.restartReceiving();
    m_telemetry.clear();
    m_measurementPage->showNoData();
    m_trendsPage->goLive();
}

void MainWindow::openRecording(const QString &path)
{
    if (m_link.busy())
        return;
    m_paramsPage->unwrittenChanges().settle([this, path] { openRecordingNow(path); });
}

void MainWindow::openRecordingNow(const QString &path)
{
    if (m_link.busy())
        return;
    auto transport = std::make_unique<RecordingTransport>();
    transport->setSpeed(m_playbackBar->speed());
    const QString failure = transport->open(path);
    if (!failure.isEmpty()) {
        m_messages.error(failure);
        return;
    }
    RecordingTransport *playback = transport.get();
    if (m_playback) {
        m_link.setTransport(std::move(transport));
    } else {
        // The live session waits, untouched, to be taken up again when the recording is closed; a session
        // recording waiting for a port waits on.
        endSessionRecording(SourceChange::RecordingOpened);
        m_livePort = m_link.transport().isOpen() ? m_link.transport().portName() : QString();
        m_link.setTransport(std::move(transport), &m_liveTransport);
        m_trendsPage->setRecordingPaused(CsvPausedText());
    }
    m_playback = playback;
    m_statusFeed.forget();
    const qint64 startMs = playback->header().start.toMSecsSinceEpoch();
    m_statusFeed.setClock([playback, startMs] { return startMs + playback->position(); });
    startAfresh();
    connect(playback, &RecordingTransport::failed, this, [this](const QString &text) {
        QMetaObject::invokeMethod(
            this, [this, text] { m_messages.error(text); }, Qt::QueuedConnection);
    });
    // The recorded session's requests show in the terminal as the window's own do.
    connect(playback, &RecordingTransport::requestPlayed, m_terminalPage,
            [this](const QByteArray &frame) { m_terminalPage->appendEcho("<< " + frame); });
    connect(playback, &RecordingTransport::finished, this,
            [this] { m_playbackBar->showPosition(m_playback ? m_playback->duration() : 0); });
    m_portCombo->clearSelection();
    m_playbackBar->showPlayback(playback->duration());
    m_trendsPage->showRecordingSpan(startMs, startMs + playback->duration());
    m_statusText->setText(RecordingShownText(path));
    m_playbackTick.start();
    updateControls();
}

void MainWindow::closeRecording()
{
    if (!m_playback || m_link.busy())
        return;
    const QString livePort = endPlayback();
    if (!livePort.isEmpty())
        returnToLivePort(livePort);
}

QString MainWindow::endPlayback()
{
    m_playback = nullptr;
    m_playbackTick.stop();
    m_link.setTransport(std::move(m_liveTransport));
    m_statusFeed.setClock(m_liveClock);
    // The recording's last frame describes no controller: the report waits for a live one.
    m_statusFeed.forget();
    startAfresh();
    m_playbackBar->hidePlayback();
    m_trendsPage->showRecordingSpan(0, 0);
    m_trendsPage->setRecordingPaused(QString());
    m_statusText->clear();
    updateControls();
    return std::exchange(m_livePort, QString());
}

void MainWindow::returnToLivePort(const QString &path)
{
    const QString failure = m_link.openPort(path);
    if (!failure.isEmpty()) {
        // Gone with its port: the controller read before may not be the one that comes back.
        m_portCombo->clearSelection();
        leaveController(SourceChange::PortLost);
        if (m_recording.isRecording()) {
            m_recording.stop();
            m_statusText->setText(CsvStoppedText());
        }
        m_messages.error(LivePortGoneText(path, failure));
        return;
    }
    m_portCombo->showPort(path);
    m_statusText->setText(PortReopenedText(m_portCombo->portText(path)));
    updateControls();
    startHeldSessionRecording();
}

} // namespace gencfg
