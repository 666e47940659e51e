#include "form1access.h"

#include "chordtables.h"
#include "clicklabel.h"
#include "linewidget.h"
#include "notespelling.h"
#include "shapewidget.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>

namespace ui
{

namespace
{
// Object names of the controls the factory gives an interface of their own.
const QString ClientName = QStringLiteral("client");
const QString KeyboardName = QStringLiteral("Label12");
const QString ErrorName = QStringLiteral("lblerror");
const QString NoticeName = QStringLiteral("lblnotice");

const QString RootBoxName = QStringLiteral("入力テキスト ① ルート");
const QString KindBoxName = QStringLiteral("入力テキスト ② コードの種類");
const QString RootGroupName = QStringLiteral("① ルート");
const QString KindGroupName = QStringLiteral("② コードの種類");
const QString MajorName = QStringLiteral("メジャー");
const QString AboutName = QStringLiteral("about");
const QString SlotName = QStringLiteral("メモ %1: %2");
const QString PlayingSlot = QStringLiteral("%1（再生中）");
const QString EmptySlot = QStringLiteral("空き");
const QString UnknownRoot = QStringLiteral("ルート「%1」は対応していません");
const QString UnknownKind = QStringLiteral("種類「%1」は対応していません");
const QString DescriptionSeparator = QStringLiteral("。");
const QString UnknownBoth = QStringLiteral("ルート「%1」と種類「%2」は対応していません");
const QString RestDescription = QStringLiteral("休み（鳴るコードはありません）");

// Hidden by position: wholly outside the window's client area.
bool parked(const QWidget *w)
{
    return !w->geometry().intersects(w->parentWidget()->rect());
}

void addParkedState(const QWidget *w, QAccessible::State &state)
{
    if (parked(w)) {
        state.invisible = true;
        state.offscreen = true;
    }
}

// The client area without the drawing: shapes and lines are parts of the
// keyboard and the outlines, not objects a user can act on or read.
class ClientAccessible : public QAccessibleWidget
{
public:
    explicit ClientAccessible(QWidget *w)
        : QAccessibleWidget(w, QAccessible::Client)
    {
    }
    int childCount() const override { return int(parts().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> list = parts();
        if (index < 0 || index >= list.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(list[index]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return int(parts().indexOf(static_cast<QWidget *>(child->object())));
    }

private:
    QList<QWidget *> parts() const
    {
        QList<QWidget *> list;
        for (QWidget *w : widget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (!w->isWindow() && !qobject_cast<widgets::ShapeWidget *>(w)
                && !qobject_cast<widgets::LineWidget *>(w))
                list << w;
        }
        return list;
    }
};

// A widget whose role is fixed and that is hidden while parked.
class ParkableAccessible : public QAccessibleWidget
{
public:
    ParkableAccessible(QWidget *w, QAccessible::Role role)
        : QAccessibleWidget(w, role)
    {
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        addParkedState(widget(), s);
        return s;
    }
};

class SlotAccessible : public ParkableAccessible
{
public:
    explicit SlotAccessible(widgets::ClickLabel *slot)
        : ParkableAccessible(slot, QAccessible::RadioButton)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        const auto *label = static_cast<const QLabel *>(widget());
        const Form1Access *access = Form1Access::of(widget());
        const int index = access ? access->slotIndex(widget()) : -1;
        if (t != QAccessible::Name || index < 0)
            return ParkableAccessible::text(t);
        const QString name
            = SlotName.arg(index + 1).arg(label->text().isEmpty() ? EmptySlot : label->text());
        return access->isPlaying(widget()) ? PlayingSlot.arg(name) : name;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = ParkableAccessible::state();
        s.checkable = true;
        const Form1Access *access = Form1Access::of(widget());
        s.checked = access && access->isSelected(widget());
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + ParkableAccessible::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            static_cast<widgets::ClickLabel *>(widget())->click();
        else
            ParkableAccessible::doAction(name);
    }
};

QAccessibleInterface *form1Interface(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *w = static_cast<QWidget *>(object);
    if (auto *slot = qobject_cast<widgets::ClickLabel *>(w))
        return new SlotAccessible(slot);
    if (className == QLatin1String("widgets::FrameBox"))
        return new QAccessibleWidget(w, QAccessible::Grouping);
    if (w->objectName() == ClientName)
        return new ClientAccessible(w);
    if (w->objectName() == KeyboardName)
        return new QAccessibleWidget(w, QAccessible::Graphic);
    if (w->objectName() == ErrorName)
        return new ParkableAccessible(w, QAccessible::AlertMessage);
    if (w->objectName() == NoticeName)
        return new QAccessibleWidget(w, QAccessible::AlertMessage);
    return nullptr;
}

QString errorNotice(const QString &root, const QString &kind)
{
    const bool rootKnown = chord::lookupRoot(root.toStdString()).has_value();
    const bool kindKnown = chord::lookupKind(kind.toStdString()).has_value();
    if (rootKnown && kindKnown)
        return {};
    if (!rootKnown && !kindKnown)
        return UnknownBoth.arg(root, kind);
    return rootKnown ? UnknownKind.arg(kind) : UnknownRoot.arg(root);
}

void notify(QWidget *w, QAccessible::Event event)
{
    QAccessibleEvent e(w, event);
    QAccessible::updateAccessibility(&e);
}

} // namespace

void Form1Access::installFactory()
{
    QAccessible::installFactory(form1Interface);
}

Form1Access::Form1Access(const Controls &controls, QWidget *window)
    : QObject(window)
    , m_controls(controls)
{
    m_controls.rootBox->setAccessibleName(RootBoxName);
    m_controls.kindBox->setAccessibleName(KindBoxName);
    m_controls.rootGroup->setAccessibleName(RootGroupName);
    m_controls.kindGroup->setAccessibleName(KindGroupName);
    m_controls.majorButton->setAccessibleName(MajorName);
    m_controls.aboutPanel->setAccessibleName(AboutName);
}

const Form1Access *Form1Access::of(const QWidget *widget)
{
    return widget->window()->findChild<Form1Access *>(QString(), Qt::FindDirectChildrenOnly);
}

int Form1Access::slotIndex(const QWidget *slot) const
{
    for (int i = 0; i < m_controls.slotLabels.size(); ++i) {
        if (m_controls.slotLabels[i] == slot)
            return i;
    }
    return -1;
}

bool Form1Access::isSelected(const QWidget *slot) const
{
    return m_selected >= 0 && slotIndex(slot) == m_selected;
}

bool Form1Access::isPlaying(const QWidget *slot) const
{
    return m_playing >= 0 && slotIndex(slot) == m_playing;
}

void Form1Access::setPlaying(int slot)
{
    const int playing = slot < m_controls.slotLabels.size() ? slot : -1;
    if (playing == m_playing)
        return;
    for (const int index : {std::exchange(m_playing, playing), playing}) {
        if (index < 0)
            continue;
        QAccessibleEvent e(m_controls.slotLabels[index], QAccessible::NameChanged);
        QAccessible::updateAccessibility(&e);
    }
}

void Form1Access::alert(QWidget *notice)
{
    notify(notice, QAccessible::ObjectShow);
    notify(notice, QAccessible::Alert);
}

void Form1Access::describePick(const QString &line)
{
    m_pickLine = line;
    describeKeyboard();
}

void Form1Access::describeKeyboard()
{
    m_controls.keyboard->setAccessibleDescription(m_pickLine.isEmpty()
            ? m_chordDescription
            : m_chordDescription + DescriptionSeparator + m_pickLine);
}

void Form1Access::followError(const QString &notice)
{
    QLabel *error = m_controls.errorLabel;
    error->setAccessibleName(notice);
    const bool errorShown = !parked(error);
    if (errorShown == m_errorShown)
        return;
    m_errorShown = errorShown;
    notify(error, errorShown ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    if (errorShown)
        notify(error, QAccessible::Alert);
}

void Form1Access::restShown(const QString &name, const QString &root, const QString &kind)
{
    m_controls.keyboard->setAccessibleName(name);
    const QString unknown = root.isEmpty() && kind.isEmpty() ? QString() : errorNotice(root, kind);
    m_chordDescription
        = unknown.isEmpty() ? RestDescription : RestDescription + DescriptionSeparator + unknown;
    describeKeyboard();
    followError({});
}

void Form1Access::chordShown(const QString &root, const QString &kind, int receivingSlot)
{
    const QString notice = errorNotice(root, kind);
    QWidget *keyboard = m_controls.keyboard;
    keyboard->setAccessibleName(root + kind);
    m_chordDescription = notice.isEmpty()
        ? QString::fromStdString(chord::spellChordNotes(root.toStdString(), kind.toStdString()))
        : notice;
    describeKeyboard();
    followError(notice);

    const int selected = receivingSlot < m_controls.slotLabels.size() ? receivingSlot : -1;
    if (selected == m_selected)
        return;
    QAccessible::State checked;
    checked.checked = true;
    const int before = std::exchange(m_selected, selected);
    for (const int index : {before, selected}) {
        if (index < 0)
            continue;
        QAccessibleStateChangeEvent e(m_controls.slotLabels[index], checked);
        QAccessible::updateAccessibility(&e);
    }
}

} // namespace ui
