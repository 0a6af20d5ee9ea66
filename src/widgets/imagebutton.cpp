#include "widgets/imagebutton.h"

#include "widgets/art.h"
#include "widgets/controls.h"

#include <QApplication>
#include <QMouseEvent>

namespace veil {

QColor ImageButton::normalTextColor() { return QApplication::palette().color(QPalette::ButtonText); }

ImageButton::ImageButton(QWidget* parent, const QString& labelName, const QString& faceName,
                         const QString& caption, const QRect& faceGeometry)
    : QLabel(caption, parent) {
    m_face = new QLabel(parent);
    m_face->setObjectName(faceName);
    m_face->setGeometry(faceGeometry);
    m_face->setScaledContents(true);
    setObjectName(labelName);
    setGeometry(faceGeometry);
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    QFont f = font();
    f.setBold(true);
    setFont(f);
    showPressed(false);
    raise();
}

void ImageButton::showPressed(bool pressed) {
    m_pressed = pressed;
    static const QPixmap normal = QPixmap::fromImage(art::buttonFace({62, 19}, false));
    static const QPixmap down = QPixmap::fromImage(art::buttonFace({62, 19}, true));
    m_face->setPixmap(pressed ? down : normal);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, pressed ? QColor(Qt::white) : normalTextColor());
    setPalette(p);
}

void ImageButton::click() {
    showPressed(true);
    showPressed(false);
    emit released();
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        showPressed(true);
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    showPressed(false);
    emit released();
}

void makeButtons(QObject* context, QWidget* parent, int width, int height,
                 std::initializer_list<ButtonDesign> buttons) {
    for (const ButtonDesign& b : buttons) {
        *b.button = new ImageButton(parent, QLatin1String(b.label), QLatin1String(b.face),
                                    QLatin1String(b.caption), twRect(b.left, b.top, width, height));
        QObject::connect(*b.button, &ImageButton::released, context, b.released);
    }
}

void makeHiddenFaces(QWidget* parent, const char* normalName, const char* pressedName) {
    for (const auto& [name, pressed] : {std::pair{normalName, false}, std::pair{pressedName, true}}) {
        auto* face = new QLabel(parent);
        face->setObjectName(QLatin1String(name));
        face->setPixmap(QPixmap::fromImage(art::buttonFace({80, 24}, pressed)));
        face->hide();
    }
}

} // namespace veil
