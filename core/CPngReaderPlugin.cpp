#include "CPngReaderPlugin.h"

#include <QImageReader>

namespace {
// Set while this thread reads through Qt's own reader, which asks the plugin for the "png" key
// first: the plugin then declines, and Qt uses its built-in reader.
thread_local bool t_readingBuiltIn = false;

class CPngHandler : public QImageIOHandler
{
public:
    bool canRead() const override
    {
        if (!device() || device()->peek(8) != QByteArray("\x89PNG\r\n\x1a\n", 8))
            return false;
        setFormat("png");
        return true;
    }

    bool read(QImage* image) override
    {
        QImageReader reader(device(), "png");
        reader.setAutoDetectImageFormat(false);
        t_readingBuiltIn = true;
        const bool read = reader.read(image);
        t_readingBuiltIn = false;
        return read;
    }
};
}

QImageIOPlugin::Capabilities CPngReaderPlugin::capabilities(QIODevice*, const QByteArray& format) const
{
    if (format != "png" || t_readingBuiltIn)
        return {};
    return CanRead;
}

QImageIOHandler* CPngReaderPlugin::create(QIODevice* device, const QByteArray& format) const
{
    auto* handler = new CPngHandler;
    handler->setDevice(device);
    handler->setFormat(format);
    return handler;
}
