#pragma once

#include "song.h"

#include <QByteArray>

namespace song
{

// A text on one line: every line break and other control character becomes
// a space, so that a box's text cannot end a line of a file.
QString singleLine(const QString &text);

// The song as plain text (UTF-8): a first line with its key (keyInEffect:
// "Key: G", "Key: Em", "Key: ?" when none is known), then the chord names in
// box order separated by spaces, each known one with its ASCII degree in
// parentheses ("Em7(VIm7)"), a line for every ten bars (one row of the memo
// grid); a section starts a line with its name and a colon. Empty boxes
// write nothing; a song of no bars is no text. The names keep the window's
// own spelling (CM7, not Cmaj7), so that the text pastes back into the memo
// as it was (memo::chordsOfText passes over the key and the degrees).
QByteArray songTextBytes(const Song &song);

} // namespace song
