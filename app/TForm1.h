#pragma once
#include "app/DataLocation.h"
#include "records/SaveFileDialog.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class PatientStore;
class PatientStoreInterface;
class QAction;
class QTabWidget;
class ListRefresh;
class RecordSession;
class SafetyCopier;
class TemplateEditor;

// The main window: the patient list on the right, the current patient's record on
// tabs on the left, the template editor and the rest of the examination on the
// right, and the main menu. The database opens while it is built.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    // Opens the database in the data folder; throws Error when it cannot.
    explicit TForm1(const DataLocation &location);
    ~TForm1() override;

    RecordSession *session() const { return m_session.get(); }
    SaveFileDialog *saveDialog1() { return &m_saveDialog1; }
    QTabWidget *pageControl1() const { return m_pageControl1; }
    QTabWidget *pageControl2() const { return m_pageControl2; }
    QAction *menuItem(const QString &objectName) const;

    // Sizes and places the window inside a screen's available area: the designed
    // size where it fits, else smaller with the client surface scrolling. The size it
    // gets is the one size of its frame outside the maximised state.
    void fitInto(const QRect &available);

    TemplateEditor *templateEditor() const { return m_templateEditor; }

    // What the commands that open other windows do; set when those windows exist.
    std::function<void()> generate;    // Generate1Click
    std::function<void()> showOptions; // Options1Click
    std::function<void()> showAbout;   // About1Click
    std::function<void()> showHistory; // History1Click

    void N3Click();
    void N4Click();
    void N6Click();
    void N8Click();
    void N9Click();
    void N2Click();
    void Passphrase1Click();
    void N1Click();
    void Exit1Click();
    void Signature1Click();
    void Archive1Click();
    void Unarchive1Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormCreate(const DataLocation &location);
    void buildMenu();
    void buildPages();
    void connectRecordCommands();
    bool isMaximised() const;
    // Ends the run without the close question (after compaction or a restore).
    void endRun();
    // The encrypted file, for the commands that work on the database file itself; on the
    // ward's server they are refused with the given reason (the ward administrator's work).
    PatientStore &fileStore(const QString &serverRefusal) const;

    std::unique_ptr<PatientStoreInterface> m_store;
    std::unique_ptr<RecordSession> m_session;
    std::unique_ptr<ListRefresh> m_listRefresh; // goes before the session it reloads
    std::unique_ptr<SafetyCopier> m_safetyCopier; // goes before the store it copies; file only
    SaveFileDialog m_saveDialog1;
    QTabWidget *m_pageControl1 = nullptr;
    QTabWidget *m_pageControl2 = nullptr;
    TemplateEditor *m_templateEditor = nullptr;
    bool m_ending = false; // compaction ends the run without the close question
    QSize m_normalSize;    // the one size of the frame when not maximised
};
