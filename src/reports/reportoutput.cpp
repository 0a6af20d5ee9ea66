#include "reports/reportoutput.h"

#include "store/fileroutines.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
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
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, page * body.height(), body.width(), body.height());
        context.palette.setColor(QPalette::Text, Qt::black);
        p.setClipRect(context.clip);
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
