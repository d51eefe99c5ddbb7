#include "BuilderWindowTest.h"
#include "builders/TForm5.h"
#include "phrases/DropDownComboBox.h"
#include "text/PhraseFile.h"

#include <QDateEdit>
#include <QFile>
#include <QPlainTextEdit>

namespace {

const QString kIncomplete = QStringLiteral("血常规必填项目（WBC、RBC、HGB、Plt）不全，请重新填写！");

class ExaminationWindowTest : public BuilderWindowTest
{
protected:
    void SetUp() override
    {
        BuilderWindowTest::SetUp();
        m_form = std::make_unique<TForm5>(m_session.get(), [this] { openPhraseFolder(); });
    }

    // Stands in for the main window's phrase-folder reading; a test may make it
    // provide examine.txt, which shows that it runs before the file is read.
    void openPhraseFolder()
    {
        ++m_folderOpenings;
        if (!m_examineOnOpening.isEmpty())
            text::writePhraseText(examinePath(), m_examineOnOpening);
    }

    QString examinePath() const { return text::shared().dataFolder() + QStringLiteral("examine.txt"); }
    DropDownComboBox *names() { return child<DropDownComboBox>(m_form.get(), "ComboBox1"); }
    QComboBox *place() { return child<QComboBox>(m_form.get(), "ComboBox2"); }
    QString fuzhu() const { return m_session->value(QStringLiteral("fuzhu")); }

    void dropDownNames()
    {
        names()->showPopup();
        names()->hidePopup();
    }

    void fillBloodCount(const QString &wbc, const QString &rbc, const QString &hgb, const QString &plt)
    {
        setText(m_form.get(), "Edit2", wbc);
        setText(m_form.get(), "Edit7", rbc);
        setText(m_form.get(), "Edit8", hgb);
        setText(m_form.get(), "Edit10", plt);
    }

    std::unique_ptr<TForm5> m_form;
    int m_folderOpenings = 0;
    QString m_examineOnOpening;
};

} // namespace

TEST_F(ExaminationWindowTest, StartsOnTheBloodRoutineOfTheEighthOfMay2007)
{
    EXPECT_EQ(m_form->windowTitle(), "辅  助  检  查");
    EXPECT_EQ(names()->currentText(), "血常规");
    EXPECT_EQ(names()->count(), 0);
    EXPECT_EQ(names()->maxVisibleItems(), 20);
    auto *date = child<QDateEdit>(m_form.get(), "DateTimePicker1");
    EXPECT_EQ(date->date(), QDate(2007, 5, 8));
    EXPECT_EQ(date->text(), "2007-5-8");
    EXPECT_EQ(place()->currentText(), "本院");
    EXPECT_EQ(place()->itemText(1), "外院");
}

TEST_F(ExaminationWindowTest, PostAppendsLinesAndStaysOpen)
{
    m_session->fill(QStringLiteral("fuzhu"), QStringLiteral("心电图：正常"));
    m_session->post();

    m_form->showOverMainWindow();
    fillBloodCount("5.6", "4.5", "130", "200");
    setText(m_form.get(), "Edit4", "65");
    setText(m_form.get(), "Edit5", "30");
    child<QPlainTextEdit>(m_form.get(), "Memo2")->setPlainText("血常规里不写这段");
    click(m_form.get(), "Button3");
    const QString blood =
        "血常规（2007-5-8，本院）：WBC：5.6X10^9/L、N:65%、L:30%、RBC：4.5X10^12/L、HGB：130 g/L、"
        "PLT：200X10^9/L。";
    EXPECT_EQ(fuzhu(), "心电图：正常\r\n" + blood);
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_FALSE(m_main.isEnabled());

    // Another examination from the memo, with another date and place.
    names()->setEditText("胸片");
    place()->setCurrentIndex(1);
    child<QDateEdit>(m_form.get(), "DateTimePicker1")->setDate(QDate(2024, 11, 3));
    child<QPlainTextEdit>(m_form.get(), "Memo2")->setPlainText("双肺纹理增粗\n心影不大\n");
    click(m_form.get(), "Button3");
    const QString chest = "胸片（2024-11-3，外院）：双肺纹理增粗心影不大";
    EXPECT_EQ(fuzhu(), "心电图：正常\r\n" + blood + "\r\n" + chest);
    EXPECT_TRUE(m_dialogs.informations.isEmpty());

    m_session->post();
    EXPECT_EQ(stored(m_firstId, "fuzhu"), fuzhu());

    click(m_form.get(), "Button1"); // Close
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_TRUE(m_main.isEnabled());
    m_form->showOverMainWindow();
    EXPECT_EQ(names()->currentText(), "胸片");
    EXPECT_EQ(place()->currentText(), "外院");
}

TEST_F(ExaminationWindowTest, MissingRequiredBloodValueShowsTheMessageAndWritesNothing)
{
    struct Case
    {
        const char *missing;
        QString wbc, rbc, hgb, plt;
    };
    const Case cases[] = {
        {"WBC", "", "4.5", "130", "200"}, {"RBC", "5.6", "  ", "130", "200"},
        {"HGB", "5.6", "4.5", "", "200"}, {"PLT", "5.6", "4.5", "130", "\t"},
        {"all", "", "", "", ""},
    };
    m_form->showOverMainWindow();
    names()->setEditText(" 血常规 ");
    for (const Case &c : cases) {
        m_dialogs.informations.clear();
        fillBloodCount(c.wbc, c.rbc, c.hgb, c.plt);
        click(m_form.get(), "Button3");
        EXPECT_EQ(m_dialogs.informations, QStringList{kIncomplete}) << c.missing;
        EXPECT_EQ(fuzhu(), "") << c.missing;
        EXPECT_EQ(m_session->state(), RecordSession::State::Browse) << c.missing;
        EXPECT_TRUE(m_form->isVisible()) << c.missing;
    }
    EXPECT_TRUE(m_dialogs.errors.isEmpty());
}

TEST_F(ExaminationWindowTest, DropDownReadsExamineTxtAfterOpeningThePhraseFolder)
{
    m_examineOnOpening = QStringLiteral("血常规\r\n尿常规\r\n肝功能\r\n");
    names()->setEditText("自己写的");
    dropDownNames();
    EXPECT_EQ(m_folderOpenings, 1);
    ASSERT_EQ(names()->count(), 3);
    EXPECT_EQ(names()->itemText(2), "肝功能");
    EXPECT_EQ(names()->currentText(), "自己写的");
    EXPECT_TRUE(m_dialogs.errors.isEmpty());

    // The file is read again at every drop-down.
    m_examineOnOpening = QStringLiteral("心电图\r\n");
    dropDownNames();
    EXPECT_EQ(m_folderOpenings, 2);
    ASSERT_EQ(names()->count(), 1);
    EXPECT_EQ(names()->itemText(0), "心电图");
}

TEST_F(ExaminationWindowTest, MissingExamineTxtShowsTheErrorAndKeepsTheList)
{
    dropDownNames();
    ASSERT_EQ(m_dialogs.errors.size(), 1);
    EXPECT_TRUE(m_dialogs.errors[0].contains("examine.txt")) << m_dialogs.errors[0].toStdString();
    EXPECT_EQ(names()->count(), 0);
    EXPECT_EQ(names()->currentText(), "血常规");

    text::writePhraseText(examinePath(), QStringLiteral("血常规\r\n尿常规\r\n"));
    dropDownNames();
    ASSERT_EQ(names()->count(), 2);
    ASSERT_TRUE(QFile::remove(examinePath()));
    names()->setEditText("B超");
    dropDownNames();
    EXPECT_EQ(m_dialogs.errors.size(), 2);
    EXPECT_EQ(names()->count(), 2);
    EXPECT_EQ(names()->itemText(1), "尿常规");
    EXPECT_EQ(names()->currentText(), "B超");
}
