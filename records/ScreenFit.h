#pragma once
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Keeps every window inside the screen's available area (the screen less its task
// bars), so that its buttons can be reached on a small or highly scaled screen: a
// window too big for the area is made smaller and its content scrolls.
namespace screenfit {

// What a window's frame takes around its client area before the window system has
// told: a title bar and thin borders.
QMargins assumedFrame();

// The client size a window gets: the size it wants, cut to what the area leaves
// inside the frame.
QSize fittedClientSize(const QSize &wanted, const QRect &available, const QMargins &frame);

// Where the frame's top left corner goes: the wanted place moved just as far as needed
// for the whole frame to lie inside the area (the top left corner wins when the frame
// is bigger than the area).
QPoint placedFramePosition(const QPoint &wanted, const QSize &frameSize, const QRect &available);

// Makes the window fit the area: when its designed client size (the size it had
// when first fitted, or wantedClient when given) is too big, the window gets smaller
// and, the first time, its content is put into a scroll area; then the window is
// moved inside the area, centred on it when it was never shown.
void fitWindow(QWidget *window, const QRect &available, QSize wantedClient = QSize());
// The same on the available area of the window's screen.
void fitWindow(QWidget *window, QSize wantedClient = QSize());

// The window's frame around its client area, as the window system reports it once
// the window is shown, else assumedFrame().
QMargins frameOf(const QWidget *window);

} // namespace screenfit
