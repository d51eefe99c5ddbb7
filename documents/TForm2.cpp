#include "documents/TForm2.h"
#include "documents/ReportFileName.h"
#include "records/Dialogs.h"
#include "records/ErrorBox.h"
#include "records/RecordSession.h"
#include "records/SaveFileDialog.h"
#include "records/ScreenFit.h"

#include <QAction>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <functional>
#include <QPrinter>
#include <QToolBar>

namespace {

void runPreviewDialog(const AdmissionReport &report, QWidget *parent, const std::function<void(QWidget *)> &exportPdf)
{
    QPrinter printer(QPrinter::HighResolution);
    AdmissionReport::preparePrinter(&printer);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PreviewDialog"));
    dialog.setWindowTitle(QStringLiteral("打印预览"));
    // Tall enough for a readable A4 page where the screen has the room.
    screenfit::fitWindow(&dialog, QSize(900, 1100));
    // paintRequested comes from inside the dialog's event handling, where an error must
    // not pass through Qt: it is shown in the error box and the page stays empty. The
    // preview paints on its own pages; printing into a PDF file writes the file whole.
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter *target) { runHandler([&] { report.print(target); }); });
    // The PDF export sits in the preview's tool bar beside printing.
    auto *exportPdf1 = new QAction(QStringLiteral("导出 PDF…"), &dialog);
    exportPdf1->setObjectName(QStringLiteral("ExportPdf1"));
    exportPdf1->setToolTip(QStringLiteral("导出 PDF…"));
    QObject::connect(exportPdf1, &QAction::triggered, &dialog, [&dialog, &exportPdf] {
        runHandler([&] { exportPdf(&dialog); });
    });
    if (auto *toolBar = dialog.findChild<QToolBar *>()) {
        toolBar->addSeparator();
        toolBar->addAction(exportPdf1);
    } else {
        dialog.addAction(exportPdf1);
    }
    dialog.exec();
}

} // namespace

TForm2::TForm2(RecordSession *session, SaveFileDialog *saveDialog, QObject *parent)
    : QObject(parent), m_session(session), m_saveDialog(saveDialog)
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

QString TForm2::patientName() const
{
    return m_session ? m_session->value(QStringLiteral("Name")) : QString();
}

AdmissionReport TForm2::report() const
{
    return AdmissionReport(admissionNumber(), m_departmentCaption, m_bodyText);
}

void TForm2::preview(QWidget *parent)
{
    const AdmissionReport shown = report();
    runPreviewDialog(shown, parent, [this, &shown](QWidget *dialog) { ExportPdf1Click(shown, dialog); });
}

void TForm2::ExportPdf1Click(const AdmissionReport &report, QWidget *parent)
{
    const QString proposed = documents::reportPdfName(admissionNumber(), patientName());
    const std::optional<QString> path = m_saveDialog ? m_saveDialog->executeProposing(parent, proposed)
                                                     : Dialogs::current().saveFileName(parent, proposed);
    if (!path || path->isEmpty())
        return;
    if (QFileInfo::exists(*path) &&
        !Dialogs::current().confirm(QStringLiteral("文件“%1”已存在，要替换它吗？").arg(QFileInfo(*path).fileName())))
        return;
    report.renderToPdf(*path);
}
