#include "app/SurfaceDrag.h"

#include <QMouseEvent>
#include <QResizeEvent>
#include <QWindow>

void SurfaceDrag::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    emit resized(event->size());
}

void SurfaceDrag::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && window()->windowHandle()) {
        window()->windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
