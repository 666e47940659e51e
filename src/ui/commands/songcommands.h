#pragma once

#include <QList>
#include <QObject>

class QAction;
class QLabel;
class QMenu;

namespace ui
{
class ChordBoxes;
class ChordWindow;
class NoticeLine;

// What only a song has, at the end of the edit menu: its pages, turned by
// PageUp and PageDown wherever the focus is, with the page line beside the
// keyboard; the chosen box's length (長さ) and the section it begins.
class SongCommands : public QObject
{
    Q_OBJECT
public:
    // All stay the caller's and outlive this.
    SongCommands(ChordWindow *window, ChordBoxes *boxes, QMenu *editMenu, NoticeLine *notice);

    // Turns by pages, as PageDown (1) and PageUp (-1) do.
    void turn(int pages);
    QLabel *pageLine() const { return m_pageLine; }

private:
    void pageShown();
    void updateItems();
    void setLength(int beats);
    void otherLengthClicked();
    void sectionClicked();
    // The receiving box, or nothing when none is chosen.
    bool hasBox() const;

    ChordWindow *m_window;
    ChordBoxes *m_boxes;
    NoticeLine *m_notice;
    QLabel *m_pageLine;
    QList<QAction *> m_songItems; // greyed without a song
    QAction *m_previous = nullptr;
    QAction *m_next = nullptr;
    int m_shownPage = -1; // the page the line says, to speak it only when it turns
};

} // namespace ui
