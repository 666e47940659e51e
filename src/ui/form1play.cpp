#include "form1.h"
#include "form1layout.h"

#include "chordplayer.h"
#include "clicklabel.h"
#include "colour.h"
#include "form1access.h"
#include "memokeeper.h"
#include "optiongroup.h"
#include "placement.h"
#include "shapewidget.h"
#include "song.h"
#include "songplayer.h"
#include "songsettings.h"
#include "soundmenu.h"
#include "tempodialog.h"

#include <QAction>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>

#include <algorithm>
#include <functional>

using namespace ui::layout;

// Playing the song: the items of the 音 menu, and the window following the
// bars. Following shows each bar's chord as a chosen chord is shown, but
// stores nothing and sounds nothing of its own: the song player sounds it.

namespace
{
constexpr char LoopKey[] = "sound/loop";
constexpr char CountInKey[] = "sound/countIn";
// A bar that sounds nothing, on the name line: "N.C.", followed by what the
// box holds when that names no chord; the rest comes first, as the line is short.
const QString RestName = QStringLiteral("N.C.");
const QString RestOf = QStringLiteral("N.C.（%1）");

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
        {"playSong", "曲を再生(&Y)", QKeySequence(Qt::Key_F5), &Form1::play_Click,
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

    loopItem = menu->addKeptSwitch(QStringLiteral("繰り返し(&L)"), QStringLiteral("loop"), LoopKey,
        false, std::bind_front(&song::SongPlayer::setLoop, m_songPlayer));
    // Read as playing starts.
    countInItem = menu->addKeptSwitch(
        QStringLiteral("カウント(&C)"), QStringLiteral("countIn"), CountInKey, false);

    if (!player->isAvailable())
        menu->showUnavailable(player->unavailableReason());
    updatePlayItems();
}

// Greyed with no sound, or with nothing in the memo to play; 停止 only while playing.
void Form1::updatePlayItems()
{
    if (!playSong || !m_chords->isAvailable())
        return;
    const bool anything
        = std::ranges::any_of(memo::boxesOf(m_memo), &memo::Box::holdsAnything);
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
    ui::TempoDialog dialog(keptSongSettings(), this);
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
    m_songPlayer->start(*m_chords->output(),
        song::SongPlayer::memoSource(m_memo, tune.tempo, tune.beatsPerBar), options);
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

// A bar's chord on show; a bar that sounds nothing shows as a rest.
void Form1::showBar(int bar)
{
    if (bar == song::CountInBar)
        return;
    markPlaying(bar);
    const memo::ChordText chord = m_memo.fetch(bar);
    showInTextBoxes(chord);
    if (song::barOf(chord.root, chord.kind).isRest()) {
        showRest(chord);
        emit songChordSounding({});
        return;
    }
    const std::vector<int> notes = chord::soundingNotes(displayChord(chord.root, chord.kind));
    emit songChordSounding(QList<int>(notes.begin(), notes.end()));
}

// Playing is the program's own doing: a box it cannot sound is a rest of the
// song, not an error of the user's, so the error label stays away.
void Form1::showRest(const memo::ChordText &chord)
{
    const QString written = chord.root + chord.kind;
    // "N.C." itself, as a chord sheet writes a rest, is no unknown name.
    const bool unknown = !written.isEmpty() && written != RestName;
    const QString name = unknown ? RestOf.arg(written) : RestName;
    lblcode->setText(name);
    widgets::setTopInTwips(lblerror, ParkedTop);
    for (widgets::ShapeWidget *marker : shapemaru)
        widgets::moveInTwips(marker, chord::HiddenMarkerLeft, chord::WhiteKeyMarkerTop);
    widgets::selectOnly(opcode1Group, std::nullopt);
    widgets::selectOnly(opcode2Group, std::nullopt);
    if (unknown)
        m_access->restShown(name, chord.root, chord.kind);
    else
        m_access->restShown(name, {}, {});
}

void Form1::playStopped()
{
    if (m_playingBox < 0) {
        updatePlayItems();
        return; // stopped before its first bar
    }
    markPlaying(-1);
    emit songChordSounding({});
    showInTextBoxes(m_beforePlay);
    displayChord(m_beforePlay.root, m_beforePlay.kind);
    updatePlayItems();
}

// An option button changes one half of the chord the user had on show, not
// of the bar's that the window follows.
void Form1::takeBackShownChord()
{
    if (m_playingBox >= 0)
        showInTextBoxes(m_beforePlay);
}

// Playing leaves the text boxes alone while the user is typing into one.
void Form1::showInTextBoxes(const memo::ChordText &chord)
{
    if (txtcode1->isModified() || txtcode2->isModified())
        return;
    txtcode1->setText(chord.root);
    txtcode2->setText(chord.kind);
}
