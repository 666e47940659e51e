#include "wavfile.h"

#include <QTest>
#include <QtEndian>

class tst_WavFile : public QObject
{
    Q_OBJECT
private slots:
    void write_data();
    void write();
};

void tst_WavFile::write_data()
{
    QTest::addColumn<QList<float>>("left");
    QTest::addColumn<QList<float>>("right");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QList<int>>("samples"); // 16-bit, left and right in turn

    QTest::newRow("no frames: the header alone")
        << QList<float> {} << QList<float> {} << 44100 << QList<int> {};
    QTest::newRow("silence") << QList<float> {0} << QList<float> {0} << 44100 << QList<int> {0, 0};
    QTest::newRow("full scale, half, rounded to the nearest")
        << QList<float> {1, 0.5f, 0.25f} << QList<float> {-1, -0.5f, -0.25f} << 44100
        << QList<int> {32767, -32767, 16384, -16384, 8192, -8192};
    QTest::newRow("louder is clipped, not wrapped round") << QList<float> {1.001f,
        3e9f} << QList<float> {-1.5f, -3e9f} << 44100 << QList<int> {32767, -32767, 32767, -32767};
    QTest::newRow("another rate") << QList<float> {0.1f} << QList<float> {0} << 48000
                                  << QList<int> {3277, 0};
}

void tst_WavFile::write()
{
    QFETCH(QList<float>, left);
    QFETCH(QList<float>, right);
    QFETCH(int, rate);
    QFETCH(QList<int>, samples);

    const QByteArray wav = song::wavFileBytes(left, right, rate);
    const auto word = [&wav](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
    const auto half = [&wav](int at) { return qFromLittleEndian<quint16>(wav.constData() + at); };
    const auto dataBytes = quint32(2 * samples.size());
    QCOMPARE(wav.size(), 44 + qsizetype(dataBytes));
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(word(4), 36 + dataBytes);
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(word(16), 16u); // the format chunk's size
    QCOMPARE(half(20), 1u); // PCM
    QCOMPARE(half(22), 2u); // stereo
    QCOMPARE(word(24), quint32(rate));
    QCOMPARE(word(28), quint32(rate * 4)); // bytes a second
    QCOMPARE(half(32), 4u); // bytes a frame
    QCOMPARE(half(34), 16u); // bits a sample
    QCOMPARE(wav.mid(36, 4), QByteArray("data"));
    QCOMPARE(word(40), dataBytes);
    QList<int> written;
    for (qsizetype at = 44; at < wav.size(); at += 2)
        written << qFromLittleEndian<qint16>(wav.constData() + at);
    QCOMPARE(written, samples);
}

QTEST_GUILESS_MAIN(tst_WavFile)
#include "tst_wavfile.moc"
