// SPDX-License-Identifier: GPL-3.0-or-later
// Stamps through the exchange files' text form, every second of a day, in zones east and west,
// a half-hour one and one with daylight saving.
#include "core/IsoTime.h"
#include <QDate>
#include <QtTest>
#include <ctime>

namespace {

void setZone(const char *zone)
{
    qputenv("TZ", zone);
    tzset();
}

// The text an offset of so many minutes east of UTC takes at the end of a stamp.
QString offsetText(int eastMinutes)
{
    if (eastMinutes == 0)
        return QStringLiteral("Z");
    const int minutes = qAbs(eastMinutes);
    return QStringLiteral("%1%2:%3")
        .arg(eastMinutes > 0 ? QLatin1Char('+') : QLatin1Char('-'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

qint64 wholeMs(TimeStamp value)
{
    return qRound64(value * 86400000.0);
}

} // namespace

class TestIsoTime : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setZone("UTC0"); }
    void everySecondOfADayRoundTrips_data();
    void everySecondOfADayRoundTrips();
};

void TestIsoTime::everySecondOfADayRoundTrips_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::newRow("utc") << QByteArray("UTC0");
    QTest::newRow("east") << QByteArray("CST-8");
    QTest::newRow("west") << QByteArray("EST5");
    QTest::newRow("half hour east") << QByteArray("IST-5:30");
    QTest::newRow("half hour west, daylight saving") << QByteArray("NST3:30NDT,M3.2.0,M11.1.0");
}

void TestIsoTime::everySecondOfADayRoundTrips()
{
    QFETCH(QByteArray, zone);
    setZone(zone.constData());
    const QString offset = offsetText(-localBiasMinutes());
    // The day daylight saving starts on, where it is kept.
    const QDate date(2026, 3, 8);
    const double day = double(QDate(1899, 12, 30).daysTo(date));
    const QString dayText = date.toString(Qt::ISODate) + QLatin1Char('T');
    for (int second = 0; second < 86400; ++second) {
        // As the program makes a stamp from a clock time: whole milliseconds over a day's.
        const TimeStamp stamp = day + second * 1000 / 86400000.0;
        const QString clock = QTime::fromMSecsSinceStartOfDay(second * 1000).toString(QStringLiteral("HH:mm:ss"));
        const QString text = dayText + clock + QStringLiteral(".000") + offset;
        const QString written = dateTimeToIso(stamp, true);
        if (written != text)
            QFAIL(qPrintable(QStringLiteral("%1 written as %2").arg(text, written)));
        if (wholeMs(isoToDateTime(written)) != wholeMs(stamp))
            QFAIL(qPrintable(QStringLiteral("%1 read back as %2 ms").arg(text).arg(wholeMs(isoToDateTime(written)))));
        // Fractions of a second are dropped, never carried into the next second; a stamp that
        // falls short of a whole second by less than half a millisecond is that second.
        const QString late = dateTimeToIso(stamp + 999 / 86400000.0, true);
        if (late != text)
            QFAIL(qPrintable(QStringLiteral("%1 and 999 ms written as %2").arg(text, late)));
        const QString early = dateTimeToIso(stamp - 0.4 / 86400000.0, true);
        if (early != text)
            QFAIL(qPrintable(QStringLiteral("%1 less 0.4 ms written as %2").arg(text, early)));
    }
    // The last instant of the day that is not rounded into the next one, and the first that is.
    QCOMPARE(dateTimeToIso(day + 1 - 0.6 / 86400000.0, true), dayText + QStringLiteral("23:59:59.000") + offset);
    QCOMPARE(dateTimeToIso(day + 1 - 0.4 / 86400000.0, true), QStringLiteral("2026-03-09T00:00:00.000") + offset);
}

QTEST_GUILESS_MAIN(TestIsoTime)
#include "tst_isotime.moc"
