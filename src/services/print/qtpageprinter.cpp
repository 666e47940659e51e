#include "pageprinter.h"

#include <QObject>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

// The plugin that brings Qt's print support in when something is printed.
class QtPagePrinter final : public QObject, public services::PagePrinter
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SoraminaPagePrinter_iid)
    Q_INTERFACES(services::PagePrinter)
public:
    Printed print(
        QWidget *parent, const QString &title, const QString &pdfFile, const Draw &draw) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}));
        printer.setDocName(title);
        printer.setOutputFileName(pdfFile);
        QPrintDialog dialog(&printer, parent);
        dialog.setObjectName(QStringLiteral("printDialog"));
        if (dialog.exec() != QDialog::Accepted)
            return Printed::Cancelled;
        QPainter painter;
        if (!painter.begin(&printer))
            return Printed::Failed;
        // The painter's origin is the printable area's corner.
        const QRectF page(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
        bool drawn = true;
        for (int index = 0, pages = 1; index < pages && drawn; ++index) {
            drawn = index == 0 || printer.newPage();
            if (drawn)
                pages = draw(painter, page, index);
        }
        return painter.end() && drawn ? Printed::Done : Printed::Failed;
    }
};

#include "qtpageprinter.moc"
