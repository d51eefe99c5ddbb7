#include "phrases/TemplateEditor.h"
#include "phrases/PhraseMemo.h"
#include "phrases/TemplateEditorTab.h"
#include "records/ErrorBox.h"
#include "records/FileListBox.h"
#include "text/PhraseFile.h"
#include "text/SharedValues.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextDocument>

TemplateEditor::TemplateEditor(TemplateEditorTab *tab, QObject *parent) : QObject(parent), m_tab(tab)
{
    FileListBox *list = m_tab->FileListBox1();
    // A click on the selected file also fills the box again (after the user typed in
    // it); a selection changed by keys fills it too.
    connect(list, &QListWidget::itemClicked, this, &TemplateEditor::FileListBox1Click);
    connect(list, &QListWidget::itemSelectionChanged, this, &TemplateEditor::FileListBox1Click);
    connect(list, &QListWidget::itemDoubleClicked, this, &TemplateEditor::FileListBox1DblClick);
    connect(m_tab->Button2(), &QPushButton::clicked, this, &TemplateEditor::Button2Click);
    connect(m_tab->Memo4(), &PhraseMemo::doubleClicked, this, &TemplateEditor::Memo4DblClick);
}

QString TemplateEditor::phrasePath(const QString &name)
{
    if (name.isEmpty())
        return QString();
    if (QDir::isAbsolutePath(name))
        return name;
    return text::shared().dataFolder() + name;
}

void TemplateEditor::OpenPhraseFolder()
{
    // Re-reading the list clears its selection; that is no click of the user's and
    // must not empty the file-name box.
    const QSignalBlocker blocker(m_tab->FileListBox1());
    m_tab->FileListBox1()->setDirectory(text::shared().dataFolder());
}

void TemplateEditor::OpenPhraseFile(const QString &key, const QString &name)
{
    OpenPhraseFolder();
    text::shared().phraseTarget = key;
    m_tab->Memo4()->clear();
    m_tab->Edit1()->setText(name);
    loadIntoEditor(phrasePath(m_tab->Edit1()->text()));
    bringTabForward();
}

void TemplateEditor::FileListBox1Click()
{
    m_tab->Edit1()->setText(m_tab->FileListBox1()->filePath());
}

void TemplateEditor::FileListBox1DblClick()
{
    runHandler([this] {
        const QString path = m_tab->FileListBox1()->filePath();
        if (!path.isEmpty())
            loadIntoEditor(path);
    });
}

void TemplateEditor::Button2Click()
{
    runHandler([this] {
        // The raw text keeps every character as typed (a plain-text copy would turn
        // no-break spaces into blanks); its paragraph separators are written as CR LF.
        const QString editorText = m_tab->Memo4()->document()->toRawText();
        text::writePhraseText(phrasePath(m_tab->Edit1()->text()), editorText);
    });
}

void TemplateEditor::Memo4DblClick()
{
    runHandler([this] {
        if (text::shared().phraseTarget.isEmpty())
            return;
        emit phraseChosen(m_tab->Memo4()->caretLine());
    });
}

void TemplateEditor::loadIntoEditor(const QString &path)
{
    // Read first: a file that cannot be read leaves the editor as it was. The editor
    // takes CR LF, LF and CR alike as line breaks.
    const QString contents = text::readPhraseText(path);
    m_tab->Memo4()->setPlainText(contents);
}

void TemplateEditor::bringTabForward()
{
    for (QWidget *w = m_tab->parentWidget(); w; w = w->parentWidget()) {
        if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
            const int index = tabs->indexOf(m_tab);
            if (index >= 0)
                tabs->setCurrentIndex(index);
            return;
        }
    }
}
