#pragma once

#include "keyfinding.h"

#include <QString>

#include <optional>

namespace song
{

// The line beside the keyboard that tells the song's key and how it came
// to be: "キー: G (自動)" when found from the chords, "キー: Bb (指定)" when
// chosen, "キー: ? (コードなし)" when neither; " カポ 3" follows a capo.
QString keyLine(
    std::optional<chord::Key> chosen, const std::optional<chord::FoundKey> &found, int capo);

} // namespace song
