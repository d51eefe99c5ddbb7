// The Options dialog: the input-method box's text reaching the 45 fields on every
// close, the department name changing only on a choice, the input-method list
// refreshed by either box's drop-down, and the main window disabled while it shows.
#include "options/InputMethodBinding.h"
#include "options/InputMethodFields.h"
#include "options/InputMethodService.h"
#include "options/TForm9.h"
#include "phrases/DropDownComboBox.h"
#include "records/DBComboBox.h"
#include "records/DBEdit.h"
#include "records/DBMemo.h"
#include "text/SharedValues.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "QtPrinters.h"

using namespace inputmethods;

namespace {

class ListingService : public InputMethodService
{
public:
    QStringList names = {QStringLiteral("五笔字型"), QStringLiteral("拼音")};
    int requests = 0;
    QString kind() const override { return QStringLiteral("listing"); }
    QStringList inputMethods() override
    {
        ++requests;
        return names;
    }
    void activate(const QString &) override {}
    void deactivate() override {}
};

// Notes the order in which the fields receive an input-method name.
class NameOrder : public QObject
{
public:
    QStringList received;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::DynamicPropertyChange &&
            static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName() ==
                InputMethodBinding::NameProperty)
            received.append(watched->objectName());
        return false;
    }
};

// A plain main window holding the 45 fields (in another order than the list's, so
// that the order of naming comes from the list), the diagnosis cell and two fields
// that are not in the list.
struct Fixture
{
    QWidget main;
    ListingService service;
    NameOrder order;
    TForm9 form;

    Fixture() : form(&service, [this] { return inputMethodFields(&main); })
    {
        QStringList names = inputMethodFieldNames();
        std::reverse(names.begin(), names.end());
        names << QString::fromLatin1(DiagnosisCellName) << QStringLiteral("DBMemo6")
              << QStringLiteral("DBComboBox1");
        int y = 0;
        for (const QString &name : names) {
            QWidget *field = nullptr;
            if (name.startsWith(QLatin1String("DBMemo")))
                field = new DBMemo(&main);
            else if (name.startsWith(QLatin1String("DBComboBox")))
                field = new DBComboBox(&main);
            else
                field = new DBEdit(&main);
            field->setObjectName(name);
            field->setGeometry(0, y, 100, 20);
            y += 20;
            field->installEventFilter(&order);
        }
        SecondaryWindow::setMainWindow(&main);
        text::shared().departmentName.clear();
        main.show();
    }
    ~Fixture()
    {
        SecondaryWindow::setMainWindow(nullptr);
        text::shared().departmentName.clear();
    }

    QWidget *field(const QString &name) const { return main.findChild<QWidget *>(name); }
    bool hasName(const QString &field) const
    {
        return this->field(field)->property(InputMethodBinding::NameProperty).isValid();
    }
    // Replaces the box's text the way Chinese arrives from an input method: the old
    // text selected and deleted, the new one committed.
    void typeInto(DropDownComboBox *box, const QString &text)
    {
        box->lineEdit()->selectAll();
        QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(box->lineEdit(), &commit);
    }
};

// Picks the item of a dropped-down list with the keyboard, as a user would.
void chooseFromList(DropDownComboBox *box, int index)
{
    box->showPopup();
    QAbstractItemView *view = box->view();
    view->setCurrentIndex(view->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
    QCoreApplication::processEvents();
}

} // namespace

TEST(Form9, StartsHiddenWithItsControlsAndEmptyBoxes)
{
    Fixture f;
    EXPECT_FALSE(f.form.isVisible());
    EXPECT_EQ(f.form.windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(f.form.size(), QSize(590, 380));
    EXPECT_EQ(f.form.findChild<QLabel *>("Label12")->text(), QStringLiteral("选择中文输入法："));
    EXPECT_EQ(f.form.findChild<QLabel *>("Label1")->text(), QStringLiteral("选择科室名称："));
    EXPECT_EQ(f.form.findChild<QPushButton *>("Button2")->text(), QStringLiteral("Ok"));
    EXPECT_NE(f.form.findChild<QWidget *>("Panel1"), nullptr);

    DropDownComboBox *methods = f.form.findChild<DropDownComboBox *>("ComboBox7");
    DropDownComboBox *departments = f.form.findChild<DropDownComboBox *>("ComboBox1");
    ASSERT_TRUE(methods && departments);
    EXPECT_TRUE(methods->isEditable());
    EXPECT_EQ(methods->count(), 0); // filled only when it drops down
    EXPECT_EQ(methods->currentText(), QString());
    EXPECT_EQ(f.service.requests, 0);
    EXPECT_TRUE(departments->isEditable());
    QStringList items;
    for (int i = 0; i < departments->count(); ++i)
        items << departments->itemText(i);
    EXPECT_EQ(items, QStringList({"呼吸内科", "消化内科", "心内科", "肾内科", "内分泌科", "神经内科"}));
    EXPECT_EQ(departments->currentText(), QString());
}

// Ok and the close box alike give every one of the 45 fields the box's text, in the
// list's order, whether empty, installed or unknown; nothing else gets a name.
TEST(Form9, EveryCloseAppliesTheInputMethodTextToTheFortyFiveFieldsInOrder)
{
    struct Case
    {
        const char *how;
        bool byOk;
        QString typed;
    };
    const QList<Case> cases = {
        {"Ok untouched", true, QString()},
        {"close box untouched", false, QString()},
        {"Ok with an installed name", true, QStringLiteral("拼音")},
        {"close box with an installed name", false, QStringLiteral("拼音")},
        {"Ok with a name nobody has", true, QStringLiteral("仓颉 9")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.how);
        Fixture f;
        f.form.showOverMainWindow();
        EXPECT_TRUE(f.form.isVisible());
        EXPECT_FALSE(f.main.isEnabled());
        if (!c.typed.isEmpty())
            f.typeInto(f.form.comboBox7(), c.typed);
        // Typing alone changes no field: names change only on closing.
        EXPECT_TRUE(f.order.received.isEmpty());

        if (c.byOk)
            QTest::mouseClick(f.form.button2(), Qt::LeftButton);
        else
            f.form.close();

        EXPECT_FALSE(f.form.isVisible());
        EXPECT_TRUE(f.main.isEnabled());
        EXPECT_EQ(f.order.received, inputMethodFieldNames());
        for (const QString &name : inputMethodFieldNames())
            EXPECT_EQ(InputMethodBinding::inputMethodName(f.field(name)), c.typed) << name.toStdString();
        for (const char *other : {"DBEdit7", "DBMemo6", "DBComboBox1"})
            EXPECT_FALSE(f.hasName(QString::fromLatin1(other))) << other;
    }
}

// The names last until the next close, which replaces them; the box keeps its text
// between openings.
TEST(Form9, ANewCloseReplacesTheNamesAndTheBoxKeepsItsText)
{
    Fixture f;
    f.form.showOverMainWindow();
    f.typeInto(f.form.comboBox7(), QStringLiteral("拼音"));
    f.form.Button2Click();
    f.form.showOverMainWindow();
    EXPECT_FALSE(f.main.isEnabled());
    EXPECT_EQ(f.form.comboBox7()->currentText(), QStringLiteral("拼音"));
    f.form.comboBox7()->clearEditText();
    f.form.close();
    EXPECT_TRUE(f.main.isEnabled());
    EXPECT_EQ(f.order.received.size(), 90);
    EXPECT_EQ(InputMethodBinding::inputMethodName(f.field("DBMemo1")), QString());
    EXPECT_EQ(InputMethodBinding::inputMethodName(f.field("DBComboBox44")), QString());
}

TEST(Form9, TheDepartmentChangesOnlyWhenAnItemIsChosen)
{
    Fixture f;
    f.form.showOverMainWindow();
    DropDownComboBox *departments = f.form.comboBox1();

    chooseFromList(departments, 2);
    EXPECT_EQ(text::shared().departmentName, QStringLiteral("心内科"));
    EXPECT_EQ(departments->currentText(), QStringLiteral("心内科"));

    // Typing, even an offered item ended with Return, and leaving the box is no choice.
    for (const QString &typed : {QStringLiteral("儿科"), QStringLiteral("肾内科"), QString()}) {
        SCOPED_TRACE(typed.toStdString());
        f.typeInto(departments, typed);
        QTest::keyClick(departments->lineEdit(), Qt::Key_Return);
        f.form.close();
        EXPECT_EQ(text::shared().departmentName, QStringLiteral("心内科"));
        f.form.showOverMainWindow();
    }

    // A later choice replaces it, and it outlasts closing and reopening.
    chooseFromList(departments, 5);
    f.form.close();
    f.form.showOverMainWindow();
    EXPECT_EQ(text::shared().departmentName, QStringLiteral("神经内科"));
    f.form.close();
}

TEST(Form9, EitherDropDownRefreshesTheInputMethodListAndKeepsItsText)
{
    struct Case
    {
        const char *what;
        bool departmentBox; // which box drops down
        QString text;       // the input-method box's text before
    };
    const QList<Case> cases = {
        {"own list, empty text", false, QString()},
        {"own list, listed name", false, QStringLiteral("拼音")},
        {"department list, empty text", true, QString()},
        {"department list, listed name", true, QStringLiteral("五笔字型")},
        {"department list, unknown name", true, QStringLiteral("自然码")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        f.form.showOverMainWindow();
        DropDownComboBox *methods = f.form.comboBox7();
        methods->addItem(QStringLiteral("stale"));
        methods->setEditText(c.text);
        f.service.names = {QStringLiteral("五笔字型"), QStringLiteral("拼音"), QStringLiteral("英语")};

        DropDownComboBox *dropping = c.departmentBox ? f.form.comboBox1() : methods;
        dropping->showPopup();
        dropping->hidePopup();
        QCoreApplication::processEvents();

        EXPECT_EQ(f.service.requests, 1);
        QStringList items;
        for (int i = 0; i < methods->count(); ++i)
            items << methods->itemText(i);
        EXPECT_EQ(items, f.service.names);
        EXPECT_EQ(methods->currentText(), c.text);
        EXPECT_EQ(f.form.comboBox1()->count(), 6); // the department list is not touched
        EXPECT_EQ(f.form.comboBox1()->currentText(), QString());
        EXPECT_EQ(text::shared().departmentName, QString());
        f.form.close();
        EXPECT_EQ(InputMethodBinding::inputMethodName(f.field("DBEdit2")), c.text);
    }
}

// Choosing an input method from the refreshed list puts it into the box; closing gives it out.
TEST(Form9, AChosenInputMethodReachesTheFields)
{
    Fixture f;
    f.form.showOverMainWindow();
    chooseFromList(f.form.comboBox7(), 1);
    EXPECT_EQ(f.form.comboBox7()->currentText(), QStringLiteral("拼音"));
    EXPECT_EQ(text::shared().departmentName, QString()); // the input-method box sets no department
    f.form.close();
    EXPECT_EQ(InputMethodBinding::inputMethodName(f.field("DBComboBox3")), QStringLiteral("拼音"));
}

TEST(Form9, WithoutServiceTheListStaysEmpty)
{
    QWidget main;
    TForm9 form(nullptr, [&main] { return inputMethodFields(&main); });
    form.comboBox7()->setEditText(QStringLiteral("拼音"));
    form.ComboBox7DropDown();
    EXPECT_EQ(form.comboBox7()->count(), 0);
    EXPECT_EQ(form.comboBox7()->currentText(), QStringLiteral("拼音"));
    form.close(); // no main window set, no fields: nothing to do
}

// Renders the dialog for a look at its layout.
TEST(Form9, RendersToAPicture)
{
    Fixture f;
    f.form.showOverMainWindow();
    f.form.comboBox7()->setEditText(QStringLiteral("拼音"));
    const QImage image = f.form.grab().toImage();
    EXPECT_EQ(image.size(), QSize(590, 380) * image.devicePixelRatio());
    const QString path = QStringLiteral(QC_BINARY_DIR "/tests/form9.png");
    EXPECT_TRUE(image.save(path));
    f.form.close();
}
