#include "musickey.h"

namespace chord
{

namespace
{
constexpr std::string_view MinorSuffix = "m";
constexpr std::string_view Blanks = " \t";
} // namespace

std::string keyName(Key key)
{
    std::string name(rootInKey(key.tonic, key));
    if (key.minor)
        name += MinorSuffix;
    return name;
}

std::optional<Key> parseKey(std::string_view text) noexcept
{
    const auto first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(Blanks) - first + 1);
    Key key;
    if (text.ends_with(MinorSuffix)) {
        key.minor = true;
        text.remove_suffix(MinorSuffix.size());
    }
    const auto tonic = lookupRoot(text);
    if (!tonic)
        return std::nullopt;
    key.tonic = *tonic;
    return key;
}

} // namespace chord
