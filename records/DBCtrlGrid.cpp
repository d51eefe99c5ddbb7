#include "records/DBCtrlGrid.h"
#include "records/ColumnTable.h"
#include "records/DBEdit.h"
#include "records/ErrorBox.h"
#include "records/RecordSession.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

namespace {
// Widths of Bed, ID, Name, sex, age, marriage; the diagnosis cell takes the rest. The
// admission number's cell is widened to the font's ten digits where they need more.
constexpr int fieldWidths[] = {28, 72, 64, 26, 36, 40};
constexpr int listFieldCount = 6;
constexpr int idField = 1;
const QColor currentColour(160, 160, 160);
const QColor panelColour(212, 208, 200);

bool fitsInto(const QWidget *cell, const QString &text, int width)
{
    return cell->fontMetrics().horizontalAdvance(text) <= width;
}

// The room a one-line box leaves for its text.
int textRoom(const QLineEdit *edit)
{
    return edit->contentsRect().width() - edit->textMargins().left() - edit->textMargins().right() - 4;
}
const QColor archivedText(128, 128, 128);
constexpr int markWidth = 16;
} // namespace

// A read-only cell of the list: a text too long for it is drawn cut with an ellipsis
// and shown whole in the tooltip.
class ListCell : public QLabel
{
public:
    using QLabel::QLabel;

    void setCellText(const QString &text)
    {
        setText(text);
        updateToolTip();
    }
    void updateToolTip() { setToolTip(fitsInto(this, text(), contentsRect().width()) ? QString() : text()); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect room = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
        style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shown, foregroundRole());
    }
};

DBCtrlGrid::DBCtrlGrid(RecordSession *session, QWidget *parent) : QWidget(parent), m_session(session)
{
    setObjectName(QStringLiteral("DBCtrlGrid1"));
    const int scrollWidth = 16;
    setFixedSize(panelWidth + scrollWidth, visibleRows * panelHeight);
    for (int p = 0; p < visibleRows; ++p) {
        Panel panel;
        panel.frame = new QWidget(this);
        panel.frame->setGeometry(0, p * panelHeight, panelWidth, panelHeight);
        panel.frame->setAutoFillBackground(true);
        panel.frame->installEventFilter(this);
        for (int f = 0; f < listFieldCount; ++f) {
            auto *label = new ListCell(panel.frame);
            label->installEventFilter(this);
            panel.labels.push_back(label);
        }
        panel.cell = new QLineEdit(panel.frame);
        panel.cell->setFrame(false);
        panel.cell->setReadOnly(true);
        panel.cell->installEventFilter(this);
        m_panels.push_back(panel);
    }
    m_cell = new DBEdit(this);
    m_cell->setObjectName(QStringLiteral("DBEdit7"));
    m_cell->setFrame(false);
    m_cell->bind(session, columns::indexOf(QStringLiteral("PriDiagnosis")));
    connect(m_cell, &QLineEdit::textChanged, this, &DBCtrlGrid::updateCellToolTip);
    m_emptyHint = new QLabel(QStringLiteral("按 Ctrl+N，输入床号，新建第一份病历"), this);
    m_emptyHint->setObjectName(QStringLiteral("EmptyListHint"));
    m_emptyHint->setGeometry(0, 0, panelWidth, 3 * panelHeight);
    m_emptyHint->setAlignment(Qt::AlignCenter);
    m_emptyHint->setWordWrap(true);
    for (int p = 0; p < visibleRows; ++p) {
        auto *mark = new QLabel(QStringLiteral("档"), this);
        mark->setObjectName(QStringLiteral("ArchiveMark%1").arg(p));
        mark->setGeometry(panelWidth - markWidth, p * panelHeight, markWidth, panelHeight);
        mark->setAlignment(Qt::AlignCenter);
        mark->setAttribute(Qt::WA_TransparentForMouseEvents);
        mark->hide();
        m_archiveMarks.push_back(mark);
    }
    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setGeometry(panelWidth, 0, scrollWidth, visibleRows * panelHeight);
    m_scrollBar->setPageStep(visibleRows);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &DBCtrlGrid::refresh);
    connect(session, &RecordSession::listChanged, this, [this] { ensureCurrentVisible(); });
    connect(session, &RecordSession::currentChanged, this, [this] { ensureCurrentVisible(); });
    connect(session, &RecordSession::valueChanged, this, &DBCtrlGrid::refresh);
    connect(session, &RecordSession::stateChanged, this, &DBCtrlGrid::refresh);
    layoutPanels();
    ensureCurrentVisible();
}

int DBCtrlGrid::cellWidth(int listColumn) const
{
    if (listColumn < listFieldCount)
        return m_panels.front().labels.at(listColumn)->width();
    return m_panels.front().cell->width();
}

void DBCtrlGrid::layoutPanels()
{
    // A 10-digit admission number shows whole whatever the font's digits measure.
    const int idWidth = std::max(fieldWidths[idField], fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 6);
    for (Panel &panel : m_panels) {
        int x = 2;
        for (int f = 0; f < listFieldCount; ++f) {
            const int width = f == idField ? idWidth : fieldWidths[f];
            panel.labels[f]->setGeometry(x, 0, width - 2, panelHeight);
            panel.labels[f]->updateToolTip();
            x += width;
        }
        panel.cell->setGeometry(x, 2, panelWidth - x - 2, panelHeight - 4);
    }
    refresh();
}

void DBCtrlGrid::updateCellToolTip()
{
    m_cell->setToolTip(fitsInto(m_cell, m_cell->text(), textRoom(m_cell)) ? QString() : m_cell->text());
}

QString DBCtrlGrid::panelToolTip(int panel, int listColumn) const
{
    if (listColumn < listFieldCount)
        return m_panels.at(panel).labels.at(listColumn)->toolTip();
    const int row = firstVisibleRow() + panel;
    return row == m_session->currentRow() ? m_cell->toolTip() : m_panels.at(panel).cell->toolTip();
}

void DBCtrlGrid::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        layoutPanels();
}

int DBCtrlGrid::firstVisibleRow() const
{
    return m_scrollBar->value();
}

QString DBCtrlGrid::panelText(int panel, int listColumn) const
{
    if (listColumn < listFieldCount)
        return m_panels.at(panel).labels.at(listColumn)->text();
    const int row = firstVisibleRow() + panel;
    return row == m_session->currentRow() ? m_cell->text() : m_panels.at(panel).cell->text();
}

void DBCtrlGrid::ensureCurrentVisible()
{
    m_scrollBar->setRange(0, std::max(0, m_session->rowCount() - visibleRows));
    const int current = m_session->currentRow();
    if (current >= 0) {
        if (current < m_scrollBar->value())
            m_scrollBar->setValue(current);
        else if (current >= m_scrollBar->value() + visibleRows)
            m_scrollBar->setValue(current - visibleRows + 1);
    }
    refresh();
}

void DBCtrlGrid::refresh()
{
    const int first = firstVisibleRow();
    const int current = m_session->currentRow();
    bool cellPlaced = false;
    for (int p = 0; p < visibleRows; ++p) {
        Panel &panel = m_panels[p];
        const int row = first + p;
        const bool exists = row < m_session->rowCount();
        panel.frame->setVisible(exists);
        const bool archived = exists && m_session->isArchived(row);
        m_archiveMarks[p]->setVisible(archived);
        if (!exists)
            continue;
        QPalette palette = panel.frame->palette();
        palette.setColor(QPalette::Window, row == current ? currentColour : panelColour);
        palette.setColor(QPalette::Base, row == current ? currentColour : panelColour);
        // An archived record is greyed.
        palette.setColor(QPalette::WindowText,
                         archived ? archivedText : this->palette().color(QPalette::WindowText));
        palette.setColor(QPalette::Text, archived ? archivedText : this->palette().color(QPalette::Text));
        panel.frame->setPalette(palette);
        for (int f = 0; f < listFieldCount; ++f)
            panel.labels[f]->setCellText(m_session->listValue(row, f));
        const QString diagnosis = m_session->listValue(row, listFieldCount);
        panel.cell->setText(diagnosis);
        panel.cell->setCursorPosition(0);
        panel.cell->setToolTip(fitsInto(panel.cell, diagnosis, textRoom(panel.cell)) ? QString() : diagnosis);
        if (row == current) {
            m_cell->setGeometry(panel.frame->geometry().x() + panel.cell->x(), panel.frame->y() + panel.cell->y(),
                                panel.cell->width(), panel.cell->height());
            m_cell->setPalette(palette);
            cellPlaced = true;
        }
    }
    m_cell->setVisible(cellPlaced);
    if (cellPlaced) {
        m_cell->raise();
        updateCellToolTip();
    }
    m_emptyHint->setVisible(m_session->rowCount() == 0);
    for (QLabel *mark : m_archiveMarks)
        mark->raise();
}

bool DBCtrlGrid::panelMarkedArchived(int panel) const
{
    return m_archiveMarks.at(panel)->isVisibleTo(this);
}

bool DBCtrlGrid::makeCurrent(int panel)
{
    const int row = firstVisibleRow() + panel;
    if (row >= m_session->rowCount())
        return false;
    return runHandler([this, row] { m_session->moveTo(row); }) && m_session->currentRow() >= 0;
}

void DBCtrlGrid::clickPanel(int panel)
{
    if (makeCurrent(panel))
        emit clicked();
}

void DBCtrlGrid::clickCell(int panel)
{
    const int row = firstVisibleRow() + panel;
    if (row == m_session->currentRow()) {
        m_cell->setFocus(Qt::MouseFocusReason);
        return;
    }
    if (makeCurrent(panel))
        m_cell->setFocus(Qt::MouseFocusReason);
}

bool DBCtrlGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    for (int p = 0; p < visibleRows; ++p) {
        const Panel &panel = m_panels[p];
        if (watched == panel.cell) {
            clickCell(p);
            return true;
        }
        if (watched == panel.frame ||
            std::find(panel.labels.begin(), panel.labels.end(), watched) != panel.labels.end()) {
            clickPanel(p);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DBCtrlGrid::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y() / 120;
    m_scrollBar->setValue(m_scrollBar->value() - steps * 3);
    event->accept();
}
