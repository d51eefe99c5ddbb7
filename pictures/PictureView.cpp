#include "pictures/PictureView.h"

#include "pictures/JpegScan.h"
#include "text/Error.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QScreen>

PictureView::PictureView(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize PictureView::decodeLimit() const
{
    if (m_decodeLimit.isValid())
        return m_decodeLimit;
    QSize limit = size();
    if (const QScreen *s = screen())
        limit = limit.expandedTo(s->size() * s->devicePixelRatio());
    return limit.expandedTo({1, 1});
}

QRect PictureView::placement(const QSize &picture, const QSize &view)
{
    if (picture.isEmpty() || view.isEmpty())
        return {};
    QSize shown = picture;
    if (picture.width() > view.width() || picture.height() > view.height())
        shown = picture.scaled(view, Qt::KeepAspectRatio).expandedTo({1, 1});
    return {QPoint((view.width() - shown.width()) / 2, (view.height() - shown.height()) / 2), shown};
}

QRect PictureView::pictureRect() const
{
    return isEmpty() ? QRect() : placement(m_pictureSize, size());
}

void PictureView::loadPicture(const QString &path)
{
    QImageReader reader(path);
    // Read the type from the contents: a picture saved under the wrong extension still shows.
    reader.setDecideFormatFromContent(true);
    // Photographs from phones are stored sideways with a tag saying how to turn them.
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!stored.isValid())
        throw Error(QStringLiteral("无法读取图片“%1”：%2").arg(path, reader.errorString()));

    if (reader.format() == "jpeg") {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || !pictures::jpegIsComplete(file))
            throw Error(QStringLiteral("无法读取图片“%1”：文件不完整").arg(path));
    }

    decode(reader, stored, path);
}

void PictureView::loadPicture(QIODevice &device, const QString &name)
{
    if (!device.seek(0))
        throw Error(QStringLiteral("无法读取图片“%1”：%2").arg(name, device.errorString()));
    QSize stored;
    QByteArray format;
    {
        QImageReader probe(&device);
        probe.setDecideFormatFromContent(true);
        probe.setAutoTransform(true);
        stored = probe.size();
        format = probe.format();
        if (!stored.isValid())
            throw Error(QStringLiteral("无法读取图片“%1”：%2").arg(name, probe.errorString()));
    }
    if (format == "jpeg" && (!device.seek(0) || !pictures::jpegIsComplete(device)))
        throw Error(QStringLiteral("无法读取图片“%1”：文件不完整").arg(name));
    if (!device.seek(0))
        throw Error(QStringLiteral("无法读取图片“%1”：%2").arg(name, device.errorString()));
    // A reader of its own: the probe's reader has moved on through the device.
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    decode(reader, stored, name);
}

void PictureView::decode(QImageReader &reader, const QSize &stored, const QString &name)
{
    // The limit is square, so that turning the picture upright cannot make it exceed it.
    const QSize limit = decodeLimit();
    const int side = qMax(limit.width(), limit.height());
    if (stored.width() > side || stored.height() > side)
        reader.setScaledSize(stored.scaled(side, side, Qt::KeepAspectRatio).expandedTo({1, 1}));
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;

    const QImage image = reader.read();
    if (image.isNull())
        throw Error(QStringLiteral("无法读取图片“%1”：%2").arg(name, reader.errorString()));
    m_image = image;
    m_pictureSize = turned ? stored.transposed() : stored;
    update();
}

void PictureView::clear()
{
    m_image = QImage();
    m_pictureSize = QSize();
    update();
}

void PictureView::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect(), m_image);
}
