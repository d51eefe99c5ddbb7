#include "app/TForm8.h"
#include "records/InterfaceFont.h"
#include "text/SharedValues.h"

#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace {

// The picture at the top left: the program's name on a quiet gradient, drawn here so
// that no picture file has to travel with the program.
QPixmap aboutPicture()
{
    QPixmap picture(273, 81);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, 273, 81);
    gradient.setColorAt(0, QColor(40, 90, 140));
    gradient.setColorAt(1, QColor(120, 170, 200));
    painter.fillRect(picture.rect(), gradient);
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(30);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(picture.rect().adjusted(0, 0, 0, -18), Qt::AlignCenter, QStringLiteral("Quillcase"));
    font.setPixelSize(12);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(picture.rect().adjusted(0, 44, 0, 0), Qt::AlignCenter, QStringLiteral("电子病历书写"));
    return picture;
}

QLabel *label(const char *name, const QString &caption, QWidget *parent, int x, int y)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(x, y);
    l->adjustSize();
    return l;
}

} // namespace

TForm8::TForm8() : SecondaryWindow(QStringLiteral("自由软件"))
{
    setObjectName(QStringLiteral("Form8"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setFixedSize(515, 210);
    setFont(interfaceFont());

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(0, 0, 515, 210);

    auto *image = new QLabel(panel);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(8, 8, 273, 81);
    image->setPixmap(aboutPicture());

    label("Label2", QStringLiteral("作者：Quillcase 开发组"), panel, 296, 10);
    label("Label3", QStringLiteral("联系：Quillcase 用户群"), panel, 296, 32);
    QLabel *home = label("Label5", QStringLiteral("主页：quillcase.example.org"), panel, 296, 54);
    home->setVisible(false);
    label("Label4", QStringLiteral("邮箱：quillcase@example.org"), panel, 296, 76);
    m_label1 = label("Label1", QString(), panel, 8, 96);
    label("Label6", QStringLiteral("简介：表格式、模块化电子病历书写软件（自由软件），处于不断的修改"), panel, 8, 124);
    label("Label7", QStringLiteral("完善当中。"), panel, 44, 146);
    QLabel *download = label("Label8", QStringLiteral("最新版本请到主页下载。"), panel, 44, 146);
    download->setVisible(false);

    auto *ok = new QPushButton(QStringLiteral("OK"), panel);
    ok->setObjectName(QStringLiteral("Button2"));
    ok->setGeometry(420, 172, 80, 28);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
}

void TForm8::showEvent(QShowEvent *event)
{
    m_label1->setText(text::shared().captionText);
    m_label1->adjustSize();
    SecondaryWindow::showEvent(event);
}
