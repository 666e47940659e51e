#include "memomerge.h"

#include "textfile.h"

namespace memo
{

MemoLines memoLines(QByteArrayView fileBytes)
{
    services::LineReader reader(fileBytes);
    MemoLines lines;
    for (QByteArray &line : lines)
        line = reader.readLine();
    return lines;
}

QByteArray memoFileBytes(const MemoLines &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out.append(line).append(services::LineEnd);
    return out;
}

MemoLines mergeChanges(const MemoLines &base, const MemoLines &mine, const MemoLines &theirs)
{
    MemoLines merged = theirs;
    for (int k = 0; k < MemoSlotCount; ++k) {
        const int root = 2 * k;
        const int kind = root + 1;
        if (mine[root] != base[root] || mine[kind] != base[kind]) {
            merged[root] = mine[root];
            merged[kind] = mine[kind];
        }
    }
    return merged;
}

} // namespace memo
