#pragma once

#include "rescueoutcome.h"
#include "textfile.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

namespace memofile
{

// A file the window keeps saved as it is edited (the memo, a song): what the
// file commands need of any of them, whatever the file holds.
class FileKeeper : public QObject
{
    Q_OBJECT
public:
    // A change reaches the file well within a second.
    static constexpr int SaveDelayMs = 400;
    // A failed save is tried again after RetryFirstMs, then after twice as
    // long each time, but never longer than RetryMaxMs.
    static constexpr int RetryFirstMs = 2000;
    static constexpr int RetryMaxMs = 16000;

    // How a save asked for ended: nothing when the file holds what is kept, or why not.
    using Done = std::function<void(const std::optional<services::FileError> &error)>;
    // Where the rescue file went, or why it could not be written either.
    using Rescued = std::function<void(const RescueOutcome &outcome)>;

    using QObject::QObject;

    // The kept file, as an absolute path.
    virtual const QString &path() const = 0;
    // Saves now what changed; done hears "saved" once the file holds it.
    virtual void save(Done done) = 0;
    // Writes everything to path, which becomes the kept file.
    virtual void saveAs(const QString &path, Done done) = 0;
    // Writes bytes() into a rescue file beside the default memo.
    virtual void rescue(Rescued done) = 0;
    // Why the file cannot be saved, until a save writes it.
    const std::optional<services::FileError> &saveError() const { return m_saveError; }
    // The whole file as it should be now: what a rescue writes.
    virtual QByteArray bytes() const = 0;

signals:
    // saveError() changed: saving began to fail, failed otherwise, or works again.
    void saveErrorChanged();

protected:
    // Everyone waiting for the file to hold what is kept hears how it went.
    void answer(const std::optional<services::FileError> &error);
    // saveError() becomes error; said only when it changed.
    void settle(const std::optional<services::FileError> &error);
    // A failed save's next try, each later than the one before.
    void retryLater();
    void stopRetrying();

    std::optional<services::FileError> m_saveError;
    std::vector<Done> m_saveDone; // who waits for the file to hold what is kept
    QTimer m_retryTimer; // its timeout is the keeper's to take
    bool m_retryDue = false; // a failed save's turn to try again
    int m_retryDelayMs = RetryFirstMs;
};

} // namespace memofile
