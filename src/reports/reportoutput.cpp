#include "reports/reportoutput.h"

#include "store/fileroutines.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

namespace veil::reports {

namespace {
constexpr double kMarginMm = 15.0;

QFont reportFont(double points) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    return f;
}
// Lays out again where a page break falls badly: a table shorter than a page
// (a row of pictures with their titles, a list of facts) that would break
// across pages starts on the next one, and so do headings whose content would
// begin on the next page. Each move shifts what follows, so the document is
// walked in order with the layout brought up to date each time.
void keepTogether(QTextDocument& doc, qreal pageHeight) {
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    const auto page = [pageHeight](qreal y) { return int(y / pageHeight); };
    const auto boxOf = [layout](const QTextFrame::iterator& it) {
        return it.currentFrame() ? layout->frameBoundingRect(it.currentFrame())
                                 : layout->blockBoundingRect(it.currentBlock());
    };
    const auto breaks = [&](const QTextFrame::iterator& it) {
        const QRectF box = boxOf(it);
        return qobject_cast<QTextTable*>(it.currentFrame()) && box.height() < pageHeight &&
            page(box.top()) != page(box.bottom() - 1);
    };
    const auto isHeading = [](const QTextFrame::iterator& it) {
        return !it.currentFrame() && it.currentBlock().blockFormat().headingLevel() > 0;
    };
    for (QTextFrame::iterator it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        layout->documentSize(); // brings the layout up to date
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
            if (breaks(it)) {
                QTextTableFormat format = table->format();
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                table->setFormat(format);
            }
            continue;
        }
        if (!isHeading(it))
            continue;
        // The content under this heading (and any headings right below it).
        QTextFrame::iterator content = it;
        do
            ++content;
        while (!content.atEnd() && isHeading(content));
        if (content.atEnd())
            continue;
        // Where its first line ends (for a table, about a line down).
        const QRectF box = boxOf(it);
        qreal firstLine = boxOf(content).top() + box.height();
        if (!content.currentFrame() && content.currentBlock().layout()->lineCount() > 0) {
            const QTextLine line = content.currentBlock().layout()->lineAt(0);
            firstLine = boxOf(content).top() + line.y() + line.height();
        }
        if (!breaks(content) && page(firstLine - 1) == page(box.top()))
            continue;
        QTextBlockFormat format = it.currentBlock().blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(it.currentBlock()).setBlockFormat(format);
    }
}
} // namespace

std::optional<Format> formatOf(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("html") || ext == QLatin1String("htm"))
        return Format::Html;
    if (ext == QLatin1String("pdf"))
        return Format::Pdf;
    return std::nullopt;
}

QPageSize::PageSizeId paperFor(const QLocale& locale) {
    switch (locale.territory()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::Venezuela:
    case QLocale::Philippines:
    case QLocale::PuertoRico:
        return QPageSize::Letter;
    default:
        return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
    }
}

std::unique_ptr<QTextDocument> reportDocument(const Report& report) {
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(reportFont(10));
    for (int i = 0; i < report.images.size(); ++i)
        doc->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("image:%1").arg(i)),
                         QImage::fromData(report.images[i]));
    doc->setHtml(report.html);
    return doc;
}

int paintReport(const Report& report, QPagedPaintDevice& device, bool keepPageLayout) {
    if (!keepPageLayout)
        device.setPageLayout(QPageLayout(QPageSize(paperFor()), QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
    const std::unique_ptr<QTextDocument> doc = reportDocument(report);
    // Laid out in the device's own units, so fonts and pictures keep their size on paper.
    doc->documentLayout()->setPaintDevice(&device);
    const int dpi = device.logicalDpiY();
    const QRect area = device.pageLayout().paintRectPixels(dpi);
    const QFont small = reportFont(8);
    const int line = QFontMetrics(small, &device).height();
    const int head = line * 2, foot = line * 2;
    const QSizeF body(area.width(), area.height() - head - foot);
    doc->setPageSize(body);
    keepTogether(*doc, body.height());
    const int pages = doc->pageCount();

    QPainter p;
    if (!p.begin(&device))
        return 0;
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage())
            return 0;
        p.setFont(small);
        p.setPen(QColor(85, 85, 85));
        const QRect top(0, 0, area.width(), line);
        p.drawText(top, Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetrics(small, &device).elidedText(report.title, Qt::ElideRight, area.width()));
        p.drawLine(0, line + line / 3, area.width(), line + line / 3);
        p.drawText(QRect(0, area.height() - line, area.width(), line), Qt::AlignCenter,
                   QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));

        p.save();
        p.translate(0, head - page * body.height());
        const QRectF shown(0, page * body.height(), body.width(), body.height());
        p.setClipRect(shown);
        // What only touches the page's edge belongs to the page before or after:
        // drawn clipped, it would still leave its text in the PDF, hidden but found.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown.adjusted(0, 2, 0, -2);
        context.palette.setColor(QPalette::Text, Qt::black);
        doc->documentLayout()->draw(&p, context);
        p.restore();
    }
    return p.end() ? pages : 0;
}

bool writeReport(const Report& report, const QString& path, Format format, QString* error) {
    return writeFileAtomically(
        path,
        [&](QIODevice& out) {
            if (format == Format::Html) {
                const QByteArray bytes = report.selfContainedHtml().toUtf8();
                return out.write(bytes) == bytes.size();
            }
            QPdfWriter pdf(&out);
            pdf.setTitle(report.title);
            pdf.setCreator(QStringLiteral("Veilcase"));
            pdf.setResolution(300);
            return paintReport(report, pdf) > 0;
        },
        error);
}

} // namespace veil::reports
