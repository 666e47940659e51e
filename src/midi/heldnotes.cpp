#include "heldnotes.h"

#include <algorithm>
#include <iterator>

namespace midi
{

namespace
{
template<typename Set> void eraseChannel(Set &keys, int channel)
{
    std::erase_if(keys, [channel](const auto &key) { return key.first == channel; });
}

bool validChannel(int channel)
{
    return channel >= 0 && channel < Channels;
}
} // namespace

void HeldNotes::noteOn(int channel, int note, int velocity)
{
    if (velocity == 0) {
        noteOff(channel, note);
        return;
    }
    if (!validChannel(channel))
        return;
    // Struck again under the pedal, the note is held by its key once more.
    m_sustained.erase({channel, note});
    m_down.insert({channel, note});
}

void HeldNotes::noteOff(int channel, int note)
{
    if (!validChannel(channel) || m_down.erase({channel, note}) == 0)
        return;
    if (m_pedal[std::size_t(channel)])
        m_sustained.insert({channel, note});
}

void HeldNotes::controlChange(int channel, int controller, int value)
{
    if (!validChannel(channel))
        return;
    if (controller == SustainController) {
        const bool down = value >= PedalDownFrom;
        m_pedal[std::size_t(channel)] = down;
        if (!down)
            eraseChannel(m_sustained, channel);
    } else if (controller == AllNotesOffController) {
        eraseChannel(m_down, channel);
        eraseChannel(m_sustained, channel);
    }
}

std::vector<int> HeldNotes::notes() const
{
    std::set<int> sounding;
    for (const auto &keys : {m_down, m_sustained})
        std::ranges::transform(keys, std::inserter(sounding, sounding.end()),
            [](const Key &key) { return key.second; });
    return {sounding.begin(), sounding.end()};
}

} // namespace midi
