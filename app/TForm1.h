#pragma once

// The main window: five pages over the controller, the variant and port
// choosers, and the status bar. It owns all program state; the pages own
// their controls.

#include "config/ConfigImage.h"
#include "config/ParamModel.h"
#include "link/DeviceLink.h"
#include "monitor/TelemetryLog.h"
#include "widgets/Messages.h"

#include <QDateTime>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QFileDialog;
class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace gencfg {

class JournalPage;
class MeasurementPage;
class ParamEditor;
class ParamsPage;
class PortComboBox;
class ServicePage;
class TerminalPage;
class TForm2;
class TrendsPage;

class TForm1 : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ClientWidth = 799;
    static constexpr int ClientHeight = 572;
    // The variant combo's right end keeps this distance from the page control's right edge.
    static constexpr int VariantComboRightGap = 160;

    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    Messages &messages() { return m_messages; }
    DeviceLink &link() { return m_link; }
    ParamModel &tree() { return m_tree; }
    // Every status frame of this run, for the "Графики" page.
    TelemetryLog &telemetryLog() { return m_telemetry; }
    // The clock the record stamps each status frame with, in milliseconds since the epoch.
    void setTelemetryClock(std::function<qint64()> clock) { m_telemetryClock = std::move(clock); }
    ParamEditor &editor() { return *m_editor; }

    // Opens a port as if the user had picked it in the chooser.
    void pickPort(const QString &path);
    // Lists a port the system does not enumerate (a pseudo-terminal, a symlink).
    void addExtraPort(const QString &path);

    // Window parts, named as the pages refer to them.
    QTabWidget *PageControl1 = nullptr;
    MeasurementPage *TabSheet1 = nullptr;
    ParamsPage *TabSheet2 = nullptr;
    JournalPage *TabSheet5 = nullptr;
    ServicePage *TabSheet4 = nullptr;
    TerminalPage *TabSheet3 = nullptr;
    TrendsPage *TabSheet6 = nullptr; // "Графики"
    QComboBox *ComboBox_DeviceVersions = nullptr;
    PortComboBox *AfPortComboBox1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *StatusPanel0 = nullptr;
    QLabel *StatusPanel1 = nullptr;
    QLabel *StatusPanelErrors = nullptr;
    QPushButton *ButtonStop = nullptr; // "Стоп": shown while an operation runs
    // Armed by the first arrival and otherwise idle: the wait clock of the operations is the link's own.
    QTimer Timer1;
    // Blinks the generator gauge's pointer while the controller reports a generator voltage fault.
    QTimer Timer2;
    TForm2 *Form2 = nullptr;

    quint8 RecordedVariant = 200;
    // The parameters page owns the image; this is what it holds now.
    const ConfigImageBytes &ConfigImage() const;

    bool isTabVisible(QWidget *page) const;
    void setTabVisible(QWidget *page, bool visible);

    // Handlers.
    void FormCreate();
    void FormDestroy();
    void ComboBox_DeviceVersionsChange();
    void TreeList1DblClick();

    // The status-frame steps, in the order the dispatcher runs them.
    void ClearDisplayErrors();
    void DetectVariant(quint8 code);
    void DecodeStatusFrame(const RxBuffer &rxBytes);
    void ShowTelemetry();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildWindow();
    void connectLink();
    void loadCatalogue(DeviceVariant variant);
    void onStatusFrame(const RxBuffer &rxBytes);
    void onPortPicked(const QString &path);
    void onPortLost();
    QList<QWidget *> deviceArea() const;
    void updateDeviceControls();
    void onServiceUnlocked();
    // Applies a variant reported while the value dialog was open or an operation ran.
    void applyHeldVariant();

    Messages m_messages;
    DeviceLink m_link;
    ParamModel m_tree;
    TelemetryLog m_telemetry;
    std::function<qint64()> m_telemetryClock = &QDateTime::currentMSecsSinceEpoch;
    std::unique_ptr<ParamEditor> m_editor;
    bool m_destroyed = false;
    bool m_serviceUnlocked = false;
    // A variant a status frame reported while the value dialog was open or an operation ran.
    std::optional<quint8> m_pendingVariant;
};

} // namespace gencfg
