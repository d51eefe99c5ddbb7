#include "phrases/DifferentialBox.h"
#include "PhraseTestFolder.h"
#include "phrases/DropDownComboBox.h"
#include "phrases/TemplateEditor.h"
#include "phrases/TemplateEditorTab.h"
#include "records/FileListBox.h"
#include "records/ScriptedDialogs.h"

#include <QKeyEvent>
#include <QLineEdit>

class DifferentialBoxTest : public PhraseTestFolder
{
protected:
    void SetUp() override
    {
        PhraseTestFolder::SetUp();
        m_combo = new DropDownComboBox(&m_window);
        m_combo->setObjectName("ComboBox4");
        m_tab = new TemplateEditorTab(&m_window);
        m_editor = new TemplateEditor(m_tab, &m_window);
        m_box = new DifferentialBox(m_combo, m_editor, &m_window);
        m_box->setSectionReceiver([this](const QString &text) { m_received << text; });
        m_window.resize(400, 300);
        m_window.show();
    }

    QStringList items() const
    {
        QStringList list;
        for (int i = 0; i < m_combo->count(); ++i)
            list << m_combo->itemText(i);
        return list;
    }

    void dropDown()
    {
        m_combo->showPopup();
        m_combo->hidePopup();
    }

    void key(QWidget *target, int code)
    {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &release);
    }

    ScriptedDialogs m_dialogs;
    QWidget m_window;
    DropDownComboBox *m_combo = nullptr;
    TemplateEditorTab *m_tab = nullptr;
    TemplateEditor *m_editor = nullptr;
    DifferentialBox *m_box = nullptr;
    QStringList m_received;
};

TEST_F(DifferentialBoxTest, DropDownReadsTheNamesAgainAndKeepsThemOnError)
{
    EXPECT_TRUE(m_combo->isEditable());
    dropDown();
    ASSERT_EQ(m_dialogs.errors.size(), 1); // none before the first successful reading
    EXPECT_TRUE(m_dialogs.errors.front().contains(dataPath("differential.txt")));
    EXPECT_TRUE(items().isEmpty());

    writeBytes("differential.txt", gbk("肺炎\r\n\r\n冠心病"));
    dropDown();
    EXPECT_EQ(items(), (QStringList{"肺炎", "", "冠心病"}));
    EXPECT_EQ(m_tab->FileListBox1()->directory() + "/", text::shared().dataFolder());

    m_combo->setEditText("心衰");
    writeBytes("differential.txt", gbk("心衰\n脑梗死\n"));
    dropDown();
    EXPECT_EQ(items(), (QStringList{"心衰", "脑梗死"}));
    EXPECT_EQ(m_combo->currentText(), "心衰");

    QFile::remove(dataPath("differential.txt"));
    dropDown();
    EXPECT_EQ(m_dialogs.errors.size(), 2);
    EXPECT_EQ(items(), (QStringList{"心衰", "脑梗死"}));
    EXPECT_TRUE(m_received.isEmpty());
}

TEST_F(DifferentialBoxTest, ChoosingANameHandsOverItsSection)
{
    writeBytes("differential.txt", gbk("肺炎\r\n哮喘\r\n\r\n"));
    writeBytes("differentials.txt",
               gbk("说明行\r\n<section.肺炎> 社区获得性\r\n诊断依据：\r\n\r\n鉴别诊断：\r\n"
                   "见上 </section>\r\n<section.>\r\n空名\r\n</section>\r\n"));
    dropDown();
    m_box->ComboBox4Select(0);
    m_box->ComboBox4Select(1); // no section: an empty text
    m_box->ComboBox4Select(2); // the empty name searches "<section.>"
    EXPECT_EQ(m_received, (QStringList{QStringLiteral("诊断依据：\r\n\r\n鉴别诊断：\r\n"), QString(),
                                       QStringLiteral("空名\r\n")}));
    EXPECT_TRUE(m_dialogs.errors.isEmpty());

    QFile::remove(dataPath("differentials.txt"));
    m_box->ComboBox4Select(0);
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_TRUE(m_dialogs.errors.front().contains(dataPath("differentials.txt")));
    EXPECT_EQ(m_received.size(), 3);
}

TEST_F(DifferentialBoxTest, ChoosingByKeysCountsButTypingANameDoesNot)
{
    writeBytes("differential.txt", gbk("肺炎\r\n哮喘\r\n"));
    writeBytes("differentials.txt",
               gbk("<section.肺炎>\r\nP\r\n</section>\r\n<section.哮喘>\r\nA\r\n</section>\r\n"));
    dropDown();
    m_combo->setFocus();

    // A typed name that matches an item, ended with Return or by leaving the box.
    m_combo->setEditText("哮喘");
    key(m_combo, Qt::Key_Return);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(m_combo->lineEdit(), &out);
    EXPECT_TRUE(m_received.isEmpty());

    // Down in the closed box chooses the next item of the list.
    m_combo->setCurrentIndex(0);
    key(m_combo, Qt::Key_Down);
    EXPECT_EQ(m_received, QStringList{"A\r\n"});
}
