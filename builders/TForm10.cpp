#include "builders/TForm10.h"
#include "builders/BuilderControls.h"
#include "builders/MemoLineComposition.h"
#include "builders/RadioGroup.h"
#include "records/ColumnTable.h"
#include "records/DBEdit.h"
#include "records/ErrorBox.h"
#include "records/RecordSession.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QCheckBox *makeTick(const char *objectName, const QString &caption, QWidget *parent)
{
    auto *tick = new QCheckBox(caption, parent);
    tick->setObjectName(QString::fromLatin1(objectName));
    return tick;
}
} // namespace

TForm10::TForm10(RecordSession *session) : SecondaryWindow(QStringLiteral("个人史")), m_session(session)
{
    setObjectName(QStringLiteral("Form10"));
    builders::setUpBuilderWindow(this, 630, 540);
    buildControls();
}

void TForm10::buildControls()
{
    using namespace builders;
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel15"));
    panel->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(panel);
    auto *rows = new QVBoxLayout(panel);
    rows->setContentsMargins(16, 16, 16, 12);
    rows->setSpacing(12);

    // 生于 [home] ，
    QLabel *label104 = makeLabel("Label104", QStringLiteral("生于"), panel);
    m_dbEdit1 = new DBEdit(panel);
    m_dbEdit1->setObjectName(QStringLiteral("DBEdit1"));
    styleEntry(m_dbEdit1);
    m_dbEdit1->bind(m_session, columns::indexOf(QStringLiteral("home")));
    QLabel *label116 = makeLabel("Label116", QStringLiteral("，"), panel);
    rows->addLayout(makeRow({label104, m_dbEdit1, label116}));

    // Residence elsewhere and epidemic area: the details are typed inside each group.
    const QStringList noYes = {QStringLiteral("无"), QStringLiteral("有")};
    m_radioGroup1 = new RadioGroup(QStringLiteral("外地长期居住史"), noYes, 2, panel);
    m_radioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    m_radioGroup1->setItemIndex(0);
    m_edit1 = makeEdit("Edit1", m_radioGroup1);
    m_radioGroup1->addBesideItems(m_edit1, 1);
    m_label1 = makeLabel("Label1", QStringLiteral("，"), panel);
    rows->addLayout(makeRow({m_radioGroup1, m_label1}));
    m_radioGroup2 = new RadioGroup(QStringLiteral("疫区居住史"), noYes, 2, panel);
    m_radioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    m_radioGroup2->setItemIndex(0);
    m_edit2 = makeEdit("Edit2", m_radioGroup2);
    m_radioGroup2->addBesideItems(m_edit2, 1);
    m_label2 = makeLabel("Label2", QStringLiteral("。"), panel);
    rows->addLayout(makeRow({m_radioGroup2, m_label2}));

    // 吸烟史：[n]支/日X[years]年。
    m_checkBox1 = makeTick("CheckBox1", QStringLiteral("吸烟史："), panel);
    m_edit3 = makeEdit("Edit3", panel, 60);
    m_label10 = makeLabel("Label10", QStringLiteral("支/日X"), panel);
    m_edit4 = makeEdit("Edit4", panel, 60);
    m_label11 = makeLabel("Label11", QStringLiteral("年。"), panel);
    rows->addLayout(makeRow({m_checkBox1, m_edit3, m_label10, m_edit4, m_label11, nullptr}));

    // 饮酒史：[n]两/日X[years]年。
    m_checkBox2 = makeTick("CheckBox2", QStringLiteral("饮酒史："), panel);
    m_edit5 = makeEdit("Edit5", panel, 60);
    m_label3 = makeLabel("Label3", QStringLiteral("两/日X"), panel);
    m_edit6 = makeEdit("Edit6", panel, 60);
    m_label4 = makeLabel("Label4", QStringLiteral("年。"), panel);
    rows->addLayout(makeRow({m_checkBox2, m_edit5, m_label3, m_edit6, m_label4, nullptr}));

    // 月经史：[age]岁（[days/cycle]）[last period]。 then the standard closing or the own one.
    m_checkBox3 = makeTick("CheckBox3", QStringLiteral("月经史："), panel);
    m_edit7 = makeEdit("Edit7", panel, 50);
    m_label5 = makeLabel("Label5", QStringLiteral("岁（"), panel);
    m_edit8 = makeEdit("Edit8", panel, 90, QStringLiteral("3-5/28-30"));
    m_label6 = makeLabel("Label6", QStringLiteral("）"), panel);
    m_edit9 = makeEdit("Edit9", panel, 90, QStringLiteral("2007.1.1"));
    m_label7 = makeLabel("Label7", QStringLiteral("。"), panel);
    rows->addLayout(makeRow({m_checkBox3, m_edit7, m_label5, m_edit8, m_label6, m_edit9, m_label7, nullptr}));
    m_label8 = makeLabel("Label8", QStringLiteral("经量中等，无痛经史。"), panel);
    m_checkBox4 = makeTick("CheckBox4", QStringLiteral("修改："), panel);
    m_edit10 = makeEdit("Edit10", panel);
    auto *closing = makeRow({m_label8, m_checkBox4, m_edit10});
    closing->setSpacing(8);
    closing->insertSpacing(0, 24);
    rows->addLayout(closing);

    // [age]岁结婚，爱人及子女均健康。
    m_edit11 = makeEdit("Edit11", panel, 50, QStringLiteral("23"));
    m_label9 = makeLabel("Label9", QStringLiteral("岁结婚，爱人及子女均健康。"), panel);
    rows->addLayout(makeRow({m_edit11, m_label9, nullptr}));
    rows->addStretch(1);

    QPushButton *post = makeButton("Button7", QStringLiteral("Post"), panel);
    rows->addLayout(makeRow({post, nullptr}));
    connect(post, &QPushButton::clicked, this, [this] { runHandler([this] { Button7Click(); }); });
}

builders::PersonalHistoryInput TForm10::input() const
{
    builders::PersonalHistoryInput in;
    in.DBEdit1 = m_dbEdit1->text();
    in.RadioGroup1 = m_radioGroup1->itemIndex();
    in.RadioGroup1Caption = m_radioGroup1->title();
    in.Label1 = m_label1->text();
    in.Edit1 = m_edit1->text();
    in.RadioGroup2 = m_radioGroup2->itemIndex();
    in.RadioGroup2Caption = m_radioGroup2->title();
    in.Label2 = m_label2->text();
    in.Edit2 = m_edit2->text();
    in.CheckBox1 = m_checkBox1->isChecked();
    in.CheckBox1Caption = m_checkBox1->text();
    in.Edit3 = m_edit3->text();
    in.Label10 = m_label10->text();
    in.Edit4 = m_edit4->text();
    in.Label11 = m_label11->text();
    in.CheckBox2 = m_checkBox2->isChecked();
    in.CheckBox2Caption = m_checkBox2->text();
    in.Edit5 = m_edit5->text();
    in.Label3 = m_label3->text();
    in.Edit6 = m_edit6->text();
    in.Label4 = m_label4->text();
    in.CheckBox3 = m_checkBox3->isChecked();
    in.CheckBox3Caption = m_checkBox3->text();
    in.Edit7 = m_edit7->text();
    in.Label5 = m_label5->text();
    in.Edit8 = m_edit8->text();
    in.Label6 = m_label6->text();
    in.Edit9 = m_edit9->text();
    in.Label7 = m_label7->text();
    in.Label8 = m_label8->text();
    in.CheckBox4 = m_checkBox4->isChecked();
    in.Edit10 = m_edit10->text();
    in.Edit11 = m_edit11->text();
    in.Label9 = m_label9->text();
    return in;
}

void TForm10::Button7Click()
{
    m_session->checkWritable(); // an archived record keeps its text
    const QString paragraph = builders::composePersonalHistory(input());
    m_session->fill(QStringLiteral("PersonalHistory"), builders::memoWithOnlyLine(paragraph));
    close();
}
