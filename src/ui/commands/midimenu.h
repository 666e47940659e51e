#pragma once

#include "sequenceropener.h"

#include <QMenu>
#include <QPointer>

#include <functional>

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
// endpoint comes back. Sends the chords it is given and says which chord
// the input played.
class MidiMenu : public QMenu
{
    Q_OBJECT
public:
    // Opens a transport parented to the menu and hands it, or why there is
    // none, to ready() on the menu's thread, now or later.
    using Opener = std::function<void(QObject *parent, midi::TransportReady ready)>;

    // The window puts the menu in its menu bar. The sequencer comes up by
    // start(), not here, so that it costs the window's opening nothing.
    MidiMenu(QWidget *window, QSettings *settings, Opener open = defaultOpener);
    ~MidiMenu() override;

    // Brings the sequencer up, without waiting for it; the remembered
    // endpoints are connected once it is there.
    void start();

    // What is played on the input also sounds through this player, while it
    // plays the chords shown (音 on). Call before start().
    void playAlongWith(sound::ChordPlayer *player);

    static void defaultOpener(QObject *parent, midi::TransportReady ready);

    // A chord for the output, its notes in semitones above the keyboard's
    // lowest C; empty lets the last one go. Nothing before the sequencer is up.
    void sendChord(const QList<int> &semitones);

signals:
    // A chord recognised on the input.
    void chordPlayed(const QString &root, const QString &kind);

private:
    void use(const midi::OpenedTransport &opened);
    void disable(const QString &reason);
    void sayRefused();
    void refill();
    void fill(
        QMenu *menu, QActionGroup *group, const QStringList &endpoints, const QString &chosen);
    void choose(bool input, const QString &name);
    void follow();
    void sound(const midi::MidiMessage &message);

    QSettings *m_settings;
    Opener m_open;
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
    QAction *m_refused = nullptr; // says the output refused, until it is chosen again
    QString m_inputConnected; // the endpoint connected now, empty for none
    QString m_outputConnected;
};
