#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// Phrase files: plain text in GB18030 (a superset of GBK), one phrase a line.
namespace text {

// Splits a text into lines: CR LF, a lone LF and a lone CR each end a line; a break
// after the last line adds no further line; empty lines are kept.
QStringList splitLines(const QString &text);

// Decodes the bytes of a phrase file. GB18030 is the normal case. A file that is
// not valid GB18030 but is valid UTF-8 (or starts with the UTF-8 byte-order mark)
// is read as UTF-8, so a file saved by another editor is shown correctly instead of
// garbled; Save then writes it back in GB18030. Bytes that are neither throw Error.
QString decodePhraseBytes(const QByteArray &bytes, const QString &pathForMessage);

// Reads a whole phrase file as text, line breaks as stored. Throws Error naming the
// full path and the system's reason.
QString readPhraseText(const QString &path);

// Reads a phrase file as its list of lines.
QStringList readPhraseLines(const QString &path);

// Encodes a text for a phrase file: every line break (CR LF, LF or CR) written as
// CR LF, characters in GB18030.
QByteArray encodePhraseText(const QString &text);

// Writes a text exactly (CR LF breaks, a final break only if the text has one),
// whole or not at all. Throws Error naming the path and the reason.
void writePhraseText(const QString &path, const QString &text);

} // namespace text
