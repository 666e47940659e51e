#include "form1.h"
#include "form1layout.h"

#include "chordplayer.h"
#include "chordtables.h"
#include "clicklabel.h"
#include "colour.h"
#include "firstpaint.h"
#include "form1access.h"
#include "keyboardpick.h"
#include "memohistory.h"
#include "memokeeper.h"
#include "offthread.h"
#include "optiongroup.h"
#include "placement.h"
#include "shapewidget.h"
#include "songformats.h"
#include "soundmenu.h"
#include "twips.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include <functional>

using namespace ui::layout;

namespace
{
QColor colourOf(std::string_view hex)
{
    return widgets::hexColour(QString::fromLatin1(hex.data(), qsizetype(hex.size())));
}

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
} // namespace

Form1::Form1(const QString &memoPath, const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_keeper(services.keeper)
    , m_memo(services.keeper->memo())
    , m_memoPath(memoPath)
    , m_settings(services.settings)
{
    ui::Form1Access::installFactory();
    buildControls();
    buildMemoControls();
    buildEditMenu();
    buildServiceMenus(services);
    connectHandlers();
    buildAssistance();
    Form_Load();
}

// The history goes while the window is whole: its stack, emptied as it goes,
// says so to the window's edit menu.
Form1::~Form1()
{
    delete m_history;
}

// 音 and MIDI between the edit menu and ヘルプ, each when its service is there.
void Form1::buildServiceMenus(const Services &services)
{
    if (sound::ChordPlayer *player = services.player) {
        auto *menu = new SoundMenu(this, player, services.settings);
        menuBar()->insertMenu(m_helpMenu->menuAction(), menu);
        buildPlayItems(menu, player);
        // The synthesizer and its soundfont load once the window is up, so
        // that the first chord sounds as fast as the later ones.
        new services::AfterFirstPaint(this, [player] {
            if (player->playsShownChords())
                player->preload();
        });
    }
    if (!services.midi)
        return;
    auto *midi = new MidiMenu(this, services.settings, services.midi);
    menuBar()->insertMenu(m_helpMenu->menuAction(), midi);
    midi->playAlongWith(services.player);
    // The sequencer client joins as soon as the window is on screen, for
    // patchbays to see it, and never holds the window up.
    new services::AfterFirstPaint(this, [midi] { midi->start(); });
}

void Form1::connectHandlers()
{
    connect(opcode1Group, &QButtonGroup::idClicked, this, &Form1::opcode1_Click);
    connect(opcode2Group, &QButtonGroup::idClicked, this, &Form1::opcode2_Click);
    connect(cmdview, &QPushButton::clicked, this, &Form1::cmdview_Click);
    connect(cmdreturn, &QPushButton::clicked, this, &Form1::cmdreturn_Click);
    connect(about, &QAction::triggered, this, &Form1::about_Click);
    connect(end, &QAction::triggered, this, &Form1::end_Click);
    connect(m_keys, &ui::KeyboardPick::toggled, this, &Form1::keyboard_Click);
    for (int i = 0; i < int(lblslot.size()); ++i) {
        connect(lblslot[i], &widgets::ClickLabel::clicked, this, [this, i] { lblslot_Click(i); });
        connect(lblslot[i], &widgets::ClickLabel::dropped, this,
            [this, i](const QPoint &at, bool copy) { lblslot_Drop(i, at, copy); });
    }
    // Enter in a text box shows the typed chord, as a default button would.
    for (QLineEdit *box : {txtcode1, txtcode2})
        connect(box, &QLineEdit::returnPressed, cmdview, &QPushButton::click);
}

// The chord named by the two text boxes goes onto the keyboard, into the
// chord-name line and into the receiving slot, recognised or not.
void Form1::showcode(Source source)
{
    const QString root = txtcode1->text();
    const QString kind = txtcode2->text();
    // What was typed is on show now: playing fills the boxes again.
    txtcode1->setModified(false);
    txtcode2->setModified(false);
    lblslot[m_memo.curslot]->setText(root + kind);
    if (m_playingBox >= 0)
        m_beforePlay = {root, kind}; // shown again once playing stops
    const int box = m_memo.curslot;
    if (box == memo::ScratchSlot) {
        m_memo.store(root, kind); // tried, not kept: no step of the history
    } else {
        m_storing = true;
        m_history->change(QStringLiteral("メモ %1 に %2").arg(box + 1).arg(root + kind),
            memo::stored(memo::boxesOf(m_memo), box, root, kind),
            source == Source::Typed ? box : -1);
        m_storing = false;
    }

    const chord::ChordPlacement placement = displayChord(root, kind);
    if (!m_quietShow) {
        const std::vector<int> notes = chord::soundingNotes(placement);
        emit chordShown(QList<int>(notes.begin(), notes.end()));
    }
}

chord::ChordPlacement Form1::displayChord(const QString &root, const QString &kind)
{
    lblcode->setText(root + kind);
    widgets::setTopInTwips(lblerror, ParkedTop);
    const std::string rootText = root.toStdString();
    const std::string kindText = kind.toStdString();
    const chord::ChordPlacement placement = chord::placeChord(rootText, kindText);
    if (!placement.rootRecognised)
        widgets::setTopInTwips(lblerror, ErrorShownTop);
    if (!placement.kindRecognised)
        widgets::setTopInTwips(lblerror, ErrorShownTop);

    for (int i = 0; i < chord::MarkerCount; ++i)
        widgets::moveInTwips(shapemaru[i], placement.markers[i].left, placement.markers[i].top);

    // The option buttons follow the chord on show, however it got there:
    // a flat selects its sharp's button, a text that names nothing none.
    widgets::selectOnly(opcode1Group, chord::lookupRoot(rootText));
    widgets::selectOnly(opcode2Group, chord::kindIndex(kindText));
    m_access->chordShown(root, kind, m_memo.curslot);
    return placement;
}

void Form1::opcode1_Click(int index)
{
    m_keys->clear();
    takeBackShownChord();
    txtcode1->setText(opcode1[index]->text());
    showcode();
}

void Form1::opcode2_Click(int index)
{
    m_keys->clear();
    takeBackShownChord();
    txtcode2->setText(opcode2[index]->text());
    showcode();
}

void Form1::cmdview_Click()
{
    m_keys->clear();
    showcode(Source::Typed);
}

void Form1::showPlayedChord(const QString &root, const QString &kind)
{
    m_keys->clear();
    txtcode1->setText(root);
    txtcode2->setText(kind);
    showcode();
}

void Form1::lblslot_Click(int index)
{
    m_keys->clear();
    for (int i = 0; i < ShownSlots; ++i)
        widgets::setBackColour(lblslot[i], colourOf(SlotColour));
    widgets::setBackColour(lblslot[index], colourOf(SelectedSlotColour));
    m_memo.curslot = index;
    markPlaying(m_playingBox); // the song's box stays marked
    m_history->endMerging();
    const memo::ChordText chord = m_memo.fetch(index);
    txtcode1->setText(chord.root);
    txtcode2->setText(chord.kind);
    lblcode->setText(chord.root + chord.kind);
    showcode();
}

// The pick stays: a chord it names is shown and stored as a chosen one is,
// and while it names none the chord on show and the memo stay as they are.
void Form1::keyboard_Click(int semitone)
{
    emit keyClicked(semitone);
    const std::optional<chord::ChordName> name = m_keys->chordName();
    if (!name)
        return;
    txtcode1->setText(qs(name->root));
    txtcode2->setText(qs(name->kind));
    showcode();
    // A focus on an option button moves to the one the pick chose, as the
    // arrow keys would take it, so that it marks what is selected.
    if (auto *focus = qobject_cast<QAbstractButton *>(focusWidget()); focus && focus->group()) {
        if (QAbstractButton *chosen = focus->group()->checkedButton())
            chosen->setFocus(Qt::OtherFocusReason);
    }
}

void Form1::about_Click()
{
    widgets::setTopInTwips(frameabout, AboutOpenTop);
}

void Form1::cmdreturn_Click()
{
    widgets::setTopInTwips(frameabout, ParkedTop);
}

void Form1::end_Click()
{
    close();
}

void Form1::Form_Load()
{
    if (song::readsAsChordPro(m_memoPath)) {
        m_loadError = chordProRefusal(m_memoPath);
        m_loadErrorHeading
            = QStringLiteral("ファイル「%1」はメモとして開けません。").arg(m_memoPath);
        return;
    }
    m_loadError = m_keeper->load(m_memoPath, std::bind_front(&Form1::showSlot, this));
    if (m_loadError)
        return;
    // The keeper's worker thread, and the lock the tidying takes, wait until
    // the window shows.
    new services::AfterFirstPaint(this, [this] { m_keeper->tidyUp(); });
    showTitle();
}

// The "C" root button holds the focus when the window opens; it is also
// clicked, so C minor shows at once instead of the design caption.
void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    m_quietShow = true;
    opcode1_Click(0);
    m_quietShow = false;
}

// Every close, from the exit command or from the window system, saves the
// memo first; a close whose save fails keeps the window unless the user says
// otherwise.
void Form1::closeEvent(QCloseEvent *event)
{
    if (m_closed)
        return event->accept();
    event->ignore();
    Form_Unload();
}
