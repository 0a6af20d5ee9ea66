#include "shell/splashwindow.h"

#include "widgets/art.h"
#include "shell/casewindow.h"
#include "shell/mainframe.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace veil {

Form8::Form8(const QString& programFolder)
    : QWidget(nullptr, Qt::FramelessWindowHint), m_programFolder(programFolder) {
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Form8"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(tw(9495), tw(5145));
    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setGeometry(twRect(0, 0, 9495, 5160));
    m_image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image->setPixmap(QPixmap::fromImage(art::draw(art::Picture::Splash)));
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &Form8::tick);
}

void Form8::load() {
    m_counter = 1;
    m_timer->start();
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
    show();
}

void Form8::stopTimer() { m_timer->stop(); }

void Form8::unload() {
    m_timer->stop();
    close();
}

void Form8::tick() {
    ++m_counter;
    if (m_counter == 5)
        click();
}

void Form8::click() {
    if (!m_frame) {
        m_frame = new MDIForm1(m_programFolder);
        // Maximised, so every child window fits; the geometry holds where no
        // window manager honours the request.
        if (const QScreen* s = QGuiApplication::primaryScreen())
            m_frame->setGeometry(s->availableGeometry());
        m_frame->showMaximized();
    }
    m_frame->loadFrame(this);
}

} // namespace veil
