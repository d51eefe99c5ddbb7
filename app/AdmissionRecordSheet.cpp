// The sheet "入院记录": identity rows in two columns, the chief complaint, the
// navigator and the four history memos.
#include "app/FieldFactory.h"
#include "app/TabSheets.h"
#include "records/DBNavigator.h"

#include <QFont>
#include <QLabel>
#include <QWidget>

namespace tabsheets {

DBNavigator *navigator(const char *objectName, RecordSession *session, QWidget *sheet, int x, int y)
{
    auto *nav = new DBNavigator(session, sheet);
    nav->setObjectName(QString::fromLatin1(objectName));
    nav->setGeometry(x, y, 150, 24);
    return nav;
}

QLabel *title(const QString &objectName, const QString &caption, QWidget *sheet, int y)
{
    QLabel *label = FieldFactory::label(objectName, caption, sheet, 0, y);
    QFont font = label->font();
    font.setPixelSize(16);
    font.setBold(true);
    label->setFont(font);
    label->adjustSize();
    label->move((486 - label->width()) / 2, y);
    return label;
}

QWidget *admissionRecord(const FieldFactory &fields, RecordSession *session)
{
    auto *sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheet5"));
    title(QStringLiteral("Label300"), QStringLiteral("入  院  记  录"), sheet, 6);

    struct Row
    {
        const char *label;
        const char *caption;
        const char *column;
    };
    // Left and right column of each identity row, in screen order.
    const Row rows[][2] = {
        {{"Label200", "床号：", "Bed"}, {"Label201", "住院号：", "ID"}},
        {{"Label22", "姓名：", "Name"}, {"Label21", "出 生 地：", "home"}},
        {{"Label6", "性别：", "sex"}, {"Label18", "职  业：", "Occupation"}},
        {{"Label5", "年龄：", "age"}, {"Label4", "入院日期：", "DoA"}},
        {{"Label93", "民族：", "tmp20"}, {"Label3", "记录日期：", "DoR"}},
        {{"Label2", "婚姻：", "marriage"}, {"Label15", "病史陈述者：", "describer"}},
    };
    int y = 40;
    for (const auto &row : rows) {
        FieldFactory::label(row[0].label, QString::fromUtf8(row[0].caption), sheet, 8, y + 3);
        fields.field(row[0].column, sheet, QRect(84, y, 140, 22));
        FieldFactory::label(row[1].label, QString::fromUtf8(row[1].caption), sheet, 240, y + 3);
        fields.field(row[1].column, sheet, QRect(330, y, 150, 22));
        y += 26;
    }
    FieldFactory::label(QStringLiteral("Label9"), QStringLiteral("主诉："), sheet, 8, y + 3);
    fields.field(QStringLiteral("complaint"), sheet, QRect(84, y, 396, 22));
    navigator("DBNavigator1", session, sheet, 84, y + 28);

    const Row memos[] = {
        {"Label8", "现病史：", "PresentIllness"},
        {"Label19", "既往史：", "PastHistory"},
        {"Label10", "个人史：", "PersonalHistory"},
        {"Label11", "家族史：", "FamilyHistory"},
    };
    const int heights[] = {140, 76, 76, 66};
    y += 58;
    for (int i = 0; i < 4; ++i) {
        FieldFactory::label(memos[i].label, QString::fromUtf8(memos[i].caption), sheet, 8, y + 2);
        fields.field(memos[i].column, sheet, QRect(84, y, 396, heights[i]));
        y += heights[i] + 6;
    }
    return sheet;
}

} // namespace tabsheets
