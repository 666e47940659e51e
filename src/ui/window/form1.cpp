#include "form1.h"
#include "form1layout.h"

#include "chordtables.h"
#include "boxlook.h"
#include "chordboxes.h"
#include "clicklabel.h"
#include "colour.h"
#include "firstpaint.h"
#include "form1access.h"
#include "keyboardpick.h"
#include "memokeeper.h"
#include "memolocation.h"
#include "songfilecommands.h"
#include "optiongroup.h"
#include "placement.h"
#include "shapewidget.h"
#include "songformats.h"
#include "textbox.h"
#include "twips.h"
#include "typinghint.h"
#include "typinghintline.h"

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
QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
} // namespace

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
    showBoxCaption(m_memo.curslot, root + kind);
    emit chordStored(m_memo.curslot, root, kind, source == Source::Typed);
    m_boxLook->showNote(m_memo.curslot);

    const chord::ChordPlacement placement = displayChord(root, kind);
    if (source != Source::Unannounced) {
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
    if (m_hint->chordShown(root, kind)) {
        raiseNotice(m_hint->label());
        announce(m_hint->label());
    }
    return placement;
}

// An option button's caption becomes one half of the chord on show.
void Form1::chooseHalf(QLineEdit *box, const QString &text, Source source)
{
    m_keys->clear();
    emit halfChosen();
    box->setText(text);
    showcode(source);
}

void Form1::opcode1_Click(int index)
{
    chooseHalf(txtcode1, opcode1[index]->text());
}

void Form1::opcode2_Click(int index)
{
    chooseHalf(txtcode2, opcode2[index]->text());
}

void Form1::cmdview_Click()
{
    m_keys->clear();
    showcode(Source::Typed);
}

void Form1::lblslot_Click(int index)
{
    m_keys->clear();
    selectBox(index);
    emit boxChosen(index);
    const memo::ChordText chord = m_boxes->text(index);
    txtcode1->setText(chord.root);
    txtcode2->setText(chord.kind);
    lblcode->setText(chord.root + chord.kind);
    showcode();
}

void Form1::selectBox(int box)
{
    for (int i = 0; i < ShownSlots; ++i)
        widgets::setBackColour(lblslot[i], widgets::hexColour(SlotColour));
    widgets::setBackColour(lblslot[box], widgets::hexColour(SelectedSlotColour));
    m_memo.curslot = box;
    markPlaying(m_playingBox); // the song's box stays marked
}

void Form1::lblslot_Drop(int from, const QPoint &globalPos, bool copy)
{
    const QWidget *client = centralWidget();
    const QWidget *target = client->childAt(client->mapFromGlobal(globalPos));
    const auto to = std::find(lblslot.begin(), lblslot.begin() + ShownSlots, target);
    emit boxDropped(
        from, to == lblslot.begin() + ShownSlots ? -1 : int(to - lblslot.begin()), copy);
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
    // A song opens over the default memo, which stays the memo.
    const bool song = song::readsAsChordPro(m_memoPath);
    if (song)
        memofile::makeDefaultMemoFolder();
    const QString memoPath = song ? memofile::defaultMemoPath() : m_memoPath;
    m_loadError = m_keeper->load(memoPath, std::bind_front(&Form1::showBoxCaption, this));
    if (!m_loadError && song) {
        m_loadError = m_rooms.songFile->open(m_memoPath);
        m_loadErrorHeading = QStringLiteral("曲「%1」を開けません。").arg(m_memoPath);
    }
    if (m_loadError)
        return;
    // The keeper's worker thread, and the lock the tidying takes, wait until
    // the window shows.
    new services::AfterFirstPaint(this, [this] { m_keeper->tidyUp(); });
    emit loaded();
}

// Every close, from the exit command or from the window system, saves the
// memo first: the close goes through once the memo's file commands say so.
void Form1::Form_Unload()
{
    emit unloading();
}

// The "C" root button holds the focus when the window opens; it is also
// clicked, so C minor shows at once instead of the design caption.
void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (std::exchange(m_opened, true))
        return;
    chooseHalf(txtcode1, opcode1[0]->text(), Source::Unannounced);
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (m_closed)
        return event->accept();
    event->ignore();
    Form_Unload();
}

void Form1::closeNow()
{
    m_closed = true;
    close();
}

QMenu *Form1::fileMenu() const
{
    return qobject_cast<QMenu *>(end->parent());
}

QAction *Form1::helpMenuAction() const
{
    return m_helpMenu->menuAction();
}

memo::ChordText Form1::typedChord() const
{
    return {txtcode1->text(), txtcode2->text()};
}

// Playing leaves the text boxes alone while the user is typing into one.
void Form1::showInTextBoxes(const memo::ChordText &chord)
{
    if (txtcode1->isModified() || txtcode2->isModified())
        return;
    txtcode1->setText(chord.root);
    txtcode2->setText(chord.kind);
}

// Playing is the program's own doing: the error label stays away.
void Form1::showRest(const QString &name, const QString &root, const QString &kind)
{
    lblcode->setText(name);
    widgets::setTopInTwips(lblerror, ParkedTop);
    for (widgets::ShapeWidget *marker : shapemaru)
        widgets::moveInTwips(marker, chord::HiddenMarkerLeft, chord::WhiteKeyMarkerTop);
    widgets::selectOnly(opcode1Group, std::nullopt);
    widgets::selectOnly(opcode2Group, std::nullopt);
    m_access->restShown(name, root, kind);
    m_hint->clear();
}

void Form1::showStoredChord(const memo::ChordText &chord)
{
    txtcode1->setText(chord.root);
    txtcode2->setText(chord.kind);
    showcode(Source::Unannounced);
}

void Form1::showPlayedChord(const QString &root, const QString &kind)
{
    m_keys->clear();
    txtcode1->setText(root);
    txtcode2->setText(kind);
    showcode();
}

void Form1::showBoxCaption(int box, const QString &caption)
{
    m_boxLook->show(box, caption);
}

void Form1::showDegrees(const QStringList &lines, const QStringList &captions)
{
    m_boxLook->showDegrees(lines, captions);
}

void Form1::showChosenChord(const QString &root, const QString &kind)
{
    m_keys->clear();
    emit halfChosen();
    txtcode1->setText(root);
    txtcode2->setText(kind);
    showcode();
}

void Form1::moveReceivingBox(int box)
{
    selectBox(box);
    m_access->chordShown(txtcode1->text(), txtcode2->text(), box);
}

void Form1::markPlaying(int box)
{
    if (m_playingBox >= 0)
        widgets::setBackColour(lblslot[m_playingBox],
            widgets::hexColour(m_playingBox == m_memo.curslot ? SelectedSlotColour : SlotColour));
    m_playingBox = box;
    if (box >= 0)
        widgets::setBackColour(lblslot[box], widgets::hexColour(PlayingSlotColour));
    m_access->setPlaying(box);
}

void Form1::unselectBoxes()
{
    for (int i = 0; i < ShownSlots; ++i)
        widgets::setBackColour(lblslot[i], widgets::hexColour(SlotColour));
}

void Form1::raiseNotice(QWidget *notice)
{
    notice->raise();
    frameabout->raise(); // the About panel still covers everything
}

void Form1::announce(QWidget *notice)
{
    m_access->alert(notice);
}

void Form1::leaveKeysToWindow(const QList<QKeySequence> &keys)
{
    for (auto *box : {txtcode1, txtcode2})
        static_cast<widgets::TextBox *>(box)->leaveToWindow(keys);
}
