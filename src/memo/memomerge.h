#pragma once

#include "chordmemo.h"

#include <QByteArrayView>

namespace memo
{

// The first 60 lines of a slot file, split as a load splits them; missing
// lines are empty.
MemoLines memoLines(QByteArrayView fileBytes);

// The slot file for these lines: 60 lines, each ended by CR LF.
QByteArray memoFileBytes(const MemoLines &lines);

// The memo after another window (or an editor) rewrote the file: slots that
// this window changed since it last read or wrote the file (base) keep this
// window's texts; every other slot takes the file's new texts. A slot is
// changed when its root or its kind differs from base; both lines then go
// together, so a chord is never half one window's and half the other's.
MemoLines mergeChanges(const MemoLines &base, const MemoLines &mine, const MemoLines &theirs);

} // namespace memo
