#pragma once

#include "chordmemo.h"
#include "placement.h"
#include "textfile.h"

#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QStringList>

class QAction;

namespace ui
{

// What the controllers see of the window: where their menus go, the chord
// on show, the look of the memo boxes, and the window's events. Form1 is the
// window; the controllers' tests make fakes of it.
class ChordWindow : public QMainWindow
{
    Q_OBJECT
public:
    using QMainWindow::QMainWindow;

    // The file menu's own items go before fileItemsEnd(), the separator above 終了.
    virtual QMenu *fileMenu() const = 0;
    virtual QAction *fileItemsEnd() const = 0;
    // The menus of the menu bar go before ヘルプ, the last one.
    virtual QAction *helpMenuAction() const = 0;

    // What the two text boxes hold, shown or not.
    virtual memo::ChordText typedChord() const = 0;
    // Writes a chord into the text boxes, unless the user is typing into one.
    virtual void showInTextBoxes(const memo::ChordText &chord) = 0;
    // The chord on the keyboard, the name line, the error label and the
    // option buttons; nothing stored, nothing sounded.
    virtual chord::ChordPlacement displayChord(const QString &root, const QString &kind) = 0;
    // A bar that sounds nothing: name on the line, no markers and no option
    // selected; root and kind are what its box holds when that names no chord.
    virtual void showRest(const QString &name, const QString &root, const QString &kind) = 0;
    // The chord goes into the text boxes and is shown and stored as a chosen
    // one is, but not announced: it is already the receiving box's.
    virtual void showStoredChord(const memo::ChordText &chord) = 0;
    // A chord played on a MIDI keyboard: written into the text boxes and
    // shown as the 表示 button shows it.
    virtual void showPlayedChord(const QString &root, const QString &kind) = 0;

    virtual void showBoxCaption(int box, const QString &caption) = 0;
    // Colours the box whose bar the song plays; -1 for none.
    virtual void markPlaying(int box) = 0;
    // Every box in its plain colour: another memo is open.
    virtual void unselectBoxes() = 0;

    // A one-line notice over the window's controls, under the About panel;
    // announce() speaks one that has just come into view.
    virtual void raiseNotice(QWidget *notice) = 0;
    virtual void announce(QWidget *notice) = 0;
    // Shortcuts of the window that the text boxes leave to it.
    virtual void leaveKeysToWindow(const QList<QKeySequence> &keys) = 0;

    // The close goes through, without saving or asking again.
    virtual void closeNow() = 0;

    // A whole chord chosen at once, shown, stored and sounded as an option
    // button's choice is.
    virtual void showChosenChord(const QString &root, const QString &kind) = 0;
    // The receiving box moves to box, its chord staying off the keyboard:
    // the chord on show is still the one just stored.
    virtual void moveReceivingBox(int box) = 0;
    // The shown boxes' degrees in the song's key, a list entry each: the line
    // their tooltip and description tell (empty for none), and what a box
    // shows in place of its name (an empty list or entry: the name).
    virtual void showDegrees(const QStringList &lines, const QStringList &captions) = 0;

signals:
    // A chord the user brought onto the keyboard (not the one shown as the
    // window opens): its different notes low to high, in semitones above the
    // keyboard's lowest C; empty when its root or kind is not recognised.
    void chordShown(const QList<int> &semitones);
    // A key of the drawn keyboard toggled in the pick, in semitones above its lowest C.
    void keyClicked(int semitone);
    // The chord on show goes into box; a typed one merges into the history's
    // last step for its box.
    void chordStored(int box, const QString &root, const QString &kind, bool typed);
    // An option button is about to change one half of the chord on show.
    void halfChosen();
    // The user chose the receiving box.
    void boxChosen(int box);
    // A box dragged onto another, copied or moved.
    void boxDropped(int from, int to, bool copy);
    // The memo was read at the window's load.
    void loaded();
    // The window's unload: a close waits for the memo's save.
    void unloading();
};

// Why a ChordPro song sheet is refused as a memo, by the load and by 開く.
services::FileError chordProRefusal(const QString &path);

} // namespace ui
