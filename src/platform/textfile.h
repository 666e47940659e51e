#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

#include <optional>

// Whole-file reading, line splitting and atomic line writing for the program's
// plain text files. File names are relative to the current working directory.
namespace platform
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

// Reads the whole of a file into memory.
ReadResult readWholeFile(const QString &fileName);

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

// Writes a file line by line beside the old one and replaces it only on a
// successful commit(), so a failed save leaves the previous file whole.
class TextFileWriter
{
public:
    explicit TextFileWriter(const QString &fileName);

    // Writes the value bare, followed by CR LF. The value must hold no CR or LF.
    void writeLine(QByteArrayView value);

    // Replaces the file with what was written. Call once; nothing is replaced
    // if opening or any write failed.
    [[nodiscard]] std::optional<FileError> commit();

private:
    bool writeAll(QByteArrayView bytes);

    QString m_fileName;
    QSaveFile m_file;
    std::optional<FileError> m_error;
};

} // namespace platform
