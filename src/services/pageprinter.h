#pragma once

#include <QRectF>
#include <QString>
#include <QtPlugin>

#include <functional>

class QPainter;
class QWidget;

namespace services
{

// Printing one page, from a plugin, so that Qt's print support (and CUPS
// behind it) loads when something is printed, never at start-up.
class PagePrinter
{
public:
    enum class Printed { Done, Cancelled, Failed };
    // Draws the page on the painter over the page's printable rectangle.
    using Draw = std::function<void(QPainter &painter, const QRectF &page)>;

    virtual ~PagePrinter() = default;

    // Asks where to print in the desktop's print dialog, on A4 portrait;
    // printing to a file proposes pdfFile.
    virtual Printed print(
        QWidget *parent, const QString &title, const QString &pdfFile, const Draw &draw)
        = 0;
};

} // namespace services

#define SoraminaPagePrinter_iid "org.soramina.Soramina.PagePrinter/1.0"
Q_DECLARE_INTERFACE(services::PagePrinter, SoraminaPagePrinter_iid)
