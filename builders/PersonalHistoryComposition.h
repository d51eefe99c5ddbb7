#pragma once
#include <QString>

namespace builders {

// What the personal-history dialog (TForm10) holds when "Post" is pressed. Each field is
// named after its control; captions of labels, check boxes and radio groups are pieces of
// the sentence and default to what the dialog shows, as do the initial texts of the edits
// and the radio groups' initial choice. Radio groups hold the selected item, -1 when none.
struct PersonalHistoryInput
{
    QString DBEdit1; // birthplace: the record's home column as shown

    int RadioGroup1 = 0; // long residence elsewhere: 0 "无", 1 "有"
    QString RadioGroup1Caption = QStringLiteral("外地长期居住史");
    QString Label1 = QStringLiteral("，");
    QString Edit1; // details of the residence

    int RadioGroup2 = 0; // stay in an epidemic area: 0 "无", 1 "有"
    QString RadioGroup2Caption = QStringLiteral("疫区居住史");
    QString Label2 = QStringLiteral("。");
    QString Edit2; // details of the stay

    bool CheckBox1 = false; // smoking
    QString CheckBox1Caption = QStringLiteral("吸烟史：");
    QString Edit3; // cigarettes per day
    QString Label10 = QStringLiteral("支/日X");
    QString Edit4; // years
    QString Label11 = QStringLiteral("年。");

    bool CheckBox2 = false; // drinking
    QString CheckBox2Caption = QStringLiteral("饮酒史：");
    QString Edit5; // liang per day
    QString Label3 = QStringLiteral("两/日X");
    QString Edit6; // years
    QString Label4 = QStringLiteral("年。");

    bool CheckBox3 = false; // menstrual history
    QString CheckBox3Caption = QStringLiteral("月经史：");
    QString Edit7; // age at the first period
    QString Label5 = QStringLiteral("岁（");
    QString Edit8 = QStringLiteral("3-5/28-30");
    QString Label6 = QStringLiteral("）");
    QString Edit9 = QStringLiteral("2007.1.1");
    QString Label7 = QStringLiteral("。");
    QString Label8 = QStringLiteral("经量中等，无痛经史。");
    bool CheckBox4 = false; // "修改：": Edit10 takes the place of Label8
    QString Edit10;

    QString Edit11 = QStringLiteral("23"); // age at marriage
    QString Label9 = QStringLiteral("岁结婚，爱人及子女均健康。");
};

// The personal-history paragraph, one line without line breaks. Only Edit1 and Edit2 are
// trimmed; every other text is taken as typed and no piece is left out because it is empty.
QString composePersonalHistory(const PersonalHistoryInput &in);

} // namespace builders
