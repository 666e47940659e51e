#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

namespace widgets
{

// A rectangle or circle with a one-pixel outline in the window-text colour,
// filled or hollow. It is drawing only: clicks pass through to what lies
// behind it.
class ShapeWidget : public QWidget
{
    Q_OBJECT
public:
    enum class Form { Rectangle, Circle };

    explicit ShapeWidget(Form form, QWidget *parent = nullptr);

    Form form() const { return m_form; }
    // No fill leaves the inside see-through.
    void setFill(const std::optional<QColor> &fill);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Form m_form;
    std::optional<QColor> m_fill;
};

} // namespace widgets
