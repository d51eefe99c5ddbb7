#include "builders/TForm4.h"
#include "builders/BuilderControls.h"
#include "builders/MemoLineComposition.h"
#include "builders/RadioGroup.h"
#include "records/ColumnTable.h"
#include "records/DBCheckBox.h"
#include "records/ErrorBox.h"
#include "records/RecordSession.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm4::TForm4(RecordSession *session) : SecondaryWindow(QStringLiteral("既往史")), m_session(session)
{
    setObjectName(QStringLiteral("Form4"));
    builders::setUpBuilderWindow(this, 590, 500);
    buildControls();
}

DBCheckBox *TForm4::makeTick(const char *objectName, const char *column)
{
    // The column table keeps each flag's caption beside its name.
    const Column &flag = columns::byName(QString::fromLatin1(column));
    auto *tick = new DBCheckBox(QString::fromUtf8(flag.label), m_panel);
    tick->setObjectName(QString::fromLatin1(objectName));
    tick->bind(m_session, columns::indexOf(QString::fromLatin1(column)));
    return tick;
}

void TForm4::buildControls()
{
    using namespace builders;
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *panel = new QFrame(this);
    m_panel = panel;
    panel->setObjectName(QStringLiteral("Panel5"));
    panel->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(panel);
    auto *rows = new QVBoxLayout(panel);
    rows->setContentsMargins(16, 16, 16, 12);

    // One line per disease: the tick, then the doctor's words beside it (the pairs of
    // ticks share the line below them).
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(10);
    grid->setColumnStretch(1, 1);
    int row = 0;
    auto pair = [&](DBCheckBox *tick, QLineEdit *edit) {
        grid->addWidget(tick, row, 0);
        grid->addWidget(edit, row++, 1);
    };
    auto twoTicks = [&](DBCheckBox *first, DBCheckBox *second, QLineEdit *edit) {
        QHBoxLayout *ticks = makeRow({first, second, nullptr});
        ticks->setSpacing(24);
        grid->addLayout(ticks, row++, 0, 1, 2);
        grid->addWidget(edit, row++, 0, 1, 2);
    };

    m_dbCheckBox1 = makeTick("DBCheckBox1", "Boolen01");
    m_edit1 = makeEdit("Edit1", panel);
    pair(m_dbCheckBox1, m_edit1);
    m_dbCheckBox2 = makeTick("DBCheckBox2", "Boolen02");
    m_edit2 = makeEdit("Edit2", panel);
    pair(m_dbCheckBox2, m_edit2);
    m_dbCheckBox16 = makeTick("DBCheckBox16", "Boolen16");
    m_edit3 = makeEdit("Edit3", panel);
    pair(m_dbCheckBox16, m_edit3);
    m_dbCheckBox17 = makeTick("DBCheckBox17", "Boolen17");
    m_edit4 = makeEdit("Edit4", panel);
    pair(m_dbCheckBox17, m_edit4);
    m_dbCheckBox4 = makeTick("DBCheckBox4", "Boolen04");
    m_dbCheckBox5 = makeTick("DBCheckBox5", "Boolen05");
    m_edit5 = makeEdit("Edit5", panel);
    twoTicks(m_dbCheckBox4, m_dbCheckBox5, m_edit5);
    m_dbCheckBox6 = makeTick("DBCheckBox6", "Boolen06");
    m_dbCheckBox7 = makeTick("DBCheckBox7", "Boolen07");
    m_edit6 = makeEdit("Edit6", panel);
    twoTicks(m_dbCheckBox6, m_dbCheckBox7, m_edit6);
    m_dbCheckBox8 = makeTick("DBCheckBox8", "Boolen08");
    m_edit7 = makeEdit("Edit7", panel);
    pair(m_dbCheckBox8, m_edit7);
    rows->addLayout(grid);

    m_radioGroup1 = new RadioGroup(QStringLiteral("预防接种史"),
                                   {QStringLiteral("不详"), QStringLiteral("随当地")}, 2, panel);
    m_radioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    m_radioGroup1->setItemIndex(0);
    rows->addSpacing(6);
    rows->addLayout(makeRow({m_radioGroup1, nullptr}));
    rows->addStretch(1);

    QPushButton *post = makeButton("Button1", QStringLiteral("Post"), panel);
    rows->addLayout(makeRow({post, nullptr}));
    connect(post, &QPushButton::clicked, this, [this] { runHandler([this] { Button1Click(); }); });
}

builders::PastHistoryInput TForm4::input() const
{
    builders::PastHistoryInput in;
    in.DBCheckBox1 = m_dbCheckBox1->checkState();
    in.Edit1 = m_edit1->text();
    in.DBCheckBox2 = m_dbCheckBox2->checkState();
    in.Edit2 = m_edit2->text();
    in.DBCheckBox16 = m_dbCheckBox16->checkState();
    in.Edit3 = m_edit3->text();
    in.DBCheckBox17 = m_dbCheckBox17->checkState();
    in.Edit4 = m_edit4->text();
    in.DBCheckBox4 = m_dbCheckBox4->checkState();
    in.DBCheckBox5 = m_dbCheckBox5->checkState();
    in.Edit5 = m_edit5->text();
    in.DBCheckBox6 = m_dbCheckBox6->checkState();
    in.DBCheckBox7 = m_dbCheckBox7->checkState();
    in.Edit6 = m_edit6->text();
    in.DBCheckBox8 = m_dbCheckBox8->checkState();
    in.Edit7 = m_edit7->text();
    in.RadioGroup1 = m_radioGroup1->itemIndex();
    return in;
}

void TForm4::Button1Click()
{
    m_session->checkWritable(); // an archived record keeps its text
    const QString paragraph = builders::composePastHistory(input());
    m_session->fill(QStringLiteral("PastHistory"), builders::memoWithOnlyLine(paragraph));
    close();
}
