#include "chordtables.h"
#include "placement.h"

#include <QTest>

using Places = QList<QPoint>; // x = Left, y = Top, in twips

namespace
{
Places placesOf(const chord::ChordPlacement &p)
{
    Places out;
    for (const auto &m : p.markers)
        out << QPoint(m.left, m.top);
    return out;
}
constexpr int W = 5760; // marker Top on a white key
constexpr int K = 5040; // marker Top on a black key
constexpr int Hidden = -1000;
} // namespace

class tst_Placement : public QObject
{
    Q_OBJECT
private slots:
    void semitoneTable_data();
    void semitoneTable();
    void markers_data();
    void markers();
    void hiddenMarkerComesBack();
    void everyRecognisedChord();
    void soundingNotes_data();
    void soundingNotes();
    void keyAt_data();
    void keyAt();
    void everyKeyHoldsItsMarker();
};

void tst_Placement::semitoneTable_data()
{
    QTest::addColumn<int>("semitone");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    struct Row {
        const char *key;
        int position, left, top;
    };
    // Indexed by semitone 0 to 22.
    const Row rows[] = {
        {"lower C", 0, 240, W},
        {"lower C#", 1, 420, K},
        {"lower D", 2, 720, W},
        {"lower D#", 3, 1020, K},
        {"lower E", 4, 1200, W},
        {"lower F", 6, 1680, W},
        {"lower F#", 7, 1860, K},
        {"lower G", 8, 2160, W},
        {"lower G#", 9, 2400, K},
        {"lower A", 10, 2640, W},
        {"lower A#", 11, 2940, K},
        {"lower B", 12, 3120, W},
        {"upper C", 14, 3600, W},
        {"upper C#", 15, 3780, K},
        {"upper D", 16, 4080, W},
        {"upper D#", 17, 4380, K},
        {"upper E", 18, 4560, W},
        {"upper F", 20, 5040, W},
        {"upper F#", 21, 5220, K},
        {"upper G", 22, 5520, W},
        {"upper G#", 23, 5760, K},
        {"upper A", 24, 6000, W},
        {"upper A#", 25, 6300, K},
    };
    int semitone = 0;
    for (const Row &r : rows) {
        QTest::addRow("%d %s", semitone, r.key) << semitone << r.position << r.left << r.top;
        ++semitone;
    }
}

void tst_Placement::semitoneTable()
{
    QFETCH(int, semitone);
    QFETCH(int, position);
    QFETCH(int, left);
    QFETCH(int, top);
    QCOMPARE(chord::keyPosition(semitone), position);
    const auto place = chord::markerPlace(position);
    QCOMPARE(place.left, left);
    QCOMPARE(place.top, top);
}

void tst_Placement::markers_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<Places>("places");
    QTest::newRow("C major: marker 3 hidden")
        << "C"
        << "" << QList<int> {0, 4, 8, 0} << Places {{240, W}, {1200, W}, {2160, W}, {Hidden, W}};
    QTest::newRow("B major: hidden keeps its white Top")
        << "B"
        << "" << QList<int> {12, 17, 21, 12}
        << Places {{3120, W}, {4380, K}, {5220, K}, {Hidden, W}};
    QTest::newRow("B add9: the ninth shows on C#")
        << "B"
        << "add9" << QList<int> {12, 17, 21, 15}
        << Places {{3120, W}, {4380, K}, {5220, K}, {3780, K}};
    QTest::newRow("B M7: highest position") << "B"
                                            << "M7" << QList<int> {12, 17, 21, 25}
                                            << Places {{3120, W}, {4380, K}, {5220, K}, {6300, K}};
    QTest::newRow("C dim: none hidden")
        << "C"
        << "dim" << QList<int> {0, 3, 7, 10} << Places {{240, W}, {1020, K}, {1860, K}, {2640, W}};
    QTest::newRow("F major: 12 raised twice to 14")
        << "F"
        << "" << QList<int> {6, 10, 14, 6} << Places {{1680, W}, {2640, W}, {3600, W}, {Hidden, W}};
    QTest::newRow("A major: 16 becomes 18, not 19")
        << "A"
        << "" << QList<int> {10, 15, 18, 10}
        << Places {{2640, W}, {3780, K}, {4560, W}, {Hidden, W}};
    QTest::newRow("G#7: G# has no shift")
        << "G#"
        << "7" << QList<int> {9, 14, 17, 21} << Places {{2400, K}, {3600, W}, {4380, K}, {5220, K}};
    QTest::newRow("E, unknown kind: three markers stacked")
        << "E"
        << "maj7" << QList<int> {4, 4, 4, 4}
        << Places {{1200, W}, {1200, W}, {1200, W}, {Hidden, W}};
    QTest::newRow("both unknown") << "h"
                                  << "?" << QList<int> {0, 0, 0, 0}
                                  << Places {{240, W}, {240, W}, {240, W}, {Hidden, W}};
    QTest::newRow("D m7: the road of one event")
        << "D"
        << "m7" << QList<int> {2, 6, 10, 14} << Places {{720, W}, {1680, W}, {2640, W}, {3600, W}};
    QTest::newRow("Bb major: hidden on a black key keeps the black Top")
        << "Bb"
        << "" << QList<int> {11, 16, 20, 11}
        << Places {{2940, K}, {4080, W}, {5040, W}, {Hidden, K}};
}

void tst_Placement::markers()
{
    QFETCH(QString, root);
    QFETCH(QString, kind);
    QFETCH(QList<int>, positions);
    QFETCH(Places, places);
    const auto p = chord::placeChord(root.toStdString(), kind.toStdString());
    QCOMPARE(QList<int>(p.keyPositions.begin(), p.keyPositions.end()), positions);
    QCOMPARE(placesOf(p), places);
}

void tst_Placement::hiddenMarkerComesBack()
{
    // Placement is stateless: a later chord whose fourth note differs shows marker 3 again.
    QCOMPARE(chord::placeChord("C", "").markers[3].left, Hidden);
    const auto seventh = chord::placeChord("C", "7");
    QCOMPARE(placesOf(seventh).at(3), QPoint(2940, K));
}

// Over all 17 x 14 recognised chords: markers land on real keys inside the
// drawn keyboard, and only a fourth note on the root is hidden.
void tst_Placement::everyRecognisedChord()
{
    constexpr int KeyboardLeft = 120;
    constexpr int KeyboardRight = 6840;
    constexpr int MarkerSize = 255;
    int checked = 0;
    for (const auto &root : chord::ChordRoot) {
        for (const auto &kind : chord::ChordKind) {
            const auto p = chord::placeChord(root.text, kind.text);
            const QByteArray name = QByteArray(root.text.data(), root.text.size())
                + QByteArray(kind.text.data(), kind.text.size());
            QVERIFY2(p.rootRecognised && p.kindRecognised, name);
            for (int i = 0; i < chord::MarkerCount; ++i) {
                const int pos = p.keyPositions[i];
                QVERIFY2(pos != 5 && pos != 13 && pos != 19 && pos != 26, name);
                QVERIFY2(pos >= 0 && pos <= 25, name);
                if (i == 3 && p.markers[i].left == Hidden)
                    continue;
                QVERIFY2(p.markers[i].left >= KeyboardLeft, name);
                QVERIFY2(p.markers[i].left + MarkerSize <= KeyboardRight, name);
            }
            QCOMPARE(p.markers[3].left == Hidden, p.notes[3] == p.notes[0]);
            ++checked;
        }
    }
    QCOMPARE(checked, 238);
}

void tst_Placement::soundingNotes_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QList<int>>("notes");
    QTest::newRow("C major: the root once") << "C"
                                            << "" << QList<int> {0, 4, 7};
    QTest::newRow("C add9: ninth sorted under the third") << "C"
                                                          << "add9" << QList<int> {0, 2, 4, 7};
    QTest::newRow("Bb m7") << "Bb"
                           << "m7" << QList<int> {10, 13, 17, 20};
    QTest::newRow("unknown root: silent") << "H"
                                          << "7" << QList<int> {};
    QTest::newRow("unknown kind: silent") << "C"
                                          << "maj7" << QList<int> {};
}

void tst_Placement::soundingNotes()
{
    QFETCH(QString, root);
    QFETCH(QString, kind);
    QFETCH(QList<int>, notes);
    const auto sounding
        = chord::soundingNotes(chord::placeChord(root.toStdString(), kind.toStdString()));
    QCOMPARE(QList<int>(sounding.begin(), sounding.end()), notes);
}

// Points of the drawing, in twips; the key a click there picks (-1: none).
void tst_Placement::keyAt_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("key");
    QTest::newRow("lowest C below the black keys") << QPoint(300, 5900) << 0;
    QTest::newRow("C# over the white keys") << QPoint(400, 4000) << 1;
    QTest::newRow("D between its black neighbours") << QPoint(840, 4000) << 2;
    QTest::newRow("the last row of C#") << QPoint(400, 5534) << 1;
    QTest::newRow("just below C#: D") << QPoint(700, 5535) << 2;
    QTest::newRow("E, where no black key follows") << QPoint(1500, 4000) << 4;
    QTest::newRow("upper G#, out of the black keys' order") << QPoint(5800, 4000) << 20;
    QTest::newRow("the left edge line") << QPoint(120, 6120) << 0;
    QTest::newRow("the right edge line") << QPoint(6840, 5000) << 23;
    QTest::newRow("left of the keyboard") << QPoint(105, 5000) << -1;
    QTest::newRow("below it") << QPoint(400, 6135) << -1;
}

void tst_Placement::keyAt()
{
    QFETCH(QPoint, point);
    QFETCH(int, key);
    QCOMPARE(chord::keyAt(point.x(), point.y()), key);
}

// A click on a marker picks the key it marks, and each key's outline holds it.
void tst_Placement::everyKeyHoldsItsMarker()
{
    for (int key = 0; key < 24; ++key) {
        const chord::MarkerPlace m = chord::markerPlace(chord::keyPosition(key));
        const int half = chord::MarkerSize / 2;
        QCOMPARE(chord::keyAt(m.left + half, m.top + half), key);
        const chord::KeyOutline k = chord::keyOutline(key);
        QVERIFY(m.left >= k.left && m.left + chord::MarkerSize <= k.left + k.width);
        QVERIFY(m.top >= k.top && m.top + chord::MarkerSize <= k.top + k.height);
    }
}

QTEST_APPLESS_MAIN(tst_Placement)
#include "tst_placement.moc"
