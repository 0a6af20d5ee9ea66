#pragma once

#include <QLabel>

#include <functional>
#include <initializer_list>

namespace veil {

// A picture with a caption on top, used as a push button. While the mouse
// button is held on the caption the face shows its pressed picture and the
// caption turns white; on release the normal face and the button-text colour
// come back and then `released` fires (the button's action).
//
// The caption label carries the designer name of the label ("Label6"), the
// face picture behind it the name of the image ("Image3").
class ImageButton : public QLabel {
    Q_OBJECT
public:
    ImageButton(QWidget* parent, const QString& labelName, const QString& faceName,
                const QString& caption, const QRect& faceGeometry);

    QLabel* face() const { return m_face; }
    bool isPressed() const { return m_pressed; }
    // Press and release in one go, as a click does (for keyboard use and tests).
    void click();

    // The caption colour while not pressed (the system's button-text colour).
    static QColor normalTextColor();

signals:
    void released();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showPressed(bool pressed);

    QLabel* m_face = nullptr;
    bool m_pressed = false;
};

// One image button of a design: the member it is kept in, its designer
// names, its place in twips and what its release does.
struct ButtonDesign {
    ImageButton** button;
    const char* label;
    const char* face;
    const char* caption;
    int left, top;
    std::function<void()> released;
};
// Image buttons of one size (in twips); each release runs its action in `context`.
void makeButtons(QObject* context, QWidget* parent, int width, int height,
                 std::initializer_list<ButtonDesign> buttons);

// The hidden normal and pressed faces some designs keep beside their buttons.
void makeHiddenFaces(QWidget* parent, const char* normalName, const char* pressedName);

} // namespace veil
