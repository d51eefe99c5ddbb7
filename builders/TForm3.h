#pragma once
#include "builders/PresentIllnessComposition.h"
#include "records/SecondaryWindow.h"

#include <QList>

class QComboBox;
class QLabel;
class QLineEdit;
class RadioGroup;
class RecordSession;
class TSymptoms;

// The present-illness builder "现病史：". Laid out as the sentence it writes: labels
// between the entries are the sentence's fixed pieces. "Post" composes the paragraph,
// makes it the only line of the record's PresentIllness and closes the window. F1 in
// Edit1, Edit2, Edit3, Edit4 or Edit14 opens the symptom picker for that edit.
class TForm3 : public SecondaryWindow
{
    Q_OBJECT
public:
    TForm3(RecordSession *session, TSymptoms *symptoms);
    // The picker that F1 opens; the windows are created in a fixed order, the picker after this one.
    void setSymptoms(TSymptoms *symptoms);

    // The values of the controls as the composition takes them.
    builders::PresentIllnessInput input() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // A key released in one of the five edits the picker fills (target 0 to 4 as in
    // text::shared().symptomTarget).
    void EditKeyUp(int target, int key);
    void Button9Click();

    RecordSession *m_session;
    TSymptoms *m_symptoms;

    QLabel *m_label23 = nullptr;
    QLineEdit *m_edit15 = nullptr;
    QComboBox *m_comboBox8 = nullptr;
    QLabel *m_label62 = nullptr;
    RadioGroup *m_radioGroup1 = nullptr;
    QLineEdit *m_edit11 = nullptr;
    QLineEdit *m_edit1 = nullptr;
    QLabel *m_label69 = nullptr;
    QLineEdit *m_edit16 = nullptr;
    QLabel *m_label1 = nullptr;
    QLineEdit *m_edit2 = nullptr;
    QLabel *m_label70 = nullptr;
    RadioGroup *m_radioGroup2 = nullptr;
    QLabel *m_label65 = nullptr;
    QLineEdit *m_edit13 = nullptr;
    RadioGroup *m_radioGroup4 = nullptr;
    QLabel *m_label66 = nullptr;
    RadioGroup *m_radioGroup3 = nullptr;
    QLineEdit *m_edit12 = nullptr;
    QLineEdit *m_edit3 = nullptr;
    QLineEdit *m_edit4 = nullptr;
    QLineEdit *m_edit14 = nullptr;
    QLabel *m_label67 = nullptr;
    QLabel *m_label68 = nullptr;

    QList<QLineEdit *> m_symptomEdits; // indexed by symptom target
};
