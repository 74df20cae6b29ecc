// tq550-mkmanual: renders the manual's Markdown source into a PDF, with its screenshots, during the build.
//
// Usage: tq550-mkmanual SOURCE.md OUT.pdf [FONT FAMILY]
// Images are looked up relative to the source's folder; an image that is missing is left out with a note on
// standard error (the screenshots are made by scripts/screenshots.sh).

#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
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
    writer.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(QFileInfo(source).completeBaseName());
    writer.setCreator(QStringLiteral("TQ-550 Librarian"));

    QTextDocument document;
    QFont font = argc > 3 ? QFont(QString::fromLocal8Bit(argv[3]))
                          : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(10.5);
    document.setDefaultFont(font);
    document.setBaseUrl(QUrl::fromLocalFile(folder + QLatin1Char('/')));
    document.setMarkdown(QString::fromUtf8(file.readAll()));
    // The document is laid out for the page by print(), in units of the screen resolution (96 dpi):
    // images wider than the printable width are shrunk to it.
    const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
    FitImages(document, folder, page.width() * 96.0 / writer.resolution() * 0.95);
    document.print(&writer);
    return 0;
}
