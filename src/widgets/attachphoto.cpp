#include "widgets/attachphoto.h"

#include "store/filehash.h"
#include "store/fileroutines.h"
#include "store/paths.h"
#include "widgets/picturebox.h"
#include "store/ui.h"

namespace veil {

namespace {

QString g_lastChosenFile;

// Shows a dropped (or copied) file; on failure the drop route's error box.
bool showForDrop(PictureBox* picture, const QString& path) {
    QString error;
    bool invalid = false;
    if (picture->loadFile(path, &error, &invalid))
        return true;
    if (invalid)
        showInvalidPicture();
    else
        showDropError(kErrFileNotFound, error);
    return false;
}

} // namespace

QString lastChosenFile() { return g_lastChosenFile; }

QString chooseImageFile(const QString& programFolder) {
    g_lastChosenFile = Ui::get().openFileName(kOpenImageTitle, kOpenImageFilter, programFolder);
    return g_lastChosenFile;
}

void showInvalidPicture() {
    message(QStringLiteral("Invalid Picture"), QStringLiteral("Error! %1  ").arg(kErrInvalidPicture));
}

void showDropError(int number, const QString& description) {
    message(QStringLiteral("%1 - %2").arg(number).arg(description), QStringLiteral("ERROR!"));
}

PhotoAttacher::PhotoAttacher(QObject* owner, PhotoAttachSetup setup)
    : QObject(owner), m_setup(std::move(setup)) {
    m_setup.picture->setDropTarget(true);
    connect(m_setup.picture, &PictureBox::filesDropped, this,
            [this](const QStringList& files) { attachDropped(files); });
}

bool PhotoAttacher::keyUsable(const QString& key, const QString& extension) {
    const QString problem = extension.isNull() ? fileNameProblem(key) : fileNameProblem(key, extension);
    if (problem.isEmpty())
        return true;
    message(problem);
    return false;
}

bool PhotoAttacher::attachByDialog() {
    const QString key = m_setup.key();
    if (key.isEmpty()) {
        message(m_setup.emptyKeyMessage);
        return false;
    }
    // Most unusable keys can be told before the user picks anything.
    if (!keyUsable(key, QString()))
        return false;
    const QString source = chooseImageFile(m_setup.programFolder);
    if (source.isEmpty())
        return false;
    if (!keyUsable(key, GetExtension(source)))
        return false;
    if (!m_setup.picture->loadFile(source))
        return false; // not a picture: the dialog route stops quietly
    return attach(AttachRoute::Dialog, key, source);
}

bool PhotoAttacher::attachDropped(const QStringList& files) {
    const QString key = m_setup.key();
    if (key.isEmpty()) {
        if (m_setup.beforeEmptyKeyDropMessage)
            m_setup.beforeEmptyKeyDropMessage();
        message(m_setup.emptyKeyDropMessage);
        return false;
    }
    if (!keyUsable(key, QString()))
        return false;
    if (files.isEmpty()) {
        showDropError(kErrNoFileDropped, QStringLiteral("The dropped data holds no file"));
        return false;
    }
    const QString source = files.first();
    if (!keyUsable(key, GetExtension(source)))
        return false;
    if (!showForDrop(m_setup.picture, source))
        return false;
    return attach(AttachRoute::Drop, key, source);
}

bool PhotoAttacher::attach(AttachRoute route, const QString& key, const QString& source) {
    Attachment a;
    a.route = route;
    a.source = source;
    a.extension = m_extension = GetExtension(source);
    a.fileName = key + QLatin1Char('.') + a.extension;
    a.destination = m_destination = programFile(m_setup.programFolder, m_setup.folder, a.fileName);

    // Hashed while copied and recorded, so the copy can be verified later.
    attachFile(m_setup.programFolder, source, a.destination, m_setup.folder + a.fileName);

    // The copy is judged by loading it, as every caller of the copy does.
    if (route == AttachRoute::Dialog) {
        if (!m_setup.picture->loadFile(a.destination))
            return false;
    } else if (!showForDrop(m_setup.picture, a.destination)) {
        return false;
    }
    if (m_setup.attached)
        m_setup.attached(a);
    return true;
}

PickedPicture pickPicture(PictureBox* picture, const QString& programFolder) {
    PickedPicture out;
    out.path = chooseImageFile(programFolder);
    if (out.path.isEmpty())
        return out;
    QString error;
    if (!picture->loadFile(out.path, &error)) {
        out.outcome = PickedPicture::NotShown;
        message(QStringLiteral("This file cannot be shown as a picture, so it was not chosen:\n%1\n\n(%2)")
                    .arg(out.path, error));
        return out;
    }
    out.outcome = PickedPicture::Shown;
    return out;
}

std::optional<QString> showDroppedPicture(PictureBox* picture, const QStringList& files) {
    if (files.isEmpty()) {
        showDropError(kErrNoFileDropped, QStringLiteral("The dropped data holds no file"));
        return std::nullopt;
    }
    if (!showForDrop(picture, files.first()))
        return std::nullopt;
    return files.first();
}

} // namespace veil
