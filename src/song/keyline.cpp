#include "keyline.h"

namespace song
{

QString keyLine(
    std::optional<chord::Key> chosen, const std::optional<chord::FoundKey> &found, int capo)
{
    QString line = QStringLiteral("キー: ");
    if (chosen)
        line += QString::fromStdString(chord::keyName(*chosen)) + QStringLiteral(" (指定)");
    else if (found)
        line += QString::fromStdString(chord::keyName(found->key)) + QStringLiteral(" (自動)");
    else
        line += QStringLiteral("? (コードなし)");
    if (capo > 0)
        line += QStringLiteral(" カポ %1").arg(capo);
    return line;
}

} // namespace song
