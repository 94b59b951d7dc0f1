#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QtPlugin>

Q_IMPORT_PLUGIN(CPngReaderPlugin)

// The program's PNG reader stands in front of Qt's for every file named *.png: every kind of PNG
// must come out with the pixels it was written with, and a broken one must fail. (That no other
// image plugin is loaded is checked on the running program.)
class TestPngReader : public QObject
{
    Q_OBJECT
private slots:
    void readsEveryKind_data();
    void readsEveryKind();
};

namespace {
QImage Sample(QImage::Format format)
{
    QImage image(37, 23, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 7, y * 11, (x * y) % 256, 40 + (x + y) * 3));
    return image.convertToFormat(format);
}

QByteArray Encoded(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(image);
    return png;
}
}

void TestPngReader::readsEveryKind_data()
{
    QTest::addColumn<QByteArray>("png");
    // Null when the file is no whole picture.
    QTest::addColumn<QImage>("written");
    for (const auto& [name, format] : {std::pair{"with alpha", QImage::Format_ARGB32},
             std::pair{"opaque", QImage::Format_RGB32}, std::pair{"grey", QImage::Format_Grayscale8},
             std::pair{"palette", QImage::Format_Indexed8}, std::pair{"16 bits a channel", QImage::Format_RGBA64}}) {
        const QImage written = Sample(format);
        QTest::newRow(name) << Encoded(written) << written;
    }
    QTest::newRow("cut short") << Encoded(Sample(QImage::Format_ARGB32)).left(120) << QImage();
    QTest::newRow("not a picture") << QByteArray("\x89PNG\r\n\x1a\n but nothing after") << QImage();
}

void TestPngReader::readsEveryKind()
{
    QFETCH(QByteArray, png);
    QFETCH(QImage, written);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("picture.png"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(png);
    file.close();

    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage read = reader.read();
    QCOMPARE(read.isNull(), written.isNull());
    QCOMPARE(read.convertToFormat(QImage::Format_ARGB32), written.convertToFormat(QImage::Format_ARGB32));
}

QTEST_GUILESS_MAIN(TestPngReader)
#include "tst_pngreader.moc"
