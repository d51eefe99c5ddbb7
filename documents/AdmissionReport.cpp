#include "documents/AdmissionReport.h"
#include "text/Error.h"
#include "text/SafeFile.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace {

// Page geometry in millimetres.
constexpr double pageMarginLeft = 10.0;
constexpr double pageMarginTop = 20.0;
constexpr double pageMarginRight = 36.0;
constexpr double pageMarginBottom = 15.0;
constexpr double printableWidth = 210.0 - pageMarginLeft - pageMarginRight;  // 164
constexpr double printableHeight = 297.0 - pageMarginTop - pageMarginBottom; // 262
constexpr double headerHeight = 31.0;
constexpr double bodyWidth = 163.2;
constexpr double bodyHeight = printableHeight - headerHeight;

// Font sizes in points; the body's 19 screen pixels are 14.25 points.
constexpr double titlePoints = 22.0;
constexpr double labelPoints = 12.0;
constexpr double reportPoints = 10.0;
constexpr double bodyPoints = 19.0 * 72.0 / 96.0;

const char *const reportFamily = "Arial";

QPageLayout reportPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(pageMarginLeft, pageMarginTop, pageMarginRight, pageMarginBottom),
                       QPageLayout::Millimeter);
}

QFont kaiFont(double points, bool bold = false)
{
    QFont font(AdmissionReport::kaiFamily());
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont reportFont()
{
    QFont font(QString::fromLatin1(reportFamily));
    font.setPointSizeF(reportPoints);
    // A face without Chinese still shows an admission number that holds some.
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// Painter coordinates start at the top left corner of the printable area.
class PageGeometry
{
public:
    explicit PageGeometry(const QPaintDevice *device)
        : m_xPerMm(device->logicalDpiX() / 25.4), m_yPerMm(device->logicalDpiY() / 25.4)
    {}
    double x(double mm) const { return mm * m_xPerMm; }
    double y(double mm) const { return mm * m_yPerMm; }

private:
    double m_xPerMm;
    double m_yPerMm;
};

// A header element sized to its text: the text's top at the element's top.
void drawLabel(QPainter &painter, const PageGeometry &g, double leftMm, double topMm, const QFont &font,
               const QString &text)
{
    if (text.isEmpty())
        return;
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    painter.drawText(QPointF(g.x(leftMm), g.y(topMm) + metrics.ascent()), text);
}

void drawHeader(QPainter &painter, const PageGeometry &g, const QString &admissionNumber,
                const QString &departmentName, int pageNumber)
{
    // The hospital-name label is switched off in this report, so it is not drawn.
    drawLabel(painter, g, 46.6, 10.6, kaiFont(titlePoints, true), QStringLiteral("入  院  记  录"));
    drawLabel(painter, g, 120.7, 14.8, kaiFont(labelPoints), QStringLiteral("住院号："));
    drawLabel(painter, g, 139.7, 14.8, reportFont(), admissionNumber);
    drawLabel(painter, g, 0.0, 25.4, kaiFont(labelPoints), QStringLiteral("科别："));
    drawLabel(painter, g, 14.8, 25.4, kaiFont(labelPoints), departmentName);
    drawLabel(painter, g, 133.3, 25.4, kaiFont(labelPoints), QStringLiteral("第"));
    drawLabel(painter, g, 141.8, 25.4, reportFont(), QString::number(pageNumber));
    drawLabel(painter, g, 148.2, 25.4, kaiFont(labelPoints), QStringLiteral("页"));

    QPen rule(Qt::black);
    rule.setWidthF(g.y(0.25));
    painter.setPen(rule);
    painter.drawLine(QPointF(0, g.y(headerHeight)), QPointF(g.x(printableWidth), g.y(headerHeight)));
}

} // namespace

AdmissionReport::AdmissionReport(const QString &admissionNumber, const QString &departmentName,
                                 const QString &body)
    : m_admissionNumber(admissionNumber), m_departmentName(departmentName), m_body(body)
{}

QString AdmissionReport::kaiFamily()
{
    static const QString family = [] {
        const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        const QString preferred = QStringLiteral("AR PL UKai CN");
        if (families.contains(preferred) || QFontDatabase::families().contains(preferred))
            return preferred;
        for (const QString &f : families)
            if (f.contains(QLatin1String("Kai"), Qt::CaseInsensitive) || f.contains(QStringLiteral("楷")))
                return f;
        return families.isEmpty() ? QFont().family() : families.first();
    }();
    return family;
}

void AdmissionReport::preparePrinter(QPrinter *printer)
{
    printer->setPageLayout(reportPageLayout());
    printer->setFullPage(false);
    printer->setCopyCount(1);
    printer->setDuplex(QPrinter::DuplexNone);
    printer->setPrintRange(QPrinter::AllPages);
    printer->setPaperSource(QPrinter::Manual);
}

void AdmissionReport::render(QPrinter *printer) const
{
    printer->setPageLayout(reportPageLayout());
    printer->setFullPage(false);
    paint(printer);
}

void AdmissionReport::renderToPdf(const QString &path) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setPageLayout(reportPageLayout());
        writer.setCreator(QStringLiteral("Quillcase"));
        writer.setTitle(QStringLiteral("入院记录"));
        paint(&writer);
    }
    text::writeFileWhole(path, buffer.data(), true); // patient data: the owner alone reads it
}

void AdmissionReport::paint(QPagedPaintDevice *device) const
{
    const PageGeometry g(device);

    // The body is laid out on the device itself, so line breaks and page breaks fall
    // where they will be printed; a line never straddles two pages.
    QTextDocument body;
    body.documentLayout()->setPaintDevice(device);
    body.setDocumentMargin(0);
    body.setDefaultFont(kaiFont(bodyPoints));
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    body.setDefaultTextOption(option);
    body.setPlainText(m_body);
    // A whole number of device pixels, so that the layout's page breaks (kept in 1/64
    // pixel steps) fall exactly where the pages are cut.
    const double pageHeight = std::floor(g.y(bodyHeight));
    body.setPageSize(QSizeF(g.x(bodyWidth), pageHeight));
    const int pages = std::max(1, body.pageCount());

    QPainter painter;
    if (!painter.begin(device))
        throw Error(QStringLiteral("无法开始打印：打印设备不可用"));
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device->newPage())
            throw Error(QStringLiteral("无法开始新的一页：打印设备出错"));
        drawHeader(painter, g, m_admissionNumber, m_departmentName, page + 1);
        // Each line is drawn on its own page only. Clipping the whole body to the page
        // would hide the neighbouring lines but still put their text into a PDF, where
        // a search or a copy would find it twice.
        painter.setPen(Qt::black);
        for (QTextBlock block = body.begin(); block.isValid(); block = block.next()) {
            const QTextLayout *layout = block.layout();
            const QPointF origin = layout->position();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                if (int(std::floor((origin.y() + line.y() + 0.01) / pageHeight)) != page)
                    continue;
                line.draw(&painter, QPointF(origin.x(), g.y(headerHeight) + origin.y() - page * pageHeight));
            }
        }
    }
    painter.end();
}
