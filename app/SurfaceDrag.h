#pragma once
#include <QWidget>

// The main window's bare client surface: pressing on it where no control lies and
// dragging moves the window, as if its title bar were held.
class SurfaceDrag : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

signals:
    void resized(const QSize &size);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
};
