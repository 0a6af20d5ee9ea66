#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class QPainter;

// The program's own pictures, drawn in code in one style: night blue, slate and
// a warm lantern amber. Windows take their design pictures from here; the build
// writes the placeholder pictures of the program folder with the same code.
namespace veil::art {

enum class Picture {
    Splash,             // splash window, 633 x 344
    FrameBackground,    // small picture in the main frame's workspace
    DashboardBanner,    // dashboard banner, top left
    AboutPicture,       // About window
    ToolsPicture,       // Database Tools window, left
    ConfirmBanner,      // confirmation windows, top
    ConfirmSide,        // confirmation windows, left
    EquipmentPicture,   // Equipment window picture
    InvestigatorDefault,// Investigators window's design photo
    AddPictureDefault,  // Add Pictures window's design placeholder
    // Placeholders written into the program folder:
    LocationPlaceholder,     // location.jpg
    NoImages,                // no_images.jpg
    NoRecords,               // No_Records.jpg
    InvestigatorPlaceholder, // investigator.jpg
    NewImage,                // new_image.jpg
};

QImage draw(Picture which, QSize size = {});
QSize naturalSize(Picture which);

// Image-button faces (normal and pressed) at the given size.
QImage buttonFace(QSize size, bool pressed);

// The application icon at a square size, as a picture or painted on any
// device from (0, 0) (the build writes an SVG of it this way).
QImage icon(int size);
void paintIcon(QPainter& p, int size);

// The placeholder files of the program folder: file name -> picture.
struct PlaceholderFile {
    const char* fileName;
    Picture picture;
};
const PlaceholderFile* placeholderFiles(int* count);

} // namespace veil::art
