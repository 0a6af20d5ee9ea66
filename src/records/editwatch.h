#pragma once

#include <QObject>

class QWidget;

namespace veil {

// Notices input the user has not saved yet: any edit in a text box, rich-text
// box, editable list text or check box under the watched widget marks the
// window changed. Windows reset it after they load or store a record (their
// own filling of the boxes counts as nothing) and mark it for changes made
// without typing (an attached photo).
class EditWatch : public QObject {
    Q_OBJECT
public:
    // Watches every input control that is a child of `root` now.
    explicit EditWatch(QWidget* root);

    bool changed() const { return m_changed; }
    void mark() { m_changed = true; }
    void reset() { m_changed = false; }

private:
    bool m_changed = false;
};

} // namespace veil
