#pragma once

#include "chordname.h"
#include "memoedit.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QSettings;
class QWidget;

namespace ui
{

struct BeyondTablesAnswer {
    chord::BeyondTables beyond = chord::BeyondTables::KeepAsWritten;
    bool remember = false; // 今後も同じようにする
};

// The message box: names beyond our tables kept as written or made the
// nearest chord, and whether to do the same from now on. Escape keeps them.
BeyondTablesAnswer askBeyondTables(QWidget *parent, const QStringList &names);

// What becomes of the names beyond our tables in a paste or an import:
// asked once for all of them, unless an answer was kept in the settings.
class BeyondTablesQuestion : public QObject
{
    Q_OBJECT
public:
    using Ask = std::function<BeyondTablesAnswer(QWidget *parent, const QStringList &names)>;
    // Settings none: nothing is kept. A test gives its own ask.
    BeyondTablesQuestion(QSettings *settings, QObject *parent, Ask ask = askBeyondTables);

    chord::BeyondTables choose(QWidget *parent, const QStringList &names);

private:
    QSettings *m_settings;
    Ask m_ask;
};

// The notice line after a paste or an import: the names replaced and what
// they leave out, or how many were kept as written; empty for neither.
QString beyondTablesNotice(int beyondTables, const std::vector<memo::NameReplaced> &replaced);

} // namespace ui
