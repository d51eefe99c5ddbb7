#pragma once
#include "builders/PastHistoryComposition.h"
#include "records/SecondaryWindow.h"

class DBCheckBox;
class QLineEdit;
class RadioGroup;
class RecordSession;

// The past-history builder "既往史". Its nine ticks are bound to the flag columns of the
// current record (a change of a tick is a change of the record, greyed when the column
// holds no flag); the edits beside them and the vaccination choice are the window's own
// and keep their values across patients. "Post" composes the paragraph, makes it the only
// line of the record's PastHistory and closes the window.
class TForm4 : public SecondaryWindow
{
    Q_OBJECT
public:
    explicit TForm4(RecordSession *session);

    // The values of the controls as the composition takes them.
    builders::PastHistoryInput input() const;

private:
    void buildControls();
    DBCheckBox *makeTick(const char *objectName, const char *column);
    void Button1Click();

    RecordSession *m_session;
    QWidget *m_panel = nullptr;

    DBCheckBox *m_dbCheckBox1 = nullptr;
    DBCheckBox *m_dbCheckBox2 = nullptr;
    DBCheckBox *m_dbCheckBox16 = nullptr;
    DBCheckBox *m_dbCheckBox17 = nullptr;
    DBCheckBox *m_dbCheckBox4 = nullptr;
    DBCheckBox *m_dbCheckBox5 = nullptr;
    DBCheckBox *m_dbCheckBox6 = nullptr;
    DBCheckBox *m_dbCheckBox7 = nullptr;
    DBCheckBox *m_dbCheckBox8 = nullptr;
    QLineEdit *m_edit1 = nullptr;
    QLineEdit *m_edit2 = nullptr;
    QLineEdit *m_edit3 = nullptr;
    QLineEdit *m_edit4 = nullptr;
    QLineEdit *m_edit5 = nullptr;
    QLineEdit *m_edit6 = nullptr;
    QLineEdit *m_edit7 = nullptr;
    RadioGroup *m_radioGroup1 = nullptr;
};
