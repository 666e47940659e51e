#pragma once

#include "schedule.h"
#include "song.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace sound
{
class SoundOutput;
}

namespace song
{

// Plays a song on a sound output's own sample clock: each bar's notes go to
// the output a little before the bar comes, so that they sound on its bar
// line to the sample whatever the GUI thread is doing; a GUI timer only
// hands them over and says which bar is sounding. A bar plays what its box
// holds when it is handed over, so edits made while playing are heard.
class SongPlayer : public QObject
{
    Q_OBJECT
public:
    // How far ahead of its bar line a bar is handed to the output: more than
    // the GUI thread is ever held up, and little enough that an edit just
    // before its bar is still heard.
    static constexpr int LookaheadMs = 100;
    // The first bar line, after the start: the first notes are handed over
    // before it, so that they come on time too.
    static constexpr int StartDelayMs = 20;
    // How often the clock is read: the window follows within this.
    static constexpr int FollowMs = 5;

    // The song as the memo holds it: its tempo and meter, taken at the
    // start; its length, read at every tick (cheap: no bar is built); and
    // each bar, read once, when its notes are handed over.
    struct SongSource {
        int tempo = DefaultTempo;
        int beatsPerBar = DefaultBeats;
        std::function<int()> barCount;
        std::function<Bar(int bar)> bar;
        // Each chord's length in beats (0: a whole bar), read at every tick;
        // none: every chord is a whole bar, as in a memo.
        std::function<int(int bar)> beats {};
    };
    // A song that stays as it is.
    static SongSource sourceOf(Song song);
    // The memo's song, each bar as its box holds it when the bar is read;
    // the memo must outlive the playing.
    static SongSource memoSource(const memo::ChordMemo &memo, int tempo, int beatsPerBar);

    explicit SongPlayer(QObject *parent = nullptr);
    ~SongPlayer() override;

    // Plays at the tempo and meter the song has now; from then on only its
    // bars are read again. The output must stay open while playing.
    void start(sound::SoundOutput &output, SongSource source, PlayOptions options);
    // Stops at once, every note let go; stopped() follows.
    void stop();
    bool isPlaying() const { return m_output != nullptr; }
    // Taken at the next bar: a loop turned off ends after the bar playing.
    void setLoop(bool loop) { m_options.loop = loop; }

signals:
    // A bar, its memo box, or CountInBar, has begun to sound.
    void barStarted(int bar);
    // Playback is over: stopped, or past the last bar.
    void stopped();

private:
    void advance();
    void finish();
    // The song's slots as its lengths are now.
    Schedule currentSchedule() const;

    sound::SoundOutput *m_output = nullptr;
    SongSource m_source;
    PlayOptions m_options;
    std::int64_t m_origin = 0; // the output's frame of the first bar line
    std::int64_t m_handedOver = 0; // slots whose notes the output has
    std::int64_t m_announced = 0; // slots whose start barStarted() said
    QTimer m_follow;
};

} // namespace song
