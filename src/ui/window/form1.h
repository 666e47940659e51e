#pragma once

#include "chordwindow.h"
#include "midimenu.h"

#include <array>
#include <optional>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSettings;

namespace memo
{
class MemoHistory;
}
namespace memofile
{
class MemoKeeper;
}
namespace sound
{
class ChordPlayer;
}
namespace widgets
{
class ClickLabel;
class ShapeWidget;
} // namespace widgets
namespace ui
{
class Form1Access;
class BoxLook;
class ChordBoxes;
class KeyboardPick;
class EditCommands;
class KeyCommands;
class MemoFileCommands;
class SongCommands;
class SongFileCommands;
class NoticeLine;
class SongPlayback;
class SongSettingsStore;
class SongSharing;
class TypingHintLine;
} // namespace ui

// The one window: the chord input, the memo slots and the keyboard.
// Controls carry the names they are known by ("txtcode1", "lblslot(7)") as
// their object names. Handlers are named after control and event; what the
// menus do is the controllers' (form1assembly.cpp makes them).
class Form1 : public ui::ChordWindow
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

    // The controllers the window assembled, each the window's child; the
    // ones of a service the window does not have are none.
    struct Rooms {
        ui::NoticeLine *notice = nullptr;
        ui::MemoFileCommands *memoFile = nullptr;
        ui::EditCommands *edit = nullptr;
        ui::SongSharing *sharing = nullptr;
        ui::SongPlayback *playback = nullptr;
        ui::KeyCommands *key = nullptr;
        ui::SongFileCommands *songFile = nullptr;
        ui::SongCommands *song = nullptr;
    };

    // Builds the window and runs its load event, which reads the memo from
    // memoPath into the keeper's memo; the memo is saved there as it
    // changes and at close.
    Form1(const QString &memoPath, const Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    // Why the memo could not be read at the load, such a window is not to be
    // shown; and what a report says first when the file is fine but no memo.
    const std::optional<services::FileError> &loadError() const { return m_loadError; }
    const QString &loadErrorHeading() const { return m_loadErrorHeading; }

    const Rooms &rooms() const { return m_rooms; }

    // The face the controllers see.
    QMenu *fileMenu() const override;
    QAction *fileItemsEnd() const override { return m_fileItemsEnd; }
    QAction *helpMenuAction() const override;
    memo::ChordText typedChord() const override;
    void showInTextBoxes(const memo::ChordText &chord) override;
    chord::ChordPlacement displayChord(const QString &root, const QString &kind) override;
    void showRest(const QString &name, const QString &root, const QString &kind) override;
    void showStoredChord(const memo::ChordText &chord) override;
    void showPlayedChord(const QString &root, const QString &kind) override;
    void showBoxCaption(int box, const QString &caption) override;
    void markPlaying(int box) override;
    void unselectBoxes() override;
    void raiseNotice(QWidget *notice) override;
    void announce(QWidget *notice) override;
    void leaveKeysToWindow(const QList<QKeySequence> &keys) override;
    void closeNow() override;
    void showChosenChord(const QString &root, const QString &kind) override;
    void moveReceivingBox(int box) override;
    void showDegrees(const QStringList &lines, const QStringList &captions) override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void connectHandlers();
    void buildAssistance();
    void assemble(const Services &services);

    // How the chord on show came: a typed chord merges into the history's
    // last step for its box, others are a step each; a chord the window
    // shows of itself (the first one, one an undo brought) is not announced.
    enum class Source { Chosen, Typed, Unannounced };
    void showcode(Source source = Source::Chosen);
    void chooseHalf(QLineEdit *box, const QString &text, Source source = Source::Chosen);

    void opcode1_Click(int index);
    void opcode2_Click(int index);
    void cmdview_Click();
    void lblslot_Click(int index);
    void lblslot_Drop(int from, const QPoint &globalPos, bool copy);
    void keyboard_Click(int semitone);
    void about_Click();
    void cmdreturn_Click();
    void end_Click();
    void Form_Load();
    void Form_Unload();
    void selectBox(int box);

    memofile::MemoKeeper *m_keeper;
    memo::ChordMemo &m_memo;
    QString m_memoPath;
    std::optional<services::FileError> m_loadError;
    QString m_loadErrorHeading;
    memo::MemoHistory *m_history = nullptr; // the memo's, made and ended with the window
    ui::ChordBoxes *m_boxes = nullptr; // what the boxes show: the memo, or a song's page
    std::unique_ptr<ui::SongSettingsStore> m_songSettings;
    Rooms m_rooms;
    bool m_opened = false; // the window has shown once, with its first chord
    bool m_closed = false; // the close went through: later close requests have nothing to do
    int m_playingBox = -1; // the box coloured as the one the song plays

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
    QAction *end = nullptr;
    QAction *about = nullptr;
    QAction *m_fileItemsEnd = nullptr; // the separator above 終了
    QMenu *m_helpMenu = nullptr; // the last of the menu bar: the others go before it

    ui::Form1Access *m_access = nullptr; // owned as a child
    ui::KeyboardPick *m_keys = nullptr; // owned as a child
    std::unique_ptr<ui::BoxLook> m_boxLook; // the boxes' names, notes and marks
    ui::TypingHintLine *m_hint = nullptr; // owned as a child
};
