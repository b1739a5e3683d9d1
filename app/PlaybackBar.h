#pragma once

// The strip between the pages and the status bar: "Открыть запись сеанса", and while a recording plays
// its pause, speed, position and close controls. It only shows; the window plays the recording.

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace gencfg {

class PlaybackBar : public QWidget
{
    Q_OBJECT
public:
    // The speeds offered, in their order; 0 plays as fast as possible.
    static constexpr double Speeds[] = {1, 10, 60, 0};

    explicit PlaybackBar(QWidget *parent = nullptr);

    // Shows the playback controls for a recording of durationMs, from its start, or hides them.
    void showPlayback(qint64 durationMs);
    void hidePlayback();
    void showPosition(qint64 positionMs);
    void showPaused(bool paused);
    double speed() const;

    QPushButton *openButton() const { return m_openButton; }
    // What the window disables while an operation runs.
    QList<QWidget *> playbackControls() const;

    // "00:03:12 / 00:10:00": where a recording is, of how long.
    static QString PositionText(qint64 positionMs, qint64 durationMs);

Q_SIGNALS:
    void openRequested();
    void closeRequested();
    void pauseSwitched(bool paused);
    void speedChosen(double speed);
    void positionChosen(qint64 positionMs);

private:
    QPushButton *m_openButton = nullptr;  // "Открыть запись сеанса"
    QPushButton *m_pauseButton = nullptr; // "Пауза"
    QComboBox *m_speedCombo = nullptr;
    QSlider *m_positionSlider = nullptr;
    QLabel *m_positionLabel = nullptr;
    QPushButton *m_closeButton = nullptr; // "Закрыть запись"
    qint64 m_durationMs = 0;
    // Milliseconds per slider step: a second, more when the recording is longer than an int of seconds.
    qint64 m_stepMs = 1000;
};

} // namespace gencfg
