#pragma once

#include "chordmemo.h"

#include <QList>
#include <QObject>

class QAction;
class SoundMenu;

namespace sound
{
class ChordPlayer;
} // namespace sound

namespace song
{
class SongPlayer;
} // namespace song

namespace ui
{
class ChordBoxes;
class ChordWindow;
class NoticeLine;
class SongSettingsStore;

// The song played: 曲を再生, 停止, テンポ, 繰り返し and カウント at the end of
// the 音 menu, and the window following the bars. Following shows each bar's
// chord as a chosen chord is shown, but stores nothing and sounds nothing of
// its own: the song player sounds it. Playing ends by giving the window back
// the chord it had on show.
class SongPlayback : public QObject
{
    Q_OBJECT
public:
    // All stay the caller's and outlive this.
    SongPlayback(ChordWindow *window, ChordBoxes *boxes, sound::ChordPlayer *player,
        SongSettingsStore *store, NoticeLine *notice, SoundMenu *menu);

    // Greyed with no sound, or with nothing in the boxes to play; 停止 only while playing.
    void updatePlayItems();
    void stop();

signals:
    // The chord of the bar the song is playing, for MIDI output; empty at a
    // rest and when playing ends, which lets the last one go.
    void songChordSounding(const QList<int> &semitones);

private:
    void playClicked();
    void tempoClicked();
    void startPlaying();
    void showBar(int bar);
    void showRest(const memo::ChordText &chord);
    void playStopped();
    void chordStored(const QString &root, const QString &kind);
    void takeBackShownChord();

    ChordWindow *m_window;
    ChordBoxes *m_boxes;
    sound::ChordPlayer *m_player;
    SongSettingsStore *m_store;
    NoticeLine *m_notice;
    song::SongPlayer *m_songPlayer;
    QAction *m_play = nullptr;
    QAction *m_stop = nullptr;
    QAction *m_loop = nullptr;
    QAction *m_countIn = nullptr;
    bool m_playWanted = false; // 曲を再生 waits for the output to open
    int m_shownBar = -1; // the chord whose bar the window shows; -1 while it shows the user's chord
    memo::ChordText m_beforePlay; // the user's chord on show, given back when playing stops
};

} // namespace ui
