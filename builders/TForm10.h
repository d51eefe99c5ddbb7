#pragma once
#include "builders/PersonalHistoryComposition.h"
#include "records/SecondaryWindow.h"

class DBEdit;
class QCheckBox;
class QLabel;
class QLineEdit;
class RadioGroup;
class RecordSession;

// The personal-history builder "个人史". The birthplace box DBEdit1 shows and edits the
// current record's home column; every other control is the window's own and keeps its
// value across patients. Labels, tick captions and group captions are the sentence's
// fixed pieces. "Post" composes the paragraph, makes it the only line of the record's
// PersonalHistory and closes the window.
class TForm10 : public SecondaryWindow
{
    Q_OBJECT
public:
    explicit TForm10(RecordSession *session);

    // The values of the controls as the composition takes them.
    builders::PersonalHistoryInput input() const;

private:
    void buildControls();
    void Button7Click();

    RecordSession *m_session;

    DBEdit *m_dbEdit1 = nullptr;
    RadioGroup *m_radioGroup1 = nullptr;
    QLineEdit *m_edit1 = nullptr;
    QLabel *m_label1 = nullptr;
    RadioGroup *m_radioGroup2 = nullptr;
    QLineEdit *m_edit2 = nullptr;
    QLabel *m_label2 = nullptr;
    QCheckBox *m_checkBox1 = nullptr;
    QLineEdit *m_edit3 = nullptr;
    QLabel *m_label10 = nullptr;
    QLineEdit *m_edit4 = nullptr;
    QLabel *m_label11 = nullptr;
    QCheckBox *m_checkBox2 = nullptr;
    QLineEdit *m_edit5 = nullptr;
    QLabel *m_label3 = nullptr;
    QLineEdit *m_edit6 = nullptr;
    QLabel *m_label4 = nullptr;
    QCheckBox *m_checkBox3 = nullptr;
    QLineEdit *m_edit7 = nullptr;
    QLabel *m_label5 = nullptr;
    QLineEdit *m_edit8 = nullptr;
    QLabel *m_label6 = nullptr;
    QLineEdit *m_edit9 = nullptr;
    QLabel *m_label7 = nullptr;
    QLabel *m_label8 = nullptr;
    QCheckBox *m_checkBox4 = nullptr;
    QLineEdit *m_edit10 = nullptr;
    QLineEdit *m_edit11 = nullptr;
    QLabel *m_label9 = nullptr;
};
