#include "options/TForm9.h"
#include "records/InterfaceFont.h"

#include "options/InputMethodBinding.h"
#include "options/InputMethodService.h"
#include "phrases/DropDownComboBox.h"
#include "records/ErrorBox.h"
#include "text/SharedValues.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QLabel *makeLabel(const char *name, const QString &caption, QWidget *parent, int x, int y)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

DropDownComboBox *makeBox(const char *name, QWidget *parent, int x, int y)
{
    auto *box = new DropDownComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(x, y, 300, 26);
    box->setMaxVisibleItems(12);
    return box;
}

} // namespace

TForm9::TForm9(InputMethodService *service, std::function<QList<QWidget *>()> fields)
    : SecondaryWindow(QStringLiteral("Options")), m_service(service), m_fields(std::move(fields))
{
    setObjectName(QStringLiteral("Form9"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setFixedSize(590, 380);
    setFont(interfaceFont());

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    outer->addWidget(panel);

    m_label12 = makeLabel("Label12", QStringLiteral("选择中文输入法："), panel, 48, 48);
    m_comboBox7 = makeBox("ComboBox7", panel, 48, 72);
    m_label1 = makeLabel("Label1", QStringLiteral("选择科室名称："), panel, 48, 140);
    m_comboBox1 = makeBox("ComboBox1", panel, 48, 164);
    m_comboBox1->addItems({QStringLiteral("呼吸内科"), QStringLiteral("消化内科"), QStringLiteral("心内科"),
                           QStringLiteral("肾内科"), QStringLiteral("内分泌科"), QStringLiteral("神经内科")});
    // Adding items to an empty box makes the first one current; the box starts empty.
    m_comboBox1->setCurrentIndex(-1);
    m_comboBox1->clearEditText();

    m_button2 = new QPushButton(QStringLiteral("Ok"), panel);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(480, 330, 90, 30);

    // Both boxes refresh the input-method list when either drops down.
    connect(m_comboBox7, &DropDownComboBox::droppingDown, this, &TForm9::ComboBox7DropDown);
    connect(m_comboBox1, &DropDownComboBox::droppingDown, this, &TForm9::ComboBox7DropDown);
    connect(m_comboBox1, &DropDownComboBox::chosen, this, &TForm9::ComboBox1Select);
    connect(m_button2, &QPushButton::clicked, this, &TForm9::Button2Click);
}

void TForm9::ComboBox7DropDown()
{
    runHandler([this] {
        const QStringList names = m_service ? m_service->inputMethods() : QStringList();
        // Replacing the items must not touch what the box shows: clearing an editable
        // box empties its text and filling an empty one makes the first item current.
        const QString text = m_comboBox7->currentText();
        const QSignalBlocker blocker(m_comboBox7);
        m_comboBox7->clear();
        m_comboBox7->addItems(names);
        m_comboBox7->setCurrentIndex(m_comboBox7->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        m_comboBox7->setEditText(text);
    });
}

void TForm9::ComboBox1Select(int index)
{
    if (index >= 0 && index < m_comboBox1->count())
        text::shared().departmentName = m_comboBox1->itemText(index);
}

void TForm9::Button2Click()
{
    close();
}

void TForm9::onClose()
{
    runHandler([this] {
        const QString name = m_comboBox7->currentText();
        if (!m_fields)
            return;
        for (QWidget *field : m_fields())
            InputMethodBinding::setInputMethodName(field, name);
    });
}
