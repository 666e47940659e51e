#pragma once

#include "typinghint.h"

#include <QObject>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QWidget;

namespace ui
{

// The line under the error label that says how a typed chord is written
// here ("lblhint"), and Tab in a text box taking its word for it. Tab moves
// the focus as usual while no hint offers a chord, and Shift+Tab always.
// The line goes with the next chord shown, or once the user edits a box.
class TypingHintLine : public QObject
{
    Q_OBJECT
public:
    using Accept = std::function<void(const QString &root, const QString &kind)>;
    // The boxes stay the caller's; accept puts a hint's chord into them and shows it.
    TypingHintLine(QWidget *parent, const QList<QLineEdit *> &boxes, Accept accept);

    QLabel *label() const { return m_label; }
    // The chord on show: a hint for one the tables do not know, none otherwise.
    // True when a hint came up.
    bool chordShown(const QString &root, const QString &kind);
    void clear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_label;
    Accept m_accept;
    std::optional<chord::SplitName> m_fix;
};

} // namespace ui
