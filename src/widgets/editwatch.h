#pragma once

#include <QObject>

class QListWidget;
class QWidget;

namespace veil {

// Notices input the user has not saved yet: any edit in a text box, rich-text
// box, editable list text or check box under the watched widget marks the
// window changed, and so does a mark in a list watched for marks. Windows
// reset it after they load or store a record (their own filling of the boxes
// counts as nothing) and mark it for changes made without typing (an
// attached photo, an archive entry).
class EditWatch : public QObject {
    Q_OBJECT
public:
    // Watches every input control that is a child of `root` now.
    explicit EditWatch(QWidget* root);
    // Also watches a list whose entries the user marks (selected or ticked).
    void watchMarks(QListWidget* list);

    bool changed() const { return m_changed; }
    void mark() { m_changed = true; }
    void reset() { m_changed = false; }

private:
    bool m_changed = false;
};

} // namespace veil
