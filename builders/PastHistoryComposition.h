#pragma once
#include <QString>
#include <Qt>

namespace builders {

// What the past-history dialog (TForm4) holds when "Post" is pressed. The tick boxes are
// bound to flag columns and so have three states, as QCheckBox::checkState() gives them:
// a greyed box (Qt::PartiallyChecked, the column holds no flag value) counts as not ticked.
// Edits are taken as shown; RadioGroup1 is the selected item, -1 when none.
struct PastHistoryInput
{
    Qt::CheckState DBCheckBox1 = Qt::Unchecked; // "肝炎"
    QString Edit1;
    Qt::CheckState DBCheckBox2 = Qt::Unchecked; // "结核"
    QString Edit2;
    Qt::CheckState DBCheckBox16 = Qt::Unchecked; // "糖尿病"
    QString Edit3;
    Qt::CheckState DBCheckBox17 = Qt::Unchecked; // "冠心病"
    QString Edit4;
    Qt::CheckState DBCheckBox4 = Qt::Unchecked; // "手术"
    Qt::CheckState DBCheckBox5 = Qt::Unchecked; // "外伤史"
    QString Edit5;
    Qt::CheckState DBCheckBox6 = Qt::Unchecked; // "药物"
    Qt::CheckState DBCheckBox7 = Qt::Unchecked; // "食物"
    QString Edit6;
    Qt::CheckState DBCheckBox8 = Qt::Unchecked; // "输血史"
    QString Edit7;
    int RadioGroup1 = 0; // vaccination: 0 "不详" (selected at start), 1 "随当地"
};

// The past-history paragraph, one line without line breaks. Only Edit3, Edit4 and Edit7
// are trimmed; the doctor's words are expected to end their own sentence, so no
// punctuation is added after them.
QString composePastHistory(const PastHistoryInput &in);

} // namespace builders
