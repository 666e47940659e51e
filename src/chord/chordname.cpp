#include "chordname.h"

#include "chordsymbol.h"
#include "chordtables.h"

#include <algorithm>

namespace chord
{

SplitName splitChordName(std::string_view text)
{
    std::string whole;
    for (const char c : text) {
        if (c != '\n' && c != '\r')
            whole += c;
    }
    std::size_t rootLength = 0;
    for (const RootRow &row : ChordRoot) {
        if (whole.starts_with(row.text))
            rootLength = std::max(rootLength, row.text.size());
    }
    if (rootLength == 0)
        return {whole, {}};
    return {whole.substr(0, rootLength), whole.substr(rootLength)};
}

StoredName storedName(std::string_view written, BeyondTables beyond)
{
    ChordSymbol symbol = readChordSymbol(written);
    const bool beyondTables = symbol.isChord && !symbol.inTables;
    if (symbol.inTables || (beyondTables && beyond == BeyondTables::Nearest))
        return {{symbol.root, symbol.kind}, beyondTables, beyondTables, std::move(symbol.leftOut)};
    return {splitChordName(written), beyondTables, false, {}};
}

} // namespace chord
