#pragma once
#include <QWidget>

class FileListBox;
class PhraseMemo;
class QLabel;
class QLineEdit;
class QPushButton;

// The template editor tab ("TabSheet10"): the phrase text on top, the list of the
// phrase files below it, and the file-name box with the Save button at the bottom.
// It holds the controls only; TemplateEditor gives them their behaviour.
class TemplateEditorTab : public QWidget
{
    Q_OBJECT
public:
    explicit TemplateEditorTab(QWidget *parent = nullptr);

    // The caption of the tab in the right-hand page control.
    static QString caption();

    PhraseMemo *Memo4() const { return m_memo4; }
    FileListBox *FileListBox1() const { return m_fileListBox1; }
    QLabel *Label73() const { return m_label73; }
    QLineEdit *Edit1() const { return m_edit1; }
    QPushButton *Button2() const { return m_button2; }

private:
    PhraseMemo *m_memo4;
    FileListBox *m_fileListBox1;
    QLabel *m_label73;
    QLineEdit *m_edit1;
    QPushButton *m_button2;
};
