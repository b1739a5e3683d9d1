#include "app/TForm1.h"

#include "app/ProportionalLayout.h"
#include "app/TerminalPage.h"
#include "config/ui/ParamEditor.h"
#include "config/ui/ParamTreeView.h"
#include "config/ui/ParamsPage.h"
#include "config/ui/TForm2.h"
#include "link/LinkTexts.h"
#include "link/PortAccess.h"
#include "monitor/Journal.h"
#include "monitor/ui/JournalPage.h"
#include "monitor/ui/MeasurementPage.h"
#include "monitor/ui/TrendsPage.h"
#include "service/ui/ServicePage.h"
#include "widgets/PortComboBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDateTime>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

namespace gencfg {

namespace {

// Room kept free in a layout: its size is its fixed size.
class FixedSpace : public QWidget
{
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return minimumSize(); }
};

} // namespace

TForm1::TForm1(QWidget *parent) : QWidget(parent), m_messages(this)
{
    buildWindow();
    connectLink();
    FormCreate();
}

TForm1::~TForm1()
{
    FormDestroy();
}

void TForm1::buildWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(tr("ПО Конфигуратор v2a"));
    QFont font;
    // Tahoma where it exists; a narrow sans elsewhere keeps the design's captions inside their controls.
    font.setFamilies(
        {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Sans Serif")});
    font.setPixelSize(11);
    setFont(font);
    resize(ClientWidth, ClientHeight);
    setMinimumSize(QSize(ClientWidth, ClientHeight) / 2);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(1, 1, 800, 550);
    PageControl1->setDocumentMode(true);

    TabSheet1 = new MeasurementPage;
    TabSheet2 = new ParamsPage(m_tree);
    TabSheet5 = new JournalPage;
    TabSheet4 = new ServicePage;
    TabSheet3 = new TerminalPage;
    TabSheet6 = new TrendsPage(m_telemetry);
    PageControl1->addTab(TabSheet1, tr("Измерения"));
    PageControl1->addTab(TabSheet2, tr("Параметры"));
    // The page is named after the event journal it shows first.
    PageControl1->addTab(TabSheet5, JournalCaption(EventJournal));
    PageControl1->addTab(TabSheet4, tr("Дополнительно"));
    PageControl1->addTab(TabSheet3, tr("Терминал+лог"));
    PageControl1->addTab(TabSheet6, tr("Графики"));

    ComboBox_DeviceVersions = new QComboBox(this);
    ComboBox_DeviceVersions->setObjectName(QStringLiteral("ComboBox_DeviceVersions"));
    ComboBox_DeviceVersions->setEditable(true);
    ComboBox_DeviceVersions->setInsertPolicy(QComboBox::NoInsert);
    // Only a click puts the caret here: focus passed on by a disabled button would scroll the text.
    ComboBox_DeviceVersions->setFocusPolicy(Qt::ClickFocus);
    for (DeviceVariant variant : Variants)
        ComboBox_DeviceVersions->addItem(VariantTitle(variant));
    ComboBox_DeviceVersions->setCurrentIndex(-1);
    // The initial text is the petrol item without its trailing blank.
    ComboBox_DeviceVersions->setEditText(VariantTitle(DeviceVariant::Petrol).trimmed());
    ComboBox_DeviceVersions->lineEdit()->setCursorPosition(0);
    ComboBox_DeviceVersions->setGeometry(568, 1, 109, 20);
    // The two combos sit over the right end of the tab strip: the tabs keep clear of
    // them and scroll when they do not fit, as with all six pages shown.
    auto *comboSpace = new FixedSpace(PageControl1);
    comboSpace->setObjectName(QStringLiteral("TabStripComboSpace"));
    comboSpace->setFixedSize(ComboBox_DeviceVersions->width() + VariantComboRightGap + 4, 1);
    PageControl1->setCornerWidget(comboSpace, Qt::TopRightCorner);
    PageControl1->setUsesScrollButtons(true);
    PageControl1->tabBar()->setElideMode(Qt::ElideNone);
    connect(ComboBox_DeviceVersions, &QComboBox::activated, this, [this] {
        ComboBox_DeviceVersionsChange();
        // The picked text leaves the caret at its end, which scrolls its first letter out of the field.
        ComboBox_DeviceVersions->lineEdit()->setCursorPosition(0);
    });
    connect(ComboBox_DeviceVersions->lineEdit(), &QLineEdit::textEdited, this,
            [this] { ComboBox_DeviceVersionsChange(); });

    AfPortComboBox1 = new PortComboBox(this);
    AfPortComboBox1->setObjectName(QStringLiteral("AfPortComboBox1"));
    AfPortComboBox1->setGeometry(683, 1, 109, 21);
    AfPortComboBox1->setBusyProbe([](const QString &path) { return PortHeldByOtherProgram(path); });
    connect(AfPortComboBox1, &PortComboBox::portPicked, this, &TForm1::onPortPicked);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, ClientHeight - 18, ClientWidth, 18);
    // The panels change with every frame and request: plain text of a fixed size never
    // makes the status bar lay itself out again.
    const int panelHeight = QFontMetrics(font).height() + 2;
    StatusPanel0 = new QLabel(tr("Пакетов принято:"));
    StatusPanel0->setTextFormat(Qt::PlainText);
    StatusPanel0->setFixedSize(200, panelHeight);
    StatusPanel1 = new QLabel;
    StatusPanel1->setTextFormat(Qt::PlainText);
    StatusPanel1->setMinimumWidth(50);
    StatusPanel1->setFixedHeight(panelHeight);
    StatusPanel1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    StatusPanelErrors = new QLabel;
    StatusPanelErrors->setTextFormat(Qt::PlainText);
    StatusPanelErrors->setFixedSize(110, panelHeight);
    ButtonStop = new QPushButton(tr("Стоп"));
    ButtonStop->setObjectName(QStringLiteral("ButtonStop"));
    ButtonStop->setAccessibleName(tr("Стоп"));
    ButtonStop->setFocusPolicy(Qt::NoFocus);
    ButtonStop->setFixedHeight(14);
    ButtonStop->hide();
    StatusBar1->addWidget(StatusPanel0);
    StatusBar1->addWidget(StatusPanel1, 1);
    StatusBar1->addWidget(ButtonStop);
    StatusBar1->addWidget(StatusPanelErrors);
    connect(ButtonStop, &QPushButton::clicked, &m_link, &DeviceLink::cancelOperation);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, &m_link, &DeviceLink::cancelOperation);

    Timer1.setInterval(300);
    Timer2.setInterval(2000);

    connect(TabSheet1, &MeasurementPage::automaticModeShown, TabSheet4, &ServicePage::showAutomaticMode);
    connect(TabSheet4, &ServicePage::serviceUnlocked, this, &TForm1::onServiceUnlocked);
    connect(&Timer2, &QTimer::timeout, TabSheet1, &MeasurementPage::Timer3Timer);

    Form2 = new TForm2(this);
    m_editor = std::make_unique<ParamEditor>(m_tree, *Form2, m_messages);
    connect(TabSheet2->TreeList1, &QAbstractItemView::doubleClicked, this, [this] { TreeList1DblClick(); });
    TabSheet2->attach(m_link, m_messages);
    connect(TabSheet2, &ParamsPage::progressText, StatusPanel1, &QLabel::setText);
    connect(TabSheet5, &JournalPage::progressText, StatusPanel1, &QLabel::setText);
    connect(TabSheet2, &ParamsPage::thresholdsChanged, TabSheet1, &MeasurementPage::ShowThresholdsOnGauges);
    connect(TabSheet2, &ParamsPage::thresholdsChanged, TabSheet6, &TrendsPage::showThresholds);
    TabSheet6->attach(m_messages);
    connect(TabSheet2, &ParamsPage::saved, this, &QWidget::setWindowTitle);
}

void TForm1::connectLink()
{
    // Direct connections: the dispatcher's steps run in its own order.
    connect(&m_link, &DeviceLink::bytesArrived, this, [this] {
        if (!Timer1.isActive())
            Timer1.start();
    });
    connect(&m_link, &DeviceLink::packetCountChanged, this,
            [this](int count) { StatusPanel0->setText(tr("Пакетов принято: %1").arg(count)); });
    connect(&m_link, &DeviceLink::badFrameCountChanged, this,
            [this](int count) { StatusPanelErrors->setText(tr("Ошибок: %1").arg(count)); });
    connect(&m_link, &DeviceLink::statusFrameReceived, this, &TForm1::onStatusFrame);
    connect(&m_link, &DeviceLink::terminalStep, TabSheet3, &TerminalPage::terminalStep);
    connect(&m_link, &DeviceLink::echoLine, TabSheet3, &TerminalPage::appendEcho);
    TabSheet5->attach(m_link, m_messages);
    TabSheet4->attach(m_link, m_messages);
    TabSheet3->attach(m_messages);
    connect(TabSheet4, &ServicePage::logNameRequested, TabSheet3, &TerminalPage::Button6Click);
    connect(TabSheet4, &ServicePage::logSwitchChanged, TabSheet3, &TerminalPage::otherLogSwitchChanged);
    connect(TabSheet3, &TerminalPage::logSwitchesOff, TabSheet4, &ServicePage::logSwitchOff);
    connect(&m_link, &DeviceLink::busyChanged, this, &TForm1::updateDeviceControls);
    // After the operation's own result has been handled.
    connect(&m_link, &DeviceLink::busyChanged, this, &TForm1::applyHeldVariant, Qt::QueuedConnection);
    connect(&m_link, &DeviceLink::portLost, this, &TForm1::onPortLost);
    m_link.setReopenReturningPort(true);
    connect(&m_link, &DeviceLink::portReturned, this, [this](const QString &path) {
        AfPortComboBox1->refresh();
        AfPortComboBox1->showPort(path);
        StatusPanel1->setText(PortReopenedText(AfPortComboBox1->portText(path)));
    });
}

void TForm1::FormCreate()
{
    ConfigImageBytes blank;
    blank.fill(0xFF);
    TabSheet2->setConfigImage(blank);
    TabSheet1->ResetMeasurementDisplays();
    RecordedVariant = quint8(DeviceVariant::Petrol);
    m_tree.clear();
    LoadParamTree(PetrolParams(), HighestIndexFor(DeviceVariant::Petrol), m_tree);
    setTabVisible(TabSheet5, true);
    setTabVisible(TabSheet3, false);
    PageControl1->setCurrentWidget(TabSheet1);
    Timer2.start();
}

void TForm1::FormDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    // A transfer still waiting ends now; its result is no longer shown to anyone.
    m_messages.setHandler([](const Message &) {});
    m_link.closePort();
    TabSheet6->stopRecording();
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Placed after the size has taken effect, so the placement follows the final size.
    FormConstrainedResize(*this);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    FormDestroy();
    event->accept();
}

const ConfigImageBytes &TForm1::ConfigImage() const
{
    return TabSheet2->ConfigImage();
}

bool TForm1::isTabVisible(QWidget *page) const
{
    return PageControl1->isTabVisible(PageControl1->indexOf(page));
}

void TForm1::setTabVisible(QWidget *page, bool visible)
{
    PageControl1->setTabVisible(PageControl1->indexOf(page), visible);
}

void TForm1::loadCatalogue(DeviceVariant variant)
{
    RecordedVariant = quint8(variant);
    LoadVariantTree(variant, m_tree);
}

void TForm1::ComboBox_DeviceVersionsChange()
{
    m_tree.clear();
    const int index =
        ComboBox_DeviceVersions->findText(ComboBox_DeviceVersions->currentText(), Qt::MatchExactly);
    if (index < 0 || index >= int(std::size(Variants)))
        return;
    loadCatalogue(Variants[index]);
    setTabVisible(TabSheet5, true);
}

void TForm1::DetectVariant(quint8 code)
{
    // No row changes under the value dialog or an operation: the variant the
    // last frame reported is applied when they end.
    if (code == RecordedVariant) {
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
    setTabVisible(TabSheet5, code != quint8(DeviceVariant::Petrol));
    const QSignalBlocker blocker(ComboBox_DeviceVersions);
    ComboBox_DeviceVersions->setCurrentIndex(comboIndex);
    ComboBox_DeviceVersions->lineEdit()->setCursorPosition(0);
}

void TForm1::onStatusFrame(const RxBuffer &rxBytes)
{
    ClearDisplayErrors();
    DetectVariant(rxBytes[5]);
    DecodeStatusFrame(rxBytes);
    ShowTelemetry();
    m_telemetry.append(m_telemetryClock(), TabSheet1->telemetry());
    TabSheet6->sampleAdded();
}

void TForm1::ClearDisplayErrors()
{
    TabSheet1->ClearDisplayErrors();
}

void TForm1::DecodeStatusFrame(const RxBuffer &rxBytes)
{
    TabSheet1->DecodeStatusFrame(rxBytes);
}

void TForm1::ShowTelemetry()
{
    TabSheet1->ShowTelemetry();
}

void TForm1::addExtraPort(const QString &path)
{
    AfPortComboBox1->addExtraPort(path);
}

void TForm1::pickPort(const QString &path)
{
    AfPortComboBox1->showPort(path);
    onPortPicked(path);
}

void TForm1::onPortPicked(const QString &path)
{
    const ByteTransport &port = m_link.AfComPort1();
    if (m_link.busy() || (port.isOpen() && port.portName() == path))
        return;
    // The values read belong to the controller on the port that was open.
    m_tree.setBaseline(std::nullopt);
    const QString failure = m_link.openPort(path);
    if (!failure.isEmpty()) {
        AfPortComboBox1->clearSelection();
        m_messages.plain(QStringLiteral("Error"), failure);
    }
}

void TForm1::onPortLost()
{
    // The adapter may come back on another controller.
    m_tree.setBaseline(std::nullopt);
    AfPortComboBox1->clearSelection();
    // The loss may be told from inside a write: a modal box there would run the link under itself.
    QMetaObject::invokeMethod(
        this, [this] { m_messages.error(PortLostText()); }, Qt::QueuedConnection);
}

void TForm1::applyHeldVariant()
{
    if (!m_pendingVariant || m_link.busy() || m_editor->isEditing())
        return;
    const quint8 code = *m_pendingVariant;
    m_pendingVariant.reset();
    DetectVariant(code);
}

QList<QWidget *> TForm1::deviceArea() const
{
    // Everything that could touch the link, the tree or the image.
    return TabSheet4->deviceControls() << TabSheet2->Button1 << TabSheet2->Button2 << TabSheet2->Button3
                                       << TabSheet2->Button4 << TabSheet5->Button13 << TabSheet4->Button15
                                       << TabSheet3->Button6 << AfPortComboBox1 << ComboBox_DeviceVersions;
}

void TForm1::updateDeviceControls()
{
    // The one place that decides which controls are enabled: the device area
    // while nothing runs, the service-locked controls once the code is confirmed.
    const bool idle = !m_link.busy();
    const QList<QWidget *> locked = TabSheet4->lockedControls();
    const QList<QWidget *> device = deviceArea();
    // A disabled control hands its focus on; keep it on the page rather than in the variant combo.
    if (!idle && device.contains(QApplication::focusWidget()))
        PageControl1->currentWidget()->setFocus(Qt::OtherFocusReason);
    for (QWidget *control : device + locked) {
        const bool free = idle || !device.contains(control);
        control->setEnabled(free && (m_serviceUnlocked || !locked.contains(control)));
    }
    ButtonStop->setVisible(!idle);
}

void TForm1::onServiceUnlocked()
{
    setTabVisible(TabSheet3, true);
    m_serviceUnlocked = true;
    updateDeviceControls();
}

void TForm1::TreeList1DblClick()
{
    if (m_link.busy())
        return;
    m_editor->TreeList1DblClick(TabSheet2->TreeList1->selectedNode(), QCursor::pos());
    applyHeldVariant();
}

} // namespace gencfg
