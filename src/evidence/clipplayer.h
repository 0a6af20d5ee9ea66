#pragma once

#include <QObject>
#include <QString>

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;
class QWidget;

namespace veil {

// Plays one clip of a recording: from its offset for its length, sound on the
// default output and pictures in a video widget of the window. Where there is
// no sound device or the file cannot be decoded it says so once and goes on.
class ClipPlayer : public QObject {
    Q_OBJECT
public:
    explicit ClipPlayer(QWidget* videoParent);
    ~ClipPlayer() override;

    // A length of 0 or less plays on to the end of the file.
    void play(const QString& file, qint64 startMs, qint64 lengthMs);
    void stop();

    QMediaPlayer* player() const { return m_player; }
    QVideoWidget* video() const { return m_video; }
    qint64 startMs() const { return m_start; }
    qint64 endMs() const { return m_end; }
    bool isActive() const { return m_active; }

    // What the player reported; stops at the clip's end.
    void positionReached(qint64 ms);

signals:
    void stopped();

private:
    void seekToStart();

    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_audio = nullptr;
    QVideoWidget* m_video = nullptr;
    qint64 m_start = 0;
    qint64 m_end = -1;
    bool m_active = false;
    bool m_seekPending = false;
    bool m_toldNoSound = false;
};

} // namespace veil
