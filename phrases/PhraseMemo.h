#pragma once
#include <QPlainTextEdit>

// The template editor's text box. It reports a double-click after the editor has
// handled it itself, so the caret already stands in the word that was double-clicked.
class PhraseMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit PhraseMemo(QWidget *parent = nullptr);

    // The whole stored line (text between line breaks) that holds the start of the
    // selection, however the editor wraps it on screen.
    QString caretLine() const;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
