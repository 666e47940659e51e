#pragma once

#include <QWidget>

namespace platform
{

// A frame that holds controls: an etched outline whose top edge runs
// through the caption. Children are placed from the frame's outer corner.
class FrameBox : public QWidget
{
    Q_OBJECT
public:
    explicit FrameBox(const QString &caption, QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
};

} // namespace platform
