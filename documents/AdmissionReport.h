#pragma once
#include <QString>

class QPagedPaintDevice;
class QPrinter;

// The printed admission record: A4 pages, each with the page header (title, admission
// number, department, page number and a rule under them) and, below it, the body text
// in the Kai font wrapped at the body width and continued over as many pages as it
// needs. No widgets: the preview dialog's paintRequested, printing and PDF output all
// draw through render().
class AdmissionReport
{
public:
    // The body is the document's plain text, one paragraph per line; every paragraph is
    // printed whole however long it is.
    AdmissionReport(const QString &admissionNumber, const QString &departmentName, const QString &body);

    // Sets up a printer for this report: A4 portrait with the report's margins, one
    // copy, no duplex, all pages, manual feed. Call once before previewing or printing.
    static void preparePrinter(QPrinter *printer);

    // Draws every page onto the printer (which render() sets to A4 with the report's
    // margins; copies and the printer's other choices stay as they are).
    void render(QPrinter *printer) const;

    // Writes the report as a PDF file, whole or not at all and readable by its owner
    // alone; throws Error naming the file and the reason.
    void renderToPdf(const QString &path) const;

    // The font family used for the Kai texts: "AR PL UKai CN" when installed, else an
    // installed Kai-style Chinese font, else any font covering Simplified Chinese.
    static QString kaiFamily();

private:
    void paint(QPagedPaintDevice *device) const;

    QString m_admissionNumber;
    QString m_departmentName;
    QString m_body;
};
