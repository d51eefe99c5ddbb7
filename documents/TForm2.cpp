#include "documents/TForm2.h"
#include "records/ErrorBox.h"
#include "records/RecordSession.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

void runPreviewDialog(const AdmissionReport &report, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    AdmissionReport::preparePrinter(&printer);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PreviewDialog"));
    dialog.setWindowTitle(QStringLiteral("打印预览"));
    // paintRequested comes from inside the dialog's event handling, where an error must
    // not pass through Qt: it is shown in the error box and the page stays empty. The
    // preview paints on its own pages; printing into a PDF file writes the file whole.
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter *target) { runHandler([&] { report.print(target); }); });
    dialog.exec();
}

} // namespace

TForm2::TForm2(RecordSession *session, QObject *parent) : QObject(parent), m_session(session)
{
    setObjectName(QStringLiteral("Form2"));
}

void TForm2::setDepartmentCaption(const QString &caption)
{
    m_departmentCaption = caption;
}

void TForm2::setBodyText(const QString &text)
{
    m_bodyText = text;
}

QString TForm2::admissionNumber() const
{
    return m_session ? m_session->value(QStringLiteral("ID")) : QString();
}

AdmissionReport TForm2::report() const
{
    return AdmissionReport(admissionNumber(), m_departmentCaption, m_bodyText);
}

void TForm2::preview(QWidget *parent)
{
    runPreviewDialog(report(), parent);
}
