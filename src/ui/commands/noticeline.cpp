#include "noticeline.h"

#include "chordwindow.h"
#include "colour.h"

#include <QLabel>
#include <QTimer>

namespace
{
// Where the notice of failed saves lies too, for a few seconds.
constexpr widgets::TwipsRect NoticeRect {240, 2280, 8415, 255};
constexpr std::string_view NoticeColour = "&h804000"; // dark blue
constexpr std::string_view NoticeTextColour = "&hffffff";
constexpr int NoticeMs = 5000;
} // namespace

QLabel *ui::noticeLabel(QWidget *parent, const QString &name, const widgets::TwipsRect &rect,
    std::string_view colour, std::string_view textColour)
{
    auto *notice = new QLabel(parent);
    notice->setObjectName(name);
    widgets::placeInTwips(notice, rect);
    notice->setTextFormat(Qt::PlainText);
    notice->setAutoFillBackground(true);
    QPalette palette = notice->palette();
    palette.setColor(QPalette::Window, widgets::hexColour(QString::fromLatin1(colour)));
    palette.setColor(QPalette::WindowText, widgets::hexColour(QString::fromLatin1(textColour)));
    notice->setPalette(palette);
    notice->hide();
    return notice;
}

ui::NoticeLine::NoticeLine(ChordWindow *window)
    : QObject(window)
    , m_window(window)
    , m_label(noticeLabel(window->centralWidget(), QStringLiteral("lblnotice"), NoticeRect,
          NoticeColour, NoticeTextColour))
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(NoticeMs);
    connect(m_timer, &QTimer::timeout, m_label, &QWidget::hide);
}

void ui::NoticeLine::show(const QString &text)
{
    m_label->setText(text);
    m_label->setAccessibleName(text);
    m_label->show();
    m_window->raiseNotice(m_label);
    m_timer->start();
    m_window->announce(m_label);
}
