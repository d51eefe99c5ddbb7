#include "records/TFormHistory.h"
#include "records/Dialogs.h"
#include "records/ErrorBox.h"
#include "records/HistoryView.h"
#include "records/RecordSession.h"
#include "text/SafeFile.h"

#include <QBuffer>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPdfWriter>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

TFormHistory::TFormHistory(RecordSession *session)
    : SecondaryWindow(QStringLiteral("修改痕迹")), m_session(session)
{
    setObjectName(QStringLiteral("TFormHistory"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    resize(640, 600);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("CaptionLabel"));
    top->addWidget(m_caption, 1);
    top->addWidget(new QLabel(QStringLiteral("字段："), this));
    m_filter = new QComboBox(this);
    m_filter->setObjectName(QStringLiteral("FieldFilter"));
    m_filter->setMinimumWidth(160);
    top->addWidget(m_filter);
    layout->addLayout(top);

    m_list = new QTextBrowser(this);
    m_list->setObjectName(QStringLiteral("HistoryList"));
    m_list->setOpenLinks(false);
    layout->addWidget(m_list, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *exportButton = new QPushButton(QStringLiteral("导出 PDF…"), this);
    exportButton->setObjectName(QStringLiteral("ExportButton"));
    auto *closeButton = new QPushButton(QStringLiteral("关闭"), this);
    closeButton->setObjectName(QStringLiteral("CloseButton"));
    buttons->addWidget(exportButton);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    connect(m_filter, &QComboBox::currentIndexChanged, this, &TFormHistory::render);
    connect(exportButton, &QPushButton::clicked, this, &TFormHistory::exportClicked);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
}

void TFormHistory::showForCurrentRecord()
{
    reload();
    showOverMainWindow();
}

void TFormHistory::reload()
{
    const int row = m_session->currentRow();
    const qint64 id = m_session->currentRecordId();
    // An appended record not stored yet has no trail.
    m_entries = id > 0 ? m_session->store()->history(id) : std::vector<TrailEntry>();
    m_heading =
        row >= 0 ? QStringLiteral("床号 %1　%2　住院号 %3")
                       .arg(m_session->value(QStringLiteral("Bed")), m_session->value(QStringLiteral("Name")),
                            m_session->value(QStringLiteral("ID")))
                 : QString();
    if (m_session->isArchived())
        m_heading += QStringLiteral("　（已归档）");
    m_caption->setText(m_heading);

    const QSignalBlocker block(m_filter);
    m_filter->clear();
    m_filter->addItem(QStringLiteral("全部字段"), QString());
    for (const QString &column : historyview::columnsIn(m_entries))
        m_filter->addItem(historyview::fieldLabel(column), column);
    m_filter->setCurrentIndex(0);
    render();
}

QString TFormHistory::filterColumn() const
{
    return m_filter->currentData().toString();
}

void TFormHistory::setFilterColumn(const QString &columnName)
{
    const int index = m_filter->findData(columnName);
    m_filter->setCurrentIndex(index < 0 ? 0 : index);
}

void TFormHistory::render()
{
    m_shownHtml = historyview::historyHtml(historyview::filtered(m_entries, filterColumn()),
                                           QStringLiteral("修改痕迹　") + m_heading);
    m_list->setHtml(m_shownHtml);
}

void TFormHistory::exportPdf(const QString &path) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setTitle(QStringLiteral("修改痕迹"));
        writer.setCreator(QStringLiteral("Quillcase"));
        QTextDocument document;
        document.setDefaultFont(font());
        document.setHtml(m_shownHtml);
        document.print(&writer);
    }
    buffer.close();
    text::writeFileWhole(path, buffer.data(), true);
}

void TFormHistory::exportClicked()
{
    runHandler([this] {
        const std::optional<QString> path =
            Dialogs::current().saveFileName(this, QStringLiteral("修改痕迹.pdf"));
        if (path)
            exportPdf(*path);
    });
}
