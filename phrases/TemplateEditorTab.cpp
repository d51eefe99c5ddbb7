#include "phrases/TemplateEditorTab.h"
#include "phrases/PhraseMemo.h"
#include "records/FileListBox.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TemplateEditorTab::TemplateEditorTab(QWidget *parent)
    : QWidget(parent), m_memo4(new PhraseMemo(this)),
      m_fileListBox1(new FileListBox(QStringLiteral("*.txt"), this)),
      m_label73(new QLabel(QStringLiteral("模板文件："), this)), m_edit1(new QLineEdit(this)),
      m_button2(new QPushButton(QStringLiteral("Save"), this))
{
    setObjectName(QStringLiteral("TabSheet10"));
    m_memo4->setObjectName(QStringLiteral("Memo4"));
    m_fileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    m_label73->setObjectName(QStringLiteral("Label73"));
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_button2->setObjectName(QStringLiteral("Button2"));

    // Long phrases wrap at the editor's width, so no scroll bar is needed to read them.
    m_memo4->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_memo4->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memo4->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memo4->setFrameShape(QFrame::NoFrame);
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(12);
    m_memo4->setFont(font);

    m_label73->setBuddy(m_edit1);

    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_label73);
    fileRow->addWidget(m_edit1, 1);
    fileRow->addWidget(m_button2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);
    layout->addWidget(m_memo4, 4);
    layout->addWidget(m_fileListBox1, 1);
    layout->addLayout(fileRow);
}

QString TemplateEditorTab::caption()
{
    return QStringLiteral("模板编辑");
}
