#pragma once

#include "keypick.h"

#include <QObject>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class QLabel;
class QShortcut;
class QWidget;

namespace widgets
{
class FocusFrame;
class ShapeWidget;
} // namespace widgets

namespace ui
{

// The drawn keyboard as an input: the keys a player picks to learn what
// they are called.
// - A click anywhere on a key toggles it in the pick, on a marker too; the
//   black keys where they lie over the white ones.
// - By keyboard the drawing is one Tab stop, a key cursor drawn as a dotted
//   frame: Left and Right move it, Space toggles its key. It is a checkable
//   button named by the key's note ("E3"), checked while the key is picked.
// - A picked key is coloured: light blue for a white key, blue for a black
//   one, in front of the key and behind the chord markers.
// - One line beside the chord name says what else the pick is called, or
//   that it has no name.
// - Escape lets the whole pick go. It is a shortcut of the keyboard, which
//   the open About panel disables, so it never competes with the panel's.
// Nothing of this is built before the first pick, or the first focus.
class KeyboardPick : public QObject
{
    Q_OBJECT
public:
    struct Controls {
        QWidget *keyboard = nullptr; // the white of the keys, behind all the rest
        QWidget *firstLine = nullptr; // white keys' colours go just behind it
        QWidget *backMarker = nullptr; // black keys' colours go just behind it
        QWidget *errorLabel = nullptr; // the key cursor goes just behind it
    };

    KeyboardPick(const Controls &controls, QObject *parent);

    // The pick's chord, as the namer names it; none for fewer than three
    // keys or notes that have no name.
    std::optional<chord::ChordName> chordName() const;

    void clear();

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // A key went into the pick or out of it.
    void toggled(int semitone);
    void namesLineChanged(const QString &line);

private:
    void toggle(int semitone);
    void showMark(int semitone, bool shown);
    void setLine(const QString &text);
    void buildCursor();
    void moveCursor(int semitone);

    Controls m_controls;
    chord::KeyPick m_pick;
    std::vector<chord::ChordName> m_names;
    std::array<widgets::ShapeWidget *, chord::KeyboardKeys> m_marks {};
    QLabel *m_line = nullptr;
    QString m_lineText;
    QShortcut *m_escape = nullptr;
    widgets::FocusFrame *m_cursor = nullptr;
    int m_cursorKey = 0;
};

} // namespace ui
