// The splash window (Form8) shown at start-up.
#pragma once

#include "shell/mainframe.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QTimer;

namespace veil {

// The splash window: a frameless picture that opens the main frame on the
// fourth tick of its one-second timer.
class Form8 : public QWidget {
    Q_OBJECT
public:
    explicit Form8(const QString& programFolder);

    // The load handler: counter to 1, timer on, shown centred.
    void load();
    void stopTimer();
    void unload();

    qint16 counter() const { return m_counter; }
    QTimer* timer() const { return m_timer; }
    MDIForm1* frame() const { return m_frame; }

public slots:
    void tick();
    // Opens the frame; only the fourth tick calls it (a click on the picture does not).
    void click();

private:
    QString m_programFolder;
    QLabel* m_image = nullptr;
    QTimer* m_timer = nullptr;
    qint16 m_counter = 0;
    QPointer<MDIForm1> m_frame;
};

} // namespace veil
