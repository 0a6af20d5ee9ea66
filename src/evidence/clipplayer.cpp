#include "evidence/clipplayer.h"

#include "store/ui.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>

namespace veil {

ClipPlayer::ClipPlayer(QWidget* videoParent) : QObject(videoParent) {
    m_player = new QMediaPlayer(this);
    m_video = new QVideoWidget(videoParent);
    m_video->setObjectName(QStringLiteral("ClipVideo"));
    m_video->hide();
    m_player->setVideoOutput(m_video);
    connect(m_player, &QMediaPlayer::positionChanged, this, &ClipPlayer::positionReached);
    connect(m_player, &QMediaPlayer::hasVideoChanged, m_video, [this](bool video) { m_video->setVisible(video); });
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
        if (s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia)
            seekToStart();
        else if (s == QMediaPlayer::EndOfMedia && m_active)
            stop();
        else if (s == QMediaPlayer::InvalidMedia && m_active) {
            message(QStringLiteral("This clip cannot be played: no decoder here reads \"%1\".")
                        .arg(m_player->source().fileName()));
            stop();
        }
    });
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error, const QString& why) {
        if (!m_active)
            return;
        stop();
        message(QStringLiteral("This clip cannot be played: %1").arg(why));
    });
}

ClipPlayer::~ClipPlayer() { m_player->stop(); }

void ClipPlayer::play(const QString& file, qint64 startMs, qint64 lengthMs) {
    stop();
    if (!QFileInfo(file).isFile()) {
        message(QStringLiteral("The clip's recording \"%1\" is not there.").arg(file));
        return;
    }
    if (QMediaDevices::audioOutputs().isEmpty()) {
        if (!m_toldNoSound)
            message(QStringLiteral("No sound device was found: the clip plays without sound."));
        m_toldNoSound = true;
        m_player->setAudioOutput(nullptr);
    } else if (!m_audio) {
        m_audio = new QAudioOutput(this);
        m_player->setAudioOutput(m_audio);
    }
    m_start = qMax<qint64>(0, startMs);
    m_end = lengthMs > 0 ? m_start + lengthMs : -1;
    m_active = true;
    m_seekPending = true;
    m_player->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    seekToStart();
    m_player->play();
}

void ClipPlayer::seekToStart() {
    if (!m_seekPending || !m_active)
        return;
    if (m_player->isSeekable() || m_start == 0)
        m_seekPending = false;
    m_player->setPosition(m_start);
}

void ClipPlayer::positionReached(qint64 ms) {
    if (m_active && m_end >= 0 && ms >= m_end)
        stop();
}

void ClipPlayer::stop() {
    const bool was = m_active;
    m_active = false;
    m_seekPending = false;
    m_player->stop();
    m_video->hide();
    if (was)
        emit stopped();
}

} // namespace veil
