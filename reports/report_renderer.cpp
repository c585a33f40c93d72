#include "reports/report_renderer.h"

#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <array>

namespace {

// The bands, in millimetres of the printable area (190 by 277 inside the margins).
constexpr double PageWidth = 210 - 2 * 10;
constexpr double PageHeight = 297 - 2 * 10;
constexpr double TitleHeight = 26;
constexpr double HeaderHeight = 8;
constexpr double RowHeight = 7;
constexpr double FooterHeight = 24;
constexpr double FooterTop = PageHeight - FooterHeight;

// The five cells of the column header and of every driver row.
constexpr std::array<double, 5> CellWidths{15, 121, 19, 17, 17};
const char *const CellLabels[] = {"Номер", "Фамилия   Имя   Отчество", "Коллич.", "Ставка", "Сумма"};
// Surname, first name and patronymic stand at fixed offsets within the second cell.
constexpr std::array<double, 3> NameOffsets{2, 42, 82};
constexpr double NameWidth = 38;
constexpr double TextPadding = 2;

// Arial, or the metric-compatible face that fontconfig puts in its place.
QFont reportFont(double points, bool bold = false, bool underline = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

double cellLeft(int cell)
{
    double left = 0;
    for (int i = 0; i < cell; ++i)
        left += CellWidths[i];
    return left;
}

// One page being painted: millimetres turned into the printer's dots.
class Page
{
public:
    Page(QPainter &painter, double dotsPerMm)
        : m_painter(painter)
        , m_dotsPerMm(dotsPerMm)
    {
    }

    void title(const QString &dateLabel)
    {
        text(QRectF(0, 0, PageWidth, 11), Qt::AlignHCenter | Qt::AlignVCenter, "Отчёт по принятым заказам",
             reportFont(18, true, true));
        const QFont dateFont = reportFont(16, true);
        const QString caption = QStringLiteral("Дата:");
        text(QRectF(0, 13, 30, 9), Qt::AlignLeft | Qt::AlignVCenter, caption, dateFont);
        const double captionWidth = QFontMetricsF(dateFont, m_painter.device()).horizontalAdvance(caption);
        text(QRectF(captionWidth / m_dotsPerMm + 2, 13, 60, 9), Qt::AlignLeft | Qt::AlignVCenter, dateLabel,
             dateFont);
    }

    void columnHeader(double top)
    {
        const QFont font = reportFont(10, true);
        for (int cell = 0; cell < int(CellWidths.size()); ++cell) {
            frame(cell, top, HeaderHeight);
            const Qt::Alignment alignment = cell == 1 ? Qt::AlignLeft : Qt::AlignHCenter;
            text(inner(cell, top, HeaderHeight), alignment | Qt::AlignVCenter,
                 QString::fromUtf8(CellLabels[cell]), font);
        }
    }

    void row(double top, const OrdersReportRow &row)
    {
        const QFont font = reportFont(10);
        for (int cell = 0; cell < int(CellWidths.size()); ++cell)
            frame(cell, top, RowHeight);
        const Qt::Alignment centred = Qt::AlignCenter;
        text(inner(0, top, RowHeight), centred, row.number, font);
        const QString names[] = {row.familiya, row.name, row.otchestvo};
        for (int i = 0; i < 3; ++i) {
            text(QRectF(cellLeft(1) + NameOffsets[i], top, NameWidth, RowHeight),
                 Qt::AlignLeft | Qt::AlignVCenter, names[i], font);
        }
        text(inner(2, top, RowHeight), centred, QString::number(row.orders), font);
        text(inner(3, top, RowHeight), centred, QString::number(row.rate), font);
        text(inner(4, top, RowHeight), centred, QString::number(row.amount), font);
    }

    // "Диспетчер:" with a line for the name, and below it the signature line with "(подпись)" under it.
    void footer()
    {
        constexpr double LineLeft = 30;
        constexpr double LineRight = 110;
        const double nameLine = FooterTop + 11;
        const double signatureLine = FooterTop + 19;
        text(QRectF(0, nameLine - 7, LineLeft, 7), Qt::AlignLeft | Qt::AlignBottom,
             "Диспетчер:", reportFont(12));
        line(LineLeft, LineRight, nameLine);
        line(LineLeft, LineRight, signatureLine);
        text(QRectF(LineLeft, signatureLine + 0.5, LineRight - LineLeft, 4), Qt::AlignHCenter | Qt::AlignTop,
             "(подпись)", reportFont(8));
    }

private:
    QRectF mm(const QRectF &rect) const
    {
        return {rect.left() * m_dotsPerMm, rect.top() * m_dotsPerMm, rect.width() * m_dotsPerMm,
                rect.height() * m_dotsPerMm};
    }

    static QRectF inner(int cell, double top, double height)
    {
        return {cellLeft(cell) + TextPadding, top, CellWidths[cell] - 2 * TextPadding, height};
    }

    // Texts are cut at their box, as a label of a band is.
    void text(const QRectF &box, Qt::Alignment alignment, const QString &text, const QFont &font)
    {
        m_painter.setFont(font);
        m_painter.setPen(Qt::black);
        m_painter.drawText(mm(box), int(alignment) | Qt::TextSingleLine, text);
    }

    void frame(int cell, double top, double height)
    {
        m_painter.setPen(QPen(Qt::black, 0.25 * m_dotsPerMm));
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawRect(mm(QRectF(cellLeft(cell), top, CellWidths[cell], height)));
    }

    void line(double left, double right, double y)
    {
        m_painter.setPen(QPen(Qt::black, 0.25 * m_dotsPerMm));
        m_painter.drawLine(QPointF(left * m_dotsPerMm, y * m_dotsPerMm),
                           QPointF(right * m_dotsPerMm, y * m_dotsPerMm));
    }

    QPainter &m_painter;
    double m_dotsPerMm;
};

} // namespace

ReportRenderer::ReportRenderer(const OrdersReport &report)
    : m_report(report)
{
}

void ReportRenderer::setUpPage(QPrinter &printer)
{
    printer.setFullPage(false);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
}

QVector<int> ReportRenderer::rowsPerPage() const
{
    QVector<int> pages;
    if (!m_report.hasPages)
        return pages;
    int left = int(m_report.rows.size());
    double rowsTop = TitleHeight + HeaderHeight;
    do {
        const int fit = int((FooterTop - rowsTop) / RowHeight);
        pages.append(std::min(left, fit));
        left -= pages.last();
        rowsTop = HeaderHeight;
    } while (left > 0);
    return pages;
}

bool ReportRenderer::paint(QPrinter &printer) const
{
    const QVector<int> pages = rowsPerPage();
    if (pages.isEmpty())
        return true;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    Page page(painter, printer.resolution() / 25.4);
    int row = 0;
    for (int number = 0; number < pages.size(); ++number) {
        if (number > 0)
            printer.newPage();
        double top = 0;
        if (number == 0) {
            page.title(m_report.dateLabel);
            top = TitleHeight;
        }
        page.columnHeader(top);
        top += HeaderHeight;
        for (int i = 0; i < pages.at(number); ++i, ++row, top += RowHeight)
            page.row(top, m_report.rows.at(row));
        page.footer();
    }
    return painter.end();
}
