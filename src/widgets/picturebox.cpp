#include "widgets/picturebox.h"

#include "store/pictureloader.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace veil {

PictureBox::PictureBox(QWidget* parent, const QString& name, const QRect& geometry, Fit fit)
    : QLabel(parent), m_fit(fit) {
    setObjectName(name);
    setGeometry(geometry);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

bool PictureBox::loadFile(const QString& path, QString* error, bool* invalidPicture) {
    PictureLoad load = loadPicture(path);
    if (invalidPicture)
        *invalidPicture = load.invalidPicture;
    if (!load.ok()) {
        if (error)
            *error = load.error;
        return false;
    }
    m_file = path;
    m_image = std::move(load.image);
    refresh();
    return true;
}

void PictureBox::setPicture(const QImage& image) {
    m_file.clear();
    m_image = image;
    refresh();
}

void PictureBox::refresh() {
    if (m_image.isNull()) {
        clear();
        return;
    }
    if (m_fit == Fit::Stretch)
        setPixmap(QPixmap::fromImage(
            m_image.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    else
        setPixmap(QPixmap::fromImage(m_image));
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (m_fit == Fit::Stretch)
        refresh();
}

void PictureBox::setDropTarget(bool on) { setAcceptDrops(on); }

void PictureBox::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void PictureBox::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void PictureBox::dropEvent(QDropEvent* event) {
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    event->acceptProposedAction();
    emit filesDropped(files);
}

} // namespace veil
