#pragma once
// Small pictures and files made on the spot, so no binary fixtures are kept.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QString>

namespace fixtures {

// A picture with a coloured left half and a white right half, so that a decoded copy can
// be told apart from a blank or grey one.
inline QImage twoToned(const QSize &size, const QColor &color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, size.width() / 2, size.height()), color);
    return image;
}

inline bool saveJpeg(const QString &path, const QSize &size, const QColor &color = Qt::red,
                     bool progressive = false)
{
    QImageWriter writer(path, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    return writer.write(twoToned(size, color));
}

inline QByteArray jpegBytes(const QSize &size, const QColor &color = Qt::red, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.write(twoToned(size, color));
    return bytes;
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Bytes that differ from block to block, so a block copied twice or skipped shows.
inline QByteArray pattern(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 2049) & 0xFF);
    return bytes;
}

} // namespace fixtures
