#include "builders/PersonalHistoryComposition.h"

#include "text/TextRules.h"

namespace builders {

namespace {

// A "无"/"有" radio group whose caption is part of the sentence: "无" + caption + end
// piece, or "有" + caption + end piece + the trimmed details; nothing when no item is chosen.
QString yesNoPhrase(int choice, const QString &caption, const QString &endPiece, const QString &details)
{
    switch (choice) {
    case 0:
        return QStringLiteral("无") + caption + endPiece;
    case 1:
        return QStringLiteral("有") + caption + endPiece + text::trim(details);
    default:
        return {};
    }
}

} // namespace

QString composePersonalHistory(const PersonalHistoryInput &in)
{
    QString t = QStringLiteral("生于") + in.DBEdit1 + QStringLiteral("，");
    t += yesNoPhrase(in.RadioGroup1, in.RadioGroup1Caption, in.Label1, in.Edit1);
    t += yesNoPhrase(in.RadioGroup2, in.RadioGroup2Caption, in.Label2, in.Edit2);

    t += in.CheckBox1 ? in.CheckBox1Caption + in.Edit3 + in.Label10 + in.Edit4 + in.Label11
                      : QStringLiteral("无吸烟史。");
    t += in.CheckBox2 ? in.CheckBox2Caption + in.Edit5 + in.Label3 + in.Edit6 + in.Label4
                      : QStringLiteral("无饮酒史。");

    // Without a menstrual history nothing is written for it, whatever "修改：" says.
    if (in.CheckBox3) {
        t += in.CheckBox3Caption + in.Edit7 + in.Label5 + in.Edit8 + in.Label6 + in.Edit9 + in.Label7;
        t += in.CheckBox4 ? in.Edit10 : in.Label8;
    }

    t += in.Edit11 + in.Label9;
    return t;
}

} // namespace builders
