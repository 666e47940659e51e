#include "soundmenu.h"

#include "chordplayer.h"
#include "songsettings.h"

#include <QActionGroup>
#include <QSettings>

#include <array>
#include <functional>
#include <string_view>
#include <utility>

namespace
{
struct Timbre {
    std::string_view caption;
    int program; // General MIDI
};
constexpr std::array<Timbre, 5> Timbres {{
    {"ピアノ", 0},
    {"エレクトリックピアノ", 4},
    {"オルガン", 16},
    {"ギター", 24},
    {"ストリングス", 48},
}};

constexpr char PlayKey[] = "sound/play";
constexpr char ArpeggioKey[] = "sound/arpeggio";
using song::ProgramKey;

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
} // namespace

SoundMenu::SoundMenu(QWidget *window, sound::ChordPlayer *player, QSettings *settings)
    : QMenu(QStringLiteral("音(&S)"), window)
    , m_player(player)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("sound"));
    setFont(window->font());
    setToolTipsVisible(true);

    sound::ChordPlayer *chords = m_player;
    QSettings *kept = m_settings;

    m_play = addKeptSwitch(QStringLiteral("コードを鳴らす(&P)"), QStringLiteral("playChords"),
        PlayKey, true, std::bind_front(&sound::ChordPlayer::setPlaysShownChords, chords));
    connect(m_play, &QAction::toggled, this, &SoundMenu::retry);

    QAction *replay = addAction(QStringLiteral("もう一度鳴らす(&R)"));
    replay->setObjectName(QStringLiteral("replay"));
    replay->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(replay, &QAction::triggered, chords, &sound::ChordPlayer::replay);

    addKeptSwitch(QStringLiteral("アルペジオ(&A)"), QStringLiteral("arpeggio"), ArpeggioKey, false,
        std::bind_front(&sound::ChordPlayer::setArpeggio, chords));

    QMenu *timbres = addMenu(QStringLiteral("音色(&T)"));
    timbres->setObjectName(QStringLiteral("timbre"));
    timbres->setFont(font());
    auto *timbreGroup = new QActionGroup(timbres);
    const int program = kept->value(ProgramKey, Timbres[0].program).toInt();
    for (const Timbre &timbre : Timbres) {
        QAction *item = timbres->addAction(qs(timbre.caption));
        item->setCheckable(true);
        item->setActionGroup(timbreGroup);
        item->setChecked(timbre.program == program);
        connect(item, &QAction::triggered, this, [chords, kept, program = timbre.program] {
            chords->setProgram(program);
            kept->setValue(ProgramKey, program);
        });
    }
    // A program that is not on the menu, from an edited settings file, plays
    // as the first instrument.
    if (!timbreGroup->checkedAction())
        timbreGroup->actions().constFirst()->setChecked(true);
    chords->setProgram(
        Timbres[timbreGroup->actions().indexOf(timbreGroup->checkedAction())].program);

    connect(chords, &sound::ChordPlayer::unavailable, this, &SoundMenu::showUnavailable);
    connect(chords, &sound::ChordPlayer::openFailed, this, &SoundMenu::offerRetry);
    if (!chords->isAvailable())
        showUnavailable(chords->unavailableReason());
}

QAction *SoundMenu::addKeptSwitch(const QString &caption, const QString &name, const char *key,
    bool byDefault, const std::function<void(bool)> &apply)
{
    QAction *action = addAction(caption);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setChecked(m_settings->value(key, byDefault).toBool());
    if (apply)
        apply(action->isChecked());
    connect(action, &QAction::triggered, this, [kept = m_settings, key, apply](bool on) {
        if (apply)
            apply(on);
        kept->setValue(key, on);
    });
    return action;
}

// Nothing can sound: the actions say why instead, and the choices kept in
// the settings stay as they are for a run that has sound.
void SoundMenu::showUnavailable(const QString &reason)
{
    for (QAction *action : actions()) {
        if (action->isEnabled())
            m_disabled << action;
        action->setEnabled(false);
        action->setToolTip(reason);
        if (action->objectName() == QLatin1String("playChords"))
            action->setChecked(false);
    }
}

void SoundMenu::offerRetry(const QString &reason)
{
    const QString text = QStringLiteral(
        "音声出力を開けませんでした（%1）。「コードを鳴らす」をもう一度オンにするまで音は出ません")
                             .arg(reason);
    for (QAction *action : actions())
        action->setToolTip(text);
    m_play->setEnabled(true);
}

// The player opens the output again as it is turned on; should that fail
// too, the menu says so again.
void SoundMenu::retry(bool on)
{
    if (!on || m_disabled.isEmpty())
        return;
    for (QAction *action : actions())
        action->setToolTip({});
    for (const QPointer<QAction> &action : std::exchange(m_disabled, {})) {
        if (action)
            action->setEnabled(true);
    }
}
