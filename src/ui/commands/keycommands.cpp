#include "keycommands.h"

#include "chordboxes.h"

#include "chordwindow.h"
#include "degree.h"
#include "editcommands.h"
#include "keydialog.h"
#include "keyline.h"
#include "songdocument.h"
#include "memohistory.h"
#include "songsettingsstore.h"
#include "twips.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>

#include <string>
#include <vector>

namespace
{
// Beside the keyboard, right of its upper end: free space in the layout, as
// wide as "キー: Bbm (指定) カポ 11" needs, and a second line for a larger font.
constexpr widgets::TwipsRect KeyLineRect {6915, 3840, 1860, 510};
constexpr char DegreesKey[] = "key/degrees";
constexpr char StepEntryKey[] = "edit/stepEntry";
const QString DegreeLine = QStringLiteral("度数: %1");
const QString KeyChordCaption = QStringLiteral("%1（%2）");

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// The key chords' items in menu order: the triads Ⅰ to Ⅶ, then the sevenths.
chord::NamedChord keyChord(chord::Key key, int item)
{
    const chord::KeyChords chords
        = item < chord::DegreeCount ? chord::keyTriads(key) : chord::keySevenths(key);
    return chords[std::size_t(item % chord::DegreeCount)];
}
} // namespace

ui::KeyCommands::KeyCommands(ChordWindow *window, ChordBoxes *boxes, EditCommands *edit,
    SongSettingsStore *song, QSettings *settings)
    : QObject(window)
    , m_window(window)
    , m_boxes(boxes)
    , m_store(song)
    , m_settings(settings)
    , m_line(new QLabel(window->centralWidget()))
{
    m_line->setObjectName(QStringLiteral("lblkey"));
    widgets::placeInTwips(m_line, KeyLineRect);
    m_line->setTextFormat(Qt::PlainText);
    m_line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_line->setWordWrap(true);
    // Behind everything: the ＥＲＲＯＲ and the About panel cover it.
    m_line->lower();
    connect(boxes, &ChordBoxes::pageShown, this, &KeyCommands::update);
    connect(boxes, &ChordBoxes::chordsChanged, this, &KeyCommands::update);
    connect(window, &ChordWindow::loaded, this, &KeyCommands::update);

    QMenu *menu = edit->menu();
    menu->addSeparator();
    QAction *dialog = menu->addAction(QStringLiteral("キーとカポ(&Y)..."));
    dialog->setObjectName(QStringLiteral("key"));
    connect(dialog, &QAction::triggered, this, &KeyCommands::keyDialogClicked);

    // Alt and a digit are free: no menu title's mnemonic is a digit.
    QMenu *chords = menu->addMenu(QStringLiteral("キーのコード(&G)"));
    chords->setObjectName(QStringLiteral("keyChords"));
    for (const bool seventh : {false, true}) {
        if (seventh)
            chords->addSeparator();
        for (int degree = 0; degree < chord::DegreeCount; ++degree) {
            QAction *item = chords->addAction(QString());
            item->setObjectName(
                QStringLiteral("%1%2").arg(seventh ? "seventh" : "triad").arg(degree + 1));
            const auto modifiers = seventh ? Qt::ALT | Qt::SHIFT : Qt::ALT;
            item->setShortcut(QKeySequence(modifiers | Qt::Key(Qt::Key_1 + degree)));
            connect(item, &QAction::triggered, this,
                [this, index = int(m_keyChords.size())] { keyChordChosen(index); });
            m_keyChords << item;
        }
    }

    m_degreesShown = addKeptSwitch(menu, "degrees", "度数で表示(&W)", DegreesKey);
    connect(m_degreesShown, &QAction::toggled, this, &KeyCommands::update);
    QAction *step = addKeptSwitch(menu, "stepEntry", "ステップ入力(&N)", StepEntryKey);
    edit->setStepEntry(step->isChecked());
    connect(step, &QAction::toggled, edit, &EditCommands::setStepEntry);

    // A chosen key moves with the chords, in the same step; the key in
    // effect spells them.
    edit->setSongKey([this](int semitones) {
        EditCommands::SongKey songKey {keyInEffect(), {}};
        const song::SongSettings before = m_store->load();
        // A song's own key moves in its own step.
        if (!before.key || !m_store->keeps() || m_boxes->holdsSong())
            return songKey;
        song::SongSettings after = before;
        after.key = chord::movedKey(*before.key, semitones);
        songKey.alongside = [this, keep = m_store->alongside(before, after)](bool done) {
            keep(done);
            update();
        };
        return songKey;
    });
    update();
}

QAction *ui::KeyCommands::addKeptSwitch(
    QMenu *menu, const char *name, const char *caption, const char *key)
{
    QAction *action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    action->setChecked(m_settings && m_settings->value(key, false).toBool());
    if (m_settings)
        connect(action, &QAction::toggled, this,
            [settings = m_settings, key](bool on) { settings->setValue(key, on); });
    return action;
}

std::optional<chord::Key> ui::KeyCommands::keyInEffect() const
{
    return chord::keyInEffect(m_song.key, m_found);
}

QString ui::KeyCommands::degreeLine(int box) const
{
    const QString degree = m_degrees.value(box);
    return degree.isEmpty() ? QString() : DegreeLine.arg(degree);
}

void ui::KeyCommands::keep(const song::SongSettings &song)
{
    m_store->save(song);
    update();
}

void ui::KeyCommands::update()
{
    m_song = m_store->load();
    // The key is the whole song's; the degrees are those of the boxes shown.
    // The names' texts live here while the chords look at them.
    using Texts = std::vector<std::pair<std::string, std::string>>;
    const auto named = [](const Texts &texts) {
        std::vector<chord::NamedChord> chords;
        for (const auto &[root, kind] : texts)
            chords.push_back({root, kind});
        return chords;
    };
    Texts shown, all;
    for (int k = 0; k < memo::MemoSlotCount; ++k) {
        const memo::ChordText chord = m_boxes->text(k);
        shown.emplace_back(chord.root.toStdString(), chord.kind.toStdString());
    }
    if (const song::SongDocument *document = m_boxes->songDocument()) {
        for (const song::Bar &bar : document->song().bars)
            all.emplace_back(bar.root.toStdString(), bar.kind.toStdString());
    }
    const std::vector<chord::NamedChord> chords = named(shown);
    m_found = chord::findKey(m_boxes->holdsSong() ? named(all) : chords);
    m_line->setText(song::keyLine(m_song.key, m_found, m_song.capo));
    m_line->setAccessibleName(m_line->text());

    const std::optional<chord::Key> key = keyInEffect();
    m_degrees.clear();
    for (const chord::NamedChord &c : chords)
        m_degrees << (key ? qs(chord::degreeName(c, *key)) : QString());
    QStringList lines;
    for (int k = 0; k < memo::MemoSlotCount; ++k)
        lines << degreeLine(k);
    m_window->showDegrees(lines, m_degreesShown->isChecked() ? m_degrees : QStringList());

    for (int i = 0; i < m_keyChords.size(); ++i) {
        m_keyChords[i]->setEnabled(key.has_value());
        if (!key)
            continue;
        const chord::NamedChord c = keyChord(*key, i);
        m_keyChords[i]->setText(
            KeyChordCaption.arg(qs(c.root) + qs(c.kind), qs(chord::degreeName(c, *key))));
    }
}

void ui::KeyCommands::keyDialogClicked()
{
    KeyDialog dialog(m_song, m_found, m_window);
    if (dialog.exec() == QDialog::Accepted)
        keep(dialog.chosen());
}

void ui::KeyCommands::keyChordChosen(int item)
{
    if (const std::optional<chord::Key> key = keyInEffect()) {
        const chord::NamedChord c = keyChord(*key, item);
        m_window->showChosenChord(qs(c.root), qs(c.kind));
    }
}
