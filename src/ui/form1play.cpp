#include "form1.h"
#include "form1layout.h"

#include "chordplayer.h"
#include "clicklabel.h"
#include "colour.h"
#include "form1access.h"
#include "memokeeper.h"
#include "placement.h"
#include "songplayer.h"
#include "songsettings.h"
#include "soundmenu.h"
#include "tempodialog.h"

#include <QAction>
#include <QLineEdit>
#include <QSettings>

using namespace ui::layout;

// Playing the song: the items of the 音 menu, and the window following the
// bars. Following shows each bar's chord as a chosen chord is shown, but
// stores nothing and sounds nothing of its own: the song player sounds it.

namespace
{
constexpr char LoopKey[] = "sound/loop";
constexpr char CountInKey[] = "sound/countIn";

struct PlayItem {
    const char *name;
    const char *caption;
    QKeySequence key;
    void (Form1::*handler)();
    QAction *Form1::*item; // where the window keeps it; none
};
} // namespace

void Form1::buildPlayItems(SoundMenu *menu, sound::ChordPlayer *player)
{
    m_chords = player;
    m_songPlayer = new song::SongPlayer(this);
    connect(m_songPlayer, &song::SongPlayer::barStarted, this, &Form1::showBar);
    connect(m_songPlayer, &song::SongPlayer::stopped, this, &Form1::playStopped);
    connect(player, &sound::ChordPlayer::ready, this, [this] {
        if (std::exchange(m_playWanted, false))
            startPlaying();
    });
    connect(player, &sound::ChordPlayer::unavailable, this, [this](const QString &reason) {
        if (std::exchange(m_playWanted, false))
            showNotice(reason);
    });

    menu->addSeparator();
    const PlayItem items[] {
        {"playSong", "曲を再生(&P)", QKeySequence(Qt::Key_F5), &Form1::play_Click,
            &Form1::playSong},
        {"stopSong", "停止(&S)", QKeySequence(Qt::SHIFT | Qt::Key_F5), &Form1::stop_Click,
            &Form1::stopSong},
        {"tempo", "テンポ(&M)...", QKeySequence(), &Form1::tempo_Click, nullptr},
    };
    for (const PlayItem &item : items) {
        QAction *action = menu->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(item.key);
        connect(action, &QAction::triggered, this, item.handler);
        if (item.item)
            this->*item.item = action;
    }

    const auto keptCheck = [this, menu](const char *caption, const char *name, const char *key) {
        QAction *action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        action->setChecked(m_settings && m_settings->value(key, false).toBool());
        connect(action, &QAction::toggled, this, [this, key](bool on) {
            if (m_settings)
                m_settings->setValue(key, on);
        });
        return action;
    };
    loopItem = keptCheck("繰り返し(&L)", "loop", LoopKey);
    countInItem = keptCheck("カウント(&C)", "countIn", CountInKey);
    connect(loopItem, &QAction::toggled, m_songPlayer, &song::SongPlayer::setLoop);

    if (!player->isAvailable())
        menu->showUnavailable(player->unavailableReason());
    updatePlayItems();
}

// Greyed with no sound, or with nothing in the memo to play; 停止 only while playing.
void Form1::updatePlayItems()
{
    if (!playSong || !m_chords->isAvailable())
        return;
    bool anything = false;
    for (int box = 0; box < memo::MemoSlotCount && !anything; ++box)
        anything = !m_memo.fetch(box).root.isEmpty() || !m_memo.fetch(box).kind.isEmpty();
    const bool playing = m_songPlayer->isPlaying() || m_playWanted;
    playSong->setEnabled(anything || playing);
    stopSong->setEnabled(playing);
}

// F5 again stops.
void Form1::play_Click()
{
    if (m_songPlayer->isPlaying() || m_playWanted)
        return stop_Click();
    if (m_chords->output())
        return startPlaying();
    m_playWanted = true; // once the output is open
    updatePlayItems();
    m_chords->preload();
}

void Form1::stop_Click()
{
    m_playWanted = false;
    m_songPlayer->stop();
    updatePlayItems();
}

void Form1::tempo_Click()
{
    const song::SongSettings now = m_settings
        ? song::loadSongSettings(*m_settings, m_keeper->path())
        : song::SongSettings {};
    ui::TempoDialog dialog(now, this);
    if (dialog.exec() != QDialog::Accepted || !m_settings)
        return;
    song::saveSongSettings(*m_settings, m_keeper->path(), dialog.chosen());
}

void Form1::startPlaying()
{
    song::PlayOptions options;
    options.firstBar = hasSelectedBox() ? m_memo.curslot : 0;
    options.loop = loopItem->isChecked();
    options.countIn = countInItem->isChecked();
    m_beforePlay = {txtcode1->text(), txtcode2->text()};
    const song::Song tune = currentSong();
    m_songPlayer->start(
        *m_chords->output(),
        [this, tune] {
            song::Song now = song::songFromMemo(m_memo, tune.title);
            now.tempo = tune.tempo;
            now.beatsPerBar = tune.beatsPerBar;
            return now;
        },
        options);
    updatePlayItems();
}

void Form1::markPlaying(int box)
{
    if (m_playingBox >= 0)
        widgets::setBackColour(lblslot[m_playingBox],
            widgets::hexColour(QString::fromLatin1(
                m_playingBox == m_memo.curslot ? SelectedSlotColour : SlotColour)));
    m_playingBox = box;
    if (box >= 0)
        widgets::setBackColour(lblslot[box], widgets::hexColour(QString::fromLatin1(PlayingSlotColour)));
    m_access->setPlaying(box);
}

// A bar's chord on show; the text boxes keep what the user is typing into them.
void Form1::showBar(int bar)
{
    if (bar == song::CountInBar)
        return;
    markPlaying(bar);
    const memo::ChordText chord = m_memo.fetch(bar);
    if (!txtcode1->isModified() && !txtcode2->isModified()) {
        txtcode1->setText(chord.root);
        txtcode2->setText(chord.kind);
    }
    const std::vector<int> notes = chord::soundingNotes(displayChord(chord.root, chord.kind));
    emit songChordSounding(QList<int>(notes.begin(), notes.end()));
}

void Form1::playStopped()
{
    if (m_playingBox < 0) {
        updatePlayItems();
        return; // stopped before its first bar
    }
    markPlaying(-1);
    emit songChordSounding({});
    if (!txtcode1->isModified() && !txtcode2->isModified()) {
        txtcode1->setText(m_beforePlay.root);
        txtcode2->setText(m_beforePlay.kind);
    }
    displayChord(m_beforePlay.root, m_beforePlay.kind);
    updatePlayItems();
}

// An option button changes one half of the chord the user had on show, not
// of the bar's that the window follows.
void Form1::takeBackShownChord()
{
    if (m_playingBox < 0 || txtcode1->isModified() || txtcode2->isModified())
        return;
    txtcode1->setText(m_beforePlay.root);
    txtcode2->setText(m_beforePlay.kind);
}
