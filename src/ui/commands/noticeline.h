#pragma once

#include "twips.h"

#include <QObject>

#include <string_view>

class QLabel;
class QTimer;

namespace ui
{
class ChordWindow;

// A one-line notice over the help line above the memo, hidden at first,
// white text on its colour: lines over the window's text say what matters now.
QLabel *noticeLabel(QWidget *parent, const QString &name, const widgets::TwipsRect &rect,
    std::string_view colour, std::string_view textColour);

// The notice of an edit that was refused or of a file written, "lblnotice":
// shown for a few seconds, spoken as it comes into view.
class NoticeLine : public QObject
{
    Q_OBJECT
public:
    explicit NoticeLine(ChordWindow *window);

    void show(const QString &text);

private:
    ChordWindow *m_window;
    QLabel *m_label;
    QTimer *m_timer;
};

} // namespace ui
