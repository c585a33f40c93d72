#include "reports/report_layout.h"

#include "data/data_error.h"
#include "reports/report_renderer.h"
#include "ui/messages.h"

#include <QDate>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

namespace {

QString cannotOpen(const QPrinter &printer)
{
    const QString target =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    return QStringLiteral("Не удалось начать печать отчёта: принтер или файл «%1» недоступен.").arg(target);
}

} // namespace

TForm15::TForm15(TDataModule2 &dm, Messages &messages, QObject *parent)
    : QObject(parent)
    , m_dm(dm)
    , m_messages(messages)
{
    setObjectName("TForm15");
}

void TForm15::build(const QDate &date, int rate)
{
    m_report = buildOrdersReport(m_dm, date, m_dateLabel, rate);
}

void TForm15::Preview(QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    ReportRenderer::setUpPage(printer);
    printer.setDocName("Отчёт по принятым заказам");
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName("QRPreview");
    // Painted for the preview and again for each printing from it, onto the printer or file chosen there.
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) {
        if (!ReportRenderer(m_report).paint(*target))
            m_messages.error(cannotOpen(*target));
    });
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        preview.resize(screen->availableSize() * 0.85);
    preview.exec();
}

void TForm15::print(QPrinter &printer) const
{
    ReportRenderer::setUpPage(printer);
    if (!ReportRenderer(m_report).paint(printer))
        throw DataError(cannotOpen(printer));
}
