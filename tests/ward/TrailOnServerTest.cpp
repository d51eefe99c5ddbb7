// The trail viewer and archiving through the program's windows over the ward server: the
// server writes the trail under the signed-in role, and an archived record is read-only for
// every desktop.
#include "WardFixture.h"
#include "records/TFormHistory.h"
#include "text/Error.h"

#include <QAction>
#include <QLineEdit>

namespace {

using TrailOnServer = WardFixture;

TEST_F(TrailOnServer, TheViewerShowsTheServersTrailAndArchivingHoldsOnEveryDesktop)
{
    addServerRecords({{{"Bed", "1"}, {"Name", "张三"}, {"PresentIllness", "咳嗽3天"}}});
    start();
    session()->fill("PresentIllness", "咳嗽5天，发热");
    session()->post();
    dialogs.confirmAnswers = {true};
    form1()->menuItem("Archive1")->trigger();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("|").toStdString();
    ASSERT_TRUE(session()->isArchived());

    form1()->menuItem("History1")->trigger();
    TFormHistory *history = windows->formHistory();
    ASSERT_TRUE(history->isVisible());
    const QString html = history->shownHtml();
    EXPECT_TRUE(html.contains("现病史：")) << html.toStdString();
    EXPECT_TRUE(html.contains(doctor)) << "the operator is the signed-in role";
    EXPECT_LT(html.indexOf("归档："), html.indexOf("现病史："));
    history->close();

    // Another doctor's desktop cannot change the archived record either.
    auto other = ward->openAs(ward->addDoctor(QStringLiteral("张医生")));
    const qint64 id = other->loadList().at(0).rowId;
    EXPECT_TRUE(other->isArchived(id));
    other->loadRecord(id);
    EXPECT_THROW(other->updateRecord(id, {{columns::indexOf("Name"), QStringLiteral("改")}}), Error);
    EXPECT_EQ(other->loadRecord(id).value(columns::indexOf("Name")), "张三");
}

} // namespace
