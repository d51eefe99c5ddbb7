#include "app/SurfaceDrag.h"

#include <QMouseEvent>
#include <QWindow>

void SurfaceDrag::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && window()->windowHandle()) {
        window()->windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
