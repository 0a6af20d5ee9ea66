#pragma once

#include "pictures/filters/pixelrules.h"

#include <QImage>
#include <QSize>

namespace veil::filters {

// The viewer's picture state and the frame every filter runs in: the work
// picture (the photograph at its natural size), the source copy the rules
// read from, and the steps of a run (copy to the source, clear, rows,
// hand-over to the display, restore).
//
// Between runs the work picture and the source copy hold the same
// photograph, so they share one buffer. A run writes into a second buffer,
// which stands for the work picture until the run ends; "restoring" the work
// picture is then handing the photograph's buffer back. Both buffers live as
// long as the photograph's size does not change, so a run allocates nothing
// of the photograph's size.
class Enhancer {
public:
    // The colour the work picture is cleared to; it frames an embossed picture.
    static constexpr Pixel kBackground = 0xffffffffu;

    // Makes the photograph the work picture (as 32-bit pixels, transparent
    // parts on the background colour) and the source copy. A null image
    // empties both.
    void setPhoto(const QImage& photo);
    bool hasPhoto() const { return !m_photo.isNull(); }
    QSize size() const { return m_photo.size(); }

    // The unfiltered photograph between runs; the picture being written while a run is on.
    const QImage& workPicture() const { return m_running ? m_out : m_photo; }
    const QImage& sourceCopy() const { return m_photo; }

    // A per-pixel run (every kind but Invert). `pictureWidth`/`pictureHeight`
    // are the viewer's picture size; Emboss uses the work picture's own size.
    // Pixels outside the work picture are never read or written. Returns
    // false, and starts nothing, when there is no photograph.
    bool begin(Kind kind, int pictureWidth, int pictureHeight);
    bool running() const { return m_running; }
    // Rows firstRow() .. endRow() - 1, each passed once, top to bottom, to runRow.
    int firstRow() const { return m_rowBegin; }
    int endRow() const { return m_rowEnd; }
    void runRow(int y);
    // Where the progress bar stands after row y: y / height * 100.
    double progressAfter(int y) const;
    // Ends the run: the filtered picture scaled to the display size, and the
    // work picture holds the unfiltered photograph again.
    QImage finish(QSize display);

    // Invert: the whole work picture, in one step, scaled to the display
    // size; the work picture is unchanged afterwards. Null without a photograph.
    QImage invert(QSize display);

    // The last finished filter's picture at full size, or null when no
    // filter has run on this photograph yet (for saving an enhanced copy).
    const QImage* result() const { return m_haveResult ? &m_out : nullptr; }
    Kind resultKind() const { return m_kind; }

private:
    void clearOutside();
    void prepareOutput();

    QImage m_photo; // the work picture between runs and the source copy
    QImage m_out;   // the work picture during a run
    Kind m_kind = Kind::Invert;
    bool m_running = false;
    bool m_haveResult = false;
    int m_rowBegin = 0, m_rowEnd = 0, m_colBegin = 0, m_colEnd = 0;
    int m_progressHeight = 1;
};

// The picture as the display area shows it: stretched or squeezed to `size`
// without keeping the aspect ratio. Larger pictures are averaged over each
// display pixel's area, smaller ones interpolated.
QImage scaleForDisplay(const QImage& picture, QSize size);

} // namespace veil::filters
