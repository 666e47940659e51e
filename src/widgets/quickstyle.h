#pragma once

#include <QProxyStyle>

namespace widgets
{

// The desktop's style, with one change that keeps image plugins out of
// start-up: every menu bar asks for its overflow arrow as it is made, and Qt
// reads that picture with a reader that loads every image-format plugin (the
// SVG one among them) to ask each whether it can. Here the same picture is
// read as the PNG it is, and only when first drawn. Install it before the
// first menu bar:
//     QApplication::setStyle(new widgets::QuickStyle(QApplication::style()));
class QuickStyle : public QProxyStyle
{
    Q_OBJECT
public:
    explicit QuickStyle(QStyle *base);

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
        const QWidget *widget = nullptr) const override;
};

} // namespace widgets
