#include "songcommands.h"

#include "chordboxes.h"
#include "chordwindow.h"
#include "noticeline.h"
#include "song.h"
#include "twips.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>

namespace
{
// Beside the keyboard, under the key line.
constexpr widgets::TwipsRect PageLineRect {6915, 4440, 1860, 255};

// The lengths at hand, in beats of a bar of four, or in bars (negative).
struct Length {
    const char *name;
    const char *caption;
    int beats; // > 0: beats; <= 0: -bars
};
constexpr Length Lengths[] {
    {"length1beat", "1 拍", 1},
    {"length2beats", "2 拍", 2},
    {"length1bar", "1 小節", -1},
    {"length2bars", "2 小節", -2},
};
} // namespace

ui::SongCommands::SongCommands(
    ChordWindow *window, ChordBoxes *boxes, QMenu *editMenu, NoticeLine *notice)
    : QObject(window)
    , m_window(window)
    , m_boxes(boxes)
    , m_notice(notice)
    , m_pageLine(new QLabel(window->centralWidget()))
{
    m_pageLine->setObjectName(QStringLiteral("lblpage"));
    widgets::placeInTwips(m_pageLine, PageLineRect);
    m_pageLine->setTextFormat(Qt::PlainText);
    m_pageLine->lower(); // under the ＥＲＲＯＲ and the About panel, as the key line
    connect(boxes, &ChordBoxes::pageShown, this, &SongCommands::pageShown);
    connect(boxes, &ChordBoxes::chordsChanged, this, &SongCommands::pageShown);
    connect(window, &ChordWindow::boxChosen, this, &SongCommands::updateItems);

    editMenu->addSeparator();
    QMenu *length = editMenu->addMenu(QStringLiteral("長さ(&L)"));
    length->setObjectName(QStringLiteral("length"));
    for (const Length &item : Lengths) {
        QAction *action = length->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, [this, beats = item.beats] {
            setLength(beats > 0 ? beats : -beats * m_boxes->beatsPerBar());
        });
    }
    QAction *other = length->addAction(QStringLiteral("拍数を指定(&O)..."));
    other->setObjectName(QStringLiteral("lengthBeats"));
    connect(other, &QAction::triggered, this, &SongCommands::otherLengthClicked);
    QAction *section = editMenu->addAction(QStringLiteral("セクション(&S)..."));
    section->setObjectName(QStringLiteral("section"));
    connect(section, &QAction::triggered, this, &SongCommands::sectionClicked);
    m_songItems << length->menuAction() << section;

    m_previous = editMenu->addAction(QStringLiteral("前のページ(&B)"));
    m_previous->setObjectName(QStringLiteral("previousPage"));
    m_previous->setShortcut(QKeySequence(Qt::Key_PageUp));
    connect(m_previous, &QAction::triggered, this, [this] { turn(-1); });
    m_next = editMenu->addAction(QStringLiteral("次のページ(&F)"));
    m_next->setObjectName(QStringLiteral("nextPage"));
    m_next->setShortcut(QKeySequence(Qt::Key_PageDown));
    connect(m_next, &QAction::triggered, this, [this] { turn(1); });
    // Whichever control has the focus, the window turns the page.
    for (QAction *action : {m_previous, m_next})
        action->setShortcutContext(Qt::WindowShortcut);
    window->leaveKeysToWindow({m_previous->shortcut(), m_next->shortcut()});
    connect(editMenu, &QMenu::aboutToShow, this, &SongCommands::updateItems);
    pageShown();
}

void ui::SongCommands::turn(int pages)
{
    if (!m_boxes->showPage(m_boxes->page() + pages))
        return;
    // A box of another page is chosen by a click there.
    m_boxes->unselect();
    m_window->unselectBoxes();
}

void ui::SongCommands::pageShown()
{
    const QString line = m_boxes->pageLine();
    m_pageLine->setText(line);
    m_pageLine->setAccessibleName(line);
    m_pageLine->setVisible(!line.isEmpty());
    const int page = m_boxes->holdsSong() ? m_boxes->page() : -1;
    if (page >= 0 && page != m_shownPage && m_shownPage >= 0)
        m_window->announce(m_pageLine);
    m_shownPage = page;
    updateItems();
}

bool ui::SongCommands::hasBox() const
{
    return m_boxes->holdsSong() && m_boxes->hasReceivingBox();
}

void ui::SongCommands::updateItems()
{
    const bool editable = hasBox() && !m_boxes->readOnly();
    for (QAction *item : std::as_const(m_songItems))
        item->setEnabled(editable);
    m_previous->setEnabled(m_boxes->holdsSong() && m_boxes->page() > 0);
    m_next->setEnabled(m_boxes->holdsSong() && m_boxes->page() + 1 < m_boxes->pageCount());
}

void ui::SongCommands::setLength(int beats)
{
    if (!hasBox())
        return;
    if (!m_boxes->setLength(m_boxes->receivingBox(), beats == m_boxes->beatsPerBar() ? 0 : beats))
        m_notice->show(QStringLiteral("この長さにはできません"));
}

void ui::SongCommands::otherLengthClicked()
{
    if (!hasBox())
        return;
    const int box = m_boxes->receivingBox();
    const int now = m_boxes->beatsOf(box);
    bool ok = false;
    const int beats = QInputDialog::getInt(m_window, QStringLiteral("長さ"),
        QStringLiteral("拍数（1 小節は %1 拍）:").arg(m_boxes->beatsPerBar()),
        now > 0 ? now : m_boxes->beatsPerBar(), 1, song::MaxChordBeats, 1, &ok);
    if (ok)
        setLength(beats);
}

void ui::SongCommands::sectionClicked()
{
    if (!hasBox())
        return;
    const int box = m_boxes->receivingBox();
    bool ok = false;
    const QString name = QInputDialog::getText(m_window, QStringLiteral("セクション"),
        QStringLiteral("このコードから始まるセクションの名前（A、B、サビ、Verse など。空欄: なし）:"),
        QLineEdit::Normal, m_boxes->sectionOf(box), &ok);
    if (ok)
        m_boxes->setSection(box, name.trimmed());
}
