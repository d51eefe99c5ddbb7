#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

// The admission record (入院记录) composed from the current record's field texts and
// the captions of the main window's labels. Pure functions of plain values, so the
// whole layout can be checked without any window.
namespace documents {

// One examination column with the phrase written when that column is blank.
struct ExaminationDefault
{
    const char *column;
    QString phrase; // for heart4 and BVsign the pulse P is already inserted
};

// The sixteen labels whose captions lead rows 1 to 10 and the diagnosis heading,
// by objectName, in the order of the document.
QStringList admissionLabelNames();

// The caption each of those labels carries on the main window ("姓名：", "出 生 地：", ...).
QHash<QString, QString> admissionLabelDefaults();

// The 36 examination columns in document order with their default phrases; the pulse
// text goes into the heart-rate and radial-pulse defaults.
QList<ExaminationDefault> examinationDefaults(const QString &pulse);

// The document as an ordered list of lines. fields holds the texts of the record's
// columns by exact column name (a missing column reads as empty); captions holds the
// label captions by label objectName (a missing label takes its usual caption). Every
// entry is one line, except the auxiliary-examination entry, which keeps the inner
// line breaks of fuzhu.
QStringList admissionRecordLines(const QHash<QString, QString> &fields,
                                 const QHash<QString, QString> &captions = {});

// The text the document editor is filled with: one paragraph per entry, separated by
// CR LF (the inner breaks of the auxiliary block included, as CR LF).
QString admissionEditorText(const QStringList &lines);

} // namespace documents
