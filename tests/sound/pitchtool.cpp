// Prints the notes sounding in a recording of signed 16-bit little-endian
// mono samples, from 0.1 s to 0.6 s after its first sound:
//   soramina-pitch FILE RATE    ->  "55 59 62 65"
#include "pitchcheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FILE RATE\n", argv[0]);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "%s: cannot be read\n", argv[1]);
        return 1;
    }
    // An empty recording is silence: no notes.
    const std::vector<char> bytes(std::istreambuf_iterator<char>(file), {});
    std::vector<float> samples;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto low = std::uint8_t(bytes[i]), high = std::uint8_t(bytes[i + 1]);
        samples.push_back(float(std::int16_t(low | high << 8)) / 32768.0F);
    }
    const std::span<const float> recording(samples);
    const std::vector<int> notes
        = pitchcheck::notesIn(recording.subspan(pitchcheck::onset(recording)), std::atoi(argv[2]));
    for (std::size_t i = 0; i < notes.size(); ++i)
        std::printf(i ? " %d" : "%d", notes[i]);
    std::printf("\n");
    return 0;
}
