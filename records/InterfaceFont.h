#pragma once
#include <QFont>
#include <QStringList>

// The windows' font: Verdana where the desktop has it, otherwise its usual stand-in,
// with a Chinese sans-serif face for the Chinese text (the Kai face is for print).
inline QFont interfaceFont(int pixelSize = 12)
{
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(pixelSize);
    return font;
}
