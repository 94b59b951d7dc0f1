// rendergif: draws an SVG file into an animated GIF, turned a step further in every frame.
//
//   rendergif in.svg out.gif SIZE FRAMES DELAY_MS BACKGROUND
//
// BACKGROUND is the colour the drawing sits on (e.g. "#FFFFFF"); the frames are opaque, so the
// antialiased edges blend into it exactly. Qt reads GIF but cannot write it, hence the small
// encoder here.

#include <QColor>
#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <QVector>

#include <cstdio>

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "rendergif: %s\n", qUtf8Printable(message));
    return 1;
}

bool ParseNumber(const QString& text, int low, int high, int* value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value >= low && *value <= high;
}

QImage RenderFrame(QSvgRenderer& renderer, int size, double degrees, const QColor& background)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.translate(size / 2.0, size / 2.0);
    painter.rotate(degrees);
    painter.translate(-size / 2.0, -size / 2.0);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return image;
}

// One palette of at most 256 colours for all frames: the exact colours when they fit, else the
// colours with ever fewer bits per channel.
QVector<QRgb> BuildPalette(const QVector<QImage>& frames, QRgb* mask)
{
    for (int dropped = 0; dropped < 8; ++dropped) {
        const quint8 channel = static_cast<quint8>(0xFF << dropped);
        *mask = qRgb(channel, channel, channel);
        QHash<QRgb, int> seen;
        for (const QImage& frame : frames) {
            for (int y = 0; y < frame.height() && seen.size() <= 256; ++y) {
                const QRgb* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
                for (int x = 0; x < frame.width(); ++x)
                    seen.insert(line[x] & *mask, 0);
            }
        }
        if (seen.size() <= 256) {
            QVector<QRgb> palette = seen.keys().toVector();
            std::sort(palette.begin(), palette.end());
            palette.resize(256);
            return palette;
        }
    }
    return {};
}

class CBitWriter
{
public:
    void Write(int code, int bits)
    {
        m_buffer |= static_cast<quint32>(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            m_bytes.append(static_cast<char>(m_buffer & 0xFF));
            m_buffer >>= 8;
            m_count -= 8;
        }
    }
    QByteArray Finish()
    {
        if (m_count > 0)
            m_bytes.append(static_cast<char>(m_buffer & 0xFF));
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_buffer = 0;
    int m_count = 0;
};

// GIF's variable-width LZW over 8-bit palette indices.
QByteArray Compress(const QByteArray& indices)
{
    constexpr int kClear = 256;
    constexpr int kEnd = 257;
    constexpr int kLimit = 4096;
    CBitWriter out;
    QHash<quint32, int> table;
    int width = 9;
    int next = kEnd + 1;
    out.Write(kClear, width);
    int prefix = static_cast<quint8>(indices.at(0));
    for (int i = 1; i < indices.size(); ++i) {
        const int symbol = static_cast<quint8>(indices.at(i));
        const quint32 key = (static_cast<quint32>(prefix) << 8) | static_cast<quint32>(symbol);
        const auto found = table.constFind(key);
        if (found != table.constEnd()) {
            prefix = found.value();
            continue;
        }
        out.Write(prefix, width);
        if (next < kLimit) {
            table.insert(key, next++);
            if (next > (1 << width) && width < 12)
                ++width;
        } else {
            out.Write(kClear, width);
            table.clear();
            width = 9;
            next = kEnd + 1;
        }
        prefix = symbol;
    }
    out.Write(prefix, width);
    out.Write(kEnd, width);
    return out.Finish();
}

void AppendWord(QByteArray& data, int value)
{
    data.append(static_cast<char>(value & 0xFF));
    data.append(static_cast<char>((value >> 8) & 0xFF));
}

void AppendBlocks(QByteArray& data, const QByteArray& payload)
{
    for (int at = 0; at < payload.size(); at += 255) {
        const QByteArray block = payload.mid(at, 255);
        data.append(static_cast<char>(block.size()));
        data.append(block);
    }
    data.append('\0');
}

QByteArray EncodeGif(const QVector<QImage>& frames, int delayMs)
{
    QRgb mask = 0;
    const QVector<QRgb> palette = BuildPalette(frames, &mask);
    QHash<QRgb, int> index;
    for (int i = 0; i < palette.size(); ++i)
        index.insert(palette.at(i), index.value(palette.at(i), i));

    const int size = frames.first().width();
    QByteArray gif("GIF89a");
    AppendWord(gif, size);
    AppendWord(gif, size);
    gif.append(static_cast<char>(0xF7));  // global palette of 256 colours, 8 bits per channel
    gif.append('\0');
    gif.append('\0');
    for (QRgb colour : palette) {
        gif.append(static_cast<char>(qRed(colour)));
        gif.append(static_cast<char>(qGreen(colour)));
        gif.append(static_cast<char>(qBlue(colour)));
    }
    // Loop for ever.
    gif.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);

    for (const QImage& frame : frames) {
        gif.append("\x21\xF9\x04\x04", 4);  // graphic control: keep the frame, no transparency
        AppendWord(gif, (delayMs + 5) / 10);
        gif.append('\0');
        gif.append('\0');
        gif.append('\x2C');
        AppendWord(gif, 0);
        AppendWord(gif, 0);
        AppendWord(gif, size);
        AppendWord(gif, size);
        gif.append('\0');
        QByteArray indices;
        indices.reserve(size * size);
        for (int y = 0; y < size; ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
            for (int x = 0; x < size; ++x)
                indices.append(static_cast<char>(index.value(line[x] & mask)));
        }
        gif.append('\x08');
        AppendBlocks(gif, Compress(indices));
    }
    gif.append('\x3B');
    return gif;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 6)
        return Fail(QStringLiteral("usage: rendergif in.svg out.gif SIZE FRAMES DELAY_MS BACKGROUND"));
    int size = 0;
    int frameCount = 0;
    int delayMs = 0;
    if (!ParseNumber(args.at(2), 1, 1024, &size) || !ParseNumber(args.at(3), 1, 360, &frameCount)
        || !ParseNumber(args.at(4), 10, 60000, &delayMs))
        return Fail(QStringLiteral("size, frame count or delay out of range"));
    const QColor background(args.at(5));
    if (!background.isValid())
        return Fail(QStringLiteral("\"%1\" is not a colour").arg(args.at(5)));

    QSvgRenderer renderer(args.at(0));
    if (!renderer.isValid())
        return Fail(QStringLiteral("cannot read the drawing %1").arg(args.at(0)));

    QVector<QImage> frames;
    for (int i = 0; i < frameCount; ++i)
        frames.append(RenderFrame(renderer, size, 360.0 * i / frameCount, background));

    QFile file(args.at(1));
    const QByteArray gif = EncodeGif(frames, delayMs);
    if (!file.open(QIODevice::WriteOnly) || file.write(gif) != gif.size())
        return Fail(QStringLiteral("cannot write %1: %2").arg(args.at(1), file.errorString()));
    return 0;
}
