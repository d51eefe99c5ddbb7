#include "pictures/JpegScan.h"

#include <QByteArray>
#include <QIODevice>

namespace pictures {

namespace {

// Reads a device byte by byte through a block buffer.
class ByteSource
{
public:
    explicit ByteSource(QIODevice &device) : m_device(device) {}

    // The next byte, or -1 at the end of the data or on a read error.
    int next()
    {
        if (m_pos == m_buffer.size() && !refill())
            return -1;
        return static_cast<unsigned char>(m_buffer.at(m_pos++));
    }

    // Skips count bytes; false when the data ends first.
    bool skip(qint64 count)
    {
        while (count > 0) {
            if (m_pos == m_buffer.size() && !refill())
                return false;
            const qint64 step = qMin<qint64>(count, m_buffer.size() - m_pos);
            m_pos += step;
            count -= step;
        }
        return true;
    }

private:
    bool refill()
    {
        m_buffer = m_device.read(64 * 1024);
        m_pos = 0;
        return !m_buffer.isEmpty();
    }

    QIODevice &m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
};

constexpr int startOfImage = 0xD8;
constexpr int endOfImage = 0xD9;
constexpr int startOfScan = 0xDA;

// Markers that stand alone, without a length: the restart markers and TEM.
bool standalone(int marker)
{
    return (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01;
}

// Reads the code of the next marker where one is expected: skips stray bytes up to
// an 0xFF and any fill bytes (further 0xFF). -1 when the data ends.
int markerCode(ByteSource &source)
{
    int byte = source.next();
    while (byte != -1 && byte != 0xFF)
        byte = source.next();
    while (byte == 0xFF)
        byte = source.next();
    return byte;
}

// Skips entropy-coded data after a scan header up to the marker that ends it; its code,
// or -1 when the data ends. Inside the data 0xFF 0x00 is a stuffed byte and the restart
// markers belong to the scan.
int markerAfterScan(ByteSource &source)
{
    for (;;) {
        int byte = source.next();
        if (byte == -1)
            return -1;
        if (byte != 0xFF)
            continue;
        do
            byte = source.next();
        while (byte == 0xFF);
        if (byte == -1)
            return -1;
        if (byte != 0x00 && !(byte >= 0xD0 && byte <= 0xD7))
            return byte;
    }
}

} // namespace

bool jpegIsComplete(QIODevice &device)
{
    ByteSource source(device);
    if (source.next() != 0xFF || source.next() != startOfImage)
        return false;
    int marker = markerCode(source);
    for (;;) {
        if (marker == -1)
            return false;
        if (marker == endOfImage)
            return true;
        if (standalone(marker)) {
            marker = markerCode(source);
            continue;
        }
        const int high = source.next();
        const int low = source.next();
        if (high == -1 || low == -1)
            return false;
        const int length = high << 8 | low;
        if (length < 2 || !source.skip(length - 2))
            return false;
        marker = marker == startOfScan ? markerAfterScan(source) : markerCode(source);
    }
}

} // namespace pictures
