#pragma once

#include <QImage>
#include <QLabel>
#include <QStringList>

namespace veil {

// A picture area: shows its picture stretched to the area (the aspect ratio
// is not kept) or at its natural size, and, when asked, takes files dropped
// from a file manager.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    enum class Fit { Stretch, Natural };
    PictureBox(QWidget* parent, const QString& name, const QRect& geometry, Fit fit = Fit::Stretch);

    // Loads a picture file; on failure the area keeps what it showed and false comes back.
    bool loadFile(const QString& path, QString* error = nullptr, bool* invalidPicture = nullptr);
    void setPicture(const QImage& image);
    const QImage& picture() const { return m_image; }
    // The file shown last (empty when the picture came from elsewhere).
    const QString& file() const { return m_file; }

    void setDropTarget(bool on);

signals:
    // The local files of a drop, in the order given; empty when the drop held no file.
    void filesDropped(const QStringList& files);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void refresh();

    QImage m_image;
    QString m_file;
    Fit m_fit;
};

} // namespace veil
