#include "form1.h"

#include "beyondtables.h"
#include "boxlook.h"
#include "chordboxes.h"
#include "chordplayer.h"
#include "editcommands.h"
#include "diskfiles.h"
#include "firstpaint.h"
#include "form1access.h"
#include "keycommands.h"
#include "memofilecommands.h"
#include "memohistory.h"
#include "memokeeper.h"
#include "midimenu.h"
#include "noticeline.h"
#include "songcommands.h"
#include "songfilecommands.h"
#include "songplayback.h"
#include "songsettingsstore.h"
#include "songsharing.h"
#include "soundmenu.h"

#include <QMenuBar>

// The whole program in one place: the window builds its controls, then
// makes a controller for each concern and wires it to the window's face,
// to the memo and its history, and to the services; last comes the load.
Form1::Form1(const QString &memoPath, const Services &services, QWidget *parent)
    : ChordWindow(parent)
    , m_keeper(services.keeper)
    , m_memo(services.keeper->memo())
    , m_memoPath(memoPath)
{
    ui::Form1Access::installFactory();
    m_history = new memo::MemoHistory(m_memo, this);
    m_boxes = new ui::ChordBoxes(m_memo, m_history, this);
    buildControls();
    assemble(services);
    connectHandlers();
    buildAssistance();
    Form_Load();
}

// The histories go while the window is whole: their stacks, emptied as they
// go, say so to the edit menu. The song's keeper, which reads the song from
// the boxes, goes before them.
Form1::~Form1()
{
    delete m_rooms.songFile;
    delete m_boxes;
    delete m_history;
}

void Form1::assemble(const Services &services)
{
    memofile::MemoKeeper *keeper = services.keeper;
    m_songSettings = std::make_unique<ui::SongSettingsStore>(
        services.settings, [keeper] { return keeper->path(); });
    m_songSettings->followSongOf(m_boxes);

    // The file menu: 開く and 名前を付けて保存, then the song's エクスポート,
    // インポート and 印刷; the edit menu after it; the one-line notice between.
    m_rooms.notice = new ui::NoticeLine(this);
    // A song opens in place of the memo's boxes, with a file of its own.
    m_rooms.songFile = new ui::SongFileCommands(
        this, m_boxes, m_rooms.notice, std::make_unique<memofile::DiskFiles>());
    m_rooms.memoFile = new ui::MemoFileCommands(
        this, keeper, m_history, m_songSettings.get(), m_rooms.songFile);
    // Asked once per paste or import, its answer kept if the user says so.
    auto *beyondTables = new ui::BeyondTablesQuestion(services.settings, this);
    m_rooms.edit = new ui::EditCommands(this, m_boxes, m_rooms.notice, beyondTables);
    const auto filePath = [this, keeper] {
        const memofile::FileKeeper *song = m_rooms.songFile->keeper();
        return song ? song->path() : keeper->path();
    };
    m_rooms.sharing = new ui::SongSharing(
        this, m_boxes, filePath, m_songSettings.get(), m_rooms.notice, beyondTables);
    m_rooms.memoFile->holdWhileBusy(m_rooms.sharing->importItem());
    // The song's key, its chords and step entry, at the end of the edit menu.
    m_rooms.key = new ui::KeyCommands(
        this, m_boxes, m_rooms.edit, m_songSettings.get(), services.settings);
    connect(
        m_rooms.memoFile, &ui::MemoFileCommands::boxShown, m_rooms.key, &ui::KeyCommands::update);
    // A song's pages, lengths and sections, last in the edit menu.
    m_rooms.song = new ui::SongCommands(this, m_boxes, m_rooms.edit->menu(), m_rooms.notice);

    // 音 and MIDI between the edit menu and ヘルプ, each when its service is there.
    if (sound::ChordPlayer *player = services.player) {
        auto *menu = new SoundMenu(this, player, services.settings);
        menuBar()->insertMenu(helpMenuAction(), menu);
        connect(this, &ChordWindow::chordShown, player, &sound::ChordPlayer::showChord);
        connect(this, &ChordWindow::keyClicked, player, &sound::ChordPlayer::playKey);

        auto *playback = new ui::SongPlayback(
            this, m_boxes, player, m_songSettings.get(), m_rooms.notice, menu);
        m_rooms.playback = playback;
        connect(this, &ChordWindow::loaded, playback, &ui::SongPlayback::updatePlayItems);
        connect(m_rooms.memoFile, &ui::MemoFileCommands::boxShown, playback,
            &ui::SongPlayback::updatePlayItems);
        // Another file's chords: what was playing stops.
        connect(m_rooms.songFile, &ui::SongFileCommands::fileChanged, playback,
            &ui::SongPlayback::stop);
        // The synthesizer and its soundfont load once the window is up, so
        // that the first chord sounds as fast as the later ones.
        new services::AfterFirstPaint(this, [player] {
            if (player->playsShownChords())
                player->preload();
        });
    }
    if (services.midi) {
        auto *midi = new MidiMenu(this, services.settings, services.midi);
        menuBar()->insertMenu(helpMenuAction(), midi);
        midi->playAlongWith(services.player);
        connect(this, &ChordWindow::chordShown, midi, &MidiMenu::sendChord);
        if (m_rooms.playback)
            connect(
                m_rooms.playback, &ui::SongPlayback::songChordSounding, midi, &MidiMenu::sendChord);
        connect(midi, &MidiMenu::chordPlayed, this, &Form1::showPlayedChord);
        // The sequencer client joins as soon as the window is on screen, for
        // patchbays to see it, and never holds the window up.
        new services::AfterFirstPaint(this, [midi] { midi->start(); });
    }
}
