// renderskin: draws one SVG file into a bitmap of an exact pixel size.
//
//   renderskin in.svg out.png W H
//   renderskin --ico in.svg out.ico SIZE...
//
// The skin pictures are kept as SVG so they stay editable; the program itself
// loads plain bitmaps, which this tool produces while the project builds.

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <QVector>

#include <cmath>
#include <cstdio>

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "renderskin: %s\n", qUtf8Printable(message));
    return 1;
}

bool ParseSize(const QString& text, int* value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value > 0 && *value <= 4096;
}

// A drawing whose shape differs from the requested bitmap would come out
// squashed, which is always a mistake in the build rules, never a wish.
bool SameShape(const QRectF& viewBox, int width, int height)
{
    const double drawn = viewBox.width() / viewBox.height();
    const double wanted = static_cast<double>(width) / height;
    return std::abs(drawn - wanted) < 0.01;
}

QImage Render(QSvgRenderer& renderer, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(0, 0, width, height));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

int WritePng(QSvgRenderer& renderer, const QString& svgPath, const QString& outPath, int width, int height)
{
    if (!SameShape(renderer.viewBoxF(), width, height))
        return Fail(QStringLiteral("%1 has a view box of %2x%3, which does not fit %4x%5")
                        .arg(svgPath)
                        .arg(renderer.viewBoxF().width())
                        .arg(renderer.viewBoxF().height())
                        .arg(width)
                        .arg(height));
    QImageWriter writer(outPath, "png");
    if (!writer.write(Render(renderer, width, height)))
        return Fail(QStringLiteral("cannot write %1: %2").arg(outPath, writer.errorString()));
    return 0;
}

struct IcoEntry {
    QByteArray header;
    QByteArray data;
};

// Qt's ICO writer stores one picture per file. Each size is encoded with it
// on its own, then the directory entries are gathered into a single file.
bool EncodeIcoEntry(const QImage& image, IcoEntry* entry, QString* error)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(image)) {
        *error = writer.errorString();
        return false;
    }
    const QByteArray file = buffer.data();
    QDataStream in(file);
    in.setByteOrder(QDataStream::LittleEndian);
    quint16 reserved = 0;
    quint16 type = 0;
    quint16 count = 0;
    in >> reserved >> type >> count;
    if (type != 1 || count != 1 || file.size() < 22) {
        *error = QStringLiteral("the ICO writer produced an unexpected layout");
        return false;
    }
    entry->header = file.mid(6, 16);
    QDataStream fields(entry->header);
    fields.setByteOrder(QDataStream::LittleEndian);
    fields.skipRawData(8);
    quint32 size = 0;
    quint32 offset = 0;
    fields >> size >> offset;
    if (offset + static_cast<qint64>(size) > file.size()) {
        *error = QStringLiteral("the ICO writer produced a truncated picture");
        return false;
    }
    entry->data = file.mid(static_cast<int>(offset), static_cast<int>(size));
    return true;
}

int WriteIco(QSvgRenderer& renderer, const QString& svgPath, const QString& outPath, const QVector<int>& sizes)
{
    if (!QImageWriter::supportedImageFormats().contains("ico"))
        return Fail(QStringLiteral("this Qt cannot write ICO files: its \"ico\" image format plugin is missing"));
    if (!SameShape(renderer.viewBoxF(), 1, 1))
        return Fail(QStringLiteral("%1 is not square, an icon must be").arg(svgPath));

    QVector<IcoEntry> entries;
    for (int size : sizes) {
        if (size > 256)
            return Fail(QStringLiteral("ICO pictures are at most 256 pixels wide, %1 was asked for").arg(size));
        IcoEntry entry;
        QString error;
        if (!EncodeIcoEntry(Render(renderer, size, size), &entry, &error))
            return Fail(QStringLiteral("cannot encode the %1 pixel picture: %2").arg(size).arg(error));
        entries.append(entry);
    }

    QByteArray ico;
    QDataStream out(&ico, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(entries.size());
    quint32 offset = 6 + 16 * static_cast<quint32>(entries.size());
    for (const IcoEntry& entry : entries) {
        out.writeRawData(entry.header.constData(), 12);
        out << offset;
        offset += static_cast<quint32>(entry.data.size());
    }
    for (const IcoEntry& entry : entries)
        out.writeRawData(entry.data.constData(), entry.data.size());

    QFile file(outPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(ico) != ico.size())
        return Fail(QStringLiteral("cannot write %1: %2").arg(outPath, file.errorString()));
    return 0;
}

int Usage()
{
    return Fail(QStringLiteral("usage: renderskin in.svg out.png WIDTH HEIGHT\n"
                               "       renderskin --ico in.svg out.ico SIZE..."));
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);

    const bool ico = !args.isEmpty() && args.first() == QLatin1String("--ico");
    if (ico)
        args.removeFirst();
    if (args.size() < 3 || (!ico && args.size() != 4))
        return Usage();

    const QString svgPath = args.at(0);
    const QString outPath = args.at(1);
    QVector<int> sizes;
    for (int i = 2; i < args.size(); ++i) {
        int value = 0;
        if (!ParseSize(args.at(i), &value))
            return Fail(QStringLiteral("\"%1\" is not a pixel size").arg(args.at(i)));
        sizes.append(value);
    }

    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        return Fail(QStringLiteral("cannot read the drawing %1").arg(svgPath));

    if (ico)
        return WriteIco(renderer, svgPath, outPath, sizes);
    return WritePng(renderer, svgPath, outPath, sizes.at(0), sizes.at(1));
}
