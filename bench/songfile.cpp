#include "songfile.h"

#include <QDir>
#include <QFile>

#include <array>
#include <string_view>

namespace bench
{

namespace
{
struct SongChord {
    std::string_view root;
    std::string_view kind;
};

// Every kind and both spellings of black keys, as a real memo would mix them.
constexpr std::array<SongChord, 30> Song {{
    {"C", ""},
    {"A", "m"},
    {"F", ""},
    {"G", "7"},
    {"E", "m7"},
    {"D", "m7"},
    {"Bb", ""},
    {"G", "sus4"},
    {"C", "M7"},
    {"A", "m7"},
    {"D", "7"},
    {"G", "7sus4"},
    {"F", "M7"},
    {"E", "7"},
    {"A", "m"},
    {"C", "7"},
    {"F", ""},
    {"F", "m6"},
    {"C", "6"},
    {"A", "7"},
    {"D", "m7"},
    {"G", "7"},
    {"E", "m7-5"},
    {"A#", "aug"},
    {"D", "m"},
    {"Bb", "M7"},
    {"C", "add9"},
    {"Eb", "dim"},
    {"D", "mM7"},
    {"C#", ""},
}};
} // namespace

QByteArray songSlotFile()
{
    QByteArray file;
    for (const SongChord &chord : Song) {
        file.append(chord.root.data(), qsizetype(chord.root.size())).append("\r\n");
        file.append(chord.kind.data(), qsizetype(chord.kind.size())).append("\r\n");
    }
    return file;
}

SongWorkingDir::SongWorkingDir()
    : m_previous(QDir::currentPath())
{
    QFile file(memoPath());
    m_valid = m_dir.isValid() && file.open(QIODevice::WriteOnly)
        && file.write(songSlotFile()) == songSlotFile().size() && file.flush()
        && QDir::setCurrent(m_dir.path());
}

SongWorkingDir::~SongWorkingDir()
{
    QDir::setCurrent(m_previous);
}

} // namespace bench
