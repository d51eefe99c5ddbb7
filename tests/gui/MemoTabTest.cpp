// Tab in a memo of any window moves the focus on and never types a tab character.
#include "AppFixture.h"
#include "app/TForm8.h"
#include "builders/TForm10.h"
#include "builders/TForm3.h"
#include "builders/TForm4.h"
#include "builders/TForm5.h"
#include "builders/TSymptoms.h"
#include "documents/TForm7.h"
#include "options/TForm9.h"

#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>

namespace {

// Waits until the window is active, as the focus only moves inside an active window.
bool activate(QWidget *window)
{
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window, 3000);
}

// Shows every tab page that holds the widget (a page's parent is the tab widget's stack).
void showPagesOf(QWidget *widget, QWidget *window)
{
    for (QWidget *page = widget; page && page != window; page = page->parentWidget()) {
        QWidget *stack = page->parentWidget();
        if (auto *tabs = qobject_cast<QTabWidget *>(stack ? stack->parentWidget() : nullptr))
            tabs->setCurrentWidget(page);
    }
}

} // namespace

using MemoTab = AppFixture;

TEST_F(MemoTab, TabInEveryMemoMovesTheFocusAndTypesNothing)
{
    addRecords({{{"Bed", "1"}, {"PresentIllness", "咳嗽三天"}}});
    start();
    const std::vector<QWidget *> windowsWithMemos = {
        form1(),           windows->form3(), windows->form4(), windows->form5(), windows->symptoms(),
        windows->form7(),  windows->form8(), windows->form9(), windows->form10()};
    QStringList tested;
    for (QWidget *window : windowsWithMemos) {
        if (!activate(window))
            GTEST_SKIP() << "the platform does not activate windows";
        std::vector<QAbstractScrollArea *> memos;
        for (auto *memo : window->findChildren<QPlainTextEdit *>())
            memos.push_back(memo);
        for (auto *memo : window->findChildren<QTextEdit *>())
            memos.push_back(memo);
        for (QAbstractScrollArea *memo : memos) {
            SCOPED_TRACE(memo->objectName().toStdString());
            auto *plain = qobject_cast<QPlainTextEdit *>(memo);
            auto *rich = qobject_cast<QTextEdit *>(memo);
            const QString before = plain ? plain->toPlainText() : rich->toPlainText();
            // The memo's own tab page must be the shown one for it to take the focus.
            showPagesOf(memo, window);
            memo->setFocus(Qt::MouseFocusReason);
            QApplication::processEvents();
            ASSERT_EQ(QApplication::focusWidget(), memo);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_NE(QApplication::focusWidget(), memo);
            const QString after = plain ? plain->toPlainText() : rich->toPlainText();
            EXPECT_EQ(after, before);
            EXPECT_FALSE(after.contains('\t'));
            tested << memo->objectName();
        }
        if (window != form1())
            window->close();
    }
    // The record's memos, the phrase memo, the examination result memo and the document.
    for (const char *name : {"DBMemo1", "DBMemo2", "DBMemo3", "DBMemo4", "DBMemo5", "DBMemo6", "DBMemo7", "DBMemo8",
                             "DBMemo9", "Memo4", "Memo2", "RichEdit1"})
        EXPECT_TRUE(tested.contains(name)) << name;
    EXPECT_FALSE(session()->value("PresentIllness").contains('\t'));
}
