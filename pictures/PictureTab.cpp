#include "pictures/PictureTab.h"

#include "pictures/PictureView.h"
#include "records/FileListBox.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

PictureTab::PictureTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet12"));

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);

    m_view = new PictureView(panel);
    m_view->setObjectName(QStringLiteral("Image1"));

    m_fileList = new FileListBox(QStringLiteral("*.jpg"), panel);
    m_fileList->setObjectName(QStringLiteral("FileListBox2"));
    // Cameras and scanners often write ".JPG"; those are pictures too.
    m_fileList->setCaseInsensitive(true);
    m_fileList->setMaximumHeight(140);

    // The list's type filter. It offers the one type the list shows and is never seen.
    m_filter = new QComboBox(panel);
    m_filter->setObjectName(QStringLiteral("FilterComboBox1"));
    m_filter->addItem(QStringLiteral("Image Files (*.jpg)"), QStringLiteral("*.jpg"));
    m_filter->setVisible(false);

    m_addButton = new QPushButton(QStringLiteral("Add"), panel);
    m_addButton->setObjectName(QStringLiteral("Button1"));
    m_loadButton = new QPushButton(QStringLiteral("Load"), panel);
    m_loadButton->setObjectName(QStringLiteral("Button3"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_filter);
    buttons->addStretch();
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_loadButton);

    auto *column = new QVBoxLayout(panel);
    column->addWidget(m_view, 1);
    column->addWidget(m_fileList);
    column->addLayout(buttons);
}

void PictureTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        emit tabShown();
}
