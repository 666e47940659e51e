#pragma once

#include <QMenu>

#include <memory>

class Form1;
class QSettings;

namespace sound
{
class ChordPlayer;
}

// The menu 音(&S), between フィイル and ヘルプ: whether the chords shown
// sound, playing the last one again, arpeggio, and the instrument. The
// choices are kept in the settings. When there is no sound output its
// actions are disabled, with the reason in their tooltips.
class SoundMenu : public QMenu
{
    Q_OBJECT
public:
    // Plays every chord the window shows through the player.
    SoundMenu(Form1 *window, std::unique_ptr<sound::ChordPlayer> player,
        std::unique_ptr<QSettings> settings);
    ~SoundMenu() override;

    // The program's own: the desktop's audio output and settings file.
    static void addTo(Form1 *window);

    sound::ChordPlayer *player() const { return m_player.get(); }

private:
    void disableAll(const QString &reason);

    std::unique_ptr<sound::ChordPlayer> m_player;
    std::unique_ptr<QSettings> m_settings;
};
