#pragma once

// The main window: five pages over the controller, the variant and port
// choosers, and the status bar. It owns all program state; the pages own
// their controls.

#include "app/SourceTexts.h"
#include "config/ConfigImage.h"
#include "config/ParamModel.h"
#include "link/ConnectionState.h"
#include "link/DeviceLink.h"
#include "monitor/StatusFeed.h"
#include "monitor/TelemetryLog.h"
#include "monitor/TelemetryRecording.h"
#include "record/SessionRecorder.h"
#include "visit/TeamSyncer.h"
#include "visit/VisitKeeper.h"
#include "widgets/Messages.h"

#include <QDateTime>
#include <QPointer>
#include <QSet>
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

class ChangeListDialog;
class FleetDialog;
class HistoryDialog;
class ReportDialog;
class JournalPage;
class MeasurementPage;
class ParamEditor;
class ParamsPage;
class PortComboBox;
class ServicePage;
class TerminalPage;
class ParamValueDialog;
class PlaybackBar;
class RecordingTransport;
class TrendsPage;

class MainWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ClientWidth = 799;
    static constexpr int ClientHeight = 572;
    // The variant combo's right end keeps this distance from the page control's right edge.
    static constexpr int VariantComboRightGap = 160;
    static constexpr int VariantComboWidth = 109;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Messages &messages() { return m_messages; }
    DeviceLink &link() { return m_link; }
    // The port, its adapter and whether a controller is heard, as the status bar shows them.
    ConnectionState &connection() { return m_connection; }
    ParamModel &tree() { return m_tree; }
    // Every status frame of this run, for the "Графики" page.
    TelemetryLog &telemetryLog() { return m_telemetry; }
    // The clock the record stamps each status frame with, in milliseconds since the epoch.
    void setTelemetryClock(std::function<qint64()> clock);
    // The clock the terminal stamps its lines with and the service page sets the controller's clock from.
    void setClock(const std::function<QDateTime()> &clock);
    ParamEditor &editor() { return *m_editor; }

    // Opens a port as if the user had picked it in the chooser.
    void pickPort(const QString &path);
    // Lists a port the system does not enumerate (a pseudo-terminal, a symlink).
    void addExtraPort(const QString &path);

    // Records the session to path from the port's opening, or from now when a port is open.
    void recordSession(const QString &path);
    SessionRecorder &sessionRecorder() { return m_sessionRecorder; }
    // Plays a session recording as if it came from a port, as "Открыть запись сеанса" does.
    void openRecording(const QString &path);
    // Back to the port the recording replaced, opened again with the session it had.
    void closeRecording();
    bool playsRecording() const { return m_playback != nullptr; }
    // The status bar's text while a recording is shown.
    static QString RecordingShownText(const QString &path);

    // The variant whose catalogue the tree holds.
    DeviceVariant variant() const { return DeviceVariant(m_variant); }
    // The parameters page owns the image; this is what it holds now.
    const ConfigImageBytes &ConfigImage() const;

    bool isTabVisible(QWidget *page) const;
    void setTabVisible(QWidget *page, bool visible);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private Q_SLOTS:
    void setInitialState();
    void shutDown();
    void onVariantChosen();
    void editChosenParam();

private:
    // Window parts and pages; tests reach them by object name.
    QTabWidget *m_pageTabs = nullptr;
    QComboBox *m_variantCombo = nullptr;
    PortComboBox *m_portCombo = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_packetsCaption = nullptr;
    QLabel *m_statusText = nullptr;
    QLabel *m_errorCountLabel = nullptr;
    QPushButton *m_stopButton = nullptr; // "Стоп": shown while an operation runs
    // Blinks the generator gauge's pointer while the controller reports a generator voltage fault.
    QTimer m_faultBlinkTimer{this};
    MeasurementPage *m_measurementPage = nullptr;
    ParamsPage *m_paramsPage = nullptr;
    JournalPage *m_journalPage = nullptr;
    ServicePage *m_servicePage = nullptr;
    TerminalPage *m_terminalPage = nullptr;
    void buildWindow();
    // Registers the window's parts with its layout, which places them again at every size.
    void placeParts();
    void connectLink();
    void loadCatalogue(DeviceVariant variant);
    void onStatusRecord(const TelemetryRecord &record, qint64 msecs);
    // One status frame with another variant than the tree's reloads the catalogue, unless something is under
    // way.
    void detectVariant(quint8 code);
    // Another port, once unwritten edits are settled; the chooser shows the old one again when they are kept.
    void onPortPicked(const QString &path);
    void openPickedPort(const QString &path);
    void openRecordingNow(const QString &path);
    void applyChosenVariant(const QString &text);
    void onPortLost();
    QList<QWidget *> deviceArea() const;
    void updateControls();
    void onServiceUnlocked();
    // Applies a variant reported while the value dialog was open or an operation ran.
    void applyHeldVariant();
    // The visit archive: what each read, proven write and journal reading leaves, and "since last visit".
    void connectVisits();
    void showSinceLastVisit(const QDateTime &lastVisit, const QString &lastTechnician,
                            const QVector<ParamDifference> &differences);
    void showReportDialog();
    void connectPlayback();
    void onSessionSwitch(bool on, const QString &path);
    // Starts the session recording waiting for a port, once one is open.
    void startHeldSessionRecording();
    void onSessionRecordingStopped(const QString &failure);
    // A session recording belongs to one port and one controller: another source ends it.
    void endSessionRecording(SourceChange change);
    // The controller read on the open port may not be the one behind the next.
    void leaveController(SourceChange change);
    // The live port's transport back in the link, closed; returns the port that was open before playback.
    QString endPlayback();
    // Opens the port that was live before a recording was shown, with its session.
    void returnToLivePort(const QString &path);
    void chooseRecording();
    // What the link received before belongs to another stream: counts, record and plots start again.
    void startAfresh();

    TrendsPage *m_trendsPage = nullptr; // "Графики"
    PlaybackBar *m_playbackBar = nullptr;
    ParamValueDialog *m_valueDialog = nullptr;
    Messages m_messages;
    DeviceLink m_link;
    ConnectionState m_connection;
    StatusFeed m_statusFeed{m_link};
    ParamModel m_tree;
    TelemetryLog m_telemetry;
    TelemetryRecording m_recording;
    SessionRecorder m_sessionRecorder;
    // The session recording the user asked for while no port was open.
    QString m_heldSessionPath;
    // The recording playing, owned by the link; the port it replaced waits here.
    RecordingTransport *m_playback = nullptr;
    std::unique_ptr<ByteTransport> m_liveTransport;
    // The port open when the recording began, opened again when it is closed.
    QString m_livePort;
    // Session recordings made in this run: another start on one of them gets a fresh name.
    QSet<QString> m_recordedSessionFiles;
    std::function<qint64()> m_liveClock = &QDateTime::currentMSecsSinceEpoch;
    QTimer m_playbackTick;
    std::unique_ptr<ParamEditor> m_editor;
    VisitKeeper m_visits;
    TeamSyncer m_teamSync;
    QPointer<ChangeListDialog> m_sinceLastVisit;
    QPointer<HistoryDialog> m_history;
    QPointer<FleetDialog> m_fleet;
    QPointer<ReportDialog> m_report;
    bool m_destroyed = false;
    // The technician settled the unwritten edits: the next close goes through.
    bool m_leaving = false;
    quint8 m_variant = quint8(DeviceVariant::Petrol);
    bool m_serviceUnlocked = false;
    // Whether the controls were last enabled for an open port.
    bool m_portShownOpen = false;
    // The tree's variant came from a petrol controller's status frame: it keeps no journals.
    bool m_petrolReported = false;
    // A variant a status frame reported while the value dialog was open or an operation ran.
    std::optional<quint8> m_pendingVariant;
};

} // namespace gencfg
