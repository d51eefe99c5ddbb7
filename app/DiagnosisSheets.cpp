// The sheets "辅检诊断" (auxiliary examinations and admission diagnosis) and
// "首次病程" (first course record).
#include "app/FieldFactory.h"
#include "app/TabSheets.h"
#include "phrases/DropDownComboBox.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace tabsheets {

QWidget *diagnosis(const FieldFactory &fields, RecordSession *session)
{
    auto *sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheet8"));
    FieldFactory::label(QStringLiteral("Label302"), QStringLiteral("辅  助  检  查     （注：F1键有效）"), sheet, 8, 8);
    fields.field(QStringLiteral("fuzhu"), sheet, QRect(8, 28, 472, 330));
    FieldFactory::label(QStringLiteral("Label14"), QStringLiteral("入院诊断："), sheet, 8, 372);
    navigator("DBNavigator3", session, sheet, 330, 366);
    fields.field(QStringLiteral("diagnosis"), sheet, QRect(8, 396, 472, 226));
    return sheet;
}

QWidget *firstCourse(const FieldFactory &fields, RecordSession *session)
{
    auto *sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheet11"));
    fields.field(QStringLiteral("tmp18"), sheet, QRect(8, 8, 150, 22));
    title(QStringLiteral("Label303"), QStringLiteral("首次病程记录"), sheet, 8);
    auto *generate = new QPushButton(QStringLiteral("Generate"), sheet);
    generate->setObjectName(QStringLiteral("Button6"));
    generate->setGeometry(400, 6, 80, 26);
    fields.field(QStringLiteral("Pripro1"), sheet, QRect(8, 40, 472, 190));
    FieldFactory::label(QStringLiteral("Label304"), QStringLiteral("二、诊断与鉴别诊断："), sheet, 8, 242);
    auto *differentials = new DropDownComboBox(sheet);
    differentials->setObjectName(QStringLiteral("ComboBox4"));
    differentials->setEditable(true);
    differentials->setInsertPolicy(QComboBox::NoInsert);
    differentials->setGeometry(150, 238, 240, 22);
    fields.field(QStringLiteral("Pripro2"), sheet, QRect(8, 266, 472, 176));
    FieldFactory::label(QStringLiteral("Label305"), QStringLiteral("三、诊疗计划："), sheet, 8, 454);
    navigator("DBNavigator4", session, sheet, 330, 448);
    fields.field(QStringLiteral("Pripro3"), sheet, QRect(8, 476, 472, 146));
    return sheet;
}

} // namespace tabsheets
