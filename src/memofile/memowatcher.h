#pragma once

#include <QObject>

namespace memofile
{

// Tells when a memo file may have changed on disk: another window saved,
// or an editor rewrote it. May fire for changes that are not there.
class MemoWatcher : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Watches this file from now on, instead of any earlier one.
    virtual void watch(const QString &memoPath) = 0;

signals:
    void changed();
};

} // namespace memofile
