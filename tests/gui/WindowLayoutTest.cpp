// The windows on real screens: the main window's frame keeps its size but maximises
// with its page controls anchored, every window fits a small or scaled screen with
// its buttons reachable, and the disabled main window stays readable.
#include "AppFixture.h"
#include "app/MainLayout.h"
#include "app/TForm8.h"
#include "builders/TForm10.h"
#include "builders/TForm3.h"
#include "builders/TForm4.h"
#include "builders/TForm5.h"
#include "builders/TSymptoms.h"
#include "documents/TForm7.h"
#include "options/TForm9.h"
#include "records/DBEdit.h"
#include "records/ScreenFit.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>

namespace {

bool waitFor(const std::function<bool()> &condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

// The darkest grey level of a widget's picture: text drawn black is near 0.
int darkest(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    int level = 255;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            level = std::min(level, qGray(image.pixel(x, y)));
    return level;
}

} // namespace

TEST(MainLayout, PageControlsKeepTheirPlacesAndAnchors)
{
    const mainlayout::PageGeometry designed = mainlayout::pageGeometry(QSize(931, 682));
    EXPECT_EQ(designed.left, QRect(2, 2, 494, 678));
    EXPECT_EQ(designed.right, QRect(498, 2, 431, 678));
    // Maximised: the left grows both ways, the right keeps its width at the right edge.
    const mainlayout::PageGeometry big = mainlayout::pageGeometry(QSize(1366, 700));
    EXPECT_EQ(big.left, QRect(2, 2, 929, 696));
    EXPECT_EQ(big.right, QRect(933, 2, 431, 696));
    // Never smaller than designed: the surface scrolls instead.
    EXPECT_EQ(mainlayout::pageGeometry(QSize(800, 500)).right, designed.right);
}

TEST(ScreenFit, SizesAndPlacesInsideTheArea)
{
    const QRect area(0, 0, 1366, 728);
    const QMargins frame(4, 30, 4, 4);
    EXPECT_EQ(screenfit::fittedClientSize(QSize(522, 660), area, frame), QSize(522, 660));
    EXPECT_EQ(screenfit::fittedClientSize(QSize(931, 706), area, frame), QSize(931, 694));
    EXPECT_EQ(screenfit::fittedClientSize(QSize(1500, 900), QRect(0, 0, 1280, 690), frame), QSize(1272, 656));
    struct Case
    {
        QPoint wanted;
        QSize frame;
        QPoint placed;
    };
    const std::vector<Case> cases = {
        {{100, 50}, {600, 400}, {100, 50}},  // inside already
        {{900, 500}, {600, 400}, {766, 328}}, // over the bottom right: moved back
        {{-40, -10}, {600, 400}, {0, 0}},     // over the top left
        {{10, 10}, {2000, 900}, {0, 0}},      // bigger than the area: the top left wins
    };
    for (const Case &c : cases)
        EXPECT_EQ(screenfit::placedFramePosition(c.wanted, c.frame, area), c.placed);
    // A panel at the top moves the area; the window follows it.
    EXPECT_EQ(screenfit::placedFramePosition({0, 0}, {600, 400}, QRect(0, 40, 1366, 728)), QPoint(0, 40));
}

using WindowLayout = AppFixture;

TEST_F(WindowLayout, MainFrameKeepsItsSizeAndMaximisesWithAnchoredPages)
{
    start();
    TForm1 *main = form1();
    const QSize normal = main->size();
    auto *surface = main->findChild<QWidget *>("ClientSurface");
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->size(), mainlayout::designedClient);
    EXPECT_EQ(main->pageControl2()->geometry(), QRect(2, 2, 494, 678));
    EXPECT_EQ(main->pageControl1()->geometry(), QRect(498, 2, 431, 678));

    // Dragging the frame to another size is taken back.
    main->resize(normal + QSize(120, 60));
    EXPECT_TRUE(waitFor([&] { return main->size() == normal; }));

    main->showMaximized();
    ASSERT_TRUE(waitFor([&] { return main->isMaximized() && main->width() > normal.width(); }));
    QApplication::processEvents();
    const QSize grown = surface->size();
    EXPECT_GT(grown.width(), 931);
    EXPECT_GT(grown.height(), 682);
    EXPECT_EQ(main->pageControl2()->geometry(), QRect(2, 2, grown.width() - 437, grown.height() - 4));
    EXPECT_EQ(main->pageControl1()->geometry(), QRect(grown.width() - 433, 2, 431, grown.height() - 4));

    main->showNormal();
    ASSERT_TRUE(waitFor([&] { return !main->isMaximized() && main->size() == normal; }));
    EXPECT_TRUE(waitFor([&] { return main->pageControl1()->geometry() == QRect(498, 2, 431, 678); }));
}

TEST_F(WindowLayout, EveryWindowFitsSmallAndScaledScreensWithItsButtonsReachable)
{
    start();
    const std::vector<QWidget *> secondary = {windows->form3(),    windows->form4(), windows->form5(),
                                              windows->symptoms(), windows->form7(), windows->form8(),
                                              windows->form9(),    windows->form10()};
    // 1366 x 768 with a task bar, and 1920 x 1080 at 150 % with one.
    for (const QRect &area : {QRect(0, 0, 1366, 728), QRect(0, 0, 1280, 690)}) {
        SCOPED_TRACE(testing::Message() << area.width() << "x" << area.height());
        form1()->fitInto(area);
        std::vector<QWidget *> all = secondary;
        all.push_back(form1());
        for (QWidget *window : all) {
            SCOPED_TRACE(window->objectName().toStdString() + " " + window->windowTitle().toStdString());
            if (window != form1())
                screenfit::fitWindow(window, area);
            const QMargins frame = screenfit::frameOf(window);
            const QRect frameRect(window->pos(), window->size().grownBy(frame));
            EXPECT_TRUE(area.contains(frameRect)) << frameRect.x() << "," << frameRect.y() << " "
                                                  << frameRect.width() << "x" << frameRect.height();
            window->show();
            QApplication::processEvents();
            for (QPushButton *button : window->findChildren<QPushButton *>()) {
                if (!button->isVisibleTo(window))
                    continue;
                SCOPED_TRACE(button->objectName().toStdString());
                for (QWidget *w = button->parentWidget(); w && w != window; w = w->parentWidget())
                    if (auto *scroll = qobject_cast<QScrollArea *>(w))
                        scroll->ensureWidgetVisible(button);
                    else if (auto *tabs = qobject_cast<QTabWidget *>(w->parentWidget()
                                                                          ? w->parentWidget()->parentWidget()
                                                                          : nullptr))
                        tabs->setCurrentWidget(w);
                QApplication::processEvents();
                const QRect shown(button->mapTo(window, QPoint(0, 0)), button->size());
                EXPECT_TRUE(window->rect().contains(shown))
                    << shown.x() << "," << shown.y() << " in " << window->width() << "x" << window->height();
            }
            if (window != form1())
                window->hide();
        }
    }
    // On a big screen the windows keep their designed sizes.
    screenfit::fitWindow(windows->form7(), QRect(0, 0, 1920, 1050));
    EXPECT_EQ(static_cast<QWidget *>(windows->form7())->size(), QSize(522, 660));
    form1()->fitInto(QRect(0, 0, 1920, 1050));
    EXPECT_EQ(form1()->findChild<QWidget *>("ClientSurface")->size(), mainlayout::designedClient);
}

TEST_F(WindowLayout, DisabledMainWindowKeepsItsTextsReadable)
{
    addRecords({{{"Bed", "1"}, {"Name", "张三"}}});
    start();
    auto *name = find<DBEdit>("DBEdit2");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->text(), "张三");
    const int enabledLevel = darkest(name);
    form1()->menuItem("Options1")->trigger();
    ASSERT_FALSE(form1()->isEnabled());
    EXPECT_FALSE(name->isEnabled());
    EXPECT_LE(darkest(name), enabledLevel + 10) << "the name is drawn as dark as when enabled";
    EXPECT_LT(darkest(name), 80);
    for (const char *field : {"DBEdit2", "DBMemo1", "DBComboBox3"}) {
        auto *widget = find<QWidget>(field);
        ASSERT_TRUE(widget) << field;
        EXPECT_EQ(widget->palette().color(QPalette::Disabled, QPalette::Text),
                  widget->palette().color(QPalette::Active, QPalette::Text))
            << field;
    }
    windows->form9()->close();
    EXPECT_TRUE(form1()->isEnabled());
}
