#include "app/PlaybackBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

namespace gencfg {

namespace {

QString clockText(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

PlaybackBar::PlaybackBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("playbackBar"));
    m_openButton = new QPushButton(tr("Открыть запись сеанса"), this);
    m_openButton->setObjectName(QStringLiteral("openRecordingButton"));
    m_openButton->setAccessibleName(m_openButton->text());

    m_pauseButton = new QPushButton(tr("Пауза"), this);
    m_pauseButton->setObjectName(QStringLiteral("pauseButton"));
    m_pauseButton->setAccessibleName(m_pauseButton->text());
    m_pauseButton->setCheckable(true);

    m_speedCombo = new QComboBox(this);
    m_speedCombo->setObjectName(QStringLiteral("speedCombo"));
    m_speedCombo->setAccessibleName(tr("Скорость"));
    m_speedCombo->addItems(
        {QStringLiteral("1×"), QStringLiteral("10×"), QStringLiteral("60×"), tr("как можно быстрее")});

    m_positionSlider = new QSlider(Qt::Horizontal, this);
    m_positionSlider->setObjectName(QStringLiteral("positionSlider"));
    m_positionSlider->setAccessibleName(tr("Позиция"));
    m_positionLabel = new QLabel(this);
    m_positionLabel->setObjectName(QStringLiteral("positionLabel"));
    m_positionLabel->setTextFormat(Qt::PlainText);
    m_positionLabel->setAccessibleName(tr("Позиция"));

    m_closeButton = new QPushButton(tr("Закрыть запись"), this);
    m_closeButton->setObjectName(QStringLiteral("closeRecordingButton"));
    m_closeButton->setAccessibleName(m_closeButton->text());

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(6);
    layout->addWidget(m_openButton);
    layout->addWidget(m_pauseButton);
    layout->addWidget(m_speedCombo);
    layout->addWidget(m_positionSlider, 1);
    layout->addWidget(m_positionLabel);
    layout->addWidget(m_closeButton);
    layout->addStretch(0);

    connect(m_openButton, &QPushButton::clicked, this, &PlaybackBar::openRequested);
    connect(m_closeButton, &QPushButton::clicked, this, &PlaybackBar::closeRequested);
    connect(m_pauseButton, &QPushButton::toggled, this, &PlaybackBar::pauseSwitched);
    connect(m_speedCombo, &QComboBox::activated, this,
            [this](int index) { Q_EMIT speedChosen(Speeds[qBound(0, index, 3)]); });
    // A drag seeks once, where it is let go; a key or a click on the groove seeks at once.
    connect(m_positionSlider, &QSlider::valueChanged, this, [this](int step) {
        showPosition(step * m_stepMs);
        if (!m_positionSlider->isSliderDown())
            Q_EMIT positionChosen(step * m_stepMs);
    });
    connect(m_positionSlider, &QSlider::sliderReleased, this,
            [this] { Q_EMIT positionChosen(m_positionSlider->value() * m_stepMs); });
    hidePlayback();
}

QList<QWidget *> PlaybackBar::playbackControls() const
{
    return {m_pauseButton, m_speedCombo, m_positionSlider, m_closeButton};
}

double PlaybackBar::speed() const
{
    return Speeds[qBound(0, m_speedCombo->currentIndex(), 3)];
}

QString PlaybackBar::PositionText(qint64 positionMs, qint64 durationMs)
{
    return clockText(positionMs) + QStringLiteral(" / ") + clockText(durationMs);
}

void PlaybackBar::showPlayback(qint64 durationMs)
{
    m_durationMs = qMax<qint64>(0, durationMs);
    m_stepMs = qMax<qint64>(1000, m_durationMs / INT_MAX + 1);
    {
        const QSignalBlocker blocker(m_positionSlider);
        m_positionSlider->setRange(0, int(m_durationMs / m_stepMs));
        m_positionSlider->setValue(0);
    }
    showPosition(0);
    showPaused(false);
    for (QWidget *control : playbackControls())
        control->show();
    m_positionLabel->show();
}

void PlaybackBar::hidePlayback()
{
    for (QWidget *control : playbackControls())
        control->hide();
    m_positionLabel->hide();
}

void PlaybackBar::showPosition(qint64 positionMs)
{
    const QString text = PositionText(positionMs, m_durationMs);
    m_positionLabel->setText(text);
    m_positionLabel->setAccessibleDescription(text);
    m_positionSlider->setAccessibleDescription(text);
    // The user's drag keeps the handle where he holds it.
    if (!m_positionSlider->isSliderDown()) {
        const QSignalBlocker blocker(m_positionSlider);
        m_positionSlider->setValue(
            int(std::clamp<qint64>(positionMs / m_stepMs, 0, m_positionSlider->maximum())));
    }
}

void PlaybackBar::showPaused(bool paused)
{
    const QSignalBlocker blocker(m_pauseButton);
    m_pauseButton->setChecked(paused);
}

} // namespace gencfg
