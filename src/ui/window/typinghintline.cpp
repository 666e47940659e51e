#include "typinghintline.h"

#include "colour.h"
#include "twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace
{
// Under the error's letters, over the keyboard's lower white keys, which the
// error already hides; clear of every control.
constexpr widgets::TwipsRect HintRect {120, 5040, 7215, 255};
constexpr std::string_view HintColour = "&h1a1a8b"; // dark red on the light palette
} // namespace

ui::TypingHintLine::TypingHintLine(QWidget *parent, const QList<QLineEdit *> &boxes, Accept accept)
    : QObject(parent)
    , m_label(new QLabel(parent))
    , m_accept(std::move(accept))
{
    m_label->setObjectName(QStringLiteral("lblhint"));
    widgets::placeInTwips(m_label, HintRect);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setAutoFillBackground(true);
    QPalette palette = m_label->palette();
    palette.setColor(QPalette::WindowText, widgets::hexColour(QString::fromLatin1(HintColour)));
    m_label->setPalette(palette);
    m_label->hide();
    for (QLineEdit *box : boxes) {
        box->installEventFilter(this);
        // Edited since, the boxes no longer hold what the hint is about.
        connect(box, &QLineEdit::textEdited, this, &TypingHintLine::clear);
    }
}

bool ui::TypingHintLine::chordShown(const QString &root, const QString &kind)
{
    const chord::TypingHint hint = chord::typingHint(root.toStdString(), kind.toStdString());
    if (hint.text.empty()) {
        clear();
        return false;
    }
    m_fix = hint.fix;
    const QString text = QString::fromStdString(hint.text);
    m_label->setText(text);
    m_label->setAccessibleName(text);
    m_label->show();
    return true;
}

void ui::TypingHintLine::clear()
{
    m_fix.reset();
    m_label->hide();
}

bool ui::TypingHintLine::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !m_fix)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Tab || key->modifiers() != Qt::NoModifier)
        return false;
    const chord::SplitName fix = *std::exchange(m_fix, std::nullopt);
    m_accept(QString::fromStdString(fix.root), QString::fromStdString(fix.kind));
    return true;
}
