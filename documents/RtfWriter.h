#pragma once
#include <QByteArray>
#include <QString>

class QTextDocument;

// Writes a text document as RTF, which Qt cannot do itself. The file names code page
// 936 (GBK) and has a font table and a colour table; each paragraph keeps its
// alignment, and each run of text its font, size, colour, bold, italic and underline.
// Every character beyond ASCII is written as a \uN? escape and every '{', '}' and '\'
// of the text is escaped, so nothing a field holds can turn into RTF markup.
class RtfWriter
{
public:
    static QByteArray toRtf(const QTextDocument &document);

    // Writes the RTF of the document to the file, whole or not at all; throws Error
    // naming the file and the reason.
    static void save(const QString &path, const QTextDocument &document);
};
