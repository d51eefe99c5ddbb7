#include "AppFixture.h"
#include "records/DBCtrlGrid.h"
#include "records/DBEdit.h"
#include "records/DBMemo.h"
#include "records/DBNavigator.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using MainWindow = AppFixture;

TEST_F(MainWindow, StartsWithCaptionTabsNavigatorsAndMenu)
{
    start();
    EXPECT_EQ(form1()->windowTitle(), "Quillcase BetaVersion-0.03.8");
    EXPECT_EQ(QApplication::applicationName(), "Quillcase");
    EXPECT_EQ(text::shared().applicationFolder, folder());

    QTabWidget *left = find<QTabWidget>("PageControl2");
    QTabWidget *right = find<QTabWidget>("PageControl1");
    QStringList leftTabs, rightTabs;
    for (int i = 0; i < left->count(); ++i)
        leftTabs << left->tabText(i) + "/" + left->widget(i)->objectName();
    for (int i = 0; i < right->count(); ++i)
        rightTabs << right->tabText(i) + "/" + right->widget(i)->objectName();
    EXPECT_EQ(leftTabs, (QStringList{"入院记录/TabSheet5", "体格检查/TabSheet6", "辅检诊断/TabSheet8",
                                     "首次病程/TabSheet11", "图片资料/TabSheet12"}));
    EXPECT_EQ(rightTabs, (QStringList{"病人管理/TabSheet1", "体格检查/TabSheet2", "模板编辑/TabSheet10"}));
    EXPECT_EQ(left->currentIndex(), 0);
    EXPECT_EQ(right->currentIndex(), 0);

    auto *nav1 = find<DBNavigator>("DBNavigator1");
    EXPECT_EQ(nav1->button(DBNavigator::Post)->text(), "存档");
    EXPECT_EQ(nav1->button(DBNavigator::Cancel)->text(), "取消");
    EXPECT_EQ(nav1->button(DBNavigator::First)->text(), "首笔");
    EXPECT_FALSE(nav1->button(DBNavigator::First)->isVisibleTo(nav1));
    for (const char *name : {"DBNavigator2", "DBNavigator3", "DBNavigator4"}) {
        auto *nav = find<DBNavigator>(name);
        EXPECT_TRUE(nav->button(DBNavigator::Post)->text().isEmpty()) << name;
        EXPECT_TRUE(nav->button(DBNavigator::Post)->isVisibleTo(nav));
        EXPECT_FALSE(nav->button(DBNavigator::Post)->isEnabled()); // Browse
    }

    struct Item { const char *name, *caption; QKeySequence shortcut; bool visible; };
    const Item items[] = {
        {"N3", "新建", QKeySequence("Ctrl+N"), true},     {"N4", "保存", QKeySequence("Ctrl+S"), true},
        {"N6", "删除", QKeySequence("Ctrl+E"), true},     {"N5", "-------------", QKeySequence(), true},
        {"N8", "备份至文件", QKeySequence("Ctrl+B"), true}, {"N9", "由文件恢复", QKeySequence("Ctrl+R"), true},
        {"N7", "-------------", QKeySequence(), true},   {"Exit1", "退出", QKeySequence("Ctrl+Q"), true},
        {"Generate1", "病历生成 （&Generate）", QKeySequence("Ctrl+G"), true},
        {"N2", "压缩病历资料库并退出程序", QKeySequence(), false},
        {"Options1", "选项     （&Options）", QKeySequence("Ctrl+O"), true},
        {"About1", "关于", QKeySequence(), true},         {"N1", "帮助", QKeySequence("Ctrl+H"), true},
        {"N10", "退出(&Q)", QKeySequence(), true},
    };
    for (const Item &item : items) {
        QAction *action = form1()->menuItem(item.name);
        ASSERT_TRUE(action) << item.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(item.caption)) << item.name;
        EXPECT_EQ(action->shortcut(), item.shortcut) << item.name;
        EXPECT_EQ(action->isVisible(), item.visible) << item.name;
    }
    QStringList menus;
    for (QAction *action : form1()->menuBar()->actions())
        menus << action->text();
    EXPECT_EQ(menus, (QStringList{"文件(&F)", "工具(&T)", "帮助(&H)", "退出(&Q)"}));
    // The hyphen items do nothing when chosen.
    form1()->menuItem("N5")->trigger();
    EXPECT_TRUE(dialogs.informations.isEmpty() && dialogs.confirmations.isEmpty());
}

TEST_F(MainWindow, LabelsOfTheAdmissionRecordCarryTheirCaptions)
{
    start();
    const std::pair<const char *, const char *> labels[] = {
        {"Label22", "姓名："}, {"Label21", "出 生 地："}, {"Label6", "性别："},   {"Label18", "职  业："},
        {"Label5", "年龄："},  {"Label4", "入院日期："},  {"Label93", "民族："},  {"Label3", "记录日期："},
        {"Label2", "婚姻："},  {"Label15", "病史陈述者："}, {"Label9", "主诉："}, {"Label8", "现病史："},
        {"Label19", "既往史："}, {"Label10", "个人史："}, {"Label11", "家族史："}, {"Label14", "入院诊断："},
    };
    for (const auto &[name, caption] : labels) {
        auto *label = find<QLabel>(name);
        ASSERT_TRUE(label) << name;
        EXPECT_EQ(label->text(), QString::fromUtf8(caption));
        EXPECT_GE(label->width(), label->sizeHint().width()) << name; // not clipped
    }
    // Every column has its control, named as the table names it.
    for (const Column &column : columns::all()) {
        if (column.kind == ColumnKind::Flag)
            continue; // the ticks live in the past-history builder
        EXPECT_TRUE(find<QWidget>(column.control)) << column.name;
    }
    EXPECT_EQ(find<QWidget>("DBMemo1")->toolTip(), "F1键、双击有效");
    EXPECT_EQ(find<QWidget>("DBMemo6")->toolTip(), "F1键有效");
    EXPECT_EQ(find<QWidget>("DBEdit18")->toolTip(), "双击有效");
}

TEST_F(MainWindow, NewRecordAnswers)
{
    addRecords({{{"Bed", "7"}, {"Name", "王五"}}});
    start();
    struct Case
    {
        std::optional<QString> answer;
        QString information; // expected information message, empty for none
        QString error;
    };
    const Case cases[] = {
        {std::nullopt, "", ""},
        {QString(""), "", ""},
        {QString("   "), "", ""},
        {QString("0"), "床号不能为零或负值！", ""},
        {QString("-3"), "床号不能为零或负值！", ""},
        {QString("100"), "晕，你家哪有这么多床！", ""},
        {QString("abc"), "", "'abc' is not a valid integer value."},
        {QString(" 7 "), "床号7已经存在，继续编辑或删除重建！", ""},
    };
    for (const Case &c : cases) {
        dialogs.informations.clear();
        dialogs.errors.clear();
        dialogs.inputAnswers.push_back(c.answer);
        form1()->menuItem("N3")->trigger();
        EXPECT_EQ(dialogs.inputCaptions.last(), "请输入床号！");
        EXPECT_EQ(dialogs.informations.join(""), c.information) << c.answer.value_or("<cancel>").toStdString();
        EXPECT_EQ(dialogs.errors.join(""), c.error);
        EXPECT_EQ(session()->state(), RecordSession::State::Browse);
        EXPECT_EQ(session()->rowCount(), 1);
    }

    dialogs.inputAnswers.push_back(QString(" 12 "));
    form1()->menuItem("N3")->trigger();
    EXPECT_EQ(session()->state(), RecordSession::State::Insert);
    EXPECT_EQ(find<QLineEdit>("DBEdit1")->text(), "12");
    dialogs.inputAnswers.push_back(QString("99"));
    form1()->menuItem("N3")->trigger(); // stores 12 first, then appends 99
    form1()->menuItem("N4")->trigger();
    const auto records = stored();
    EXPECT_TRUE(records.contains("12"));
    EXPECT_TRUE(records.contains("99"));
    EXPECT_EQ(session()->listValue(0, 0), "7");
    EXPECT_EQ(session()->listValue(1, 0), "12");
    EXPECT_EQ(session()->listValue(2, 0), "99");
}

TEST_F(MainWindow, ShortcutsTriggerTheirItems)
{
    addRecords({{{"Bed", "3"}}});
    start();
    QWidget *focus = find<QWidget>("DBEdit2");
    focus->setFocus();
    QTest::keyClick(focus, Qt::Key_N, Qt::ControlModifier); // nothing answered: Cancel
    EXPECT_EQ(dialogs.inputCaptions, QStringList{"请输入床号！"});
    dialogs.confirmAnswers.push_back(true);
    QTest::keyClick(focus, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(dialogs.confirmations, QStringList{"删除记录？"});
    EXPECT_EQ(dialogs.informations, QStringList{"出于安全考虑，此功能被取消！"});
    EXPECT_EQ(stored().size(), 1);

    type(focus, "李");
    EXPECT_EQ(session()->state(), RecordSession::State::Edit);
    QTest::keyClick(focus, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(session()->state(), RecordSession::State::Browse);
    EXPECT_EQ(stored()["3"]["Name"], "李");

    QTest::keyClick(focus, Qt::Key_B, Qt::ControlModifier); // backup chooser, cancelled
    EXPECT_EQ(dialogs.fileInitialNames, QStringList{""});
    QTest::keyClick(focus, Qt::Key_R, Qt::ControlModifier); // restore: nothing at all
    EXPECT_EQ(dialogs.informations.size(), 1);
}

TEST_F(MainWindow, ClickingAnotherPatientStoresTheEdits)
{
    addRecords({{{"Bed", "10"}, {"Name", "甲"}}, {{"Bed", "2"}, {"Name", "乙"}}});
    start();
    auto *grid = find<DBCtrlGrid>("DBCtrlGrid1");
    EXPECT_EQ(grid->panelText(0, 0), "2"); // bed 2 before bed 10
    EXPECT_EQ(grid->panelText(1, 0), "10");
    auto *name = find<QLineEdit>("DBEdit2");
    name->setFocus();
    name->selectAll();
    type(name, "乙改");
    EXPECT_EQ(grid->panelText(0, 2), "乙改");
    grid->clickPanel(1);
    EXPECT_EQ(session()->currentRow(), 1);
    EXPECT_EQ(name->text(), "甲");
    EXPECT_EQ(stored()["2"]["Name"], "乙改");
    // An unchanged edit is cancelled on leaving, not stored.
    QTest::keyClick(find<QWidget>("DBMemo1"), Qt::Key_Left);
    EXPECT_EQ(session()->state(), RecordSession::State::Edit);
    grid->clickPanel(0);
    EXPECT_EQ(session()->state(), RecordSession::State::Browse);
}

TEST_F(MainWindow, PrincipalDiagnosisFollowsNavigatorPostOnly)
{
    addRecords({{{"Bed", "1"}}});
    start();
    session()->fill("diagnosis", "  高血压病  \r\n冠心病\r\n");
    form1()->menuItem("N4")->trigger(); // Ctrl+S leaves PriDiagnosis alone
    EXPECT_EQ(stored()["1"]["PriDiagnosis"], "");

    session()->fill("diagnosis", "  高血压病  \r\n冠心病\r\n"); // Edit again
    find<DBNavigator>("DBNavigator1")->button(DBNavigator::Post)->click();
    EXPECT_EQ(stored()["1"]["PriDiagnosis"], "高血压病");
    EXPECT_EQ(find<QLineEdit>("DBEdit7")->text(), "高血压病");

    session()->fill("diagnosis", "糖尿病");
    find<DBNavigator>("DBNavigator4")->button(DBNavigator::Post)->click(); // no before-action
    EXPECT_EQ(stored()["1"]["PriDiagnosis"], "高血压病");
    session()->fill("diagnosis", "冠心病");
    find<DBNavigator>("DBNavigator3")->button(DBNavigator::Cancel)->click();
    EXPECT_EQ(stored()["1"]["PriDiagnosis"], "高血压病");
    EXPECT_EQ(find<QLineEdit>("DBEdit7")->text(), "高血压病");
}

TEST_F(MainWindow, DoubleClickFills)
{
    text::setClock([] { return QDateTime(QDate(2005, 3, 7), QTime(9, 15, 30)); });
    start(); // empty table: the first fill starts a new record
    QTest::mouseDClick(find<QWidget>("DBEdit8"), Qt::LeftButton);
    EXPECT_EQ(session()->state(), RecordSession::State::Insert);
    EXPECT_EQ(find<QLineEdit>("DBEdit8")->text(), "2005-03-07 09:15:30");
    QTest::mouseDClick(find<QWidget>("DBEdit9"), Qt::LeftButton);
    QTest::mouseDClick(find<QWidget>("DBEdit25"), Qt::LeftButton);
    QTest::mouseDClick(find<QWidget>("DBEdit6"), Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>("DBEdit6")->text(), "山东省澄岚市");
    form1()->menuItem("N4")->trigger();
    const auto record = stored()[""];
    EXPECT_EQ(record["DoA"], "2005-03-07 09:15:30");
    EXPECT_EQ(record["DoR"], "2005-03-07 09:15:30");
    EXPECT_EQ(record["tmp18"], "2005-03-07 09:15:30");
    EXPECT_EQ(record["home"], "山东省澄岚市");

    // The list's diagnosis cell changes no other column on a double-click.
    QTest::mouseDClick(find<QWidget>("DBEdit7"), Qt::LeftButton);
    EXPECT_EQ(session()->state(), RecordSession::State::Browse);
}

TEST_F(MainWindow, ClosePromptOnlyWhileEditing)
{
    addRecords({{{"Bed", "5"}, {"Name", "旧"}}});
    start();
    EXPECT_TRUE(form1()->close()); // Browse: no question
    EXPECT_TRUE(dialogs.confirmations.isEmpty());

    form1()->show();
    session()->fill("Name", "新");
    dialogs.confirmAnswers.push_back(false);
    EXPECT_TRUE(form1()->close());
    EXPECT_EQ(dialogs.confirmations, QStringList{"保存修改(取消为不保存)？"});
    EXPECT_EQ(stored()["5"]["Name"], "旧");

    form1()->show();
    dialogs.confirmAnswers.push_back(true);
    EXPECT_TRUE(form1()->close());
    EXPECT_EQ(stored()["5"]["Name"], "新");
}

TEST_F(MainWindow, BackupThroughTheSharedSaveDialog)
{
    addRecords({{{"Bed", "1"}, {"Name", "<张&三>"}}});
    start();
    session()->fill("age", "45"); // an edit in progress is posted first
    const QString xml = dir.filePath("backup.XML");
    dialogs.fileAnswers.push_back(xml);
    form1()->menuItem("N8")->trigger();
    ASSERT_TRUE(QFile::exists(xml));
    EXPECT_EQ(stored()["1"]["age"], "45");
    QFile file(xml);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("&lt;张&amp;三&gt;"));
    // The dialog opens with the name chosen last time.
    form1()->menuItem("N8")->trigger();
    EXPECT_EQ(dialogs.fileInitialNames.last(), xml);
    dialogs.fileAnswers.push_back(dir.filePath("no/such/folder/b.dat"));
    form1()->menuItem("N8")->trigger();
    EXPECT_EQ(dialogs.errors.size(), 1);
}

TEST_F(MainWindow, AboutDisablesTheMainWindowUntilClosed)
{
    start();
    form1()->menuItem("About1")->trigger();
    QWidget *about = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == "Form8")
            about = w;
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), "自由软件");
    EXPECT_EQ(about->findChild<QLabel *>("Label1")->text(), "Quillcase BetaVersion-0.03.8");
    EXPECT_FALSE(about->findChild<QLabel *>("Label5")->isVisibleTo(about));
    EXPECT_FALSE(about->findChild<QLabel *>("Label8")->isVisibleTo(about));
    EXPECT_FALSE(form1()->isEnabled());
    about->findChild<QPushButton *>("Button2")->click();
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(form1()->isEnabled());
    form1()->menuItem("About1")->trigger();
    about->close(); // the close box
    EXPECT_TRUE(form1()->isEnabled());
    // Help with the help file missing shows nothing.
    form1()->menuItem("N1")->trigger();
    EXPECT_TRUE(dialogs.errors.isEmpty());
}
