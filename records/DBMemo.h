#pragma once
#include "records/FieldBinding.h"

#include <QPlainTextEdit>

// A memo bound to a column. The column holds lines separated by CR LF; the editor
// shows them as its paragraphs.
class DBMemo : public QPlainTextEdit, public FieldBinding
{
    Q_OBJECT
public:
    explicit DBMemo(QWidget *parent = nullptr);
    void bind(RecordSession *session, int column) { bindControl(this, session, column); }
    void showValue();

    // The memo's text as the column stores it (CR LF breaks).
    QString storedText() const;
    // Where the caret (the start of the selection) stands in storedText().
    int storedCaretPosition() const;

    static QString toStored(const QString &shown);
    static QString toShown(const QString &stored);

signals:
    void doubleClicked();
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
};
