#include "builders/TForm3.h"
#include "builders/BuilderControls.h"
#include "builders/MemoLineComposition.h"
#include "builders/RadioGroup.h"
#include "builders/TSymptoms.h"
#include "records/ErrorBox.h"
#include "records/RecordSession.h"
#include "text/SharedValues.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm3::TForm3(RecordSession *session, TSymptoms *symptoms)
    : SecondaryWindow(QStringLiteral("现病史：")), m_session(session), m_symptoms(symptoms)
{
    setObjectName(QStringLiteral("Form3"));
    builders::setUpBuilderWindow(this, 650, 740);
    buildControls();

    m_symptomEdits = {m_edit1, m_edit2, m_edit3, m_edit4, m_edit14};
    for (QLineEdit *edit : m_symptomEdits)
        edit->installEventFilter(this);
    if (m_symptoms)
        m_symptoms->setTargetWindow(this);
}

void TForm3::buildControls()
{
    using namespace builders;
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel16"));
    panel->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(panel);
    auto *rows = new QVBoxLayout(panel);
    rows->setContentsMargins(16, 16, 16, 12);
    rows->setSpacing(16);

    // 患者 [duration][unit] 前
    m_label23 = makeLabel("Label23", QStringLiteral("患者"), panel);
    m_edit15 = makeEdit("Edit15", panel, 60);
    m_comboBox8 = new QComboBox(panel);
    m_comboBox8->setObjectName(QStringLiteral("ComboBox8"));
    m_comboBox8->setEditable(true);
    m_comboBox8->setInsertPolicy(QComboBox::NoInsert);
    m_comboBox8->addItems({QStringLiteral("年"), QStringLiteral("月"), QStringLiteral("周"),
                           QStringLiteral("天"), QStringLiteral("小时"), QStringLiteral("分钟")});
    m_comboBox8->setCurrentIndex(-1);
    m_comboBox8->setEditText(QString());
    m_comboBox8->setFixedWidth(80);
    m_label62 = makeLabel("Label62", QStringLiteral("前"), panel);
    rows->addLayout(makeRow({m_label23, m_edit15, m_comboBox8, m_label62, nullptr}));

    // (诱因) [trigger] 出现 [symptoms] 等症状，
    m_radioGroup1 =
        new RadioGroup(QStringLiteral("诱因"), {QStringLiteral("无"), QStringLiteral("有")}, 2, panel);
    m_radioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    m_edit11 = makeEdit("Edit11", panel);
    QLabel *label63 = makeLabel("Label63", QStringLiteral("出现"), panel);
    rows->addLayout(makeRow({m_radioGroup1, m_edit11, label63}));
    m_edit1 = makeEdit("Edit1", panel);
    m_label69 = makeLabel("Label69", QStringLiteral("等症状，"), panel);
    rows->addLayout(makeRow({m_edit1, m_label69}));
    m_edit16 = makeEdit("Edit16", panel);
    rows->addWidget(m_edit16);

    // 无 [absent signs] 等表现，
    m_label1 = makeLabel("Label1", QStringLiteral("无"), panel);
    m_edit2 = makeEdit("Edit2", panel);
    m_label70 = makeLabel("Label70", QStringLiteral("等表现，"), panel);
    rows->addLayout(makeRow({m_label1, m_edit2, m_label70}));

    // Course before admission: where, which medicines, whether they helped.
    m_radioGroup2 = new RadioGroup(
        QString(), {QStringLiteral("未诊治"), QStringLiteral("院外治疗"), QStringLiteral("就诊于")}, 1,
        panel);
    m_radioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    m_radioGroup4 = new RadioGroup(QString(),
                                   {QStringLiteral("当地诊所"), QStringLiteral("当地医院"),
                                    QStringLiteral("我院"), QStringLiteral("其它")},
                                   2, panel);
    m_radioGroup4->setObjectName(QStringLiteral("RadioGroup4"));
    m_edit12 = makeEdit("Edit12", panel);
    auto *place = new QVBoxLayout;
    place->setSpacing(4);
    place->addWidget(m_radioGroup4);
    place->addWidget(m_edit12);
    m_label65 = makeLabel("Label65", QStringLiteral("应用"), panel);
    m_edit13 = makeEdit("Edit13", panel);
    m_label66 = makeLabel("Label66", QStringLiteral("等药物，"), panel);
    m_radioGroup3 =
        new RadioGroup(QStringLiteral("好转"), {QStringLiteral("无"), QStringLiteral("有")}, 2, panel);
    m_radioGroup3->setObjectName(QStringLiteral("RadioGroup3"));
    auto *course = new QHBoxLayout;
    course->setSpacing(8);
    course->addWidget(m_radioGroup2);
    course->addLayout(place);
    rows->addLayout(course);
    rows->addLayout(makeRow({m_label65, m_edit13, m_label66, m_radioGroup3}));

    // Three free lines, then the closing pieces.
    m_edit3 = makeEdit("Edit3", panel);
    m_edit4 = makeEdit("Edit4", panel);
    m_edit14 = makeEdit("Edit14", panel);
    rows->addWidget(m_edit3);
    rows->addWidget(m_edit4);
    rows->addWidget(m_edit14);
    m_label67 = makeLabel("Label67", QStringLiteral("今为进一步诊治收入我院。患者自发病以来，"), panel);
    m_label68 =
        makeLabel("Label68", QStringLiteral("神志清，精神不振，饮食休息欠佳，二便未见显著异常。"), panel);
    rows->addWidget(m_label67);
    rows->addWidget(m_label68);
    rows->addStretch(1);

    QPushButton *post = makeButton("Button9", QStringLiteral("Post"), panel);
    rows->addLayout(makeRow({post, nullptr}));
    connect(post, &QPushButton::clicked, this, [this] { runHandler([this] { Button9Click(); }); });
}

builders::PresentIllnessInput TForm3::input() const
{
    builders::PresentIllnessInput in;
    in.Label23 = m_label23->text();
    in.Edit15 = m_edit15->text();
    in.ComboBox8 = m_comboBox8->currentText();
    in.Label62 = m_label62->text();
    in.RadioGroup1 = m_radioGroup1->itemIndex();
    in.Edit11 = m_edit11->text();
    in.Edit1 = m_edit1->text();
    in.Label69 = m_label69->text();
    in.Edit16 = m_edit16->text();
    in.Label1 = m_label1->text();
    in.Edit2 = m_edit2->text();
    in.Label70 = m_label70->text();
    in.RadioGroup2 = m_radioGroup2->itemIndex();
    in.Label65 = m_label65->text();
    in.Edit13 = m_edit13->text();
    in.RadioGroup4 = m_radioGroup4->itemIndex();
    in.Label66 = m_label66->text();
    in.RadioGroup3 = m_radioGroup3->itemIndex();
    in.Edit12 = m_edit12->text();
    in.Edit3 = m_edit3->text();
    in.Edit4 = m_edit4->text();
    in.Edit14 = m_edit14->text();
    in.Label67 = m_label67->text();
    in.Label68 = m_label68->text();
    return in;
}

bool TForm3::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        const int target = m_symptomEdits.indexOf(qobject_cast<QLineEdit *>(watched));
        auto *key = static_cast<QKeyEvent *>(event);
        // A held key repeats its release; the picker opens once, when the key comes up.
        if (target >= 0 && !key->isAutoRepeat())
            runHandler([this, target, key] { EditKeyUp(target, key->key()); });
    }
    return SecondaryWindow::eventFilter(watched, event);
}

void TForm3::EditKeyUp(int target, int key)
{
    // Only F1 counts; Shift, Ctrl and Alt held with it make no difference.
    if (key != Qt::Key_F1 || !m_symptoms)
        return;
    text::shared().symptomTarget = target;
    m_symptoms->showPicker();
}

void TForm3::Button9Click()
{
    m_session->checkWritable(); // an archived record keeps its text
    const QString paragraph = builders::composePresentIllness(input());
    m_session->fill(QStringLiteral("PresentIllness"), builders::memoWithOnlyLine(paragraph));
    close();
}

void TForm3::setSymptoms(TSymptoms *symptoms)
{
    m_symptoms = symptoms;
    if (m_symptoms)
        m_symptoms->setTargetWindow(this);
}
