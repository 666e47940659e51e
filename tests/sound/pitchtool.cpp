// Prints the notes sounding in a recording of signed 16-bit little-endian
// mono samples, from 0.1 s to 0.6 s after its first sound:
//   soramina-pitch FILE RATE    ->  "55 59 62 65"
// or, with --attacks, each chord struck in it on a line of its own: the
// millisecond it starts at and its notes.
//   soramina-pitch --attacks FILE RATE    ->  "20.3: 48 52 55"
#include "pitchcheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

namespace
{
void printNotes(const std::vector<int> &notes)
{
    for (std::size_t i = 0; i < notes.size(); ++i)
        std::printf(i ? " %d" : "%d", notes[i]);
    std::printf("\n");
}
} // namespace

int main(int argc, char **argv)
{
    const bool attacks = argc == 4 && std::string_view(argv[1]) == "--attacks";
    if (argc != 3 && !attacks) {
        std::fprintf(stderr, "usage: %s [--attacks] FILE RATE\n", argv[0]);
        return 2;
    }
    const char *path = argv[argc - 2];
    const int rate = std::atoi(argv[argc - 1]);
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "%s: cannot be read\n", path);
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
    if (!attacks) {
        printNotes(pitchcheck::notesIn(recording.subspan(pitchcheck::onset(recording)), rate));
        return 0;
    }
    for (const std::size_t at : pitchcheck::attacks(recording)) {
        std::printf("%.1f: ", double(at) * 1000 / rate);
        printNotes(pitchcheck::notesIn(recording.subspan(at), rate));
    }
    return 0;
}
