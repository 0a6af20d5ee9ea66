#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace veil {

class PictureBox;

// Attaching a photo to a record: the user picks a picture file in the dialog or
// drops one from a file manager on the window's picture area; the picture is
// shown and copied into one of the program's image folders under the record's
// key, as key & "." & extension (the extension exactly as GetExtension gives it,
// so mill.JPG attached to "Old Mill" becomes "Old Mill.JPG").
//
// How a window uses it (Location window Form1, Investigators window Form5):
//
//     // in load(), after the picture area exists:
//     m_attach = new PhotoAttacher(this, {
//         .picture = Image1,
//         .programFolder = programFolder(),
//         .folder = files::locations,                    // "\locations\"
//         .key = [this] { return Text1->text(); },      // read at each attachment
//         .emptyKeyMessage = QStringLiteral("You must fill out the Contact info before adding image"),
//         .emptyKeyDropMessage = QStringLiteral("Please fill in form before adding picture"),
//         .beforeEmptyKeyDropMessage = [this] { Text1->setFocus(); },
//         .attached = [this](const Attachment& a) {
//             Text14->setText(a.fileName);              // the picture-name field
//             if (a.route == AttachRoute::Dialog) { Text1->setReadOnly(true); Text2->setFocus(); }
//         },
//     });
//     // the "Insert Image" menu item / "Image" button:
//     m_attach->attachByDialog();
//
// The constructor makes the picture area a drop target and handles its drops
// (first file only) by itself; nothing else is needed for dropping.
//
// Both routes refuse a key that cannot be a plain file name (blank, "/", NUL,
// "." or "..", too long; see fileNameProblem) with a clear message before any
// file is touched, so no key can write outside its image folder.
//
// Messages:
//  - empty key: the window's own message (title "Veilcase"), nothing else;
//  - dialog route: a cancelled dialog or a file that is no picture stops
//    without a message; nothing is copied;
//  - drop route: a file that is no picture gives "Invalid Picture" with the
//    title "Error! 481  "; other failures (the drop held no file, the file or
//    the copy cannot be read) give "number - description" with the title
//    "ERROR!". What was done before the failure stays done.
//  - CopyFile shows its own message when a copy fails, and asks before it
//    replaces an earlier copy; on "no" the earlier copy is kept and attached.

// The attachment dialog's title and its single filter entry, exactly so.
inline const QString kOpenImageTitle = QStringLiteral("Open Image");
inline const QString kOpenImageFilter = QStringLiteral("*.bmp;*.gif;*;jpg");

// Error numbers of the drop route's boxes.
inline constexpr int kErrInvalidPicture = 481;
inline constexpr int kErrFileNotFound = 53;
inline constexpr int kErrNoFileDropped = 461;

// The program-wide last chosen file: what the latest attachment dialog
// returned (empty when it was cancelled).
QString lastChosenFile();

// Shows the attachment dialog starting in the program folder, stores its result
// as the last chosen file and returns it (empty when cancelled).
QString chooseImageFile(const QString& programFolder);

// The drop route's two error boxes.
void showInvalidPicture();                                // "Invalid Picture", title "Error! 481  "
void showDropError(int number, const QString& description); // "number - description", title "ERROR!"

enum class AttachRoute { Dialog, Drop };

// One finished attachment, handed to the window's follow-up.
struct Attachment {
    AttachRoute route = AttachRoute::Dialog;
    QString source;      // the chosen or dropped file
    QString extension;   // GetExtension(source)
    QString destination; // full path of the copy: program folder & folder & fileName
    QString fileName;    // key & "." & extension: what the record stores
};

// What one window supplies.
struct PhotoAttachSetup {
    PictureBox* picture = nullptr;           // the window's picture area
    QString programFolder;
    QString folder;                          // image folder in stored form, e.g. files::locations
    std::function<QString()> key;            // the record's key, exactly as typed
    QString emptyKeyMessage;                 // dialog route, when the key is empty
    QString emptyKeyDropMessage;             // drop route, when the key is empty
    std::function<void()> beforeEmptyKeyDropMessage; // optional, runs before that message
    std::function<void(const Attachment&)> attached; // the window's follow-up after success
};

class PhotoAttacher : public QObject {
    Q_OBJECT
public:
    // `owner` is the window; the attacher lives and dies with it.
    PhotoAttacher(QObject* owner, PhotoAttachSetup setup);

    // The dialog route; true when a picture was attached.
    bool attachByDialog();
    // The drop route with the files of a drop (only the first is used); the
    // picture area's drops arrive here by themselves.
    bool attachDropped(const QStringList& files);

    // The window's attachment extension and destination of the latest attempt.
    const QString& extension() const { return m_extension; }
    const QString& destination() const { return m_destination; }

private:
    bool keyUsable(const QString& key, const QString& extension);
    bool attach(AttachRoute route, const QString& key, const QString& source);

    PhotoAttachSetup m_setup;
    QString m_extension;
    QString m_destination;
};

// The Add Pictures window (Form10) shows a picture when it is chosen and copies
// it only when it is saved (with fileNameProblem(title, extension,
// KeyUse::StoredPathPart) checked first, then CopyFile).

// The dialog route without copying: shows the dialog; when a file is chosen,
// shows it in `picture`.
struct PickedPicture {
    enum Outcome { Cancelled, Shown, NotShown } outcome = Cancelled;
    QString path; // what the dialog returned
};
// Cancelled: the caller empties its chosen file. Shown: `path` becomes the
// chosen file. NotShown: a message has said why, the picture area is
// unchanged, and the caller keeps its chosen file as it was.
PickedPicture pickPicture(PictureBox* picture, const QString& programFolder);

// The drop route without copying: shows the first dropped file and returns
// its path; after an error box (the two drop messages above) returns nothing,
// and the caller keeps its chosen file as it was.
std::optional<QString> showDroppedPicture(PictureBox* picture, const QStringList& files);

} // namespace veil
