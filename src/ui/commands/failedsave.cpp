#include "failedsave.h"

#include <QMessageBox>
#include <QPushButton>

ui::AfterFailedSave ui::askAfterFailedSave(QWidget *parent, const QString &report)
{
    const QString appName = QStringLiteral("ソラミナ");
    QMessageBox box(QMessageBox::Warning, appName,
        QStringLiteral("メモを保存できませんでした。\n") + report
            + QStringLiteral("\n\n保存しないで終了すると、保存されていないコードは失われます。"),
        QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("failedsave"));
    auto *retry = box.addButton(QStringLiteral("再試行"), QMessageBox::AcceptRole);
    auto *elsewhere = box.addButton(QStringLiteral("別の場所に保存..."), QMessageBox::ActionRole);
    auto *discard = box.addButton(QStringLiteral("保存せずに終了"), QMessageBox::DestructiveRole);
    auto *stay = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    retry->setObjectName(QStringLiteral("retry"));
    elsewhere->setObjectName(QStringLiteral("elsewhere"));
    discard->setObjectName(QStringLiteral("discard"));
    stay->setObjectName(QStringLiteral("stay"));
    box.setDefaultButton(retry);
    box.setEscapeButton(stay);
    box.exec();
    if (box.clickedButton() == elsewhere)
        return AfterFailedSave::Elsewhere;
    if (box.clickedButton() == stay)
        return AfterFailedSave::Stay;
    if (box.clickedButton() != discard)
        return AfterFailedSave::Retry;
    const auto answer = QMessageBox::question(parent, appName,
        QStringLiteral(
            "保存しないで終了します。保存されていないコードは失われます。よろしいですか?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes ? AfterFailedSave::Discard : AfterFailedSave::Retry;
}
