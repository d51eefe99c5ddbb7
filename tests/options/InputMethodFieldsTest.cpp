// The Chinese entry fields of the main window: which ones take the Options dialog's
// input-method name, in which order, and which ones switch the input method on.
#include "options/InputMethodFields.h"
#include "options/InputMethodBinding.h"
#include "options/InputMethodService.h"
#include "records/ColumnTable.h"
#include "records/DBComboBox.h"
#include "records/DBEdit.h"
#include "records/DBMemo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "RecordingService.h"

using namespace inputmethods;

namespace {


// A bound control of the kind the main window uses for that objectName.
QWidget *makeField(const QString &name, QWidget *parent)
{
    QWidget *field = nullptr;
    if (name.startsWith(QLatin1String("DBMemo")))
        field = new DBMemo(parent);
    else if (name.startsWith(QLatin1String("DBComboBox")))
        field = new DBComboBox(parent);
    else
        field = new DBEdit(parent);
    field->setObjectName(name);
    return field;
}

// A stand-in main window with every control of the column table, placed on nested
// panels as the real one places them on tabs.
struct FakeMainWindow
{
    QWidget window;
    FakeMainWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        auto *inner = new QWidget;
        auto *innerLayout = new QVBoxLayout(inner);
        layout->addWidget(inner);
        for (const Column &column : columns::all()) {
            const QString control = QString::fromLatin1(column.control);
            if (control.startsWith(QLatin1String("DB")) && !window.findChild<QWidget *>(control))
                innerLayout->addWidget(makeField(control, inner));
        }
    }
    QWidget *field(const QString &name) const { return window.findChild<QWidget *>(name); }
};

// A focus event and the turn of the event loop after it, when the binding has switched.
void sendFocus(QWidget *field, QEvent::Type type)
{
    QFocusEvent event(type, Qt::TabFocusReason);
    QCoreApplication::sendEvent(field, &event);
    QCoreApplication::processEvents();
}

bool activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    QElapsedTimer timer;
    timer.start();
    while (!window.isActiveWindow() && timer.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return window.isActiveWindow();
}

} // namespace

TEST(InputMethodFields, FortyFiveFieldsHistoryFirstThenExaminationBoxesInTableOrder)
{
    const QStringList &names = inputMethodFieldNames();
    ASSERT_EQ(names.size(), 45);
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 45);
    EXPECT_EQ(names.mid(0, 9), QStringList({"DBEdit2", "DBEdit26", "DBEdit6", "DBComboBox3", "DBEdit18",
                                            "DBMemo1", "DBMemo2", "DBMemo3", "DBMemo4"}));
    // The rest are the examination boxes that offer one default phrase (skin to
    // thyroid, lung1 to NSystem with BVsign), in the order the examination tabs hold them.
    QStringList examination;
    for (const Column &column : columns::all())
        if (QString::fromUtf8(column.tab) == QStringLiteral("体格检查") &&
            QString::fromLatin1(column.control).startsWith(QLatin1String("DBComboBox")) &&
            column.offered.size() == 1)
            examination.append(QString::fromLatin1(column.control));
    EXPECT_EQ(names.mid(9), examination);
    EXPECT_EQ(names.at(9), QStringLiteral("DBComboBox20"));  // skin
    EXPECT_EQ(names.at(36), QStringLiteral("DBComboBox53")); // BVsign after heart4
    EXPECT_EQ(names.at(44), QStringLiteral("DBComboBox44")); // NSystem last
    EXPECT_FALSE(names.contains(QString::fromLatin1(DiagnosisCellName)));
}

TEST(InputMethodFields, FoundInTheMainWindowInOrderMissingOnesLeftOut)
{
    FakeMainWindow main;
    QList<QWidget *> fields = inputMethodFields(&main.window);
    ASSERT_EQ(fields.size(), 45);
    for (int i = 0; i < fields.size(); ++i)
        EXPECT_EQ(fields.at(i)->objectName(), inputMethodFieldNames().at(i));

    delete main.field(QStringLiteral("DBMemo2"));
    fields = inputMethodFields(&main.window);
    EXPECT_EQ(fields.size(), 44);
    EXPECT_EQ(fields.at(6)->objectName(), QStringLiteral("DBMemo3"));
    EXPECT_TRUE(inputMethodFields(nullptr).isEmpty());
}

// The 45 fields and the diagnosis cell switch the input method on, every other
// control of the record leaves it alone; the diagnosis cell never has a name.
TEST(InputMethodFields, BindingCoversTheListAndTheDiagnosisCellOnly)
{
    FakeMainWindow main;
    RecordingService service;
    InputMethodBinding binding(&service);
    bindInputMethodFields(&main.window, binding);
    for (QWidget *field : inputMethodFields(&main.window))
        InputMethodBinding::setInputMethodName(field, QStringLiteral("拼音"));

    for (const Column &column : columns::all()) {
        const QString control = QString::fromLatin1(column.control);
        QWidget *field = main.field(control);
        if (!field)
            continue;
        SCOPED_TRACE(control.toStdString());
        service.calls.clear();
        sendFocus(field, QEvent::FocusIn);
        sendFocus(field, QEvent::FocusOut);
        QStringList expected;
        if (inputMethodFieldNames().contains(control))
            expected = {"on:拼音", "off"};
        else if (control == QLatin1String(DiagnosisCellName))
            expected = {"on:", "off"};
        EXPECT_EQ(service.calls, expected);
    }
    bindInputMethodFields(nullptr, binding); // no main window: nothing to bind
}

// Clicking into the edit part of an examination box gives the focus to the box, whose
// name is then switched on; moving on to a memo and a plain field switches over and off.
TEST(InputMethodFields, RealFocusThroughTheComboBoxEditAndTheMemoViewport)
{
    FakeMainWindow main;
    RecordingService service;
    InputMethodBinding binding(&service);
    bindInputMethodFields(&main.window, binding);
    const QList<QWidget *> fields = inputMethodFields(&main.window);
    for (QWidget *field : fields)
        InputMethodBinding::setInputMethodName(field, QStringLiteral("五笔"));
    if (!activate(main.window))
        GTEST_SKIP() << "the platform does not activate windows";

    auto *skin = qobject_cast<DBComboBox *>(main.field(QStringLiteral("DBComboBox20")));
    auto *history = qobject_cast<DBMemo *>(main.field(QStringLiteral("DBMemo1")));
    QWidget *plain = main.field(QStringLiteral("DBEdit1")); // not a Chinese entry field
    ASSERT_TRUE(skin && history && plain);
    plain->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    service.calls.clear();

    QTest::mouseClick(skin->lineEdit(), Qt::LeftButton, {}, QPoint(5, 5));
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), skin);
    skin->lineEdit()->setFocus(Qt::MouseFocusReason); // again: the focus stays in the box
    QCoreApplication::processEvents();
    QTest::mouseClick(history->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCoreApplication::processEvents();
    plain->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(service.calls, QStringList({"on:五笔", "off", "on:五笔", "off"}));
}
