#pragma once
#include "builders/ExaminationComposition.h"
#include "records/SecondaryWindow.h"

#include <functional>

class DropDownComboBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class RecordSession;

// The auxiliary-examination builder "辅  助  检  查". Each "Post" adds one line for one
// examination at the end of the record's fuzhu and leaves the window open, so several
// results can be entered in a row; "Close" ends the entry. The blood routine ("血常规")
// has its own small form of blood-count values; any other examination writes the text
// typed into the memo. The examination names are read again from examine.txt in the data
// folder each time their list drops down.
class TForm5 : public SecondaryWindow
{
    Q_OBJECT
public:
    // openPhraseFolder is run before each reading of examine.txt: the main window re-reads
    // its phrase-file list from the data folder there. It may be empty.
    TForm5(RecordSession *session, std::function<void()> openPhraseFolder);

    // The values of the controls as the composition takes them (Memo2 with CR LF breaks).
    builders::ExaminationInput input() const;

private:
    void buildControls();
    void ComboBox1DropDown();
    void Button3Click();

    RecordSession *m_session;
    std::function<void()> m_openPhraseFolder;

    DropDownComboBox *m_comboBox1 = nullptr;
    QDateEdit *m_dateTimePicker1 = nullptr;
    QComboBox *m_comboBox2 = nullptr;
    QLabel *m_label12 = nullptr;
    QLineEdit *m_edit2 = nullptr;
    QLineEdit *m_edit4 = nullptr;
    QLineEdit *m_edit5 = nullptr;
    QLineEdit *m_edit6 = nullptr;
    QLabel *m_label119 = nullptr;
    QLineEdit *m_edit7 = nullptr;
    QLabel *m_label120 = nullptr;
    QLineEdit *m_edit8 = nullptr;
    QLineEdit *m_edit9 = nullptr;
    QLabel *m_label122 = nullptr;
    QLabel *m_label123 = nullptr;
    QLineEdit *m_edit10 = nullptr;
    QLabel *m_label124 = nullptr;
    QPlainTextEdit *m_memo2 = nullptr;
};
