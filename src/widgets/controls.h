#pragma once

#include <QList>
#include <QString>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRect;
class QTextEdit;
class QWidget;

namespace veil {

namespace art {
enum class Picture;
}

// Sizes in the window designs are in twips; 15 twips make a pixel at 96 dpi.
constexpr int kTwipsPerPixel = 15;
constexpr int tw(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
QRect twRect(int left, int top, int width, int height);

// Small makers for the controls every window places by design coordinates.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                  bool bold = false);
// A single-line text box; maxLength 0 means no limit (not even Qt's default
// of 32,767 characters, which would cut pasted text without a word).
QLineEdit* makeTextBox(QWidget* parent, const QString& name, const QRect& geometry, int maxLength = 0);
// A drop-down list with an editable text that keeps exactly what is typed:
// no completion (Qt's would change letter case or add letters) and no length
// limit. Enter or leaving the box chooses an entry only when the text equals
// it exactly.
QComboBox* makeEditableList(QWidget* parent, const QString& name, const QRect& geometry);
// A multi-line box that keeps plain text only: pasted formatting is dropped.
QTextEdit* makeRichTextBox(QWidget* parent, const QString& name, const QRect& geometry);
// One of the program's design pictures, scaled to fill its place.
QLabel* makePicture(QWidget* parent, const QString& name, art::Picture which, const QRect& geometry);
// A titled frame; white like the windows that hold it.
QGroupBox* makeFrame(QWidget* parent, const QString& name, const QString& title, const QRect& geometry);
// A plain-text box (as makeRichTextBox) filling a frame below its title.
QTextEdit* makeFrameText(QGroupBox* frame, const QString& name);
// A label drawn as a link: dark blue with a pointing-hand pointer.
QLabel* makeLinkLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry);
// Leaves a list with no entry current or selected, without reporting a choice.
void chooseNothing(QListWidget* list);
// The keyboard focus order, first to last.
void setFocusOrder(const QList<QWidget*>& order);
// Gives a window's client area a white background.
void makeWhite(QWidget* widget);

// Refuses the given characters in a text box: typed ones are discarded, and
// pasted or dropped text has them removed, so a key or list item never holds them.
void refuseCharacters(QLineEdit* box, const QString& characters);
// The text with the given characters removed.
QString withoutCharacters(QString text, const QString& characters);

} // namespace veil
