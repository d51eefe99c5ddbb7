#pragma once
#include "records/FieldBinding.h"

#include <QLineEdit>

// A one-line box bound to a column.
class DBEdit : public QLineEdit, public FieldBinding
{
    Q_OBJECT
public:
    explicit DBEdit(QWidget *parent = nullptr);
    void bind(RecordSession *session, int column) { bindControl(this, session, column); }
    void showValue();

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
