#include "app/FieldFactory.h"
#include "records/ColumnTable.h"
#include "records/DBComboBox.h"
#include "records/DBEdit.h"
#include "records/DBMemo.h"

#include <QHash>
#include <QLabel>
#include <QScrollBar>

namespace {

const QColor silver(192, 192, 192);

// Hints of the controls that advertise their double-click or F1 commands.
QString hintOf(const QString &control)
{
    static const QHash<QString, QString> hints = {
        {"DBMemo1", "F1键、双击有效"}, {"DBMemo2", "F1键、双击有效"}, {"DBMemo3", "F1键、双击有效"},
        {"DBMemo4", "双击有效"},       {"DBMemo7", "双击有效"},       {"DBEdit8", "双击有效"},
        {"DBEdit9", "双击有效"},       {"DBEdit18", "双击有效"},      {"DBEdit26", "双击有效"},
        {"DBMemo6", "F1键有效"},
    };
    return hints.value(control);
}

// The entry controls that switch the input method on for typing Chinese.
bool usesInputMethod(const Column &column)
{
    static const QStringList named = {"Name", "home", "Occupation", "complaint", "tmp20", "PresentIllness",
                                      "PastHistory", "PersonalHistory", "FamilyHistory", "PriDiagnosis"};
    if (named.contains(QString::fromLatin1(column.name)))
        return true;
    // Every examination box offering a default phrase.
    return QString::fromLatin1(column.control).startsWith(QLatin1String("DBComboBox")) &&
           column.offered.size() == 1;
}

void setSilver(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, silver);
    widget->setPalette(palette);
}

} // namespace

QWidget *FieldFactory::field(const QString &columnName, QWidget *parent, const QRect &geometry) const
{
    const int index = columns::indexOf(columnName);
    const Column &column = columns::all()[index];
    const QString control = QString::fromLatin1(column.control);
    QWidget *widget = nullptr;
    if (control.startsWith(QLatin1String("DBMemo"))) {
        auto *memo = new DBMemo(parent);
        memo->setFrameShape(QFrame::NoFrame);
        if (control != QLatin1String("DBMemo7")) {
            memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            memo->viewport()->setCursor(Qt::ArrowCursor);
        }
        memo->bind(m_session, index);
        widget = memo;
    } else if (control.startsWith(QLatin1String("DBComboBox"))) {
        auto *combo = new DBComboBox(parent);
        combo->addItems(column.offered);
        combo->bind(m_session, index);
        widget = combo;
    } else {
        auto *edit = new DBEdit(parent);
        edit->setFrame(false);
        edit->bind(m_session, index);
        widget = edit;
    }
    widget->setObjectName(control);
    widget->setGeometry(geometry);
    widget->setToolTip(hintOf(control));
    widget->setProperty("usesInputMethod", usesInputMethod(column));
    setSilver(widget);
    return widget;
}

QLabel *FieldFactory::label(const QString &objectName, const QString &caption, QWidget *parent, int x, int y)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(objectName);
    label->adjustSize();
    label->move(x, y);
    return label;
}
