#include "widgets/controls.h"

#include "widgets/art.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>

#include <limits>

namespace veil {

QRect twRect(int left, int top, int width, int height) {
    return QRect(tw(left), tw(top), tw(width), tw(height));
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                  bool bold) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QLineEdit* makeTextBox(QWidget* parent, const QString& name, const QRect& geometry, int maxLength) {
    auto* t = new QLineEdit(parent);
    t->setObjectName(name);
    t->setGeometry(geometry);
    t->setMaxLength(maxLength > 0 ? maxLength : std::numeric_limits<int>::max());
    return t;
}

QComboBox* makeEditableList(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    // Without a completer the box also matches entries case-sensitively.
    c->setCompleter(nullptr);
    c->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    c->setGeometry(geometry);
    return c;
}

QTextEdit* makeRichTextBox(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* t = new QTextEdit(parent);
    t->setObjectName(name);
    t->setGeometry(geometry);
    t->setAcceptRichText(false);
    t->setTabChangesFocus(true);
    return t;
}

QLabel* makePicture(QWidget* parent, const QString& name, art::Picture which, const QRect& geometry) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setScaledContents(true);
    l->setPixmap(QPixmap::fromImage(art::draw(which)));
    return l;
}

QGroupBox* makeFrame(QWidget* parent, const QString& name, const QString& title, const QRect& geometry) {
    auto* g = new QGroupBox(title, parent);
    g->setObjectName(name);
    g->setGeometry(geometry);
    makeWhite(g);
    g->setFlat(false);
    return g;
}

QTextEdit* makeFrameText(QGroupBox* frame, const QString& name) {
    const QSize s = frame->size();
    return makeRichTextBox(frame, name, QRect(tw(120), tw(300), s.width() - tw(240), s.height() - tw(420)));
}

QLabel* makeLinkLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    QLabel* l = makeLabel(parent, name, text, geometry);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 0x80)); // 0x800000 stored blue-green-red
    l->setPalette(p);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

void chooseNothing(QListWidget* list) {
    const QSignalBlocker quiet(list);
    list->setCurrentRow(-1);
    list->clearSelection();
}

void setFocusOrder(const QList<QWidget*>& order) {
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void makeWhite(QWidget* widget) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, Qt::white);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QString withoutCharacters(QString text, const QString& characters) {
    for (const QChar c : characters)
        text.remove(c);
    return text;
}

void refuseCharacters(QLineEdit* box, const QString& characters) {
    // One path for typing, pasting and dropping: every edit by the user is
    // cleaned before it stands, keeping the cursor where the user left it.
    QObject::connect(box, &QLineEdit::textEdited, box, [box, characters](const QString& text) {
        const QString clean = withoutCharacters(text, characters);
        if (clean == text)
            return;
        const int cursor = box->cursorPosition();
        const int removedBefore = cursor - withoutCharacters(text.left(cursor), characters).size();
        box->setText(clean);
        box->setCursorPosition(cursor - removedBefore);
    });
}

} // namespace veil
