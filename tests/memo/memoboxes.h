#pragma once

#include "memoedit.h"

#include <QStringList>

// Boxes written as a test reads them: "C/ A/m7 _ H/" is C, Am7, an empty box
// and H in boxes 1 to 4 (root/kind, "_" for an empty box); the rest are empty.
inline memo::Boxes boxesFrom(const QString &text)
{
    memo::Boxes boxes;
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    for (int k = 0; k < words.size(); ++k) {
        if (words[k] != QLatin1String("_"))
            boxes[k] = memo::boxOf(words[k].section(u'/', 0, 0), words[k].section(u'/', 1));
    }
    return boxes;
}

inline QString textOf(const memo::Boxes &boxes)
{
    QStringList words;
    for (const memo::Box &box : boxes)
        words << (box.holdsAnything() ? box.root.text() + u'/' + box.kind.text()
                                      : QStringLiteral("_"));
    while (!words.isEmpty() && words.last() == QLatin1String("_"))
        words.removeLast();
    return words.join(u' ');
}
