#include "BuilderWindowTest.h"
#include "builders/RadioGroup.h"
#include "builders/SymptomTable.h"
#include "builders/TForm3.h"
#include "builders/TSymptoms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>

namespace {

const QString kClosing = QStringLiteral("今为进一步诊治收入我院。患者自发病以来，"
                                        "神志清，精神不振，饮食休息欠佳，二便未见显著异常。");

class PresentIllnessWindowTest : public BuilderWindowTest
{
protected:
    RadioGroup *group(const char *name) { return child<RadioGroup>(m_form.get(), name); }
    QComboBox *unit() { return child<QComboBox>(m_form.get(), "ComboBox8"); }
    QCheckBox *box(const char *name) { return child<QCheckBox>(m_symptoms.get(), name); }

    void SetUp() override
    {
        BuilderWindowTest::SetUp();
        m_symptoms = std::make_unique<TSymptoms>();
        m_form = std::make_unique<TForm3>(m_session.get(), m_symptoms.get());
    }

    std::unique_ptr<TSymptoms> m_symptoms;
    std::unique_ptr<TForm3> m_form;
};

} // namespace

TEST_F(PresentIllnessWindowTest, StartsEmptyWithNoRadioItemChosen)
{
    EXPECT_EQ(m_form->windowTitle(), "现病史：");
    EXPECT_EQ(m_symptoms->windowTitle(), "症状输入");
    for (const char *edit :
         {"Edit15", "Edit11", "Edit1", "Edit16", "Edit2", "Edit13", "Edit12", "Edit3", "Edit4", "Edit14"})
        EXPECT_EQ(textOf(m_form.get(), edit), "") << edit;
    EXPECT_EQ(unit()->currentText(), "");
    EXPECT_EQ(unit()->currentIndex(), -1);
    EXPECT_EQ(unit()->count(), 6);
    EXPECT_EQ(unit()->itemText(5), "分钟");
    for (const char *name : {"RadioGroup1", "RadioGroup2", "RadioGroup3", "RadioGroup4"})
        EXPECT_EQ(group(name)->itemIndex(), -1) << name;
    EXPECT_EQ(group("RadioGroup1")->title(), "诱因");
    EXPECT_EQ(group("RadioGroup4")->button(3)->text(), "其它");
    EXPECT_TRUE(child<QWidget>(m_form.get(), "Panel16"));
}

TEST_F(PresentIllnessWindowTest, PostReplacesTheFieldWithOneLineClosesAndReachesTheDatabase)
{
    m_session->fill(QStringLiteral("PresentIllness"), QStringLiteral("旧的第一行\r\n旧的第二行\r\n"));
    m_session->post();

    m_form->showOverMainWindow();
    EXPECT_FALSE(m_main.isEnabled());
    setText(m_form.get(), "Edit15", "3");
    unit()->setCurrentIndex(3); // 天
    group("RadioGroup1")->setItemIndex(0);
    setText(m_form.get(), "Edit1", "咳嗽、咳痰");
    setText(m_form.get(), "Edit2", "发热");
    group("RadioGroup2")->button(2)->click(); // 就诊于
    group("RadioGroup4")->button(1)->click(); // 当地医院
    setText(m_form.get(), "Edit13", "头孢");
    group("RadioGroup3")->setItemIndex(1);
    click(m_form.get(), "Button9");

    const QString expected =
        "患者3天前无诱因出现咳嗽、咳痰等症状，无发热等表现，就诊于当地医院，应用头孢等药物，有好转，" +
        kClosing + "\r\n";
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_TRUE(m_main.isEnabled());
    EXPECT_EQ(m_session->value(QStringLiteral("PresentIllness")), expected);
    EXPECT_EQ(m_session->state(), RecordSession::State::Edit);
    m_session->post();
    EXPECT_EQ(stored(m_firstId, "PresentIllness"), expected);

    // Reopened, the controls are as they were left, and Post replaces the field again.
    m_form->showOverMainWindow();
    EXPECT_EQ(textOf(m_form.get(), "Edit13"), "头孢");
    EXPECT_EQ(unit()->currentText(), "天");
    EXPECT_EQ(group("RadioGroup4")->itemIndex(), 1);
    click(m_form.get(), "Button9");
    EXPECT_EQ(m_session->value(QStringLiteral("PresentIllness")), expected);
}

TEST_F(PresentIllnessWindowTest, EveryControlFeedsItsOwnPieceOfTheSentence)
{
    // Each entry carries its own words, so a control read into the wrong piece shows.
    setText(m_form.get(), "Edit15", " 2 ");
    unit()->setEditText("个月");
    group("RadioGroup1")->setItemIndex(1);
    setText(m_form.get(), "Edit11", "受凉后");
    setText(m_form.get(), "Edit1", "  咳嗽 ");
    setText(m_form.get(), "Edit16", " 伴乏力， ");
    setText(m_form.get(), "Edit2", " 胸痛");
    group("RadioGroup2")->setItemIndex(2);
    group("RadioGroup4")->setItemIndex(3);
    setText(m_form.get(), "Edit12", "县医院");
    setText(m_form.get(), "Edit13", "青霉素");
    group("RadioGroup3")->setItemIndex(0);
    setText(m_form.get(), "Edit3", " 甲。");
    setText(m_form.get(), "Edit4", "乙。 ");
    setText(m_form.get(), "Edit14", "\t丙。");
    click(m_form.get(), "Button9");
    EXPECT_EQ(m_session->value(QStringLiteral("PresentIllness")),
              "患者 2 个月前受凉后出现咳嗽等症状，伴乏力，无 "
              "胸痛等表现，就诊于县医院应用青霉素等药物，无好转，甲。乙。丙。" +
                  kClosing + "\r\n");
}

TEST_F(PresentIllnessWindowTest, FirstPostWithNothingEnteredWritesTheFixedPieces)
{
    click(m_form.get(), "Button9");
    EXPECT_EQ(m_session->value(QStringLiteral("PresentIllness")),
              "患者前出现等症状，无等表现，" + kClosing + "\r\n");
}

TEST_F(PresentIllnessWindowTest, CloseBoxWritesNothingAndEnablesTheMainWindow)
{
    m_form->showOverMainWindow();
    setText(m_form.get(), "Edit1", "咳嗽");
    m_form->close();
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_TRUE(m_main.isEnabled());
    EXPECT_EQ(m_session->value(QStringLiteral("PresentIllness")), "");
    EXPECT_EQ(m_session->state(), RecordSession::State::Browse);
    m_form->showOverMainWindow();
    EXPECT_EQ(textOf(m_form.get(), "Edit1"), "咳嗽");
}

TEST_F(PresentIllnessWindowTest, F1InTheFiveSymptomEditsOpensThePickerForThatEdit)
{
    struct Case
    {
        const char *edit;
        int key;
        Qt::KeyboardModifiers modifiers;
        int target; // -1: the picker stays closed and the target is left alone
    };
    const Case cases[] = {
        {"Edit1", Qt::Key_F1, Qt::NoModifier, 0},   {"Edit2", Qt::Key_F1, Qt::NoModifier, 1},
        {"Edit3", Qt::Key_F1, Qt::NoModifier, 2},   {"Edit4", Qt::Key_F1, Qt::NoModifier, 3},
        {"Edit14", Qt::Key_F1, Qt::NoModifier, 4},  {"Edit1", Qt::Key_F1, Qt::ShiftModifier, 0},
        {"Edit2", Qt::Key_F2, Qt::NoModifier, -1},  {"Edit3", Qt::Key_A, Qt::NoModifier, -1},
        {"Edit15", Qt::Key_F1, Qt::NoModifier, -1}, {"Edit11", Qt::Key_F1, Qt::NoModifier, -1},
        {"Edit16", Qt::Key_F1, Qt::NoModifier, -1}, {"Edit12", Qt::Key_F1, Qt::NoModifier, -1},
        {"Edit13", Qt::Key_F1, Qt::NoModifier, -1},
    };
    m_form->showOverMainWindow();
    for (const Case &c : cases) {
        m_symptoms->hide();
        text::shared().symptomTarget = 77;
        releaseKey(child<QLineEdit>(m_form.get(), c.edit), c.key, c.modifiers);
        EXPECT_EQ(m_symptoms->isVisible(), c.target >= 0) << c.edit;
        EXPECT_EQ(text::shared().symptomTarget, c.target >= 0 ? c.target : 77) << c.edit;
        // The picker leaves the main window alone; the builder stays usable.
        EXPECT_FALSE(m_main.isEnabled()) << c.edit;
        EXPECT_TRUE(m_form->isEnabled()) << c.edit;
    }
}

TEST_F(PresentIllnessWindowTest, PickerPostWritesTheTickedNamesIntoTheEditThatAsked)
{
    m_form->showOverMainWindow();
    setText(m_form.get(), "Edit2", "旧文字");
    releaseKey(child<QLineEdit>(m_form.get(), "Edit2"), Qt::Key_F1);
    box("CheckBox9")->setChecked(true);  // 腹胀, last of column 2
    box("CheckBox14")->setChecked(true); // 腹泻, second of column 2
    box("CheckBox28")->setChecked(true); // 咳嗽
    box("CheckBox1")->setChecked(true);  // 咳嗽 again: names are not merged
    click(m_symptoms.get(), "Button9");
    EXPECT_EQ(textOf(m_form.get(), "Edit2"), "咳嗽、腹泻、腹胀、咳嗽");
    EXPECT_EQ(textOf(m_form.get(), "Edit1"), "");
    EXPECT_FALSE(m_symptoms->isVisible());
    EXPECT_FALSE(m_main.isEnabled()); // the builder is still open over it

    // The ticks stay for the next use; F1 in another edit while the picker is open
    // moves the target there.
    releaseKey(child<QLineEdit>(m_form.get(), "Edit1"), Qt::Key_F1);
    EXPECT_TRUE(box("CheckBox14")->isChecked());
    releaseKey(child<QLineEdit>(m_form.get(), "Edit3"), Qt::Key_F1);
    box("CheckBox1")->setChecked(false);
    box("CheckBox28")->setChecked(false);
    box("CheckBox9")->setChecked(false);
    click(m_symptoms.get(), "Button9");
    EXPECT_EQ(textOf(m_form.get(), "Edit3"), "腹泻");
    EXPECT_EQ(textOf(m_form.get(), "Edit1"), "");

    // Closing the builder leaves the picker open; its Post fills the hidden builder's edit.
    releaseKey(child<QLineEdit>(m_form.get(), "Edit14"), Qt::Key_F1);
    m_form->close();
    EXPECT_TRUE(m_symptoms->isVisible());
    EXPECT_TRUE(m_main.isEnabled());
    box("CheckBox14")->setChecked(false);
    click(m_symptoms.get(), "Button9"); // nothing ticked: the edit is emptied
    EXPECT_TRUE(m_main.isEnabled());
    m_form->showOverMainWindow();
    EXPECT_EQ(textOf(m_form.get(), "Edit14"), "");
    setText(m_form.get(), "Edit14", "保留");

    // A target outside 0..4 changes no edit.
    text::shared().symptomTarget = 5;
    box("CheckBox2")->setChecked(true);
    m_symptoms->showPicker();
    click(m_symptoms.get(), "Button9");
    for (const char *edit : {"Edit1", "Edit2", "Edit3", "Edit4"})
        EXPECT_NE(textOf(m_form.get(), edit), "咳痰") << edit;
    EXPECT_EQ(textOf(m_form.get(), "Edit14"), "保留");
    EXPECT_FALSE(m_symptoms->isVisible());
}

TEST_F(PresentIllnessWindowTest, PickerClosingLeavesTheMainWindowAlone)
{
    m_symptoms->showPicker();
    EXPECT_TRUE(m_main.isEnabled());
    m_form->showOverMainWindow();
    m_symptoms->close();
    EXPECT_FALSE(m_symptoms->isVisible());
    EXPECT_FALSE(m_main.isEnabled());
    EXPECT_TRUE(m_form->isVisible());
}

TEST_F(PresentIllnessWindowTest, PickerBoxesStandInTheTableAndTabGoesColumnByColumn)
{
    auto *groupBox = child<QGroupBox>(m_symptoms.get(), "GroupBox1");
    EXPECT_EQ(groupBox->title(), "症状：");
    const auto &boxes = builders::symptomBoxes();
    EXPECT_EQ(groupBox->findChildren<QCheckBox *>().size(), qsizetype(boxes.size()));
    for (size_t i = 0; i < boxes.size(); ++i) {
        QCheckBox *tick = box(boxes[i].objectName);
        ASSERT_TRUE(tick);
        EXPECT_EQ(tick->text(), boxes[i].captionText());
        EXPECT_FALSE(tick->isChecked());
        if (i + 1 == boxes.size())
            break;
        // The next check box in the focus chain is the next one in the table's order.
        QWidget *next = tick->nextInFocusChain();
        while (next && !qobject_cast<QCheckBox *>(next))
            next = next->nextInFocusChain();
        EXPECT_EQ(next, box(boxes[i + 1].objectName)) << boxes[i].objectName;
    }
}
