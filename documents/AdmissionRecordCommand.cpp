#include "documents/AdmissionRecordCommand.h"
#include "documents/AdmissionRecord.h"
#include "documents/TForm7.h"
#include "records/ColumnTable.h"
#include "records/RecordSession.h"

#include <QLabel>

namespace documents {

QHash<QString, QString> admissionLabelCaptions(const QWidget *mainWindow)
{
    QHash<QString, QString> captions;
    if (!mainWindow)
        return captions;
    for (const QString &name : admissionLabelNames())
        if (const auto *label = mainWindow->findChild<QLabel *>(name))
            captions.insert(name, label->text());
    return captions;
}

QHash<QString, QString> currentFieldTexts(const RecordSession &session)
{
    QHash<QString, QString> fields;
    const auto all = columns::all();
    for (int column = 0; column < int(all.size()); ++column)
        fields.insert(QString::fromLatin1(all[column].name), session.value(column));
    return fields;
}

void generateAdmissionRecord(QWidget *mainWindow, RecordSession *session, TForm7 *form7)
{
    if (!session || !form7)
        return;
    const QStringList lines =
        admissionRecordLines(currentFieldTexts(*session), admissionLabelCaptions(mainWindow));
    form7->showDocument(admissionEditorText(lines));
}

} // namespace documents
