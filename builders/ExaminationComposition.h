#pragma once
#include <QDate>
#include <QString>

namespace builders {

// What the auxiliary-examination dialog (TForm5) holds when "Post" is pressed. Each field
// is named after its control: texts of combo boxes, edits and the memo as shown (Memo2 with
// CR LF between its lines, as every memo text of the program), the date of the date picker,
// and the captions of the labels the blood-routine line is made of. Captions, the initial
// texts and the initial date default to what the dialog shows at start.
struct ExaminationInput
{
    QString ComboBox1 = QStringLiteral("血常规"); // examination name; selects the mode
    QDate DateTimePicker1 = QDate(2007, 5, 8);    // examination date (date part only)
    QString ComboBox2 = QStringLiteral("本院");   // where it was done

    QString Label12 = QStringLiteral("WBC：");
    QString Edit2; // WBC, required
    QString Edit4; // N %, optional
    QString Edit5; // L %, optional
    QString Edit6; // EO %, optional
    QString Label119 = QStringLiteral("RBC：");
    QString Edit7; // RBC, required
    QString Label120 = QStringLiteral("X10^12/L、HGB：");
    QString Edit8; // HGB, required
    QString Edit9; // MCV, optional
    QString Label122 = QStringLiteral("fL。");
    QString Label123 = QStringLiteral("PLT：");
    QString Edit10; // PLT, required
    QString Label124 = QStringLiteral("X10^9/L。");

    QString Memo2; // result text of any other examination
};

// The head of every line: name as typed + "（" + date "yyyy-M-d" + "，" + place as typed + "）：".
QString examinationHead(const ExaminationInput &in);

// Whether the blood-routine form is used: the trimmed name is exactly "血常规".
bool isBloodRoutine(const ExaminationInput &in);

// Whether WBC, RBC, HGB and PLT (Edit2, Edit7, Edit8, Edit10) are all present; a value of
// blanks only counts as missing.
bool bloodRoutineComplete(const ExaminationInput &in);

// The information message shown when bloodRoutineComplete() is false.
QString bloodRoutineIncompleteMessage();

// The blood-routine line. Values are written as typed: trimming only decides whether an
// optional value is present. Assumes bloodRoutineComplete(); it does not check.
QString composeBloodRoutineLine(const ExaminationInput &in);

// The line of any other examination: head + Memo2 with every CR LF pair removed, trimmed.
QString composeFreeTextLine(const ExaminationInput &in);

// What "Post" does with the dialog's values: either a line to add to the fuzhu memo, or,
// for an incomplete blood routine, a message to show with nothing written.
struct ExaminationPost
{
    bool accepted = false;
    QString line;    // when accepted
    QString message; // when not accepted
};

ExaminationPost composeExaminationPost(const ExaminationInput &in);

} // namespace builders
