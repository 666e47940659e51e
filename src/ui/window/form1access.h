#pragma once

#include <QList>
#include <QObject>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QWidget;

namespace widgets
{
class ClickLabel;
}

namespace ui
{

// What assistive technology (AT-SPI on Linux, through Qt's accessibility)
// is told about the window beyond what Qt's widgets tell by themselves:
// - the text boxes, the button groups and the major button have names;
// - each slot is a radio button named by its number (from 1) and chord, or
//   as empty, and checked while it is the receiving slot;
// - the drawn keyboard is one picture named by the chord on show, whose
//   description lists its notes low to high, then what the keys picked on
//   it are called; its keys, lines and markers are not objects of their own;
// - the error label is an alert naming the text that is not recognised,
//   announced when it comes into view; so is the notice of a refused edit;
// - controls parked outside the window are not reported as showing.
class Form1Access : public QObject
{
    Q_OBJECT
public:
    struct Controls {
        QLineEdit *rootBox = nullptr;
        QLineEdit *kindBox = nullptr;
        QWidget *rootGroup = nullptr;
        QWidget *kindGroup = nullptr;
        QAbstractButton *majorButton = nullptr;
        QWidget *aboutPanel = nullptr;
        QWidget *keyboard = nullptr;
        QLabel *errorLabel = nullptr;
        QList<widgets::ClickLabel *> slotLabels; // the shown slots
    };

    // Makes the interfaces of the window's own controls. Qt keeps the first
    // interface it makes for an object, so this comes before the controls.
    static void installFactory();

    Form1Access(const Controls &controls, QWidget *window);

    // After each display of a chord, with the receiving slot.
    void chordShown(const QString &root, const QString &kind, int receivingSlot);
    // A bar of the song that sounds nothing, shown as the name line names it;
    // what its box holds, when that names no chord, is told as a rest's, not
    // as an error.
    void restShown(const QString &name, const QString &root, const QString &kind);
    // The box whose bar the song is playing, its name saying so; -1 for none.
    void setPlaying(int slot);
    bool isPlaying(const QWidget *slot) const;
    // The line that says what the picked keys are called; empty for none.
    void describePick(const QString &line);
    // A notice that has just come into view is spoken at once.
    void alert(QWidget *notice);

    // The one helper of the window that holds the widget, if any.
    static const Form1Access *of(const QWidget *widget);
    // The slot's number counted from 0, or -1 for a label that is not a shown slot.
    int slotIndex(const QWidget *slot) const;
    bool isSelected(const QWidget *slot) const;

private:
    void describeKeyboard();
    void followError(const QString &notice);

    Controls m_controls;
    QString m_chordDescription;
    QString m_pickLine;
    int m_selected = -1;
    int m_playing = -1;
    bool m_errorShown = false;
};

} // namespace ui
