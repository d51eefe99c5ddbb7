#pragma once
#include <QWidget>
#include <vector>

class DBEdit;
class ListCell;
class QLabel;
class QLineEdit;
class QScrollBar;
class RecordSession;

// The patient list: a column of record panels, 30 visible at a time, one per record
// in bed order. Each panel shows Bed, ID, Name, sex, age and marriage read-only and
// the principal diagnosis in an editable cell; the current record's panel is grey.
// The admission-number cell is as wide as ten digits of the list's font; a cell whose
// text does not fit shows it cut with an ellipsis and whole in its tooltip. While
// there is no record at all the list shows how to make the first one.
class DBCtrlGrid : public QWidget
{
    Q_OBJECT
public:
    static constexpr int visibleRows = 30;
    static constexpr int panelHeight = 21;
    static constexpr int panelWidth = 406;

    explicit DBCtrlGrid(RecordSession *session, QWidget *parent = nullptr);

    // The principal-diagnosis cell of the current record (objectName "DBEdit7").
    DBEdit *currentCell() const { return m_cell; }
    int firstVisibleRow() const;
    QScrollBar *scrollBar() const { return m_scrollBar; }
    // The text a visible panel shows in a list column (index into columns::listColumns()).
    QString panelText(int panel, int listColumn) const;
    // The tooltip of a visible panel's cell: the whole text when it does not fit, else empty.
    QString panelToolTip(int panel, int listColumn) const;
    // The width of a list column's cell (the diagnosis cell takes what is left).
    int cellWidth(int listColumn) const;
    // The hint shown while the database holds no record (objectName "EmptyListHint").
    QLabel *emptyHint() const { return m_emptyHint; }
    // Whether a visible panel shows the archive mark "档" (its record is archived).
    bool panelMarkedArchived(int panel) const;
    // As the user clicking a panel outside its diagnosis cell.
    void clickPanel(int panel);
    // As the user clicking into the diagnosis cell of a panel.
    void clickCell(int panel);

signals:
    // A panel was clicked outside its diagnosis cell, after its record became current.
    void clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    struct Panel
    {
        QWidget *frame = nullptr;
        std::vector<ListCell *> labels;
        QLineEdit *cell = nullptr;
    };
    void layoutPanels();
    void updateCellToolTip();
    void refresh();
    void ensureCurrentVisible();
    bool makeCurrent(int panel);

    RecordSession *m_session;
    std::vector<Panel> m_panels;
    DBEdit *m_cell = nullptr;
    QScrollBar *m_scrollBar = nullptr;
    QLabel *m_emptyHint = nullptr;
    std::vector<QLabel *> m_archiveMarks; // one per panel, over the right end of the panel
};
