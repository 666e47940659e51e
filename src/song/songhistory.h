#pragma once

#include "songdocument.h"

#include <QObject>
#include <QUndoStack>

#include <functional>

namespace song
{

// What a step, its undo or its redo changed: the chords first..end (an
// insert or a close-up moves every chord after it), and whether the song's
// count of chords, of pages, or its info changed.
struct SongChange {
    int first = 0;
    int end = 0;
    bool lengthChanged = false;
    bool pagesChanged = false;
    bool infoChanged = false;
};

// Every edit of a song as one step of one history, to undo and redo, as the
// memo's history does for its boxes. A step keeps only the chords it
// touched. Each edit is false when the document refuses it (the song's
// bound, a length or tempo out of range) and makes no step when nothing
// changes.
class SongHistory : public QObject
{
    Q_OBJECT
public:
    explicit SongHistory(SongDocument &document, QObject *parent = nullptr);

    QUndoStack *undoStack() { return &m_stack; }

    // A typed chord merges into the step before when that step typed into
    // the same index and no other box was chosen since.
    bool store(int index, const QString &root, const QString &kind, bool typed = false);
    // Something kept outside the song that changes in the same step, as the
    // box that step entry moves on to: called with true as after the step
    // (at once and on redo), with false as before it (on undo).
    using Alongside = std::function<void(bool after)>;
    bool store(int index, const QString &root, const QString &kind, Alongside alongside);
    bool clear(int index);
    bool closeUp(int index);
    bool insert(int index);
    bool paste(int index, const std::vector<memo::ChordText> &chords);
    bool move(int from, int to);
    bool copy(int from, int to);
    bool setLength(int index, int beats);
    bool setSection(int index, const QString &name);
    bool setInfo(const SongInfo &info);
    void replace(const QString &label, const Song &other);
    void transpose(
        int semitones, chord::Spelling spelling, std::optional<chord::Key> key = std::nullopt);
    // Another box was chosen: the next typed chord is a step of its own.
    void endMerging() { ++m_mergeEpoch; }

signals:
    void changed(const song::SongChange &change);

private:
    friend class SongStep;
    bool push(const QString &label, const std::optional<SongEdit> &edit, int mergeIndex = -1,
        Alongside alongside = {});
    void make(const SongEdit &edit, bool forward);

    SongDocument &m_document;
    QUndoStack m_stack;
    int m_mergeEpoch = 0;
};

} // namespace song
