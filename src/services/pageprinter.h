#pragma once

#include <QRectF>
#include <QString>
#include <QtPlugin>

#include <functional>

class QPainter;
class QWidget;

namespace services
{

// Printing a document of pages, from a plugin, so that Qt's print support (and CUPS
// behind it) loads when something is printed, never at start-up.
class PagePrinter
{
public:
    enum class Printed { Done, Cancelled, Failed };
    // Draws a page, counted from 0, on the painter over the page's printable
    // rectangle, and gives how many pages the document has.
    using Draw = std::function<int(QPainter &painter, const QRectF &page, int pageIndex)>;

    virtual ~PagePrinter() = default;

    // Asks where to print in the desktop's print dialog, on A4 portrait;
    // printing to a file proposes pdfFile.
    virtual Printed print(
        QWidget *parent, const QString &title, const QString &pdfFile, const Draw &draw)
        = 0;
};

} // namespace services

#define SoraminaPagePrinter_iid "org.soramina.Soramina.PagePrinter/2.0"
Q_DECLARE_INTERFACE(services::PagePrinter, SoraminaPagePrinter_iid)
