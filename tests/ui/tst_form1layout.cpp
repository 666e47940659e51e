#include "application.h"
#include "diskmemo.h"
#include "form1.h"
#include "memolocation.h"

#include "linewidget.h"
#include "twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using widgets::TwipsRect;

Q_DECLARE_METATYPE(TwipsRect)

namespace
{
QString at(const char *array, int index)
{
    return QString::fromLatin1(array) + u'(' + QString::number(index) + u')';
}
} // namespace

class tst_Form1Layout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void geometry_data();
    void geometry();
    void buttonsInWindowCoordinates();
    void keyLines();
    void captionsAndMenus();
    void captionsFitTheirBoxes();
    void fonts();
    void focusOrder();
    void hitTesting();
    void parkedControlsAreNeverHit();
    void errorLabelStacking();
    void rendering_data();
    void rendering();
    void wholeFrames_data();
    void wholeFrames();
    void dialogs_data();
    void dialogs();

private:
    void makeForm(const QString &memoPath = memofile::defaultMemoPath());
    QWidget *control(const QString &name) const;
    QWidget *client() const;
    QTemporaryDir m_dir;
    std::unique_ptr<memofile::DiskMemo> m_memo;
    std::unique_ptr<Form1> m_form;
};

void tst_Form1Layout::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
    // The window opens the default memo, kept inside the test's folder.
    qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
}

void tst_Form1Layout::init()
{
    makeForm();
}

// A keeper loads one memo once: each window takes a new one.
void tst_Form1Layout::makeForm(const QString &memoPath)
{
    m_form.reset();
    m_memo = std::make_unique<memofile::DiskMemo>();
    m_form = std::make_unique<Form1>(memoPath, Form1::Services {.keeper = &m_memo->keeper()});
}

void tst_Form1Layout::cleanup()
{
    m_form.reset(); // never shown or closed here: nothing is saved
}

QWidget *tst_Form1Layout::control(const QString &name) const
{
    auto *w = m_form->findChild<QWidget *>(name);
    if (!w)
        qWarning("no control named %s", qPrintable(name));
    return w;
}

QWidget *tst_Form1Layout::client() const
{
    return control(QStringLiteral("client"));
}

// Every control's place in twips, written out from the window's drawing.
void tst_Form1Layout::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<TwipsRect>("rect");
    const std::pair<const char *, TwipsRect> singles[] = {
        {"Shape3", {120, 0, 8655, 735}},
        {"Label1", {1440, 120, 255, 255}},
        {"Label2", {2160, 120, 255, 255}},
        {"Label14", {4800, 120, 2895, 255}},
        {"Label16", {240, 360, 1095, 255}},
        {"txtcode1", {1440, 360, 735, 270}},
        {"txtcode2", {2160, 360, 855, 270}},
        {"cmdview", {3120, 360, 1335, 255}},
        {"Label8", {4800, 360, 3855, 255}},
        {"Frame1", {240, 840, 6975, 615}},
        {"Frame2", {240, 1440, 6975, 615}},
        {"Label4", {2520, 120, 375, 255}},
        {"Label6", {4680, 120, 375, 255}},
        {"Label3", {1440, 360, 375, 220}},
        {"Label5", {3600, 360, 375, 220}},
        {"Label7", {5760, 360, 375, 220}},
        {"Shape2", {120, 2160, 8655, 1390}},
        {"Label15", {240, 2280, 8415, 255}},
        {"lblcode", {600, 3600, 1095, 255}},
        {"Label13", {1800, 3600, 735, 255}},
        {"Label12", {120, 3840, 6735, 2295}},
        {"lblerror", {0, 6480, 7335, 3135}},
        {"frameabout", {0, 8000, 8775, 6255}},
        {"lbltitle", {3000, 2160, 1815, 255}},
        {"lblversion", {4920, 2160, 615, 255}},
        {"lblright3w", {3000, 2400, 2415, 255}},
        {"Label9", {3000, 2640, 1575, 255}},
        {"Label10", {3000, 3120, 1695, 255}},
        {"Label11", {3000, 3360, 2895, 255}},
        {"cmdreturn", {6720, 5640, 1695, 375}},
    };
    for (const auto &[name, rect] : singles)
        QTest::newRow(name) << QString::fromLatin1(name) << rect;

    const int rootWidths[12] = {615, 615, 495, 615, 615, 615, 495, 495, 615, 615, 615, 615};
    for (int k = 0; k < 12; ++k)
        QTest::addRow("opcode1(%d)", k) << at("opcode1",
            k) << TwipsRect {840 + 1080 * (k % 6), 120 + 240 * (k / 6), rootWidths[k], 180};
    const int kindWidths[14]
        = {615, 615, 615, 615, 615, 615, 975, 615, 855, 855, 615, 735, 615, 735};
    for (int k = 0; k < 14; ++k)
        QTest::addRow("opcode2(%d)", k) << at("opcode2",
            k) << TwipsRect {840 + 840 * (k % 7), 120 + 240 * (k / 7), kindWidths[k], 180};
    for (int i = 0; i < 30; ++i)
        QTest::addRow("lblslot(%d)", i) << at(
            "lblslot", i) << TwipsRect {240 + 840 * (i % 10), 2520 + 360 * (i / 10), 855, 255};
    QTest::newRow("lblslot(30)") << at("lblslot", 30) << TwipsRect {8520, 8000, 855, 255};
    const int blackLefts[10] = {360, 960, 1800, 2340, 2880, 5700, 3720, 4320, 5160, 6240};
    for (int i = 0; i < 10; ++i)
        QTest::addRow("Shape1(%d)", i)
            << at("Shape1", i) << TwipsRect {blackLefts[i], 3840, 375, 1695};
    const int markerLefts[4] = {240, 1200, 2160, 3120};
    for (int i = 0; i < 4; ++i)
        QTest::addRow("shapemaru(%d)", i)
            << at("shapemaru", i) << TwipsRect {markerLefts[i], 5760, 255, 255};
}

void tst_Form1Layout::geometry()
{
    QFETCH(QString, name);
    QFETCH(TwipsRect, rect);
    QWidget *w = control(name);
    QVERIFY(w);
    QCOMPARE(widgets::twipsGeometry(w), rect);
    QCOMPARE(w->geometry(), widgets::pixelRect(rect));
}

void tst_Form1Layout::buttonsInWindowCoordinates()
{
    // Frame children are placed from the frame's corner: "C" and "B" as the window sees them.
    const auto windowPos = [this](const QString &name) {
        QWidget *w = control(name);
        return w->mapTo(client(), QPoint(0, 0));
    };
    QCOMPARE(windowPos(at("opcode1", 0)), widgets::pixelRect({1080, 960, 1, 1}).topLeft());
    QCOMPARE(windowPos(at("opcode1", 11)), widgets::pixelRect({6480, 1200, 1, 1}).topLeft());
    QCOMPARE(control(at("opcode1", 0))->parentWidget()->objectName(), QStringLiteral("Frame1"));
    QCOMPARE(control(at("opcode2", 13))->parentWidget()->objectName(), QStringLiteral("Frame2"));
    QCOMPARE(control("cmdreturn")->parentWidget()->objectName(), QStringLiteral("frameabout"));
}

void tst_Form1Layout::keyLines()
{
    QList<QLine> expected {
        {120, 3840, 120, 6120}, {120, 3840, 6840, 3840}, {120, 6120, 6840, 6120}};
    for (int k = 1; k <= 14; ++k)
        expected << QLine(120 + 480 * k, 3840, 120 + 480 * k, 6120);
    for (int n = 1; n <= 17; ++n) {
        auto *line = m_form->findChild<widgets::LineWidget *>(QStringLiteral("Line%1").arg(n));
        QVERIFY2(line, qPrintable(QStringLiteral("Line%1").arg(n)));
        QCOMPARE(line->twipsLine(), expected[n - 1]);
    }
}

void tst_Form1Layout::captionsAndMenus()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("ソラミナ　コード一覧"));
    const QStringList roots {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const QStringList kinds {
        "", "m", "7", "m7", "M7", "dim", "m7-5", "aug", "sus4", "7sus4", "6", "add9", "m6", "mM7"};
    for (int k = 0; k < roots.size(); ++k) {
        auto *b = qobject_cast<QAbstractButton *>(control(at("opcode1", k)));
        QCOMPARE(b->text(), roots[k]);
        QVERIFY(!b->isChecked());
    }
    for (int k = 0; k < kinds.size(); ++k) {
        auto *b = qobject_cast<QAbstractButton *>(control(at("opcode2", k)));
        QCOMPARE(b->text(), kinds[k]);
        QCOMPARE(b->isChecked(), k == 1);
    }
    QCOMPARE(qobject_cast<QLineEdit *>(control("txtcode1"))->text(), QStringLiteral("C"));
    QCOMPARE(qobject_cast<QLineEdit *>(control("txtcode2"))->text(), QStringLiteral("m"));
    QCOMPARE(qobject_cast<QLabel *>(control("lblcode"))->text(), QStringLiteral("lblcode"));
    QCOMPARE(qobject_cast<QLabel *>(control("lblerror"))->text(), QStringLiteral("ＥＲＲＯＲ"));
    QCOMPARE(qobject_cast<QLabel *>(control(at("lblslot", 30)))->text(), QStringLiteral("lblslot"));
    QCOMPARE(
        qobject_cast<QAbstractButton *>(control("cmdview"))->text(), QStringLiteral("表示(&V)"));

    const QList<QAction *> menus = m_form->menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(menus[0]->text(), QStringLiteral("フィイル(&F)"));
    QStringList fileItems;
    for (const QAction *item : menus[0]->menu()->actions())
        fileItems << item->text();
    QCOMPARE(fileItems,
        QStringList({"開く(&O)...", "新しい曲(&W)...", "名前を付けて保存(&A)...",
            "曲の情報(&T)...", "エクスポート(&E)...", "インポート(&I)...", "印刷(&P)...", "",
            "終了(&X)"}));
    QCOMPARE(menus[0]->menu()->actions().constLast()->objectName(), QStringLiteral("end"));
    // The edit menu right after it, each item's keys shown beside it.
    QCOMPARE(menus[1]->text(), QStringLiteral("編集(&E)"));
    QStringList editItems;
    for (const QAction *item : menus[1]->menu()->actions())
        editItems << item->text() + u' ' + item->shortcut().toString();
    QCOMPARE(editItems,
        QStringList({"元に戻す(&U) Ctrl+Z", "やり直し(&R) Ctrl+Shift+Z", " ", "切り取り(&T) Ctrl+X",
            "コピー(&C) Ctrl+C", "貼り付け(&P) Ctrl+V", " ", "削除(&D) Del",
            "削除して詰める(&K) Ctrl+Del", "空きを挿入(&I) Ins", " ", "移調(&J)... Ctrl+T", " ",
            "キーとカポ(&Y)... ", "キーのコード(&G) ", "度数で表示(&W) ", "ステップ入力(&N) ",
            " ", "長さ(&L) ", "セクション(&S)... ", "前のページ(&B) PgUp", "次のページ(&F) PgDown"}));
    QCOMPARE(menus[2]->text(), QStringLiteral("ヘルプ(&H)"));
    QCOMPARE(menus[2]->menu()->actions().at(0)->text(), QStringLiteral("about(&A)"));
    QCOMPARE(menus[2]->menu()->actions().at(0)->objectName(), QStringLiteral("about"));
}

// At the window's font, no caption is cut off by its box.
void tst_Form1Layout::captionsFitTheirBoxes()
{
    int checked = 0;
    for (QLabel *label : m_form->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        const QFontMetrics metrics(label->font());
        const QRect box = label->contentsRect();
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= box.width(),
            qPrintable(label->objectName()));
        QVERIFY2(metrics.height() <= box.height() + 2, qPrintable(label->objectName()));
        ++checked;
    }
    // A button's caption has the room its style leaves beside the indicator or inside the bevel.
    for (QAbstractButton *button : m_form->findChildren<QAbstractButton *>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const bool radio = qobject_cast<QRadioButton *>(button);
        const QRect contents = button->style()->subElementRect(
            radio ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents, &option,
            button);
        const int textWidth
            = button->fontMetrics().horizontalAdvance(QString(button->text()).remove(u'&'));
        QVERIFY2(textWidth <= contents.width(), qPrintable(button->objectName()));
        ++checked;
    }
    QVERIFY(checked >= 20 + 28); // captioned labels (memo slots are empty here) and buttons
}

void tst_Form1Layout::fonts()
{
    QCOMPARE(QFontInfo(m_form->font()).family(), QStringLiteral("IPAPGothic"));
    const QFontInfo error(control("lblerror")->font());
    QVERIFY2(error.family() == QStringLiteral("IPAPGothic")
            || error.family() == QStringLiteral("ＭＳ Ｐゴシック"),
        qPrintable(error.family()));
    QCOMPARE(error.pixelSize(), 96); // 72 points at 96 dots per inch
    QCOMPARE(error.weight(), int(QFont::Normal));

    // A desktop theme may reset the program's font after start; the window keeps its own.
    const QFont program = QApplication::font();
    const auto restore = qScopeGuard([&program] { QApplication::setFont(program); });
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 14));
    QEvent changed(QEvent::ApplicationFontChange); // what a running event loop would send
    QCoreApplication::sendEvent(m_form.get(), &changed);
    const QFontInfo button(control("cmdview")->font());
    QCOMPARE(button.family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(button.pixelSize(), 11);
}

void tst_Form1Layout::focusOrder()
{
    QStringList expected;
    for (int k = 0; k < 12; ++k)
        expected << at("opcode1", k);
    for (int k = 0; k < 14; ++k)
        expected << at("opcode2", k);
    expected << "txtcode1"
             << "txtcode2"
             << "cmdview"
             << "cmdreturn";
    QWidget *w = control(expected.first());
    for (const QString &name : expected) {
        QCOMPARE(w->objectName(), name);
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus)
            w = w->nextInFocusChain();
    }
    QCOMPARE(m_form->focusWidget(), control(at("opcode1", 0)));
}

void tst_Form1Layout::hitTesting()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const auto hit = [this](const TwipsRect &twips) {
        const QRect r = widgets::pixelRect(twips);
        QWidget *w = client()->childAt(r.center());
        return w ? w->objectName() : QString();
    };
    // The memo outline and the help line above the slots let clicks through.
    QCOMPARE(hit({240 + 840 * 2, 2520 + 360, 855, 255}), at("lblslot", 12));
    QCOMPARE(hit({240, 2520, 855, 30}), at("lblslot", 0));
    // The pixel column that neighbouring slots share belongs to the higher index.
    QCOMPARE(client()
                 ->childAt(widgets::pixelRect({240 + 840, 2520 + 100, 1, 1}).topLeft())
                 ->objectName(),
        at("lblslot", 1));
    // Markers, black keys and key lines let clicks through to the keys'
    // white, which takes them for the whole drawing.
    for (const TwipsRect &r : {TwipsRect {1200, 5760, 255, 255}, TwipsRect {360, 3840, 375, 1695},
             TwipsRect {580, 4000, 40, 40}, TwipsRect {2000, 5900, 40, 40}}) {
        QCOMPARE(hit(r), QStringLiteral("Label12"));
    }
    // The About panel, when open, covers the option buttons.
    QCOMPARE(hit({1080, 960, 615, 180}).left(7), QStringLiteral("opcode1"));
    m_form->findChild<QAction *>("about")->trigger();
    const QString covered = hit({1080, 960, 615, 180});
    QVERIFY2(covered == QStringLiteral("frameabout"), qPrintable(covered));
}

void tst_Form1Layout::parkedControlsAreNeverHit()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const QStringList parked {"lblerror", "frameabout", at("lblslot", 30)};
    for (int y = 0; y < client()->height(); y += 3) {
        for (int x = 0; x < client()->width(); x += 3) {
            for (QWidget *w = client()->childAt(x, y); w && w != client(); w = w->parentWidget())
                QVERIFY2(!parked.contains(w->objectName()),
                    qPrintable(QStringLiteral("%1 at %2,%3").arg(w->objectName()).arg(x).arg(y)));
        }
    }
}

void tst_Form1Layout::errorLabelStacking()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QWidget *error = control("lblerror");
    widgets::setTopInTwips(error, 3350);
    // Its top strip lies behind the third slot row, and in front of the keyboard.
    const QPoint strip = widgets::pixelRect({240 + 840, 3360, 1, 1}).topLeft();
    QCOMPARE(client()->childAt(strip)->objectName(), at("lblslot", 21));
    const QPoint key = widgets::pixelRect({1200 + 120, 5760 + 120, 1, 1}).topLeft();
    QCOMPARE(client()->childAt(key)->objectName(), QStringLiteral("lblerror"));
    const QPoint name = widgets::pixelRect({700, 3700, 1, 1}).topLeft();
    QCOMPARE(client()->childAt(name)->objectName(), QStringLiteral("lblerror"));
}

void tst_Form1Layout::rendering_data()
{
    QTest::addColumn<bool>("darkDesktop");
    QTest::newRow("desktop's own palette") << false;
    QTest::newRow("dark palette on the application") << true;
}

// The keyboard, the slots and the menus read the same on a dark desktop.
void tst_Form1Layout::rendering()
{
    QFETCH(bool, darkDesktop);
    const QPalette desktop = QApplication::palette();
    const auto restore = qScopeGuard([&desktop] { QApplication::setPalette(desktop); });
    if (darkDesktop) {
        QApplication::setPalette(QPalette(QColor(0x35, 0x35, 0x35))); // white text, black boxes
        makeForm();
    }
    auto *added = m_form->menuBar()->addMenu(QStringLiteral("音")); // as a later feature would
    added->addAction(QStringLiteral("FluidSynth"));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    // Slot 0 holds G# on white, slot 1 A on the selected slot's light blue.
    for (const auto &[slot, root] : {std::pair {0, 8}, std::pair {1, 9}}) {
        QTest::mouseClick(control(at("lblslot", slot)), Qt::LeftButton);
        auto *button = control(at("opcode1", root));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    }
    QCOMPARE(client()->size(), QSize(589, 421));
    const QImage image = client()->grab().toImage();
    QCOMPARE(image.size(), QSize(589, 421));
    const auto pixel = [&](QPoint p) { return QColor(image.pixel(p)); };
    const auto darkest = [](const QImage &im, const QRect &r) {
        int least = 255;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                least = std::min(least, QColor(im.pixel(x, y)).lightness());
        return least;
    };
    constexpr int Dark = 100; // the lightness below which text reads as dark

    const QColor lightGreen(128, 255, 128);
    for (int i = 0; i < 4; ++i) {
        QWidget *marker = control(at("shapemaru", i));
        if (widgets::twipsGeometry(marker).left < 0)
            continue; // hidden: the chord repeats its root
        QCOMPARE(pixel(marker->geometry().center()), lightGreen);
    }
    for (int i = 0; i < 10; ++i) {
        const QRect key = control(at("Shape1", i))->geometry();
        const QPoint upperMiddle(key.center().x(), key.top() + key.height() / 3);
        QCOMPARE(pixel(upperMiddle), QColor(Qt::black));
    }
    // White key D, low on the key, and the line between C and D.
    QCOMPARE(pixel(widgets::pixelRect({600 + 240, 5900, 1, 1}).topLeft()), QColor(Qt::white));
    QVERIFY(pixel(widgets::pixelRect({600, 5900, 1, 1}).topLeft()).lightness() < Dark);

    for (const auto &[slot, ground] :
        {std::pair {0, QColor(Qt::white)}, std::pair {1, QColor(128, 128, 255)}}) {
        const QRect inside = control(at("lblslot", slot))->geometry().adjusted(2, 2, -2, -2);
        QCOMPARE(pixel(inside.topRight()), ground);
        QVERIFY2(darkest(image, inside) < Dark, qPrintable(at("lblslot", slot)));
    }

    for (QAction *title : m_form->menuBar()->actions()) {
        QMenu *menu = title->menu();
        menu->popup(m_form->mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        const QImage shot = menu->grab().toImage();
        menu->hide();
        const QRect inside = shot.rect().adjusted(3, 3, -3, -3);
        QVERIFY2(
            QColor(shot.pixel(inside.topRight())).lightness() > 200, qPrintable(title->text()));
        QVERIFY2(darkest(shot, inside) < Dark, qPrintable(title->text()));
    }
}

void tst_Form1Layout::wholeFrames_data()
{
    QTest::addColumn<QString>("scale");
    for (const char *scale : {"1", "1.25", "1.5", "2"})
        QTest::newRow(scale) << QString::fromLatin1(scale);
}

// Every frame and box border is drawn whole at the desktop's usual scales,
// none cut by a neighbour's ground. Qt takes its scale once, as it starts:
// each scale is a run of this test of its own.
void tst_Form1Layout::wholeFrames()
{
    QFETCH(QString, scale);
    if (qEnvironmentVariable("QT_SCALE_FACTOR") != scale) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(
            QCoreApplication::applicationFilePath(), {QStringLiteral("wholeFrames:") + scale});
        QVERIFY(child.waitForFinished());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
            child.readAll().constData());
        return;
    }
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const qreal s = m_form->devicePixelRatio();
    QCOMPARE(s, scale.toDouble());
    const QImage shot = m_form->grab().toImage();

    // One-pixel edges in the window's pixels: each device pixel along an edge
    // has line colour somewhere across the device pixels of its width. Sides
    // are checked between the corners, which the top and bottom hold.
    QList<std::pair<QString, QRect>> edges;
    const auto outline = [&edges](const QString &name, const QRect &r) {
        edges << std::pair {name + u'^', QRect(r.left(), r.top(), r.width(), 1)}
              << std::pair {name + u'_', QRect(r.left(), r.bottom(), r.width(), 1)}
              << std::pair {name + u'<', QRect(r.left(), r.top() + 1, 1, r.height() - 2)}
              << std::pair {name + u'>', QRect(r.right(), r.top() + 1, 1, r.height() - 2)};
    };
    const auto inWindow = [this](const QString &name) {
        QWidget *w = control(name);
        return QRect(w->mapTo(m_form.get(), QPoint(0, 0)), w->size());
    };
    for (const char *name : {"Shape3", "Shape2"})
        outline(QString::fromLatin1(name), inWindow(QString::fromLatin1(name)));
    for (int i = 0; i < 10; ++i)
        outline(at("lblslot", i), inWindow(at("lblslot", i)));
    for (const auto *line : m_form->findChildren<widgets::LineWidget *>())
        edges << std::pair {line->objectName(), inWindow(line->objectName())};
    // The option groups' etched outline below their captions: its dark line
    // runs one pixel inside their right and bottom edges, its bottom left
    // corner lit by the light line.
    for (const char *name : {"Frame1", "Frame2"}) {
        const QRect r = inWindow(QString::fromLatin1(name));
        const QRect dark(QPoint(r.left(), r.center().y()), r.bottomRight() - QPoint(1, 1));
        edges << std::pair {QString::fromLatin1(name) + u'_',
            QRect(dark.left() + 2, dark.bottom(), dark.width() - 2, 1)}
              << std::pair {QString::fromLatin1(name) + u'<',
                     QRect(dark.left(), dark.top(), 1, dark.height() - 1)}
              << std::pair {QString::fromLatin1(name) + u'>',
                     QRect(dark.right(), dark.top(), 1, dark.height() - 1)};
    }

    const auto devicePixels = [s](int from, int length) {
        return std::pair {qRound(from * s), qRound((from + length) * s)};
    };
    const auto isLine = [&shot](int x, int y) { return qGray(shot.pixel(x, y)) < 200; };
    QStringList broken;
    for (const auto &[name, edge] : std::as_const(edges)) {
        const auto [x0, x1] = devicePixels(edge.left(), edge.width());
        const auto [y0, y1] = devicePixels(edge.top(), edge.height());
        const bool level = edge.height() == 1;
        int gaps = 0;
        for (int along = level ? x0 : y0; along < (level ? x1 : y1); ++along) {
            bool found = false;
            for (int across = level ? y0 : x0; across < (level ? y1 : x1) && !found; ++across)
                found = level ? isLine(along, across) : isLine(across, along);
            gaps += found ? 0 : 1;
        }
        if (gaps > 0)
            broken << QStringLiteral("%1 lacks %2").arg(name).arg(gaps);
    }
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QStringLiteral(", "))));
}

void tst_Form1Layout::dialogs_data()
{
    QTest::addColumn<QString>("item"); // the file menu's item that opens it
    QTest::addColumn<bool>("ownMemo"); // a memo in a folder of the user's, else the default memo
    QTest::addColumn<QString>("pick"); // the file to take in the file dialog, if any
    QTest::addColumn<QString>("accept"); // the last dialog's accepting button
    QTest::newRow("開く, default memo") << "open" << false << ""
                                        << "開く(&O)";
    QTest::newRow("開く, own memo") << "open" << true << ""
                                    << "開く(&O)";
    QTest::newRow("名前を付けて保存, default memo") << "saveas" << false << ""
                                                    << "保存(&S)";
    QTest::newRow("エクスポート, default memo") << "export" << false << ""
                                                << "保存(&S)";
    QTest::newRow("エクスポート, own memo") << "export" << true << ""
                                            << "保存(&S)";
    QTest::newRow("インポート, default memo") << "import" << false << ""
                                              << "開く(&O)";
    QTest::newRow("インポート, its question") << "import" << true << "song.cho"
                                              << "はい(&Y)";
}

// The standard dialogs speak Japanese, as the window does, and a file dialog
// opens in the folder of the memo in use, or for the default memo in the
// documents: never in the hidden folder that holds it.
void tst_Form1Layout::dialogs()
{
    QFETCH(QString, item);
    QFETCH(bool, ownMemo);
    QFETCH(QString, pick);
    QFETCH(QString, accept);
    QObject translations;
    QVERIFY2(app::installQtTranslation(&translations), "Qt's translations are not installed");
    const QTemporaryDir home;
    const QString documents = home.filePath(QStringLiteral("書類"));
    const QString own = home.filePath(QStringLiteral("songs"));
    QVERIFY(QDir().mkpath(documents) && QDir().mkpath(own) && memofile::makeDefaultMemoFolder());
    QFile userDirs(home.filePath(QStringLiteral("user-dirs.dirs")));
    QVERIFY(userDirs.open(QIODevice::WriteOnly));
    userDirs.write("XDG_DOCUMENTS_DIR=\"" + documents.toUtf8() + "\"\n");
    userDirs.close();
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&config] { qputenv("XDG_CONFIG_HOME", config); });
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QFile song(own + QStringLiteral("/song.cho"));
    QVERIFY(song.open(QIODevice::WriteOnly) && song.write("[C]la\n") > 0);
    song.close();
    const QString memo = ownMemo ? own + QStringLiteral("/song.dat") : memofile::defaultMemoPath();
    QFile chords(memo);
    QVERIFY(chords.open(QIODevice::WriteOnly) && chords.write("C\r\n\r\n") > 0);
    chords.close();
    makeForm(memo);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));

    // Each dialog as it comes: where the first opens, what accepts the last.
    // A file dialog ignores selectFile() once its name box has the focus: the
    // name is typed there too, and given again while the dialog stays.
    QString folder;
    QString accepting;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const auto *buttons = dialog->findChild<QDialogButtonBox *>();
        for (QAbstractButton *b : buttons->buttons()) {
            const auto role = buttons->buttonRole(b);
            if (role == QDialogButtonBox::AcceptRole || role == QDialogButtonBox::YesRole)
                accepting = b->text();
        }
        auto *files = qobject_cast<QFileDialog *>(dialog);
        if (files && folder.isEmpty())
            folder = files->directory().absolutePath();
        if (!files || pick.isEmpty())
            return dialog->reject();
        files->selectFile(own + u'/' + pick);
        if (auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->setText(own + u'/' + pick);
        dialog->accept();
    });
    answer.start(20);
    m_form->findChild<QAction *>(item)->trigger();
    QTRY_VERIFY(!accepting.isEmpty() && !QApplication::activeModalWidget());
    QCOMPARE(folder, ownMemo ? own : documents);
    QCOMPARE(accepting, accept);
}

QTEST_MAIN(tst_Form1Layout)
#include "tst_form1layout.moc"
