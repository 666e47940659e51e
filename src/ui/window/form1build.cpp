#include "form1.h"
#include "boxlook.h"
#include "form1layout.h"

#include "clicklabel.h"
#include "colour.h"
#include "framebox.h"
#include "keyboardpick.h"
#include "lightpalette.h"
#include "linewidget.h"
#include "shapewidget.h"
#include "textbox.h"
#include "twips.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHash>

#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

using namespace ui::layout;
using widgets::ShapeWidget;
using widgets::TwipsRect;

namespace
{

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QString indexedName(std::string_view name, int index)
{
    return qs(name) + u'(' + QString::number(index) + u')';
}

template<typename W> W *placed(W *widget, const QString &name, const TwipsRect &rect)
{
    widget->setObjectName(name);
    widgets::placeInTwips(widget, rect);
    return widget;
}

// Labels paint their background and show their caption as plain text: a
// memo entry such as "<b>" is a chord name, not markup.
template<typename L = QLabel>
L *label(QWidget *parent, const QString &name, const TwipsRect &rect, const QString &caption)
{
    auto *l = placed(new L(parent), name, rect);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setAutoFillBackground(true);
    l->setText(caption);
    return l;
}

// A label nothing refers to: clicks on it reach whatever lies behind. Its
// ground is its container's, so it leaves it unpainted: painted, it would
// only hide the lines it overlaps, as the help line's does the top edge of
// the first row of memo boxes.
QLabel *inertLabel(QWidget *parent, const ControlRow &row)
{
    auto *l = label(parent, qs(row.name), row.rect, qs(row.caption));
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    l->setAutoFillBackground(false);
    return l;
}

ShapeWidget *shape(QWidget *parent, const QString &name, ShapeWidget::Form form,
    const TwipsRect &rect, std::optional<QColor> fill)
{
    auto *s = placed(new ShapeWidget(form, parent), name, rect);
    s->setFill(fill);
    return s;
}

// Gives every named child of a container its place in the stacking order,
// which lists them front to back.
template<std::size_t N> void stack(QWidget *container, const StackEntry (&order)[N])
{
    QStringList frontToBack;
    for (const StackEntry &e : order) {
        if (e.naming == StackEntry::Naming::Single) {
            frontToBack << qs(e.name);
            continue;
        }
        const int step = e.first <= e.last ? 1 : -1;
        for (int i = e.first;; i += step) {
            frontToBack << (e.naming == StackEntry::Naming::Array
                    ? indexedName(e.name, i)
                    : qs(e.name) + QString::number(i));
            if (i == e.last)
                break;
        }
    }
    // Looked up once by name: a search per name would be quadratic.
    QHash<QString, QWidget *> children;
    for (QObject *child : container->children()) {
        if (child->isWidgetType() && !children.contains(child->objectName()))
            children.insert(child->objectName(), static_cast<QWidget *>(child));
    }
    for (auto it = frontToBack.crbegin(); it != frontToBack.crend(); ++it) {
        QWidget *w = children.value(*it);
        if (!w)
            qFatal("stacking order names a missing control %s", qPrintable(*it));
        w->raise();
    }
}

template<std::size_t N>
QButtonGroup *optionButtons(widgets::FrameBox *frame, const std::array<ButtonRow, N> &rows,
    const ButtonGrid &grid, std::string_view arrayName, std::array<QRadioButton *, N> &buttons)
{
    auto *group = new QButtonGroup(frame);
    for (int k = 0; k < int(N); ++k) {
        auto *b = placed(new QRadioButton(qs(rows[k].caption), frame), indexedName(arrayName, k),
            buttonRect(grid, k, rows[k].width));
        group->addButton(b, k);
        buttons[k] = b;
    }
    return group;
}

QFont windowFont()
{
    QFont font(qs(DefaultFontFamily));
    font.setPixelSize(DefaultFontPixelSize);
    return font;
}

// Points at 96 dots per inch, the resolution the layout is drawn for.
QFont errorFont()
{
    constexpr int PixelsPerInch = 96;
    constexpr int PointsPerInch = 72;
    QFont::insertSubstitution(qs(ErrorFontFamily), qs(DefaultFontFamily));
    QFont font(qs(ErrorFontFamily));
    font.setPixelSize(ErrorFontPoints * PixelsPerInch / PointsPerInch);
    font.setWeight(QFont::Normal);
    return font;
}

// The black keys take the menu-text colour. The window's menus share its
// light palette, so that is black on every desktop.
QColor menuTextColour(const QWidget *window)
{
    return window->palette().color(QPalette::WindowText);
}

} // namespace

void Form1::buildControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(qs(WindowTitle));
    // The program's font, not only the window's: a text box lays out its
    // first text in the application's font before it takes its own, and that
    // would resolve a second family at start-up.
    QApplication::setFont(windowFont());
    // The window's too, so that a desktop theme resetting the program's font
    // later (qt6ct does) leaves the layout's captions fitting their boxes.
    setFont(windowFont());
    widgets::keepLightPalette(this);
    // A fixed window: no maximise button, and the size never changes.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(widgets::pixelRect({0, 0, ClientWidth, ClientHeight}).size());
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Labels, shapes and lines.
    for (const ControlRow &row : WindowLabels) {
        if (row.name == "lblcode")
            lblcode = label(client, qs(row.name), row.rect, qs(row.caption));
        else
            inertLabel(client, row);
    }
    for (const ControlRow &row : OutlineShapes)
        shape(client, qs(row.name), ShapeWidget::Form::Rectangle, row.rect, std::nullopt);
    for (int i = 0; i < SlotCount; ++i) {
        auto *slot = label<widgets::ClickLabel>(
            client, indexedName("lblslot", i), slotRect(i), qs(SlotDesignCaption));
        slot->setFrameStyle(QFrame::Box | QFrame::Plain);
        slot->setLineWidth(1);
        widgets::setBackColour(slot, widgets::hexColour(qs(SlotColour)));
        lblslot[i] = slot;
    }
    m_boxLook = std::make_unique<ui::BoxLook>(*m_boxes, std::span(lblslot).first(ShownSlots));
    ui::KeyboardPick::Controls keys;
    keys.keyboard = m_keyboard = inertLabel(client, KeyWhite);
    widgets::setBackColour(m_keyboard, widgets::hexColour(qs(KeyWhiteColour)));
    for (int n = 1; n <= LineCount; ++n) {
        const LineRow l = keyLine(n);
        auto *line = new widgets::LineWidget(l.x1, l.y1, l.x2, l.y2, client);
        line->setObjectName(QStringLiteral("Line") + QString::number(n));
        if (n == 1)
            keys.firstLine = line;
    }
    for (int i = 0; i < int(BlackKeyLefts.size()); ++i)
        shape(client, indexedName("Shape1", i), ShapeWidget::Form::Rectangle,
            {BlackKeyLefts[i], KeyboardTop, BlackKeyWidth, BlackKeyHeight}, menuTextColour(this));
    for (int i = 0; i < int(shapemaru.size()); ++i)
        shapemaru[i] = shape(client, indexedName("shapemaru", i), ShapeWidget::Form::Circle,
            {MarkerDesignLefts[i], MarkerDesignTop, MarkerSize, MarkerSize},
            widgets::hexColour(qs(MarkerColour)));
    lblerror = label(client, qs(Lblerror.name), Lblerror.rect, qs(Lblerror.caption));
    lblerror->setFont(errorFont());
    keys.backMarker = shapemaru[0];
    keys.errorLabel = lblerror;

    // Text boxes, buttons and frames.
    txtcode1 = placed(new widgets::TextBox(client), qs(Txtcode1.name), Txtcode1.rect);
    txtcode1->setText(qs(Txtcode1.caption));
    txtcode2 = placed(new widgets::TextBox(client), qs(Txtcode2.name), Txtcode2.rect);
    txtcode2->setText(qs(Txtcode2.caption));
    cmdview = placed(new QPushButton(qs(Cmdview.caption), client), qs(Cmdview.name), Cmdview.rect);

    auto *frame1
        = placed(new widgets::FrameBox(qs(Frame1.caption), client), qs(Frame1.name), Frame1.rect);
    m_rootFrame = frame1;
    opcode1Group = optionButtons(frame1, RootButtons, RootGrid, "opcode1", opcode1);
    for (const ControlRow &row : FlatLabels)
        inertLabel(frame1, row);
    stack(frame1, Frame1Stacking);

    auto *frame2
        = placed(new widgets::FrameBox(qs(Frame2.caption), client), qs(Frame2.name), Frame2.rect);
    m_kindFrame = frame2;
    opcode2Group = optionButtons(frame2, KindButtons, KindGrid, "opcode2", opcode2);
    opcode2[DesignKindButton]->setChecked(true);
    stack(frame2, Frame2Stacking);

    // The About panel: a plain area laid over the window when open.
    frameabout = placed(new QWidget(client), qs(Frameabout.name), Frameabout.rect);
    frameabout->setAutoFillBackground(true);
    for (const ControlRow &row : AboutLabels)
        inertLabel(frameabout, row);
    cmdreturn = placed(
        new QPushButton(qs(Cmdreturn.caption), frameabout), qs(Cmdreturn.name), Cmdreturn.rect);
    stack(frameabout, AboutStacking);

    stack(client, WindowStacking);
    m_keys = new ui::KeyboardPick(keys, this);

    for (const MenuRow &row : Menus) {
        QMenu *menu = menuBar()->addMenu(qs(row.menuCaption));
        menu->setObjectName(qs(row.menuName));
        menu->setFont(font());
        QAction *item = menu->addAction(qs(row.itemCaption));
        item->setObjectName(qs(row.itemName));
        (row.itemName == "end" ? end : about) = item;
        if (row.menuName == "help")
            m_helpMenu = menu;
    }
    // The controllers' file items go above 終了, apart from it.
    m_fileItemsEnd = fileMenu()->insertSeparator(end);

    QList<QWidget *> focusOrder(opcode1.begin(), opcode1.end());
    focusOrder.append(QList<QWidget *>(opcode2.begin(), opcode2.end()));
    focusOrder << txtcode1 << txtcode2 << cmdview << cmdreturn;
    for (int i = 1; i < focusOrder.size(); ++i)
        setTabOrder(focusOrder[i - 1], focusOrder[i]);
    opcode1[0]->setFocus();
}
