#pragma once

#include <QImageIOPlugin>

// Claims the "png" suffix and reads with Qt's own PNG reader. Without a plugin for the suffix,
// Qt asks every image format plugin installed whether it would rather read the picture, and so
// loads them all (with Qt Svg and libjpeg, about 0.4 MiB that stays mapped) at the first picture
// the program shows, although every picture it ships is a PNG. Other formats load their plugin
// when such a picture comes.
class CPngReaderPlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "CPngReaderPlugin.json")
public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format = QByteArray()) const override;
};
