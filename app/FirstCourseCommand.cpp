#include "app/FirstCourseCommand.h"
#include "documents/FirstCourseRecord.h"
#include "records/ColumnTable.h"
#include "records/DBCheckBox.h"
#include "records/RecordSession.h"

void generateFirstCourse(RecordSession &session)
{
    session.checkWritable();
    QHash<QString, QString> fields;
    QHash<QString, Qt::CheckState> flags;
    for (const Column &column : columns::all()) {
        const QString name = QString::fromLatin1(column.name);
        fields.insert(name, session.value(name));
        if (column.kind == ColumnKind::Flag)
            flags.insert(name, DBCheckBox::stateOf(session.value(name)));
    }
    QString text;
    for (const QString &line : documents::firstCourseLines(fields, flags))
        text += line + QStringLiteral("\r\n");
    session.fill(QStringLiteral("Pripro1"), text);
}
