#include "beyondtables.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

namespace
{
// "keep" or "nearest"; removing the key brings the question back.
const QString KeptKey = QStringLiteral("names/beyondTables");
const QString Keep = QStringLiteral("keep");
const QString Nearest = QStringLiteral("nearest");
constexpr int NamesShown = 6;
} // namespace

ui::BeyondTablesAnswer ui::askBeyondTables(QWidget *parent, const QStringList &names)
{
    QString listed = names.mid(0, NamesShown).join(QStringLiteral(", "));
    if (names.size() > NamesShown)
        listed += QStringLiteral(" ...");
    QMessageBox box(QMessageBox::Question, QStringLiteral("ソラミナ"),
        QStringLiteral("一覧にないコードが %1 個あります: %2\n\n"
                       "書かれたままだと再生では休みになります。一覧の近いコードにしますか?")
            .arg(names.size())
            .arg(listed),
        QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("beyondtables"));
    auto *keep = box.addButton(QStringLiteral("書かれたまま"), QMessageBox::RejectRole);
    auto *nearest = box.addButton(QStringLiteral("近いコードにする"), QMessageBox::AcceptRole);
    keep->setObjectName(QStringLiteral("keep"));
    nearest->setObjectName(QStringLiteral("nearest"));
    box.setDefaultButton(nearest);
    box.setEscapeButton(keep);
    auto *remember = new QCheckBox(QStringLiteral("今後も同じようにする"), &box);
    box.setCheckBox(remember);
    box.exec();
    return {box.clickedButton() == nearest ? chord::BeyondTables::Nearest
                                           : chord::BeyondTables::KeepAsWritten,
        remember->isChecked()};
}

ui::BeyondTablesQuestion::BeyondTablesQuestion(QSettings *settings, QObject *parent, Ask ask)
    : QObject(parent)
    , m_settings(settings)
    , m_ask(std::move(ask))
{
}

chord::BeyondTables ui::BeyondTablesQuestion::choose(QWidget *parent, const QStringList &names)
{
    const QString kept = m_settings ? m_settings->value(KeptKey).toString() : QString();
    if (kept == Keep || kept == Nearest)
        return kept == Nearest ? chord::BeyondTables::Nearest : chord::BeyondTables::KeepAsWritten;
    const BeyondTablesAnswer answer = m_ask(parent, names);
    if (answer.remember && m_settings)
        m_settings->setValue(
            KeptKey, answer.beyond == chord::BeyondTables::Nearest ? Nearest : Keep);
    return answer.beyond;
}

QString ui::beyondTablesNotice(int beyondTables, const std::vector<memo::NameReplaced> &replaced)
{
    if (!replaced.empty())
        return memo::replacedNotice(replaced);
    if (beyondTables > 0)
        return QStringLiteral("一覧にない %1 個のコードは書かれたままです（再生では休み）")
            .arg(beyondTables);
    return {};
}
