#include "builders/TSymptoms.h"
#include "records/ScreenFit.h"
#include "builders/BuilderControls.h"
#include "builders/SymptomComposition.h"
#include "builders/SymptomTable.h"
#include "records/ErrorBox.h"
#include "text/SharedValues.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSymptoms::TSymptoms() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("Symptoms"));
    setWindowTitle(QStringLiteral("症状输入"));
    builders::setUpBuilderWindow(this, 610, 410);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(panel);

    auto *column = new QVBoxLayout(panel);
    auto *group = new QGroupBox(QStringLiteral("症状："), panel);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *grid = new QGridLayout(group);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(10);
    // Created in the table's column order, so Tab walks each column top to bottom
    // just as the text is written.
    for (const builders::SymptomBox &box : builders::symptomBoxes()) {
        auto *tick = new QCheckBox(box.captionText(), group);
        tick->setObjectName(QString::fromLatin1(box.objectName));
        grid->addWidget(tick, box.row - 1, box.column - 1);
        m_boxes << tick;
    }
    column->addWidget(group, 1);

    QPushButton *post = builders::makeButton("Button9", QStringLiteral("Post"), panel);
    column->addLayout(builders::makeRow({post, nullptr}));
    connect(post, &QPushButton::clicked, this, [this] { runHandler([this] { Button9Click(); }); });
}

void TSymptoms::setTargetWindow(QWidget *window)
{
    m_target = window;
}

void TSymptoms::showPicker()
{
    screenfit::fitWindow(this);
    show();
    raise();
    activateWindow();
}

QString TSymptoms::symptomText() const
{
    QList<builders::SymptomTick> ticks;
    for (const QCheckBox *box : m_boxes)
        ticks.append({box->text(), box->isChecked()});
    return builders::composeSymptomText(ticks);
}

void TSymptoms::Button9Click()
{
    const QString editName = builders::symptomTargetEdit(text::shared().symptomTarget);
    if (m_target && !editName.isEmpty()) {
        if (auto *edit = m_target->findChild<QLineEdit *>(editName))
            edit->setText(symptomText());
    }
    hide();
}
