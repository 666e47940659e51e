#pragma once

#include "song.h"

#include <QByteArray>

namespace song
{

// A text on one line: every line break and other control character becomes
// a space, so that a box's text cannot end a line of a file.
QString singleLine(const QString &text);

// The song as plain text (UTF-8): the chord names in box order separated by
// spaces, a line for every ten bars (one row of the memo grid); a section
// starts a line with its name and a colon. Empty boxes write nothing. The
// names keep the window's own spelling (CM7, not Cmaj7), so that the text
// pastes back into the memo as it was.
QByteArray songTextBytes(const Song &song);

} // namespace song
