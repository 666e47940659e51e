#pragma once

#include "sequencerloader.h"

#include <QMenu>
#include <QPointer>

#include <functional>

class Form1;
class QActionGroup;
class QSettings;

namespace midi
{
class MidiSession;
struct MidiMessage;
} // namespace midi

namespace sound
{
class ChordPlayer;
}

// The menu "MIDI(&M)": which endpoint plays into the program and which one
// hears its chords, chosen by name, remembered, and connected again when the
// endpoint comes back. Ties the window's chords to the MIDI session.
class MidiMenu : public QMenu
{
    Q_OBJECT
public:
    using Loader = std::function<midi::LoadedTransport(QObject *parent)>;

    // Goes into the window's menu bar before ヘルプ. The sequencer is loaded
    // by start(), not here, so it costs the window's opening nothing: the
    // first time the menu opens, or by startIfUsed().
    MidiMenu(Form1 *window, QSettings *settings, Loader load = defaultLoader);
    ~MidiMenu() override;

    void start();
    // Starts when an input or output is remembered: MIDI is in use, and the
    // endpoints chosen are to be connected without opening the menu.
    void startIfUsed();

    // What is played on the input also sounds through this player, while it
    // plays the chords shown (音 on). Call before start().
    void playAlongWith(sound::ChordPlayer *player);

    static midi::LoadedTransport defaultLoader(QObject *parent);

private:
    void disable(const QString &reason);
    void refill();
    void fill(
        QMenu *menu, QActionGroup *group, const QStringList &endpoints, const QString &chosen);
    void choose(bool input, const QString &name);
    void follow();
    void sound(const midi::MidiMessage &message);

    Form1 *m_window;
    QSettings *m_settings;
    Loader m_load;
    bool m_started = false;
    midi::MidiTransport *m_transport = nullptr;
    midi::MidiSession *m_session = nullptr;
    QPointer<sound::ChordPlayer> m_player;
    QMenu *m_inputs;
    QMenu *m_outputs;
    QActionGroup *m_inputGroup;
    QActionGroup *m_outputGroup;
    QAction *m_missingFifth;
    QAction *m_thru;
    QString m_inputConnected; // the endpoint connected now, empty for none
    QString m_outputConnected;
};
