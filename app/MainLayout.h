#pragma once
#include <QRect>
#include <QSize>

// Where the main window's two page controls lie in its client surface. At the
// designed 931 x 682 the record's tabs take the left 494 pixels and the patient
// list's tabs the right 431; on a bigger surface (the window maximised) the left one
// grows in both directions while the right one keeps its width against the right
// edge and grows in height.
namespace mainlayout {

inline constexpr QSize designedClient(931, 682);

struct PageGeometry
{
    QRect left;  // PageControl2
    QRect right; // PageControl1
};

// The surface is never smaller than the designed size (it scrolls instead).
PageGeometry pageGeometry(const QSize &surface);

} // namespace mainlayout
