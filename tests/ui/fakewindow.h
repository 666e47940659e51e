#pragma once

#include "chordwindow.h"

#include <QMenuBar>

// The window's face as the controllers see it, logging what they asked of it
// ("display C|m", "text C|m", "rest N.C.（H）", "stored C|m", "caption 1 Am",
// "playing 3", "unselect", "close", "chosen G|7", "receiving 4") and with two text boxes of its
// own.
class FakeWindow final : public ui::ChordWindow
{
public:
    FakeWindow()
    {
        setCentralWidget(new QWidget(this));
        m_file = menuBar()->addMenu(QStringLiteral("フィイル(&F)"));
        m_end = m_file->addAction(QStringLiteral("終了(&X)"));
        m_itemsEnd = m_file->insertSeparator(m_end);
        m_help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    }

    QStringList log;
    memo::ChordText boxes; // the text boxes
    bool typing = false; // the user is typing into one

    QMenu *fileMenu() const override { return m_file; }
    QAction *fileItemsEnd() const override { return m_itemsEnd; }
    QAction *helpMenuAction() const override { return m_help->menuAction(); }
    memo::ChordText typedChord() const override { return boxes; }
    void showInTextBoxes(const memo::ChordText &chord) override
    {
        if (!typing)
            boxes = chord;
        log << QStringLiteral("text %1|%2").arg(chord.root, chord.kind);
    }
    chord::ChordPlacement displayChord(const QString &root, const QString &kind) override
    {
        log << QStringLiteral("display %1|%2").arg(root, kind);
        return chord::placeChord(root.toStdString(), kind.toStdString());
    }
    void showRest(const QString &name, const QString &, const QString &) override
    {
        log << QStringLiteral("rest ") + name;
    }
    void showStoredChord(const memo::ChordText &chord) override
    {
        boxes = chord;
        log << QStringLiteral("stored %1|%2").arg(chord.root, chord.kind);
    }
    void showPlayedChord(const QString &root, const QString &kind) override
    {
        log << QStringLiteral("played %1|%2").arg(root, kind);
    }
    void showBoxCaption(int box, const QString &caption) override
    {
        log << QStringLiteral("caption %1 %2").arg(box).arg(caption);
    }
    void markPlaying(int box) override { log << QStringLiteral("playing %1").arg(box); }
    void unselectBoxes() override { log << QStringLiteral("unselect"); }
    void raiseNotice(QWidget *notice) override { notice->raise(); }
    void announce(QWidget *) override { }
    void leaveKeysToWindow(const QList<QKeySequence> &) override { }
    void closeNow() override
    {
        log << QStringLiteral("close");
        hide();
    }

    void showChosenChord(const QString &root, const QString &kind) override
    {
        log << QStringLiteral("chosen %1|%2").arg(root, kind);
    }
    void moveReceivingBox(int box) override { log << QStringLiteral("receiving %1").arg(box); }
    void showDegrees(const QStringList &lines, const QStringList &captions) override
    {
        degreeLines = lines;
        degreeCaptions = captions;
    }
    QStringList degreeLines; // as last shown
    QStringList degreeCaptions;

    // A chord put on show by the user, as showcode tells it.
    void store(int box, const QString &root, const QString &kind, bool typed = false)
    {
        boxes = {root, kind};
        emit chordStored(box, root, kind, typed);
    }

private:
    QMenu *m_file;
    QAction *m_end;
    QAction *m_itemsEnd;
    QMenu *m_help;
};
