#pragma once

#include "chordmemo.h"
#include "keyfinding.h"
#include "songsettings.h"

#include <QList>
#include <QObject>

#include <optional>

class QAction;
class QLabel;
class QMenu;
class QSettings;

namespace ui
{
class ChordBoxes;
class ChordWindow;
class EditCommands;
class SongSettingsStore;

// The song's key in the window: the key line beside the keyboard, found
// from the memo's chords as they change or chosen in キーとカポ; the boxes'
// degrees in that key; the key's own chords at hand; and step entry. Its
// items go at the end of the edit menu; 移調 moves a chosen key along.
class KeyCommands : public QObject
{
    Q_OBJECT
public:
    // All stay the caller's and outlive this; settings keeps the items'
    // choices (none: they start off each time).
    KeyCommands(ChordWindow *window, ChordBoxes *boxes, EditCommands *edit,
        SongSettingsStore *song, QSettings *settings);

    std::optional<chord::Key> keyInEffect() const;
    // What a box's tooltip tells of its degree: "度数: Ⅵm7"; empty when the
    // box holds no chord the tables know or the song has no key.
    QString degreeLine(int box) const;
    // The key and capo chosen, as キーとカポ keeps them.
    void keep(const song::SongSettings &song);

    // The boxes, the song or the memo itself changed: the key is found again.
    void update();

private:
    void keyDialogClicked();
    void keyChordChosen(int item);
    QAction *addKeptSwitch(QMenu *menu, const char *name, const char *caption, const char *key);

    ChordWindow *m_window;
    ChordBoxes *m_boxes;
    SongSettingsStore *m_store;
    QSettings *m_settings;
    QLabel *m_line;
    QList<QAction *> m_keyChords; // the triads Ⅰ to Ⅶ, then the sevenths
    QAction *m_degreesShown = nullptr;
    song::SongSettings m_song;
    std::optional<chord::FoundKey> m_found;
    QStringList m_degrees; // each shown box's, in the key in effect
};

} // namespace ui
