#include "builders/TForm5.h"
#include "builders/BuilderControls.h"
#include "builders/MemoLineComposition.h"
#include "phrases/DropDownComboBox.h"
#include "records/Dialogs.h"
#include "records/ErrorBox.h"
#include "records/RecordSession.h"
#include "text/PhraseFile.h"
#include "text/SharedValues.h"

#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm5::TForm5(RecordSession *session, std::function<void()> openPhraseFolder)
    : SecondaryWindow(QStringLiteral("辅  助  检  查")), m_session(session),
      m_openPhraseFolder(std::move(openPhraseFolder))
{
    setObjectName(QStringLiteral("Form5"));
    builders::setUpBuilderWindow(this, 530, 490);
    buildControls();
}

void TForm5::buildControls()
{
    using namespace builders;
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel11"));
    panel->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(panel);
    auto *rows = new QVBoxLayout(panel);
    rows->setContentsMargins(12, 12, 12, 10);
    rows->setSpacing(10);

    // Name, date and place: the head of every line.
    m_comboBox1 = new DropDownComboBox(panel);
    m_comboBox1->setObjectName(QStringLiteral("ComboBox1"));
    m_comboBox1->setMaxVisibleItems(20);
    m_comboBox1->setEditText(QStringLiteral("血常规"));
    m_comboBox1->setMinimumWidth(150);
    connect(m_comboBox1, &DropDownComboBox::droppingDown, this,
            [this] { runHandler([this] { ComboBox1DropDown(); }); });
    QLabel *label91 = makeLabel("Label91", QStringLiteral("检查时间："), panel);
    m_dateTimePicker1 = new QDateEdit(QDate(2007, 5, 8), panel);
    m_dateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    m_dateTimePicker1->setDisplayFormat(QStringLiteral("yyyy-M-d"));
    m_dateTimePicker1->setCalendarPopup(true);
    m_comboBox2 = new QComboBox(panel);
    m_comboBox2->setObjectName(QStringLiteral("ComboBox2"));
    m_comboBox2->setEditable(true);
    m_comboBox2->setInsertPolicy(QComboBox::NoInsert);
    m_comboBox2->addItems({QStringLiteral("本院"), QStringLiteral("外院")});
    m_comboBox2->setCurrentIndex(0);
    m_comboBox2->setMinimumWidth(70);
    QHBoxLayout *head = makeRow({m_comboBox1, label91, m_dateTimePicker1, m_comboBox2, nullptr});
    head->setSpacing(6);
    rows->addLayout(head);

    // The blood-routine form, written as the line it makes.
    m_label12 = makeLabel("Label12", QStringLiteral("WBC："), panel);
    m_edit2 = makeEdit("Edit2", panel, 46);
    QLabel *label81 = makeLabel("Label81", QStringLiteral("X10^9/L、  N："), panel);
    m_edit4 = makeEdit("Edit4", panel, 46);
    QLabel *label82 = makeLabel("Label82", QStringLiteral("%、    L："), panel);
    m_edit5 = makeEdit("Edit5", panel, 46);
    QLabel *label83 = makeLabel("Label83", QStringLiteral("%、EO："), panel);
    m_edit6 = makeEdit("Edit6", panel, 46);
    QLabel *label84 = makeLabel("Label84", QStringLiteral("%。"), panel);
    rows->addLayout(makeRow(
        {m_label12, m_edit2, label81, m_edit4, label82, m_edit5, label83, m_edit6, label84, nullptr}));
    m_label119 = makeLabel("Label119", QStringLiteral("RBC："), panel);
    m_edit7 = makeEdit("Edit7", panel, 46);
    m_label120 = makeLabel("Label120", QStringLiteral("X10^12/L、HGB："), panel);
    m_edit8 = makeEdit("Edit8", panel, 46);
    QLabel *label121 = makeLabel("Label121", QStringLiteral(" g/L、MCV ："), panel);
    m_edit9 = makeEdit("Edit9", panel, 46);
    m_label122 = makeLabel("Label122", QStringLiteral("fL。"), panel);
    rows->addLayout(
        makeRow({m_label119, m_edit7, m_label120, m_edit8, label121, m_edit9, m_label122, nullptr}));
    m_label123 = makeLabel("Label123", QStringLiteral("PLT："), panel);
    m_edit10 = makeEdit("Edit10", panel, 46);
    m_label124 = makeLabel("Label124", QStringLiteral("X10^9/L。"), panel);
    rows->addLayout(makeRow({m_label123, m_edit10, m_label124, nullptr}));

    // The result text of any other examination.
    m_memo2 = new QPlainTextEdit(panel);
    m_memo2->setObjectName(QStringLiteral("Memo2"));
    m_memo2->setTabChangesFocus(true);
    rows->addWidget(m_memo2, 1);

    QPushButton *post = makeButton("Button3", QStringLiteral("Post"), panel);
    QPushButton *closeButton = makeButton("Button1", QStringLiteral("Close"), panel);
    QHBoxLayout *buttons = makeRow({post, closeButton, nullptr});
    buttons->setSpacing(8);
    rows->addLayout(buttons);
    connect(post, &QPushButton::clicked, this, [this] { runHandler([this] { Button3Click(); }); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
}

builders::ExaminationInput TForm5::input() const
{
    builders::ExaminationInput in;
    in.ComboBox1 = m_comboBox1->currentText();
    in.DateTimePicker1 = m_dateTimePicker1->date();
    in.ComboBox2 = m_comboBox2->currentText();
    in.Label12 = m_label12->text();
    in.Edit2 = m_edit2->text();
    in.Edit4 = m_edit4->text();
    in.Edit5 = m_edit5->text();
    in.Edit6 = m_edit6->text();
    in.Label119 = m_label119->text();
    in.Edit7 = m_edit7->text();
    in.Label120 = m_label120->text();
    in.Edit8 = m_edit8->text();
    in.Edit9 = m_edit9->text();
    in.Label122 = m_label122->text();
    in.Label123 = m_label123->text();
    in.Edit10 = m_edit10->text();
    in.Label124 = m_label124->text();
    // The editor keeps its lines apart with LF; the program's memo texts use CR LF.
    in.Memo2 = m_memo2->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return in;
}

void TForm5::ComboBox1DropDown()
{
    if (m_openPhraseFolder)
        m_openPhraseFolder();
    // Read first: a missing or unreadable file throws here and the list keeps its items.
    const QStringList names =
        text::readPhraseLines(text::shared().dataFolder() + QStringLiteral("examine.txt"));
    // Replacing the items would put the first one into the box; the typed name stays
    // until the doctor picks one.
    const QString typed = m_comboBox1->currentText();
    m_comboBox1->clear();
    m_comboBox1->addItems(names);
    m_comboBox1->setCurrentIndex(-1);
    m_comboBox1->setEditText(typed);
}

void TForm5::Button3Click()
{
    m_session->checkWritable(); // an archived record keeps its text
    const builders::ExaminationPost post = builders::composeExaminationPost(input());
    if (!post.accepted) {
        Dialogs::current().information(post.message);
        return;
    }
    const QString fuzhu = m_session->value(QStringLiteral("fuzhu"));
    m_session->fill(QStringLiteral("fuzhu"), builders::memoWithAddedLine(fuzhu, post.line));
}
