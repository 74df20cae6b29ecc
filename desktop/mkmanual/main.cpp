// tq550-mkmanual: renders the manual's Markdown source into a PDF, with its screenshots, during the build.
//
// Usage: tq550-mkmanual SOURCE.md OUT.pdf [FONT FAMILY]
// Images are looked up relative to the source's folder; an image that is missing is left out with a note on
// standard error (the screenshots are made by scripts/screenshots.sh).

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <cstdio>

namespace {

// The document's images, shrunk to the page width where they are wider; the missing ones are noted.
void FitImages(QTextDocument& document, const QString& folder, qreal pageWidth) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QImage image(QFileInfo(folder + QLatin1Char('/') + format.name()).absoluteFilePath());
            if (image.isNull()) {
                std::fprintf(stderr, "tq550-mkmanual: no image %s\n", qPrintable(format.name()));
                continue;
            }
            // Given to the document itself: print() lays out a copy, which would not look the file up again.
            document.addResource(QTextDocument::ImageResource, QUrl(format.name()), image);
            const qreal scale = std::min<qreal>(1.0, pageWidth / image.width());
            format.setWidth(image.width() * scale);
            format.setHeight(image.height() * scale);
            QTextCursor cursor(&document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: tq550-mkmanual SOURCE.md OUT.pdf [FONT FAMILY]\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "tq550-mkmanual: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString folder = QFileInfo(source).absolutePath();

    QPdfWriter writer(output);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(QFileInfo(source).completeBaseName());
    writer.setCreator(QStringLiteral("TQ-550 Librarian"));

    QTextDocument document;
    QFont font = argc > 3 ? QFont(QString::fromLocal8Bit(argv[3]))
                          : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(10.5);
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setBaseUrl(QUrl::fromLocalFile(folder + QLatin1Char('/')));
    document.setMarkdown(QString::fromUtf8(file.readAll()));

    // The pages are laid out here, on the writer itself, in its pixels: a text column with 2 cm free on every
    // side. Laid out on the writer, an image of width w (in pixels of 96 dpi) is w * dpi / 96 pixels wide, so
    // images wider than the column are shrunk to it, never enlarged.
    const int dpi = writer.resolution();
    const QRectF page = writer.pageLayout().fullRectPixels(dpi);
    const qreal margin = 2 / 2.54 * dpi;
    const QSizeF column(page.width() - 2 * margin, page.height() - 2 * margin);
    document.documentLayout()->setPaintDevice(&writer);
    FitImages(document, folder, column.width() * 96.0 / dpi - 1);
    document.setPageSize(column);

    QPainter painter(&writer);
    const QFontMetricsF metrics(font, &writer);
    const int pages = document.pageCount();
    for (int index = 0; index < pages; ++index) {
        if (index > 0) writer.newPage();
        const qreal top = index * column.height();
        painter.save();
        painter.translate(margin, margin - top);
        // One pixel less at the bottom: what begins on the next page shows no edge of itself here.
        document.drawContents(&painter, QRectF(0, top, column.width(), column.height() - 1));
        painter.restore();
        // The page number in the bottom margin, flush with the column's right edge.
        const QString number = QString::number(index + 1);
        painter.setFont(font);
        painter.drawText(QPointF(margin + column.width() - metrics.horizontalAdvance(number),
                                 margin + column.height() + metrics.ascent() + 5.0 * dpi / 72),
                         number);
    }
    painter.end();
    return 0;
}
