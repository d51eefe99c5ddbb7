#pragma once
#include <QRect>
#include <QString>

class QLabel;
class QWidget;
class RecordSession;

// Makes the record's controls of the main window from the column table: the control
// of the column's kind, named as the table names it, bound to its column, with the
// offered items, the hint and the look of the record's entry controls.
class FieldFactory
{
public:
    explicit FieldFactory(RecordSession *session) : m_session(session) {}

    // The bound control of a column, placed at the given geometry.
    QWidget *field(const QString &column, QWidget *parent, const QRect &geometry) const;
    // A label with an objectName and a caption, placed at a point and sized to its text.
    static QLabel *label(const QString &objectName, const QString &caption, QWidget *parent, int x, int y);

private:
    RecordSession *m_session;
};
