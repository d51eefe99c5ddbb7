#pragma once
#include <QImage>
#include <QWidget>

class QIODevice;
class QImageReader;

// Shows one picture centred. A picture larger than the view in either direction is
// scaled down to fit with its proportions kept; a smaller one is shown at its own
// size, never enlarged. Large files are decoded straight to the largest size the view
// can reach (the screen), so a big photograph never sits in memory at full size.
class PictureView : public QWidget
{
    Q_OBJECT
public:
    explicit PictureView(QWidget *parent = nullptr);

    // Reads the picture file into the view, replacing the picture shown. Throws Error
    // when the file cannot be read as a picture or is cut short; the view then keeps
    // the picture it showed.
    void loadPicture(const QString &path);
    // The same for a picture read from an open device (a picture on the ward's server), named
    // in messages by name. The device must allow going back to its start.
    void loadPicture(QIODevice &device, const QString &name);
    // Empties the view.
    void clear();

    bool isEmpty() const { return m_image.isNull(); }
    // The picture's own size, upright (as its orientation tag says), or an invalid size.
    QSize pictureSize() const { return m_pictureSize; }
    // The picture as decoded; no larger than the decoding limit.
    const QImage &image() const { return m_image; }
    // Where the picture is drawn in the view as it is now; empty when there is none.
    QRect pictureRect() const;

    // The largest size a picture is decoded at; by default the screen's size in device pixels.
    void setDecodeLimit(const QSize &limit) { m_decodeLimit = limit; }
    QSize decodeLimit() const;

    // The rectangle a picture of the given size takes in a view of the given size:
    // centred, scaled down with its proportions kept when larger, never enlarged.
    static QRect placement(const QSize &picture, const QSize &view);

    QSize sizeHint() const override { return {400, 300}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Decodes from the reader, whose picture's size and completeness have been checked.
    void decode(QImageReader &reader, const QSize &stored, const QString &name);

    QImage m_image;
    QSize m_pictureSize;
    QSize m_decodeLimit;
};
