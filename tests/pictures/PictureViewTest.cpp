#include "pictures/PictureView.h"
#include "pictures/JpegScan.h"
#include "tests/pictures/PictureFixtures.h"
#include "text/Error.h"

#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool complete(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return pictures::jpegIsComplete(buffer);
}

// An APP1 segment whose contents hold an end-of-image marker, as an EXIF thumbnail does.
QByteArray withThumbnailSegment(const QByteArray &jpeg)
{
    const QByteArray payload = QByteArray("Exif\0\0", 6) + QByteArray::fromHex("FFD8FFD9");
    QByteArray segment = QByteArray::fromHex("FFE1");
    segment.append(char((payload.size() + 2) >> 8)).append(char((payload.size() + 2) & 0xFF)).append(payload);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

} // namespace

TEST(PictureView, PlacementCentresAndOnlyScalesDown)
{
    struct Case
    {
        QSize picture, view;
        QRect expected;
    };
    const Case cases[] = {
        {{100, 50}, {400, 300}, {150, 125, 100, 50}}, // smaller: own size, centred
        {{400, 300}, {400, 300}, {0, 0, 400, 300}},   // exactly the view
        {{800, 300}, {400, 300}, {0, 75, 400, 150}},  // too wide: width fits
        {{200, 600}, {400, 300}, {150, 0, 100, 300}}, // too tall: height fits
        {{4000, 3000}, {400, 300}, {0, 0, 400, 300}}, // same proportions
        {{500, 100}, {400, 300}, {0, 110, 400, 80}},  // wider than the view only
        {{10, 10}, {0, 0}, {}},
        {{}, {400, 300}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.picture.width() << "x" << c.picture.height());
        EXPECT_EQ(PictureView::placement(c.picture, c.view), c.expected);
    }
}

TEST(JpegScan, FindsTheEndOfImageThroughTheMarkerStructure)
{
    const QByteArray baseline = fixtures::jpegBytes({64, 48});
    const QByteArray progressive = fixtures::jpegBytes({64, 48}, Qt::blue, true);
    ASSERT_TRUE(baseline.endsWith(QByteArray::fromHex("FFD9")));
    struct Case
    {
        const char *what;
        QByteArray bytes;
        bool complete;
    };
    const Case cases[] = {
        {"whole", baseline, true},
        {"whole progressive", progressive, true},
        {"bytes after the end", baseline + QByteArray("trailer data"), true},
        {"thumbnail segment", withThumbnailSegment(baseline), true},
        {"last byte cut", baseline.chopped(1), false},
        {"end marker cut", baseline.chopped(2), false},
        {"cut in half", baseline.left(baseline.size() / 2), false},
        {"progressive cut", progressive.chopped(2), false},
        {"cut, thumbnail end inside", withThumbnailSegment(baseline).chopped(2), false},
        {"only the start", QByteArray::fromHex("FFD8"), false},
        {"empty", QByteArray(), false},
        {"not a JPEG", QByteArray("GIF89a"), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(complete(c.bytes), c.complete);
    }
}

class PictureViewLoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_view.resize(400, 300);
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
    PictureView m_view;
};

TEST_F(PictureViewLoad, ShowsAPictureAndEmptiesAgain)
{
    ASSERT_TRUE(fixtures::saveJpeg(path(QStringLiteral("a.jpg")), {100, 60}, Qt::red));
    EXPECT_TRUE(m_view.isEmpty());
    m_view.loadPicture(path(QStringLiteral("a.jpg")));
    EXPECT_FALSE(m_view.isEmpty());
    EXPECT_EQ(m_view.pictureSize(), QSize(100, 60));
    EXPECT_EQ(m_view.pictureRect(), QRect(150, 120, 100, 60));
    const QColor left = m_view.image().pixelColor(10, 30);
    EXPECT_GT(left.red(), 200);
    EXPECT_LT(left.green(), 60);

    // What is drawn is the picture, centred.
    const QImage shot = m_view.grab().toImage();
    EXPECT_GT(shot.pixelColor(160, 150).red(), 200);
    EXPECT_LT(shot.pixelColor(160, 150).green(), 60);

    m_view.clear();
    EXPECT_TRUE(m_view.isEmpty());
    EXPECT_TRUE(m_view.pictureRect().isEmpty());
}

TEST_F(PictureViewLoad, LargePictureIsDecodedSmallAndScaledToTheView)
{
    ASSERT_TRUE(fixtures::saveJpeg(path(QStringLiteral("big.jpg")), {3200, 1600}, Qt::blue));
    m_view.setDecodeLimit({800, 800});
    m_view.loadPicture(path(QStringLiteral("big.jpg")));
    EXPECT_EQ(m_view.pictureSize(), QSize(3200, 1600));
    EXPECT_LE(m_view.image().width(), 800);
    EXPECT_LE(m_view.image().height(), 800);
    EXPECT_EQ(m_view.pictureRect(), QRect(0, 50, 400, 200));
}

TEST_F(PictureViewLoad, UnreadableFileKeepsThePictureShown)
{
    ASSERT_TRUE(fixtures::saveJpeg(path(QStringLiteral("good.jpg")), {80, 40}, Qt::green));
    const QByteArray whole = fixtures::jpegBytes({200, 100});
    ASSERT_TRUE(fixtures::writeBytes(path(QStringLiteral("text.jpg")), QByteArray("not a picture at all")));
    ASSERT_TRUE(fixtures::writeBytes(path(QStringLiteral("empty.jpg")), QByteArray()));
    ASSERT_TRUE(fixtures::writeBytes(path(QStringLiteral("header.jpg")), whole.left(40)));
    ASSERT_TRUE(fixtures::writeBytes(path(QStringLiteral("half.jpg")), whole.left(whole.size() / 2)));

    m_view.loadPicture(path(QStringLiteral("good.jpg")));
    const QImage before = m_view.image();
    const QString bad[] = {QStringLiteral("text.jpg"), QStringLiteral("empty.jpg"),
                           QStringLiteral("header.jpg"), QStringLiteral("half.jpg"),
                           QStringLiteral("missing.jpg")};
    for (const QString &name : bad) {
        SCOPED_TRACE(name.toStdString());
        try {
            m_view.loadPicture(path(name));
            ADD_FAILURE() << "no error";
        } catch (const Error &e) {
            EXPECT_TRUE(e.message().contains(name));
        }
        EXPECT_EQ(m_view.pictureSize(), QSize(80, 40));
        EXPECT_TRUE(m_view.image() == before);
    }
}

TEST_F(PictureViewLoad, PictureUnderAnotherExtensionIsReadByItsContents)
{
    // A PNG saved as ".jpg" still shows.
    ASSERT_TRUE(fixtures::twoToned({30, 20}, Qt::red).save(path(QStringLiteral("really-png.jpg")), "png"));
    m_view.loadPicture(path(QStringLiteral("really-png.jpg")));
    EXPECT_EQ(m_view.pictureSize(), QSize(30, 20));
}

TEST_F(PictureViewLoad, PictureTaggedAsTurnedIsShownUpright)
{
    // An EXIF segment with one entry: orientation 6, "turn a quarter clockwise to view".
    const QByteArray exif = QByteArray("Exif\0\0II*\0", 10) + QByteArray::fromHex("08000000"
                                                                                  "0100"
                                                                                  "1201"
                                                                                  "0300"
                                                                                  "01000000"
                                                                                  "06000000"
                                                                                  "00000000");
    QByteArray segment = QByteArray::fromHex("FFE1");
    segment.append(char(0)).append(char(exif.size() + 2)).append(exif);
    const QByteArray plain = fixtures::jpegBytes({60, 40});
    ASSERT_TRUE(
        fixtures::writeBytes(path(QStringLiteral("phone.jpg")), plain.left(2) + segment + plain.mid(2)));
    ASSERT_EQ(QImageReader(path(QStringLiteral("phone.jpg"))).transformation(),
              QImageIOHandler::TransformationRotate90);

    m_view.loadPicture(path(QStringLiteral("phone.jpg")));
    EXPECT_EQ(m_view.pictureSize(), QSize(40, 60));
    EXPECT_EQ(m_view.image().size(), QSize(40, 60));
    EXPECT_EQ(m_view.pictureRect(), QRect(180, 120, 40, 60));
}
