#include "midimenu.h"

#include "chordplayer.h"
#include "midisession.h"

#include <QActionGroup>
#include <QSettings>

#include <cstdio>
#include <utility>

namespace
{
constexpr auto InputKey = "midi/input";
constexpr auto OutputKey = "midi/output";
constexpr auto MissingFifthKey = "midi/acceptMissingFifth";
constexpr auto ThruKey = "midi/thru";

QString setting(const char *key)
{
    return QString::fromLatin1(key);
}
} // namespace

MidiMenu::MidiMenu(QWidget *window, QSettings *settings, Opener open)
    : QMenu(tr("MIDI(&M)"), window)
    , m_settings(settings)
    , m_open(std::move(open))
    , m_inputs(addMenu(tr("入力(&I)")))
    , m_outputs(addMenu(tr("出力(&O)")))
    , m_inputGroup(new QActionGroup(this))
    , m_outputGroup(new QActionGroup(this))
    , m_missingFifth(addAction(tr("5度のない和音も認める(&F)")))
    , m_thru(addAction(tr("MIDI スルー(&T)")))
{
    setObjectName(QStringLiteral("midi"));
    setFont(window->font());
    m_inputs->setObjectName(QStringLiteral("midiInput"));
    m_outputs->setObjectName(QStringLiteral("midiOutput"));
    m_missingFifth->setObjectName(QStringLiteral("midiMissingFifth"));
    m_thru->setObjectName(QStringLiteral("midiThru"));
    m_missingFifth->setCheckable(true);
    m_thru->setCheckable(true);
    m_missingFifth->setChecked(m_settings->value(setting(MissingFifthKey), false).toBool());
    m_thru->setChecked(m_settings->value(setting(ThruKey), false).toBool());
    connect(m_missingFifth, &QAction::toggled, this,
        [this](bool on) { m_settings->setValue(setting(MissingFifthKey), on); });
    connect(m_thru, &QAction::toggled, this,
        [this](bool on) { m_settings->setValue(setting(ThruKey), on); });
    refill();
}

// Whatever was sent is released on the way out, so no synth is left droning.
MidiMenu::~MidiMenu()
{
    if (m_session)
        m_session->releaseAll();
}

void MidiMenu::defaultOpener(QObject *parent, midi::TransportReady ready)
{
    midi::openSequencer(QString::fromLatin1(midi::ClientName), parent, std::move(ready));
}

void MidiMenu::start()
{
    if (m_started)
        return;
    m_started = true;
    m_open(this, [this](const midi::OpenedTransport &opened) { use(opened); });
}

void MidiMenu::use(const midi::OpenedTransport &opened)
{
    if (!opened.transport) {
        disable(opened.error);
        return;
    }
    m_transport = opened.transport;
    if (const QString reason = m_transport->unavailableReason(); !reason.isEmpty()) {
        disable(reason);
        return;
    }
    m_session = new midi::MidiSession(m_transport, this);
    m_session->setAcceptMissingFifth(m_missingFifth->isChecked());
    m_session->setThru(m_thru->isChecked());
    connect(
        m_missingFifth, &QAction::toggled, m_session, &midi::MidiSession::setAcceptMissingFifth);
    connect(m_thru, &QAction::toggled, m_session, &midi::MidiSession::setThru);
    connect(m_session, &midi::MidiSession::chordPlayed, this, &MidiMenu::chordPlayed);
    connect(m_session, &midi::MidiSession::outputRefused, this, &MidiMenu::sayRefused);
    connect(m_transport, &midi::MidiTransport::endpointsChanged, this, &MidiMenu::follow);
    connect(m_session, &midi::MidiSession::played, this, &MidiMenu::sound);
    follow();
}

void MidiMenu::sendChord(const QList<int> &semitones)
{
    if (m_session)
        m_session->sendChord(semitones);
}

void MidiMenu::playAlongWith(sound::ChordPlayer *player)
{
    m_player = player;
}

// Note-offs go through whatever 音 says: the player ends only what it sounds.
void MidiMenu::sound(const midi::MidiMessage &message)
{
    if (!m_player)
        return;
    using Kind = midi::MidiMessage::Kind;
    if (message.kind == Kind::NoteOn && message.value > 0)
        m_player->noteOn(message.number, message.value);
    else if (message.kind != Kind::Control)
        m_player->noteOff(message.number);
}

// Without a sequencer the menu still opens, to say why, but offers nothing.
void MidiMenu::disable(const QString &reason)
{
    const QString text = tr("MIDI は使えません: %1").arg(reason);
    menuAction()->setToolTip(text);
    menuAction()->setStatusTip(text);
    QAction *why = new QAction(text, this);
    why->setObjectName(QStringLiteral("midiUnavailable"));
    why->setEnabled(false);
    insertAction(actions().value(0), why);
    for (QAction *action : actions())
        action->setEnabled(false);
}

// Said once, as the session stops sending: on the menu, where the output is
// chosen again, and on stderr.
void MidiMenu::sayRefused()
{
    if (m_refused)
        return;
    const QString text = tr("MIDI 出力に送れません。出力を選び直すまで送りません");
    std::fprintf(stderr, "ソラミナ: %s\n", qPrintable(text));
    std::fflush(stderr);
    menuAction()->setToolTip(text);
    menuAction()->setStatusTip(text);
    m_refused = new QAction(text, this);
    m_refused->setObjectName(QStringLiteral("midiRefused"));
    m_refused->setEnabled(false);
    insertAction(actions().value(0), m_refused);
}

// Connects the remembered endpoints that are present and not yet connected;
// one that has gone is no longer connected, and will be again when it returns.
void MidiMenu::follow()
{
    const QString input = m_settings->value(setting(InputKey)).toString();
    const QString output = m_settings->value(setting(OutputKey)).toString();
    const QStringList sources = m_transport->sources();
    const QStringList destinations = m_transport->destinations();
    if (!sources.contains(m_inputConnected))
        m_inputConnected.clear();
    if (!destinations.contains(m_outputConnected))
        m_outputConnected.clear();
    if (!input.isEmpty() && m_inputConnected.isEmpty() && sources.contains(input)
        && m_transport->connectSource(input))
        m_inputConnected = input;
    if (!output.isEmpty() && m_outputConnected.isEmpty() && destinations.contains(output)
        && m_transport->connectDestination(output))
        m_outputConnected = output;
    refill();
}

void MidiMenu::refill()
{
    const bool live = m_transport != nullptr;
    fill(m_inputs, m_inputGroup, live ? m_transport->sources() : QStringList(),
        m_settings->value(setting(InputKey)).toString());
    fill(m_outputs, m_outputGroup, live ? m_transport->destinations() : QStringList(),
        m_settings->value(setting(OutputKey)).toString());
}

// なし first, then the endpoints present; a remembered endpoint that is away
// stays listed, checked, so the choice can be seen and undone.
void MidiMenu::fill(
    QMenu *menu, QActionGroup *group, const QStringList &endpoints, const QString &chosen)
{
    const bool input = menu == m_inputs;
    for (QAction *action : group->actions())
        delete action;
    QStringList names {QString()};
    names << endpoints;
    if (!chosen.isEmpty() && !names.contains(chosen))
        names << chosen;
    for (const QString &name : std::as_const(names)) {
        QAction *action = menu->addAction(name.isEmpty() ? tr("なし") : name);
        action->setCheckable(true);
        action->setChecked(name == chosen);
        action->setEnabled(m_transport != nullptr);
        action->setData(name);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, input, name] { choose(input, name); });
    }
}

// An output chosen, even the same again, is used anew, and the one left
// behind is not left sounding.
void MidiMenu::choose(bool input, const QString &name)
{
    QString &connected = input ? m_inputConnected : m_outputConnected;
    if (!input && m_session)
        m_session->releaseAll();
    if (!connected.isEmpty()) {
        if (input)
            m_transport->disconnectSource(connected);
        else
            m_transport->disconnectDestination(connected);
        connected.clear();
    }
    m_settings->setValue(setting(input ? InputKey : OutputKey), name);
    if (!input && m_session) {
        m_session->resumeOutput();
        delete std::exchange(m_refused, nullptr);
        menuAction()->setToolTip({});
        menuAction()->setStatusTip({});
    }
    follow();
}
