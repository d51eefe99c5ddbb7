#pragma once
#include <QString>
#include <initializer_list>

class QFont;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Small makers shared by the builder windows, so that all five look alike: the same
// font as the main window, the flat silver entry boxes and named controls.
namespace builders {

// The windows' font: Verdana or its usual stand-in, a Chinese sans-serif face for the
// Chinese text, 12 pixels as in the main window.
QFont builderFont();

// Gives the window its font and its first size.
void setUpBuilderWindow(QWidget *window, int width, int height);

QLabel *makeLabel(const char *objectName, const QString &caption, QWidget *parent);

// A single-line entry box without a frame on a silver ground, as every entry of the
// builders is. A width above 0 fixes its width; otherwise it takes what the row leaves.
QLineEdit *makeEdit(const char *objectName, QWidget *parent, int width = 0, const QString &text = {});
// Gives an existing entry box (a bound one) the same look.
void styleEntry(QLineEdit *edit);

QPushButton *makeButton(const char *objectName, const QString &caption, QWidget *parent);

// A row of controls from left to right; a nullptr in the list stands for the stretch
// that takes the free width.
QHBoxLayout *makeRow(std::initializer_list<QWidget *> widgets);

} // namespace builders
