#include "builders/BuilderControls.h"

#include "records/InterfaceFont.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace builders {

QFont builderFont()
{
    return interfaceFont();
}

void setUpBuilderWindow(QWidget *window, int width, int height)
{
    window->setFont(builderFont());
    window->resize(width, height);
}

QLabel *makeLabel(const char *objectName, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText); // captions are sentence pieces, never markup
    return label;
}

void styleEntry(QLineEdit *edit)
{
    edit->setFrame(false);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    palette.setColor(QPalette::Text, Qt::black);
    edit->setPalette(palette);
    edit->setMinimumHeight(20);
}

QLineEdit *makeEdit(const char *objectName, QWidget *parent, int width, const QString &text)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    styleEntry(edit);
    if (width > 0)
        edit->setFixedWidth(width);
    return edit;
}

QPushButton *makeButton(const char *objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    button->setMinimumWidth(80);
    return button;
}

QHBoxLayout *makeRow(std::initializer_list<QWidget *> widgets)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(2);
    for (QWidget *widget : widgets) {
        if (widget)
            row->addWidget(widget);
        else
            row->addStretch(1);
    }
    return row;
}

} // namespace builders
