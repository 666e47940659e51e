#pragma once

#include <QMenu>
#include <QPointer>

#include <functional>
#include <memory>

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
    // The choices for the player, kept in the settings; both stay the
    // caller's and must outlive the menu. The window puts the menu in its
    // menu bar and hands the player the chords it shows.
    SoundMenu(QWidget *window, sound::ChordPlayer *player, QSettings *settings);

    // An on/off item kept in the settings under key, handed to apply (if
    // any) as it is read and whenever the user changes it.
    QAction *addKeptSwitch(const QString &caption, const QString &name, const char *key,
        bool byDefault, const std::function<void(bool)> &apply = {});

    // Nothing can sound: every action, the window's own in the menu too,
    // is disabled with the reason as its tooltip.
    void showUnavailable(const QString &reason);

private:
    // The output did not open: コードを鳴らす stays, unchecked, to try again.
    void offerRetry(const QString &reason);
    void retry(bool on);

    sound::ChordPlayer *m_player;
    QAction *m_play = nullptr;
    QList<QPointer<QAction>> m_disabled; // by showUnavailable(), to enable again on a retry
    QSettings *m_settings;
};
