#pragma once

#include "reports/orders_report_model.h"

class QPrinter;

// Paints the orders report band by band onto a printer (the preview's, a real one, or a PDF file):
// A4 portrait with 10 mm margins, Arial; the title on the first page, the column header at the top
// of every page, a framed row per driver, and the footer with the dispatcher's signature lines at the
// bottom of every page.
class ReportRenderer
{
public:
    explicit ReportRenderer(const OrdersReport &report);

    // The report's page: A4 portrait, 10 mm margins on all four sides.
    static void setUpPage(QPrinter &printer);

    // Paints every page onto a printer set up with setUpPage(); paints nothing, not even an empty
    // page, when the report has no pages. Returns false when the printer could not be opened.
    bool paint(QPrinter &printer) const;

private:
    // How many rows each page holds, as the bands fall; no page when the report has none.
    QVector<int> rowsPerPage() const;

    const OrdersReport &m_report;
};
