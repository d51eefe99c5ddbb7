#include "documents/RtfWriter.h"
#include "text/SafeFile.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <cmath>

namespace {

// Collects the fonts and colours while the body is written, so that the tables in front
// of the body name exactly those that are used.
class RtfBuilder
{
public:
    explicit RtfBuilder(const QTextDocument &document)
        : m_document(document), m_default(document.defaultFont())
    {
        fontIndex(m_default.family()); // font 0 is the document's own font
    }

    QByteArray build()
    {
        QByteArray body;
        bool first = true;
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
            if (!first)
                body += "\\par\r\n";
            first = false;
            writeBlock(block, body);
        }
        body += "\r\n";

        QByteArray rtf = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang2052\r\n{\\fonttbl";
        for (qsizetype i = 0; i < m_fonts.size(); ++i)
            rtf += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset134 " + fontName(m_fonts.at(i)) + ";}";
        rtf += "}\r\n{\\colortbl;";
        for (const QColor &c : m_colours)
            rtf += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) +
                   "\\blue" + QByteArray::number(c.blue()) + ";";
        rtf += "}\r\n\\paperw11906\\paperh16838\\viewkind4\\uc1\r\n";
        rtf += body;
        rtf += "}\r\n";
        return rtf;
    }

private:
    void writeBlock(const QTextBlock &block, QByteArray &out)
    {
        out += "\\pard\\plain";
        const Qt::Alignment align = block.blockFormat().alignment();
        if (align & Qt::AlignHCenter)
            out += "\\qc";
        else if (align & Qt::AlignJustify)
            out += "\\qj";
        else if (align & (Qt::AlignRight))
            out += "\\qr";
        else
            out += "\\ql";
        // The paragraph mark carries the block's own format, so an empty line keeps its height.
        out += characterControls(block.charFormat());
        out += ' ';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            out += "\r\n{" + characterControls(fragment.charFormat()) + ' ';
            writeText(fragment.text(), out);
            out += '}';
        }
    }

    QByteArray characterControls(const QTextCharFormat &format)
    {
        QByteArray controls;
        const QFont font = resolvedFont(format);
        controls += "\\f" + QByteArray::number(fontIndex(font.family()));
        const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
        controls += "\\fs" + QByteArray::number(std::max(1, int(std::lround(points * 2))));
        if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
            controls += "\\cf" + QByteArray::number(colourIndex(format.foreground().color()));
        else
            controls += "\\cf0";
        if (font.weight() >= QFont::DemiBold)
            controls += "\\b";
        if (font.italic())
            controls += "\\i";
        if (font.underline())
            controls += "\\ul";
        if (font.strikeOut())
            controls += "\\strike";
        if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            controls += "\\super";
        else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            controls += "\\sub";
        return controls;
    }

    // A char format states only what differs from the document's font; the rest comes
    // from that font.
    QFont resolvedFont(const QTextCharFormat &format) const
    {
        QFont font = m_default;
        const QStringList families = format.fontFamilies().toStringList();
        if (!families.isEmpty() && !families.first().isEmpty())
            font.setFamily(families.first());
        if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
            font.setPointSizeF(format.fontPointSize());
        else if (format.hasProperty(QTextFormat::FontPixelSize) &&
                 format.intProperty(QTextFormat::FontPixelSize) > 0)
            font.setPixelSize(format.intProperty(QTextFormat::FontPixelSize));
        if (format.hasProperty(QTextFormat::FontWeight))
            font.setWeight(QFont::Weight(format.fontWeight()));
        if (format.hasProperty(QTextFormat::FontItalic))
            font.setItalic(format.fontItalic());
        if (format.hasProperty(QTextFormat::TextUnderlineStyle) ||
            format.hasProperty(QTextFormat::FontUnderline))
            font.setUnderline(format.fontUnderline());
        if (format.hasProperty(QTextFormat::FontStrikeOut))
            font.setStrikeOut(format.fontStrikeOut());
        return font;
    }

    int fontIndex(const QString &family)
    {
        const auto found = m_fontIndex.constFind(family);
        if (found != m_fontIndex.constEnd())
            return *found;
        const int index = int(m_fonts.size());
        m_fonts.append(family);
        m_fontIndex.insert(family, index);
        return index;
    }

    // Colour 0 is "automatic"; used colours follow from 1.
    int colourIndex(const QColor &colour)
    {
        const QRgb rgb = colour.rgb() & 0xFFFFFF;
        const auto found = m_colourIndex.constFind(rgb);
        if (found != m_colourIndex.constEnd())
            return *found;
        m_colours.append(QColor::fromRgb(rgb));
        const int index = int(m_colours.size());
        m_colourIndex.insert(rgb, index);
        return index;
    }

    // Text of a run: ASCII as it is with the three markup characters escaped, every
    // other character as \uN? of its UTF-16 unit (N signed 16-bit, so a character
    // beyond the BMP becomes its two surrogate escapes). Control characters other
    // than the tab carry no text and are left out.
    static void writeText(const QString &text, QByteArray &out)
    {
        qsizetype lineStart = out.lastIndexOf('\n') + 1;
        for (const QChar ch : text) {
            const char16_t c = ch.unicode();
            if (c == u'\\' || c == u'{' || c == u'}') {
                out += '\\';
                out += char(c);
            } else if (c == u'\t') {
                out += "\\tab ";
            } else if (c == 0x2028 || c == 0x2029) {
                out += "\\line ";
            } else if (c == 0xA0) {
                out += "\\~";
            } else if (c == 0xFFFC) {
                // an embedded object (picture): no text to write
            } else if (c < 0x20 || c == 0x7F) {
                // control character: nothing to show
            } else if (c < 0x80) {
                out += char(c);
            } else {
                out += "\\u" + QByteArray::number(int(qint16(c))) + '?';
            }
            // Line breaks in RTF source are ignored by readers; they keep the file readable.
            if (out.size() - lineStart > 200) {
                out += "\r\n";
                lineStart = out.size();
            }
        }
    }

    // A font name in the table: GBK bytes as \'hh escapes (the table is read in the
    // font's character set), markup characters escaped, the ';' that would end the
    // entry left out.
    static QByteArray fontName(const QString &family)
    {
        QByteArray name;
        for (const QChar ch : family) {
            const char16_t c = ch.unicode();
            if (c == u';' || c < 0x20 || c == 0x7F)
                continue;
            if (c == u'\\' || c == u'{' || c == u'}') {
                name += '\\';
                name += char(c);
            } else if (c < 0x80) {
                name += char(c);
            } else {
                QStringEncoder gbk("GB18030");
                const QByteArray bytes = gbk.encode(QString(ch));
                if (bytes.size() != 2) {
                    name += '?';
                    continue;
                }
                for (char b : bytes)
                    name += "\\'" + QByteArray::number(uchar(b), 16).rightJustified(2, '0');
            }
        }
        return name.isEmpty() ? QByteArray("Arial") : name;
    }

    const QTextDocument &m_document;
    const QFont m_default;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QColor> m_colours;
    QHash<QRgb, int> m_colourIndex;
};

} // namespace

QByteArray RtfWriter::toRtf(const QTextDocument &document)
{
    return RtfBuilder(document).build();
}

void RtfWriter::save(const QString &path, const QTextDocument &document)
{
    // A medical record: readable by its owner alone.
    text::writeFileWhole(path, toRtf(document), /*ownerOnly=*/true);
}
