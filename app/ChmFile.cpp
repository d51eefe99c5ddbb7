#include "app/ChmFile.h"

#include <QFile>

#include <chm_lib.h>

ChmFile::ChmFile(const QString &path) : m_file(chm_open(QFile::encodeName(path).constData()))
{
    if (m_file)
        readSystemFile();
}

ChmFile::~ChmFile()
{
    if (m_file)
        chm_close(m_file);
}

QByteArray ChmFile::read(const QString &objectPath) const
{
    if (!m_file)
        return {};
    QString path = objectPath;
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    chmUnitInfo info;
    if (chm_resolve_object(m_file, path.toUtf8().constData(), &info) != CHM_RESOLVE_SUCCESS)
        return {};
    QByteArray bytes(qsizetype(info.length), Qt::Uninitialized);
    const LONGINT64 got = chm_retrieve_object(m_file, &info, reinterpret_cast<unsigned char *>(bytes.data()),
                                              0, LONGINT64(info.length));
    if (got < 0)
        return {};
    bytes.truncate(qsizetype(got));
    return bytes;
}

// The #SYSTEM object holds the project's settings as records of a 16-bit code, a
// 16-bit length and that many bytes: code 0 is the contents file, code 2 the default
// topic, each a zero-terminated name.
void ChmFile::readSystemFile()
{
    const QByteArray system = read(QStringLiteral("/#SYSTEM"));
    auto word = [&system](qsizetype at) {
        return quint16(quint8(system[at])) | quint16(quint8(system[at + 1])) << 8;
    };
    for (qsizetype at = 4; at + 4 <= system.size();) {
        const quint16 code = word(at);
        const quint16 length = word(at + 2);
        at += 4;
        if (at + length > system.size())
            break;
        const QString value = QString::fromUtf8(system.mid(at, length)).section(QChar(0), 0, 0);
        if (code == 0)
            m_contentsFile = value;
        else if (code == 2)
            m_defaultTopic = value;
        at += length;
    }
    if (m_defaultTopic.isEmpty())
        m_defaultTopic = QStringLiteral("index.html");
}
