#include "BuilderWindowTest.h"
#include "builders/RadioGroup.h"
#include "builders/TForm4.h"
#include "records/DBCheckBox.h"

#include <QRadioButton>

namespace {

const char *const kTicks[] = {"DBCheckBox1", "DBCheckBox2", "DBCheckBox16", "DBCheckBox17", "DBCheckBox4",
                              "DBCheckBox5", "DBCheckBox6", "DBCheckBox7",  "DBCheckBox8"};

const QString kNothingTicked =
    QStringLiteral("无肝炎病史及密切接触史。无结核病史及密切接触史。否认糖尿病史。否认冠心病史。"
                   "无手术、外伤史。无药物、食物过敏史。无输血史。");

class PastHistoryWindowTest : public BuilderWindowTest
{
protected:
    void SetUp() override
    {
        BuilderWindowTest::SetUp();
        m_form = std::make_unique<TForm4>(m_session.get());
    }

    DBCheckBox *tick(const char *name) { return child<DBCheckBox>(m_form.get(), name); }
    RadioGroup *vaccination() { return child<RadioGroup>(m_form.get(), "RadioGroup1"); }
    QString pastHistory() const { return m_session->value(QStringLiteral("PastHistory")); }

    std::unique_ptr<TForm4> m_form;
};

} // namespace

TEST_F(PastHistoryWindowTest, TicksShowTheCurrentRecordAndFollowItWhileTheEditsStay)
{
    EXPECT_EQ(m_form->windowTitle(), "既往史");
    EXPECT_EQ(tick("DBCheckBox1")->text(), "肝炎");
    EXPECT_EQ(tick("DBCheckBox8")->text(), "输血史");
    EXPECT_EQ(vaccination()->title(), "预防接种史");
    EXPECT_EQ(vaccination()->itemIndex(), 0);
    EXPECT_EQ(vaccination()->button(1)->text(), "随当地");

    // Bed 1: Boolen01 "True", Boolen02 "False", the rest empty (greyed).
    EXPECT_EQ(tick("DBCheckBox1")->checkState(), Qt::Checked);
    EXPECT_EQ(tick("DBCheckBox2")->checkState(), Qt::Unchecked);
    EXPECT_EQ(tick("DBCheckBox16")->checkState(), Qt::PartiallyChecked);
    setText(m_form.get(), "Edit1", "乙肝10年。");

    m_session->moveTo(1); // bed 2: Boolen01 "False", Boolen16 "true"
    EXPECT_EQ(tick("DBCheckBox1")->checkState(), Qt::Unchecked);
    EXPECT_EQ(tick("DBCheckBox2")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(tick("DBCheckBox16")->checkState(), Qt::Checked);
    EXPECT_EQ(textOf(m_form.get(), "Edit1"), "乙肝10年。");
}

TEST_F(PastHistoryWindowTest, GreyedAndClearTicksWriteTheNegativeSentences)
{
    struct Case
    {
        int vaccination;
        QString ending;
    };
    const Case cases[] = {{0, "预防接种史不详。"}, {1, "预防接种史随当地。"}, {-1, ""}};
    m_session->moveTo(1);
    // Bed 2 has only Boolen16 ticked; clear it so every box is clear or greyed.
    tick("DBCheckBox16")->click();
    ASSERT_EQ(tick("DBCheckBox16")->checkState(), Qt::Unchecked);
    for (const Case &c : cases) {
        m_form->showOverMainWindow();
        vaccination()->setItemIndex(c.vaccination);
        click(m_form.get(), "Button1");
        EXPECT_EQ(pastHistory(), kNothingTicked + c.ending + "\r\n") << c.vaccination;
        EXPECT_FALSE(m_form->isVisible());
        EXPECT_TRUE(m_main.isEnabled());
    }
    m_session->post();
    EXPECT_EQ(stored(m_secondId, "PastHistory"), kNothingTicked + "\r\n");
    EXPECT_EQ(stored(m_secondId, "Boolen16"), "False");
}

TEST_F(PastHistoryWindowTest, TickedBoxesTakeTheDoctorsWordsFromTheirOwnEdits)
{
    m_session->fill(QStringLiteral("PastHistory"), QStringLiteral("旧的既往史\r\n"));
    // Bed 1 has 肝炎 ticked and 结核 clear; tick the others that take words.
    for (const char *name :
         {"DBCheckBox16", "DBCheckBox17", "DBCheckBox4", "DBCheckBox6", "DBCheckBox7", "DBCheckBox8"})
        tick(name)->click();
    setText(m_form.get(), "Edit1", " 乙肝。 ");
    setText(m_form.get(), "Edit2", "不写");
    setText(m_form.get(), "Edit3", " 糖尿病5年。 ");
    setText(m_form.get(), "Edit4", "\t冠心病3年。");
    setText(m_form.get(), "Edit5", "阑尾切除术后。");
    setText(m_form.get(), "Edit6", " 青霉素过敏。");
    setText(m_form.get(), "Edit7", " ");
    vaccination()->button(1)->click();
    click(m_form.get(), "Button1");
    EXPECT_EQ(pastHistory(),
              "有肝炎病史， 乙肝。 无结核病史及密切接触史。糖尿病5年。冠心病3年。无外伤史，阑尾切除术后。"
              " 青霉素过敏。预防接种史随当地。\r\n");

    m_session->post();
    EXPECT_EQ(stored(m_firstId, "PastHistory"), pastHistory());
    for (const char *column :
         {"Boolen01", "Boolen16", "Boolen17", "Boolen04", "Boolen06", "Boolen07", "Boolen08"})
        EXPECT_EQ(stored(m_firstId, column), "True") << column;
    EXPECT_EQ(stored(m_firstId, "Boolen05"), "");
}

TEST_F(PastHistoryWindowTest, UntickingAndClosingChangesTheRecordButWritesNoText)
{
    m_form->showOverMainWindow();
    EXPECT_FALSE(m_main.isEnabled());
    tick("DBCheckBox1")->click();
    EXPECT_EQ(m_session->state(), RecordSession::State::Edit);
    m_form->close();
    EXPECT_TRUE(m_main.isEnabled());
    m_session->post();
    EXPECT_EQ(stored(m_firstId, "Boolen01"), "False");
    EXPECT_EQ(stored(m_firstId, "PastHistory"), "");
    for (const char *name : kTicks)
        EXPECT_TRUE(child<DBCheckBox>(m_form.get(), name)->isTristate()) << name;
}
