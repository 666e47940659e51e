#include "songplayback.h"

#include "chordboxes.h"
#include "chordplayer.h"
#include "chordwindow.h"
#include "memoedit.h"
#include "noticeline.h"
#include "song.h"
#include "songplayer.h"
#include "songsettingsstore.h"
#include "soundmenu.h"
#include "tempodialog.h"

#include <QAction>

#include <algorithm>
#include <functional>
#include <utility>

namespace
{
constexpr char LoopKey[] = "sound/loop";
constexpr char CountInKey[] = "sound/countIn";
// A bar that sounds nothing, on the name line: "N.C.", followed by what the
// box holds when that names no chord; the rest comes first, as the line is short.
const QString RestName = QStringLiteral("N.C.");
const QString RestOf = QStringLiteral("N.C.（%1）");

QList<int> listOf(const std::vector<int> &notes)
{
    return QList<int>(notes.begin(), notes.end());
}
} // namespace

ui::SongPlayback::SongPlayback(ChordWindow *window, ChordBoxes *boxes,
    sound::ChordPlayer *player, SongSettingsStore *store, NoticeLine *notice, SoundMenu *menu)
    : QObject(window)
    , m_window(window)
    , m_boxes(boxes)
    , m_player(player)
    , m_store(store)
    , m_notice(notice)
    , m_songPlayer(new song::SongPlayer(this))
{
    connect(m_songPlayer, &song::SongPlayer::barStarted, this, &SongPlayback::showBar);
    connect(m_songPlayer, &song::SongPlayer::stopped, this, &SongPlayback::playStopped);
    connect(player, &sound::ChordPlayer::ready, this, [this] {
        if (std::exchange(m_playWanted, false))
            startPlaying();
    });
    connect(player, &sound::ChordPlayer::unavailable, this, [this](const QString &reason) {
        if (std::exchange(m_playWanted, false))
            m_notice->show(reason);
    });
    connect(window, &ChordWindow::chordStored, this,
        [this](int, const QString &root, const QString &kind) { chordStored(root, kind); });
    connect(window, &ChordWindow::halfChosen, this, &SongPlayback::takeBackShownChord);
    connect(window, &ChordWindow::unloading, this, &SongPlayback::stop);
    connect(boxes, &ChordBoxes::chordsChanged, this, &SongPlayback::updatePlayItems);

    menu->addSeparator();
    struct Item {
        const char *name;
        const char *caption;
        QKeySequence key;
        void (SongPlayback::*handler)();
        QAction *SongPlayback::*item; // where it is kept; none
    };
    const Item items[] {
        {"playSong", "曲を再生(&Y)", QKeySequence(Qt::Key_F5), &SongPlayback::playClicked,
            &SongPlayback::m_play},
        {"stopSong", "停止(&S)", QKeySequence(Qt::SHIFT | Qt::Key_F5), &SongPlayback::stop,
            &SongPlayback::m_stop},
        {"tempo", "テンポ(&M)...", QKeySequence(), &SongPlayback::tempoClicked, nullptr},
    };
    for (const Item &item : items) {
        QAction *action = menu->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(item.key);
        connect(action, &QAction::triggered, this, item.handler);
        if (item.item)
            this->*item.item = action;
    }

    m_loop = menu->addKeptSwitch(QStringLiteral("繰り返し(&L)"), QStringLiteral("loop"), LoopKey,
        false, std::bind_front(&song::SongPlayer::setLoop, m_songPlayer));
    // Read as playing starts.
    m_countIn = menu->addKeptSwitch(
        QStringLiteral("カウント(&C)"), QStringLiteral("countIn"), CountInKey, false);

    if (!player->isAvailable())
        menu->showUnavailable(player->unavailableReason());
    updatePlayItems();
}

void ui::SongPlayback::updatePlayItems()
{
    if (!m_player->isAvailable())
        return;
    const bool anything = m_boxes->holdsAnything();
    const bool playing = m_songPlayer->isPlaying() || m_playWanted;
    m_play->setEnabled(anything || playing);
    m_stop->setEnabled(playing);
}

// F5 again stops.
void ui::SongPlayback::playClicked()
{
    if (m_songPlayer->isPlaying() || m_playWanted)
        return stop();
    if (m_player->output())
        return startPlaying();
    m_playWanted = true; // once the output is open
    updatePlayItems();
    m_player->preload();
}

void ui::SongPlayback::stop()
{
    m_playWanted = false;
    m_songPlayer->stop();
    updatePlayItems();
}

void ui::SongPlayback::tempoClicked()
{
    ui::TempoDialog dialog(m_store->load(), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_store->save(dialog.chosen());
}

void ui::SongPlayback::startPlaying()
{
    song::PlayOptions options;
    // From the chosen box, else from the page shown.
    options.firstBar = m_boxes->indexOf(m_boxes->hasReceivingBox() ? m_boxes->receivingBox() : 0);
    options.loop = m_loop->isChecked();
    options.countIn = m_countIn->isChecked();
    m_beforePlay = m_window->typedChord();
    m_songPlayer->start(*m_player->output(), m_boxes->playSource(m_store->load()), options);
    updatePlayItems();
}

// A bar's chord on show; a bar that sounds nothing shows as a rest.
void ui::SongPlayback::showBar(int bar)
{
    if (bar == song::CountInBar)
        return;
    m_shownBar = bar;
    // The page turns as the song plays on.
    const int box = m_boxes->showChord(bar);
    m_window->markPlaying(box);
    const memo::ChordText chord = m_boxes->text(box);
    m_window->showInTextBoxes(chord);
    if (song::barOf(chord.root, chord.kind).isRest()) {
        showRest(chord);
        emit songChordSounding({});
        return;
    }
    emit songChordSounding(
        listOf(chord::soundingNotes(m_window->displayChord(chord.root, chord.kind))));
}

// Playing is the program's own doing: a box it cannot sound is a rest of the
// song, not an error of the user's.
void ui::SongPlayback::showRest(const memo::ChordText &chord)
{
    const QString written = chord.root + chord.kind;
    // "N.C." itself, as a chord sheet writes a rest, is no unknown name.
    const bool unknown = !written.isEmpty() && written != RestName;
    if (unknown)
        m_window->showRest(RestOf.arg(written), chord.root, chord.kind);
    else
        m_window->showRest(RestName, {}, {});
}

void ui::SongPlayback::playStopped()
{
    if (m_shownBar < 0) {
        updatePlayItems();
        return; // stopped before its first bar
    }
    m_shownBar = -1;
    m_window->markPlaying(-1);
    emit songChordSounding({});
    m_window->showInTextBoxes(m_beforePlay);
    m_window->displayChord(m_beforePlay.root, m_beforePlay.kind);
    updatePlayItems();
}

// The chord the user puts on show while the song plays is the one shown
// again once it stops.
void ui::SongPlayback::chordStored(const QString &root, const QString &kind)
{
    if (m_shownBar >= 0)
        m_beforePlay = {root, kind};
}

// An option button changes one half of the chord the user had on show, not
// of the bar's that the window follows.
void ui::SongPlayback::takeBackShownChord()
{
    if (m_shownBar >= 0)
        m_window->showInTextBoxes(m_beforePlay);
}
