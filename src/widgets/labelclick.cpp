#include "widgets/labelclick.h"

#include <QMouseEvent>
#include <QWidget>

namespace veil {

namespace {

class ClickFilter : public QObject {
public:
    ClickFilter(QWidget* widget, QEvent::Type type, std::function<void()> action)
        : QObject(widget), m_type(type), m_action(std::move(action)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != m_type)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        if (mouse->button() != Qt::LeftButton)
            return false;
        // A release counts only over the widget, as a click does.
        if (m_type == QEvent::MouseButtonRelease && !widget->rect().contains(mouse->position().toPoint()))
            return false;
        m_action();
        return true;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_action;
};

} // namespace

void onClick(QWidget* widget, std::function<void()> action) {
    new ClickFilter(widget, QEvent::MouseButtonRelease, std::move(action));
}

void onDoubleClick(QWidget* widget, std::function<void()> action) {
    new ClickFilter(widget, QEvent::MouseButtonDblClick, std::move(action));
}

} // namespace veil
