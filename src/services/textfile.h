#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// What the program's plain text files are made of: lines ended by CR LF, the
// outcome of reading a whole file, and a failure with its reason.
namespace services
{

// Every line the program writes ends in CR LF.
inline constexpr QByteArrayView LineEnd = "\r\n";

// A file operation that failed, with the operating system's reason.
struct FileError {
    QString fileName;
    QString reason;
};

enum class ReadStatus {
    Read,
    Missing, // the file does not exist: not an error, the caller starts empty
    Failed, // it exists but cannot be read (a directory, no permission, I/O error)
};

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    QByteArray bytes; // the whole file when status is Read
    std::optional<FileError> error; // set when status is Failed
};

// Splits bytes into lines. A line ends at CR LF, a lone CR or a lone LF; the
// terminator is consumed and not returned, and the last line needs none.
// Reading past the end gives empty lines. Any byte, NUL included, is text.
// The reader only views the bytes: they must outlive it.
class LineReader
{
public:
    explicit LineReader(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    QByteArray readLine();
    bool atEnd() const { return m_pos >= m_bytes.size(); }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

} // namespace services
