#include "app/HelpWindow.h"
#include "app/ChmFile.h"

#include <QHBoxLayout>
#include <QRegularExpression>
#include <QSplitter>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

// Reads the pages of the help file instead of files on disk; every link and picture of a
// page resolves inside the file.
class ChmBrowser : public QTextBrowser
{
public:
    ChmBrowser(const ChmFile *file, QWidget *parent) : QTextBrowser(parent), m_file(file) {}

    QVariant loadResource(int type, const QUrl &name) override
    {
        const QByteArray bytes = m_file->read(name.path());
        if (bytes.isEmpty())
            return QTextBrowser::loadResource(type, name);
        if (type == QTextDocument::HtmlResource) {
            QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
            return decoder.isValid() ? QString(decoder(bytes)) : QString::fromUtf8(bytes);
        }
        return bytes;
    }

private:
    const ChmFile *m_file;
};

} // namespace

HelpWindow::HelpWindow(const QString &helpFile, QWidget *parent)
    : QWidget(parent, Qt::Window), m_file(std::make_unique<ChmFile>(helpFile))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("帮助"));
    auto *splitter = new QSplitter(this);
    m_contents = new QTreeWidget(splitter);
    m_contents->setObjectName(QStringLiteral("HelpContents"));
    m_contents->setHeaderHidden(true);
    m_browser = new ChmBrowser(m_file.get(), splitter);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 640});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(900, 640);

    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { showPage(item->data(0, Qt::UserRole).toString()); });
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { showPage(item->data(0, Qt::UserRole).toString()); });
    if (m_file->isOpen()) {
        fillContents();
        showPage(m_file->defaultTopic());
    }
}

HelpWindow::~HelpWindow() = default;

bool HelpWindow::isOpen() const
{
    return m_file->isOpen();
}

void HelpWindow::showPage(const QString &page)
{
    if (page.isEmpty())
        return;
    m_browser->setSource(QUrl(page.startsWith(QLatin1Char('/')) ? page : QLatin1Char('/') + page));
}

// The contents file is a sitemap: nested <ul> lists of <object> entries with a Name and
// a Local parameter.
void HelpWindow::fillContents()
{
    const QByteArray bytes = m_file->read(m_file->contentsFile());
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    const QString sitemap = decoder.isValid() ? QString(decoder(bytes)) : QString::fromUtf8(bytes);
    static const QRegularExpression token(
        QStringLiteral("<\\s*(/?)\\s*ul\\b[^>]*>|<\\s*object\\b[^>]*>(.*?)<\\s*/\\s*object\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression param(
        QStringLiteral("<\\s*param\\s+name\\s*=\\s*\"([^\"]*)\"\\s+value\\s*=\\s*\"([^\"]*)\""),
        QRegularExpression::CaseInsensitiveOption);
    QList<QTreeWidgetItem *> parents{nullptr};
    QTreeWidgetItem *last = nullptr;
    int depth = 0;
    for (auto it = token.globalMatch(sitemap); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.capturedStart(2) < 0) { // <ul> or </ul>
            if (match.captured(1).isEmpty()) {
                ++depth;
                if (depth > 1)
                    parents.append(last);
            } else if (depth > 0) {
                if (depth > 1)
                    parents.removeLast();
                --depth;
            }
            continue;
        }
        QString name;
        QString local;
        for (auto p = param.globalMatch(match.captured(2)); p.hasNext();) {
            const QRegularExpressionMatch m = p.next();
            if (m.captured(1).compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
                name = m.captured(2);
            else if (m.captured(1).compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0)
                local = m.captured(2);
        }
        if (name.isEmpty())
            continue;
        QTreeWidgetItem *parent = parents.constLast();
        last = parent ? new QTreeWidgetItem(parent, {name}) : new QTreeWidgetItem(m_contents, {name});
        last->setData(0, Qt::UserRole, local);
    }
    m_contents->expandAll();
}
