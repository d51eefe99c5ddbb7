#pragma once
#include <QObject>
#include <QString>

class TemplateEditorTab;

// The behaviour of the template editor tab that needs no record: opening phrase
// files for a field, the file list, Save, and the choice of a phrase line. Putting
// the phrase into the field is the record side's part: it listens to phraseChosen.
class TemplateEditor : public QObject
{
    Q_OBJECT
public:
    explicit TemplateEditor(TemplateEditorTab *tab, QObject *parent = nullptr);

    TemplateEditorTab *tab() const { return m_tab; }

    // Points the file list at the data folder and reads it again, at every call. Leaves
    // the file-name box and the editor alone.
    void OpenPhraseFolder();

    // Opens a field's phrase file: the folder is re-read, the phrase target becomes key,
    // the editor is emptied, the file-name box gets the bare name, the file is read into
    // the editor and the tab is brought forward in its QTabWidget. A file that cannot be
    // read throws Error with the steps before the reading done and the tab left behind.
    void OpenPhraseFile(const QString &key, const QString &name);

    // Event handlers, connected to the tab's controls; each shows its errors in the
    // error box instead of throwing.
    void FileListBox1Click();    // file-name box <- full path of the selected file
    void FileListBox1DblClick(); // the selected file into the editor, target unchanged
    void Button2Click();         // Save the editor's text to the file the box names
    void Memo4DblClick();        // emits phraseChosen with the caret line

    // The path a name in the file-name box stands for: an absolute path as it is, any
    // other name inside the data folder; empty for an empty name.
    static QString phrasePath(const QString &name);

signals:
    // A phrase line was double-clicked while a field is the phrase target
    // (text::shared().phraseTarget). The line is untrimmed, as stored.
    void phraseChosen(const QString &line);

private:
    void loadIntoEditor(const QString &path);
    void bringTabForward();

    TemplateEditorTab *m_tab;
};
