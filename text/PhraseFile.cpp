#include "text/PhraseFile.h"
#include "text/Error.h"
#include "text/SafeFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace text {

QStringList splitLines(const QString &text)
{
    QStringList lines;
    QString current;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(current);
            current.clear();
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines;
}

namespace {
bool decodeStrictly(QStringDecoder &decoder, const QByteArray &bytes, QString &out)
{
    out = decoder.decode(bytes);
    return decoder.isValid() && !decoder.hasError();
}
} // namespace

QString decodePhraseBytes(const QByteArray &bytes, const QString &pathForMessage)
{
    static const QByteArray utf8Bom("\xEF\xBB\xBF", 3);
    if (bytes.startsWith(utf8Bom)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text;
        if (decodeStrictly(utf8, bytes.mid(3), text))
            return text;
    }
    // Real GBK text almost never passes as UTF-8 (its common lead bytes 0xB0–0xBF
    // are UTF-8 continuation bytes), so a file that is valid UTF-8 with non-ASCII
    // bytes in it was saved as UTF-8 and is read as such.
    bool ascii = true;
    for (char b : bytes)
        if (static_cast<unsigned char>(b) >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text;
        if (decodeStrictly(utf8, bytes, text))
            return text;
    }
    QStringDecoder gb("GB18030", QStringDecoder::Flag::Stateless);
    QString text;
    if (decodeStrictly(gb, bytes, text))
        return text;
    throw Error(QStringLiteral("文件“%1”的编码无法识别（应为GBK），未读取").arg(pathForMessage));
}

QString readPhraseText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("无法读取文件“%1”：%2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("无法读取文件“%1”：%2").arg(path, file.errorString()));
    return decodePhraseBytes(bytes, path);
}

QStringList readPhraseLines(const QString &path)
{
    return splitLines(readPhraseText(path));
}

QByteArray encodePhraseText(const QString &text)
{
    QString crlf;
    crlf.reserve(text.size() + text.size() / 16);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            crlf.append(QLatin1String("\r\n"));
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            crlf.append(QLatin1String("\r\n"));
        } else {
            crlf.append(c);
        }
    }
    QStringEncoder gb("GB18030");
    return gb.encode(crlf);
}

void writePhraseText(const QString &path, const QString &text)
{
    writeFileWhole(path, encodePhraseText(text), /*ownerOnly=*/false);
}

} // namespace text
