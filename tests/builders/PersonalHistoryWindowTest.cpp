#include "BuilderWindowTest.h"
#include "builders/RadioGroup.h"
#include "builders/TForm10.h"
#include "records/DBEdit.h"

#include <QCheckBox>

namespace {

class PersonalHistoryWindowTest : public BuilderWindowTest
{
protected:
    void SetUp() override
    {
        BuilderWindowTest::SetUp();
        m_form = std::make_unique<TForm10>(m_session.get());
    }

    RadioGroup *group(const char *name) { return child<RadioGroup>(m_form.get(), name); }
    QCheckBox *tick(const char *name) { return child<QCheckBox>(m_form.get(), name); }
    QString personalHistory() const { return m_session->value(QStringLiteral("PersonalHistory")); }

    std::unique_ptr<TForm10> m_form;
};

} // namespace

TEST_F(PersonalHistoryWindowTest, DefaultsWriteTheStandardSentencesAndReachTheDatabase)
{
    EXPECT_EQ(m_form->windowTitle(), "个人史");
    EXPECT_EQ(textOf(m_form.get(), "Edit8"), "3-5/28-30");
    EXPECT_EQ(textOf(m_form.get(), "Edit9"), "2007.1.1");
    EXPECT_EQ(textOf(m_form.get(), "Edit11"), "23");
    EXPECT_EQ(group("RadioGroup1")->itemIndex(), 0);
    EXPECT_EQ(group("RadioGroup2")->itemIndex(), 0);

    m_session->fill(QStringLiteral("PersonalHistory"), QStringLiteral("旧的个人史\r\n第二行"));
    m_form->showOverMainWindow();
    EXPECT_FALSE(m_main.isEnabled());
    click(m_form.get(), "Button7");
    const QString expected = "生于山东省澄岚市，无外地长期居住史，无疫区居住史。无吸烟史。无饮酒史。23岁结婚"
                             "，爱人及子女均健康。\r\n";
    EXPECT_EQ(personalHistory(), expected);
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_TRUE(m_main.isEnabled());
    m_session->post();
    EXPECT_EQ(stored(m_firstId, "PersonalHistory"), expected);
}

TEST_F(PersonalHistoryWindowTest, BirthplaceFollowsTheRecordAndTypingChangesIt)
{
    auto *home = child<DBEdit>(m_form.get(), "DBEdit1");
    EXPECT_EQ(home->text(), "山东省澄岚市");
    setText(m_form.get(), "Edit2", "曾去过疫区");
    m_session->moveTo(1);
    EXPECT_EQ(home->text(), "");
    EXPECT_EQ(textOf(m_form.get(), "Edit2"), "曾去过疫区");

    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("京"));
    QApplication::sendEvent(home, &typed);
    EXPECT_EQ(m_session->value(QStringLiteral("home")), "京");
    group("RadioGroup2")->setItemIndex(1);
    click(m_form.get(), "Button7");
    EXPECT_TRUE(personalHistory().startsWith("生于京，无外地长期居住史，有疫区居住史。曾去过疫区无吸烟史。"));
    m_session->post();
    EXPECT_EQ(stored(m_secondId, "home"), "京");
}

TEST_F(PersonalHistoryWindowTest, EveryControlFeedsItsOwnPieceOfTheSentence)
{
    struct Case
    {
        const char *name;
        bool menstrualOwnClosing;
        QString menstrual;
    };
    const Case cases[] = {
        {"standard closing", false, "月经史：14岁（3-5/28-30）2007.1.1。经量中等，无痛经史。"},
        {"own closing", true, "月经史：14岁（3-5/28-30）2007.1.1。 量多。"},
    };
    m_session->moveTo(1); // no birthplace: the text starts "生于，"
    group("RadioGroup1")->setItemIndex(1);
    setText(m_form.get(), "Edit1", "  曾在外地工作5年 ");
    group("RadioGroup2")->setItemIndex(-1);
    setText(m_form.get(), "Edit2", "不写");
    tick("CheckBox1")->setChecked(true);
    setText(m_form.get(), "Edit3", "20");
    setText(m_form.get(), "Edit4", " 10");
    tick("CheckBox2")->setChecked(true);
    setText(m_form.get(), "Edit5", "2");
    setText(m_form.get(), "Edit6", "5 ");
    tick("CheckBox3")->setChecked(true);
    setText(m_form.get(), "Edit7", "14");
    setText(m_form.get(), "Edit10", " 量多。");
    setText(m_form.get(), "Edit11", "25");
    for (const Case &c : cases) {
        tick("CheckBox4")->setChecked(c.menstrualOwnClosing);
        click(m_form.get(), "Button7");
        EXPECT_EQ(personalHistory(),
                  "生于，有外地长期居住史，曾在外地工作5年吸烟史：20支/日X 10年。饮酒史：2两/日X5 年。" +
                      c.menstrual + "25岁结婚，爱人及子女均健康。\r\n")
            << c.name;
    }

    // Without the menstrual tick its own-closing tick is not looked at.
    tick("CheckBox3")->setChecked(false);
    click(m_form.get(), "Button7");
    EXPECT_FALSE(personalHistory().contains("月经史"));
    EXPECT_FALSE(personalHistory().contains("量多"));
}
