#include "app/MainLayout.h"

namespace mainlayout {

namespace {
constexpr int margin = 2;
constexpr int leftWidth = 494;
constexpr int rightWidth = 431;
} // namespace

PageGeometry pageGeometry(const QSize &surface)
{
    const QSize size = surface.expandedTo(designedClient);
    const int height = size.height() - 2 * margin;
    const int rightX = size.width() - margin - rightWidth;
    // What the designed surface leaves between the two controls stays between them.
    const int gap = designedClient.width() - 2 * margin - leftWidth - rightWidth;
    return {QRect(margin, margin, rightX - gap - margin, height), QRect(rightX, margin, rightWidth, height)};
}

} // namespace mainlayout
