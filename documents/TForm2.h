#pragma once
#include "documents/AdmissionReport.h"

#include <QObject>
#include <QString>

class QWidget;
class RecordSession;
class SaveFileDialog;

// The report form: it holds the A4 admission report's changeable parts and previews
// it. It is never shown itself. The department caption and the body text stay as the
// last preview left them; the admission number is read from the current record each
// time the report is laid out, as the header's data text is bound to the record.
class TForm2 : public QObject
{
    Q_OBJECT
public:
    // saveDialog is the main window's shared save dialog, which the PDF export uses
    // (not owned; without one the export asks through a dialog of its own).
    explicit TForm2(RecordSession *session, SaveFileDialog *saveDialog = nullptr, QObject *parent = nullptr);

    // QRLabel7, the department after "科别：" (a single space until the first preview).
    void setDepartmentCaption(const QString &caption);
    QString departmentCaption() const { return m_departmentCaption; }

    // QRRichText1, the body: plain text, one paragraph per line.
    void setBodyText(const QString &text);
    QString bodyText() const { return m_bodyText; }

    // QRDBText1: the admission number (ID) of the current record; empty without one.
    QString admissionNumber() const;
    // The patient's name in the current record, for the PDF's file name.
    QString patientName() const;

    // The report as it stands now.
    AdmissionReport report() const;

    // Lays out the pages and shows them in the print preview, from which the doctor
    // pages, zooms and prints through the print dialog, or exports the report as a PDF
    // file ("导出 PDF…", ExportPdf1). Returns when the preview closes.
    void preview(QWidget *parent);

    // ExportPdf1: asks for a file name, proposing the admission number and the name,
    // and writes the report there as PDF, whole or not at all and readable by the
    // owner alone. An existing file is replaced only after the doctor agrees. Throws
    // Error when the file cannot be written.
    void ExportPdf1Click(const AdmissionReport &report, QWidget *parent);

private:
    RecordSession *m_session;
    SaveFileDialog *m_saveDialog;
    QString m_departmentCaption = QStringLiteral(" ");
    QString m_bodyText;
};
