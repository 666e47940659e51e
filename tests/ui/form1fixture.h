#pragma once

#include "diskmemo.h"
#include "form1.h"

#include "twips.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

// One memo slot's chord, for slotFile.
struct SlotChord {
    int slot;
    QByteArray root;
    QByteArray kind;
};

// A slot file in the program's own layout, root line then kind line, each
// ended by CR LF; the slots not given are empty.
inline QByteArray slotFile(const QList<SlotChord> &chords)
{
    QList<SlotChord> memo(30, SlotChord {});
    for (const SlotChord &c : chords)
        memo[c.slot] = c;
    QByteArray out;
    for (const SlotChord &c : memo)
        out += c.root + "\r\n" + c.kind + "\r\n";
    return out;
}

// Opens the real window on a memo in a fresh working directory holding a
// given slot file, and drives it with mouse clicks and keystrokes on its controls.
class Form1Fixture
{
public:
    // beforeShow sees the window after its load and before it first shows.
    // The window keeps its memo on the disk; the other services are the
    // caller's (none: no 音 or MIDI menu).
    // With a song's file, the window opens it as song.cho over the memo.
    bool open(const QByteArray *slotFile, const std::function<void(Form1 *)> &beforeShow = {},
        Form1::Services services = {}, const QByteArray *songFile = nullptr)
    {
        m_form.reset();
        m_memo = std::make_unique<memofile::DiskMemo>();
        services.keeper = &m_memo->keeper();
        m_dir = std::make_unique<QTemporaryDir>();
        if (!m_dir->isValid() || !QDir::setCurrent(m_dir->path()))
            return false;
        if (slotFile) {
            QFile file(QStringLiteral("code.dat"));
            if (!file.open(QIODevice::WriteOnly) || file.write(*slotFile) != slotFile->size())
                return false;
        }
        if (songFile) {
            QFile file(QStringLiteral("song.cho"));
            if (!file.open(QIODevice::WriteOnly) || file.write(*songFile) != songFile->size())
                return false;
        }
        // A rescue file goes beside the default memo: here, not in the home folder.
        qputenv("XDG_DATA_HOME", m_dir->path().toUtf8());
        m_form = std::make_unique<Form1>(
            m_dir->filePath(songFile ? QStringLiteral("song.cho") : QStringLiteral("code.dat")),
            services);
        if (beforeShow)
            beforeShow(m_form.get());
        m_form->show();
        return QTest::qWaitForWindowExposed(m_form.get());
    }

    Form1 *form() const { return m_form.get(); }
    // The window goes, unclosed, so that what it worked with may go too.
    void reset()
    {
        m_form.reset();
        m_memo.reset();
    }

    // A close waits for its save: true once the window is gone.
    bool closed() const
    {
        return QTest::qWaitFor([this] { return !m_form->isVisible(); });
    }

    template<typename W = QWidget> W *control(const QString &name) const
    {
        return m_form->findChild<W *>(name);
    }
    template<typename W = QWidget> W *control(const char *array, int index) const
    {
        return control<W>(QString::fromLatin1(array) + u'(' + QString::number(index) + u')');
    }

    // The item captioned text in the window's menu of that name or its submenus.
    QAction *menuItem(const QString &menu, const QString &text) const
    {
        return itemIn(control<QMenu>(menu), text);
    }

    QLineEdit *box(const char *name) const { return control<QLineEdit>(QString::fromLatin1(name)); }
    QString caption(const char *name) const
    {
        return control<QLabel>(QString::fromLatin1(name))->text();
    }
    QString slotCaption(int slot) const { return control<QLabel>("lblslot", slot)->text(); }
    QColor slotColour(int slot) const
    {
        return control("lblslot", slot)->palette().color(QPalette::Window);
    }
    int top(const char *name) const
    {
        return widgets::twipsGeometry(control(QString::fromLatin1(name))).top;
    }
    QPoint marker(int i) const
    {
        const auto r = widgets::twipsGeometry(control("shapemaru", i));
        return {r.left, r.top};
    }
    QList<QPoint> markers() const { return {marker(0), marker(1), marker(2), marker(3)}; }

    // Option buttons react to clicks on their indicator, which every one has,
    // caption or not.
    void clickOption(const char *array, int index) const
    {
        auto *b = control<QAbstractButton>(array, index);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2));
    }
    void clickSlot(int slot) const { QTest::mouseClick(control("lblslot", slot), Qt::LeftButton); }
    void clickView() const { QTest::mouseClick(control("cmdview"), Qt::LeftButton); }
    void type(const char *boxName, const QString &text) const
    {
        QLineEdit *b = box(boxName);
        b->selectAll();
        QTest::keyClick(b, Qt::Key_Delete);
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(b, char(c.unicode()));
                continue;
            }
            // Text beyond ASCII arrives through the input method, as from a Japanese IME.
            QInputMethodEvent commit;
            commit.setCommitString(c);
            QCoreApplication::sendEvent(b, &commit);
        }
    }

    QString dirPath() const { return m_dir->path(); }

    QByteArray savedFile(const QString &name = QStringLiteral("code.dat")) const
    {
        QFile file(m_dir->filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
    }

private:
    static QAction *itemIn(const QMenu *menu, const QString &text)
    {
        for (QAction *action : menu->actions()) {
            if (action->text() == text)
                return action;
            if (QAction *found = action->menu() ? itemIn(action->menu(), text) : nullptr)
                return found;
        }
        return nullptr;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<memofile::DiskMemo> m_memo;
    std::unique_ptr<Form1> m_form;
};
