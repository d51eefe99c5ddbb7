// Not a test: takes the help file's pictures from the real windows. Run by hand on a
// real X server (Xvfb) with the folder to write into:
//   QC_SCREENSHOTS=$PWD/packaging/help/images xvfb-run -a -s "-screen 0 1366x768x24"
//     env QT_QPA_PLATFORM=xcb build/tests/test_gui --gtest_also_run_disabled_tests
//     --gtest_filter='*HelpScreenshots*'
// then build again, so that the help file carries the new pictures.
#include "AppFixture.h"
#include "app/HelpWindow.h"
#include "app/TForm1.h"
#include "app/Translations.h"
#include "builders/TForm3.h"
#include "documents/TForm7.h"
#include "records/DBMemo.h"

#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QTabWidget>
#include <QTimer>

using HelpScreenshots = AppFixture;

namespace {

void save(QWidget *window, const QString &name)
{
    QApplication::processEvents();
    QTest::qWait(300);
    const QString folder = qEnvironmentVariable("QC_SCREENSHOTS");
    EXPECT_TRUE(window->grab().save(folder + QLatin1Char('/') + name)) << name.toStdString();
}

} // namespace

TEST_F(HelpScreenshots, DISABLED_Take)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("QC_SCREENSHOTS"));
    loadQtTranslations();
    addRecords({{{"Bed", "3"},
                 {"ID", "2026120301"},
                 {"Name", "王建国"},
                 {"sex", "男"},
                 {"age", "65岁"},
                 {"marriage", "已婚"},
                 {"tmp20", "汉族"},
                 {"home", "江苏南京"},
                 {"Occupation", "退休工人"},
                 {"describer", "患者本人"},
                 {"DoA", "2026-12-03 09:15:30"},
                 {"DoR", "2026-12-03 10:40:00"},
                 {"complaint", "反复咳嗽、咳痰10年，加重伴气促3天"},
                 {"PresentIllness", "患者10年前无明显诱因出现咳嗽、咳痰，多为白色黏痰，每年冬春季节发作。"
                                    "3天前受凉后咳嗽加重，咳黄脓痰，伴活动后气促。"},
                 {"PastHistory", "既往有高血压病史5年，否认糖尿病、冠心病史。"},
                 {"PersonalHistory", "生于原籍，吸烟40年，每日20支。"},
                 {"FamilyHistory", "父母已故，家族中无类似疾病。"},
                 {"diagnosis", "1.慢性阻塞性肺疾病急性加重\r\n2.高血压病2级"},
                 {"PriDiagnosis", "慢性阻塞性肺疾病急性加重"}},
                {{"Bed", "5"},
                 {"ID", "2026120415"},
                 {"Name", "李秀英"},
                 {"sex", "女"},
                 {"age", "58岁"},
                 {"PriDiagnosis", "2型糖尿病"}},
                {{"Bed", "12"},
                 {"ID", "2026120522"},
                 {"Name", "陈明"},
                 {"sex", "男"},
                 {"age", "42岁"},
                 {"PriDiagnosis", "社区获得性肺炎"}}});
    start();
    save(form1(), QStringLiteral("main.png"));

    // A double-click on the chief complaint shows its phrases in the template editor.
    QTest::mouseDClick(find<QLineEdit>("DBEdit18"), Qt::LeftButton);
    save(form1(), QStringLiteral("phrases.png"));

    QTest::keyClick(find<DBMemo>("DBMemo1"), Qt::Key_F1);
    save(windows->form3(), QStringLiteral("builder.png"));
    windows->form3()->close();

    QApplication::processEvents();
    form1()->menuItem("Generate1")->trigger();
    TForm7 *form7 = windows->form7();
    save(form7, QStringLiteral("document.png"));
    // The preview runs its own loop: taken from inside it, then closed.
    QTimer::singleShot(1500, [] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *preview = qobject_cast<QPrintPreviewDialog *>(w); preview && preview->isVisible()) {
                preview->resize(900, 700);
                save(preview, QStringLiteral("preview.png"));
                preview->reject();
            }
        }
    });
    form7->N2Click();
    form7->close();

    // The program's own help window, over the help file of this build.
    HelpWindow help(QStringLiteral(QC_BINARY_DIR "/Quillcase.chm"));
    help.resize(860, 560);
    help.show();
    help.showPage(QStringLiteral("keys.html"));
    save(&help, QStringLiteral("helpwindow.png"));
}
