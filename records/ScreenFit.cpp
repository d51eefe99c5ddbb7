#include "records/ScreenFit.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QVariant>
#include <QWidget>

namespace screenfit {

namespace {

constexpr const char *DesignedSizeProperty = "screenfitDesignedSize";

// Moves the window's content into a scroll area that fills the window. Laid-out
// controls move with their layout; controls placed by position keep their place.
void wrapInScrollArea(QWidget *window, const QSize &designed)
{
    auto *content = new QWidget;
    content->setObjectName(window->objectName() + QStringLiteral("Content"));
    QSize minimum = designed;
    if (QLayout *layout = window->layout()) {
        minimum = layout->totalMinimumSize();
        content->setLayout(layout); // takes the layout and the controls it arranges
    }
    for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        const bool hidden = child->isHidden();
        const QRect geometry = child->geometry();
        child->setParent(content);
        child->setGeometry(geometry);
        child->setVisible(!hidden);
    }
    content->setMinimumSize(minimum);
    auto *scroll = new QScrollArea;
    scroll->setObjectName(window->objectName() + QStringLiteral("Scroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto *outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
}

bool isFixedSize(const QWidget *window)
{
    return window->minimumSize() == window->maximumSize();
}

} // namespace

QMargins assumedFrame()
{
    return QMargins(4, 30, 4, 4);
}

QSize fittedClientSize(const QSize &wanted, const QRect &available, const QMargins &frame)
{
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    return wanted.boundedTo(room).expandedTo(QSize(1, 1));
}

QPoint placedFramePosition(const QPoint &wanted, const QSize &frameSize, const QRect &available)
{
    const int x = std::max(available.left(), std::min(wanted.x(), available.right() + 1 - frameSize.width()));
    const int y = std::max(available.top(), std::min(wanted.y(), available.bottom() + 1 - frameSize.height()));
    return QPoint(x, y);
}

QMargins frameOf(const QWidget *window)
{
    if (!window->isVisible())
        return assumedFrame();
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                           frame.bottom() - client.bottom());
    // No frame reported (no window manager yet): keep room for one all the same.
    return margins.isNull() ? assumedFrame() : margins;
}

void fitWindow(QWidget *window, const QRect &available, QSize wantedClient)
{
    const QVariant designed = window->property(DesignedSizeProperty);
    const bool firstFit = !designed.isValid();
    if (!wantedClient.isValid() && firstFit) {
        // A window never given a size would come up at its size hint.
        wantedClient = window->testAttribute(Qt::WA_Resized) ? window->size()
                                                             : window->sizeHint().expandedTo(window->minimumSizeHint());
    } else if (!wantedClient.isValid()) {
        wantedClient = designed.toSize();
    }
    window->setProperty(DesignedSizeProperty, wantedClient);
    const QMargins frame = frameOf(window);
    QSize client = fittedClientSize(wantedClient, available, frame);
    // A scroll bar that comes takes room across: widen (or heighten) the window by it
    // where the area allows, so that only the one direction scrolls.
    const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, window);
    if (client != wantedClient) {
        QSize withBars = wantedClient;
        if (client.height() < wantedClient.height())
            withBars.rwidth() += bar;
        if (client.width() < wantedClient.width())
            withBars.rheight() += bar;
        client = fittedClientSize(withBars, available, frame);
    }
    if (client != wantedClient && !qobject_cast<QMainWindow *>(window)) {
        const QLayout *layout = window->layout();
        const bool layoutFits = layout && !window->property("screenfitWrapped").toBool() &&
                                layout->totalMinimumSize().width() <= client.width() &&
                                layout->totalMinimumSize().height() <= client.height();
        if (!layoutFits && !window->property("screenfitWrapped").toBool()) {
            wrapInScrollArea(window, wantedClient);
            window->setProperty("screenfitWrapped", true);
        }
    }
    if (isFixedSize(window))
        window->setFixedSize(client);
    else
        window->resize(client);

    const QSize frameSize(client.width() + frame.left() + frame.right(), client.height() + frame.top() + frame.bottom());
    // A window keeps the place it was shown at before; a new one comes up in the middle.
    const QPoint wanted = firstFit ? available.center() - QPoint(frameSize.width() / 2, frameSize.height() / 2)
                                   : window->pos();
    window->move(placedFramePosition(wanted, frameSize, available));
}

void fitWindow(QWidget *window, QSize wantedClient)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen)
        fitWindow(window, screen->availableGeometry(), wantedClient);
}

} // namespace screenfit
