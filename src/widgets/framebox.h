#pragma once

#include <QWidget>

namespace widgets
{

// A frame that holds controls: an etched outline whose top edge runs
// through the caption. Children are placed from the frame's outer corner.
class FrameBox : public QWidget
{
    Q_OBJECT
public:
    explicit FrameBox(const QString &caption, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
};

} // namespace widgets
