#pragma once

#include "chordmemo.h"
#include "memoedit.h"
#include "midimenu.h"
#include "placement.h"
#include "songexport.h"
#include "songsettings.h"
#include "textfile.h"
#include "twips.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>

class QAction;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSettings;
class QTimer;

namespace memo
{
class MemoHistory;
} // namespace memo

namespace memofile
{
class MemoKeeper;
} // namespace memofile

namespace sound
{
class ChordPlayer;
} // namespace sound

namespace song
{
class SongPlayer;
} // namespace song

class SoundMenu;

namespace services
{
class OffThread;
} // namespace services

namespace widgets
{
class ClickLabel;
class ShapeWidget;
} // namespace widgets

namespace ui
{
class Form1Access;
class KeyboardPick;
} // namespace ui

// The one window: the chord input, the memo slots and the keyboard.
// Controls carry the names they are known by ("txtcode1", "lblslot(7)") as
// their object names. Handlers are named after control and event.
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    // What the window works with but does not make: main makes the
    // program's own, a test its fakes. All stay the maker's and must outlive
    // the window.
    struct Services {
        memofile::MemoKeeper *keeper = nullptr; // the memo and its file
        sound::ChordPlayer *player = nullptr; // plays what is shown; none: no 音 menu
        MidiMenu::Opener midi = {}; // brings MIDI up once shown; none: no MIDI menu
        QSettings *settings = nullptr; // the menus' kept choices, for 音 and MIDI
    };

    // Builds the window and runs its load event, which reads the memo from
    // memoPath into the keeper's memo; the memo is saved there as it
    // changes and at close.
    Form1(const QString &memoPath, const Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    // Why the memo could not be read at the load; such a window holds no
    // memo and is not to be shown.
    const std::optional<services::FileError> &loadError() const { return m_loadError; }
    // What a report of loadError() says first, when the file is fine but no
    // memo (a ChordPro song sheet); empty when it could not be read.
    const QString &loadErrorHeading() const { return m_loadErrorHeading; }

    // A close with nobody to answer a question (a termination signal): a
    // memo that cannot be saved goes into a rescue file, and exitStatus()
    // becomes a failure.
    void closeUnattended();
    int exitStatus() const { return m_exitStatus; }

    // The session's request to save, before a logout that may still be
    // cancelled: the memo is saved now, into a rescue file when it cannot
    // be; the window stays.
    void saveForSession();

    // A chord played on a MIDI keyboard: written into the two text boxes and
    // shown as the 表示 button shows it.
    void showPlayedChord(const QString &root, const QString &kind);

signals:
    // A chord the user brought onto the keyboard (not the one shown as the
    // window opens): its different notes low to high, in semitones above the
    // keyboard's lowest C; empty when its root or kind is not recognised.
    // Sound and MIDI output follow this.
    void chordShown(const QList<int> &semitones);
    // A key of the drawn keyboard toggled in the pick, in semitones above its
    // lowest C: its note sounds.
    void keyClicked(int semitone);
    // The chord of the bar the song is playing, for MIDI output; empty at a
    // rest and when playing ends, which lets the last one go.
    void songChordSounding(const QList<int> &semitones);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void connectHandlers();
    void buildAssistance();

    // How the chord on show came: a typed chord merges into the history's
    // last step for its box, others are a step each.
    enum class Source { Chosen, Typed };
    void showcode(Source source = Source::Chosen);
    // The chord on the keyboard, the chord-name line, the error label and
    // the option buttons, and told to assistive technology; nothing stored.
    chord::ChordPlacement displayChord(const QString &root, const QString &kind);

    void opcode1_Click(int index);
    void opcode2_Click(int index);
    void cmdview_Click();
    void lblslot_Click(int index);
    void keyboard_Click(int semitone);
    void about_Click();
    void cmdreturn_Click();
    void end_Click();
    void Form_Load();
    void Form_Unload();

    // The memo's file: menu items, the notice of failed saves, the questions
    // after a failed save at close, the rescue file (form1memo.cpp). Each
    // waits for its file work in the event loop.
    void buildMemoControls();
    // A one-line notice over the help line above the memo, hidden at first,
    // white text on its colour; lines over the window's text say what matters now.
    QLabel *noticeLabel(const QString &name, const widgets::TwipsRect &rect,
        std::string_view colour, std::string_view textColour);
    void buildServiceMenus(const Services &services);
    void open_Click();
    void saveas_Click();
    void setFileItemsEnabled(bool enabled);
    static services::FileError chordProRefusal(const QString &path);
    void showSlot(int slot, const QString &caption);
    void showSaveError();
    void showTitle();
    void closeNow();
    void askAfterFailedSave(const services::FileError &error);
    void saveElsewhere(const std::function<void(bool saved)> &then);
    void rescue(const services::FileError &error, const std::function<void()> &then);

    // The song played, the window following it (form1play.cpp).
    void buildPlayItems(SoundMenu *menu, sound::ChordPlayer *player);
    void updatePlayItems();
    void play_Click();
    void stop_Click();
    void tempo_Click();
    void startPlaying();
    void markPlaying(int box);
    void showBar(int bar);
    void showRest(const memo::ChordText &chord);
    void playStopped();
    void takeBackShownChord();
    void showInTextBoxes(const memo::ChordText &chord);

    // The song shared: export, import and print (form1share.cpp).
    // The tempo and meter kept for this memo; the defaults without settings.
    song::SongSettings keptSongSettings() const;
    song::Song currentSong() const;
    void export_Click();
    void import_Click();
    void print_Click();
    void imported(const song::SongRead &read);

    // The edit menu and the memo's history (form1edit.cpp).
    void buildEditMenu();
    void boxesChanged(const QList<int> &boxes);
    bool hasSelectedBox() const;
    void changeBoxes(const QString &label, const std::optional<memo::Boxes> &after);
    template<typename Edit> void editSelectedBox(const QString &label, Edit edit);
    void refuse(const QString &why);
    void showNotice(const QString &text);
    void cut_Click();
    void copy_Click();
    void paste_Click();
    void delete_Click();
    void closeup_Click();
    void insert_Click();
    void transpose_Click();
    void lblslot_Drop(int from, const QPoint &globalPos, bool copy);

public:
    // Moves every box's root, as 移調 does: one step of the history.
    void transpose(int semitones, chord::Spelling spelling);
    // Writes the song as エクスポート does, once a file is chosen; in the background.
    void exportTo(const QString &path);
    // Puts a ChordPro song into the memo as インポート does once the user
    // agreed: one step of the history; in the background.
    void importFrom(const QString &path);

private:
    memofile::MemoKeeper *m_keeper;
    memo::ChordMemo &m_memo;
    QString m_memoPath;
    std::optional<services::FileError> m_loadError;
    QString m_loadErrorHeading;
    memo::MemoHistory *m_history = nullptr;
    QSettings *m_settings; // kept choices and songs' tempos; none in some tests
    std::unique_ptr<services::OffThread> m_sharing; // exports and imports, one at a time
    bool m_storing = false; // showcode is storing: the history's echo is its own
    bool m_unattended = false;
    bool m_closing = false; // a close waits for its save
    bool m_closed = false; // the close went through: later close requests have nothing to do
    int m_exitStatus = 0;
    bool m_opened = false;
    bool m_quietShow = false; // the chord shown as the window opens is not announced

    QLineEdit *txtcode1 = nullptr;
    QLineEdit *txtcode2 = nullptr;
    QPushButton *cmdview = nullptr;
    QLabel *lblcode = nullptr;
    QLabel *lblerror = nullptr;
    std::array<QRadioButton *, 12> opcode1 {};
    std::array<QRadioButton *, 14> opcode2 {};
    QButtonGroup *opcode1Group = nullptr;
    QButtonGroup *opcode2Group = nullptr;
    std::array<widgets::ClickLabel *, 31> lblslot {};
    std::array<widgets::ShapeWidget *, 4> shapemaru {};
    QWidget *frameabout = nullptr;
    QPushButton *cmdreturn = nullptr;
    QLabel *m_keyboard = nullptr; // the white of the keys, Label12
    QWidget *m_rootFrame = nullptr; // Frame1
    QWidget *m_kindFrame = nullptr; // Frame2
    QLabel *lblsavenotice = nullptr;
    QLabel *lblnotice = nullptr; // an edit that was refused, and why
    QTimer *m_noticeTimer = nullptr;
    QAction *open = nullptr;
    QAction *saveas = nullptr;
    QAction *exportItem = nullptr;
    QAction *importItem = nullptr;
    QAction *printItem = nullptr;
    QAction *end = nullptr;
    QAction *about = nullptr;
    QMenu *m_helpMenu = nullptr; // the last of the menu bar: the others go before it
    QAction *undo = nullptr;
    QAction *redo = nullptr;
    QAction *playSong = nullptr;
    QAction *stopSong = nullptr;
    QAction *loopItem = nullptr;
    QAction *countInItem = nullptr;

    sound::ChordPlayer *m_chords = nullptr; // none: no 音 menu
    song::SongPlayer *m_songPlayer = nullptr; // owned as a child
    bool m_playWanted = false; // 曲を再生 waits for the output to open
    int m_playingBox = -1; // the box whose bar the window shows
    memo::ChordText m_beforePlay; // the chord on show when playing began

    ui::Form1Access *m_access = nullptr; // owned as a child
    ui::KeyboardPick *m_keys = nullptr; // owned as a child
};
