#include "wholefile.h"

#include <QSaveFile>

namespace WholeFile {
bool Write(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // A write that stopped short carries no reason of its own; the caller words that case.
    if (!WriteAll(file, bytes)) {
        if (error)
            error->clear();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool WriteAll(QIODevice& device, const QByteArray& bytes)
{
    if (device.write(bytes) != bytes.size())
        return false;
    auto* file = qobject_cast<QFileDevice*>(&device);
    return !file || file->flush();
}
}
