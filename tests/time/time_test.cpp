// Clock values, stopwatches, time slots and call rates.
#include "support/CaptureAppender.h"

#include <zor/ClockFunctions.h>
#include <zor/FPS.h>
#include <zor/Logger.h>
#include <zor/XStopwatch.h>
#include <zor/XTimeStats.h>
#include <zor/ZorTime.h>

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <chrono>
#include <ctime>
#include <thread>

using namespace zor;

namespace {
void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
bool matches(const QString& pattern, const QString& text) {
    return QRegularExpression(QStringLiteral("^") + pattern + QStringLiteral("$")).match(text).hasMatch();
}
}  // namespace

TEST(Clock, ReadingsAgree) {
    const unsigned long long us = getMicroseconds();
    const unsigned long long ms = getMilliseconds();
    EXPECT_LE(us / 1000, ms + 1);
    EXPECT_GE(us / 1000 + 1000, ms);
    EXPECT_LT(getMillisecondsWithinSecond(), 1000u);
    EXPECT_NEAR(static_cast<double>(ms / 1000), static_cast<double>(std::time(nullptr)), 2.0);
}

TEST(ZorTime, FieldsAndTexts) {
    // 2026-12-05 14:02:33.120456 in local time, built through mktime so the test works in any zone.
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 5;
    t.tm_hour = 14;
    t.tm_min = 2;
    t.tm_sec = 33;
    t.tm_isdst = -1;
    const std::time_t secs = std::mktime(&t);
    const ZorTime zt(static_cast<unsigned long long>(secs) * 1000000ull + 120456ull);
    EXPECT_EQ(zt.tm_year(), 2026);
    EXPECT_EQ(zt.tm_month(), 11);
    EXPECT_EQ(zt.tm_day(), 5);
    EXPECT_EQ(zt.tm_hour(), 14);
    EXPECT_EQ(zt.tm_min(), 2);
    EXPECT_EQ(zt.tm_sec(), 33);
    EXPECT_EQ(zt.tm_yearDay(), 338);
    EXPECT_EQ(zt.getRelativeMilliseconds(), 120u);
    EXPECT_EQ(zt.getMicroseconds() % 1000000ull, 120456ull);
    EXPECT_EQ(zt.getNanoseconds(), zt.getMicroseconds() * 1000ull);
    EXPECT_EQ(zt.getTimeString(0), QStringLiteral("14:02:33"));
    EXPECT_EQ(zt.getTimeString(0x80), QStringLiteral("14:02:33,120"));
    EXPECT_EQ(zt.getTimeString(0x180), QStringLiteral("14:02:33,120456"));
    EXPECT_EQ(zt.getTheTimeString("%M:%S", ZorTime::MILLISECONDS), QStringLiteral("02:33,120"));
    EXPECT_EQ(zt.getTheTimeString("%M:%S", ZorTime::MICROSECONDS), QStringLiteral("02:33,120456"));
    EXPECT_EQ(zt.getFullTimeStamp("%Y-%m-%d", ZorTime::SECONDS), QStringLiteral("2026-12-05"));
    EXPECT_TRUE(zt.getTheTimeString(nullptr, ZorTime::SECONDS).isEmpty());
    ZorTime copy = zt;
    EXPECT_EQ(copy.getTicks(), zt.getTicks());
    ZorTime empty;
    EXPECT_EQ(empty.getTicks(), 0u);
    empty.fromMircoSeconds(5);
    EXPECT_EQ(empty.getTicks(), 50u);
}

TEST(Stopwatch, StartStopTotalsAndTexts) {
    zortest::LogCapture cap;
    XStopwatch w;
    EXPECT_TRUE(w.isReset());
    EXPECT_EQ(w.toString(false), QStringLiteral("XStopwatch-RESET"));
    w.stop();
    EXPECT_TRUE(w.isReset()) << "a stop without a start keeps every field";
    EXPECT_EQ(w.elapsed_time_milliSeconds(), 0u);
    w.start();
    const unsigned long long first = w.getTimeFirst();
    sleepMs(10);
    w.stop();
    w.start();
    sleepMs(20);
    w.stop();
    EXPECT_EQ(w.getTimeFirst(), first);
    EXPECT_GE(w.elapsed_time_milliSeconds(), 19u);
    EXPECT_GE(w.elapsed_time_milliSeconds_total(), 29u);
    EXPECT_LT(w.elapsed_time_milliSeconds(), w.elapsed_time_milliSeconds_total());
    EXPECT_TRUE(matches(QStringLiteral("delta:[0-9.]+ ms"), w.toString(true)));
    EXPECT_TRUE(matches(QStringLiteral("elapsed:[0-9.]+ ms, total elapsed:[0-9.]+ ms"), w.toString(false)));
    EXPECT_TRUE(matches(QStringLiteral("delta:\\d+,\\d{3}\\.\\d{3} sec"), w.toStringMicroseconds(true)));
    EXPECT_TRUE(matches(QStringLiteral("\\d+,\\d{3}\\.\\d{3}"), w.asStringDeltaSecond()));
    XStopwatch running;
    running.start();
    EXPECT_TRUE(matches(QStringLiteral("XStopwatch-started, not stopped, delta now:[0-9.]+ ms"), running.toString()));
    XStopwatch copy(w);
    EXPECT_EQ(copy.getTimeStop(), w.getTimeStop());
    w.reset();
    EXPECT_TRUE(w.isReset());
    EXPECT_EQ(w.delta_now_microSeconds(), 0u);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XStopwatch::stop - not started before")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XStopwatch::elapsed_time_milliSeconds - not stopped")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XStopwatch::delta_now_microSeconds - not started")));
    Logger::quit();
}

TEST(TimeSlots, TypeNamesAndSlotTexts) {
    EXPECT_EQ(XTimeSlot_Impl::slotTypeToString(1), QStringLiteral("____READ"));
    EXPECT_EQ(XTimeSlot_Impl::slotTypeToString(6), QStringLiteral("_CONVERT"));
    EXPECT_EQ(XTimeSlot_Impl::slotTypeToString(11), QStringLiteral("UNKNOWN-SLOT:11"));
    EXPECT_EQ(XTimeSlot_Impl::slot_type_to_string(10), QStringLiteral("SLEEP"));
    EXPECT_EQ(XTimeSlot_Impl::slot_type_to_string(42), QStringLiteral("SLOT:42 ?"));
    EXPECT_EQ(XTimeStats::sortTypeToString(XTimeStats::SORT::DELTA_TIME), QStringLiteral("DELTA_TIME"));
    EXPECT_EQ(XTimeStats::sortTypeToString(static_cast<XTimeStats::SORT_TYPE>(9)), QStringLiteral("SORT-UNKNOWN:9"));

    XTimeStats stats(10);
    XTimeSlot s = stats.startSlot(QStringLiteral("parse file"));
    s->setType_PARSE();
    const QString running = s->toString(0);
    EXPECT_TRUE(matches(QStringLiteral("000, 000000, ___PARSE, \\d\\d:\\d\\d:\\d\\d,\\d{6}, RUNNING {22}, parse file, ~"), running))
        << running.toStdString();
    sleepMs(2);
    s->setMessageEnd(QStringLiteral("parsed"));
    EXPECT_TRUE(s->isValid());
    const QString zeroTotal = s->toString(0);
    EXPECT_TRUE(zeroTotal.contains(QStringLiteral(", ??,000 %, parse file, parsed"))) << zeroTotal.toStdString();
    const QString half = s->toString(s->delta() * 2);
    EXPECT_TRUE(matches(QStringLiteral("000, 000000, ___PARSE, \\d\\d:\\d\\d:\\d\\d,\\d{6}, delta:\\d+,\\d{3}\\.\\d{3} sec, "
                                       "50,000 %, parse file, parsed"),
                        half))
        << half.toStdString();
    XTimeSlot_Impl never;
    EXPECT_EQ(never.toString(0), QStringLiteral("000, 000000, STANDARD, SLOT-NOT-VALID") + QString(32, QLatin1Char(' ')) +
                                     QStringLiteral(", *, ~"));
}

TEST(TimeSlots, MaximumChainingAndSorting) {
    zortest::LogCapture cap;
    XTimeStats::getInstance()->setMaxSlots(3);
    XTimeSlot a = XTimeStats::start_slot(QStringLiteral("a"));
    a->setType_READ();
    a->setMessageEnd(QStringLiteral("a-end"));
    XTimeSlot b = XTimeStats::chain_slot(a, QString());  // takes a's end text and type
    EXPECT_EQ(b->messageBegin(), QStringLiteral("a-end"));
    EXPECT_EQ(b->getSlotType(), XTimeSlot_Impl::SLOT::READ);
    sleepMs(3);
    XTimeSlot c = XTimeStats::chain_slot(b, QStringLiteral("c"));
    EXPECT_TRUE(b->isValid()) << "chaining stops the previous slot";
    XTimeSlot d = XTimeStats::start_slot(QStringLiteral("one too many"));
    EXPECT_TRUE(d->isDummy());
    EXPECT_EQ(d->messageBegin(), QStringLiteral("DUMMY-LOOP"));
    c->stop();
    const auto byDelta = XTimeStats::getInstance()->getSortedSlotsCopy(XTimeStats::SORT::DELTA_TIME, false);
    ASSERT_EQ(byDelta.size(), 3u);
    // Longest first; which slot ran longest is up to the machine's scheduling.
    EXPECT_GE(byDelta[0].delta(), byDelta[1].delta());
    EXPECT_GE(byDelta[1].delta(), byDelta[2].delta());
    const auto byNumber = XTimeStats::getInstance()->getSortedSlotsCopy(XTimeStats::SORT::NUMBER, true);
    EXPECT_EQ(byNumber[2].messageBegin(), QStringLiteral("c"));
    unsigned long long total = 0;
    const auto lines = XTimeStats::getInstance()->getSortedStringArray(total, XTimeStats::SORT::NUMBER);
    EXPECT_EQ(total, XTimeStats::getSumOfDeltas(byNumber));
    EXPECT_EQ(lines.size(), 3u);
    EXPECT_EQ(XTimeStats::getInstance()->toString(), QStringLiteral("3 timeSlots"));
    XTimeStats::show_slots(0, XTimeStats::SORT::NUMBER);
    // A new maximum drops the records but the numbering goes on; only clear starts it at 0.
    XTimeStats::getInstance()->setMaxSlots(5);
    EXPECT_EQ(XTimeStats::start_slot(QStringLiteral("after"))->index(), 3u);
    XTimeStats::getInstance()->clear();
    EXPECT_FALSE(XTimeStats::getInstance()->hasTimeSlots());
    EXPECT_EQ(XTimeStats::start_slot(QStringLiteral("fresh"))->index(), 0u);
    XTimeStats::getInstance()->clear();
    EXPECT_EQ(a->messageBegin(), QStringLiteral("a")) << "handles stay valid after clear";
    XTimeStats::setRecording(false);
    EXPECT_TRUE(XTimeStats::start_slot(QStringLiteral("off"))->isDummy());
    XTimeStats::setRecording(true);
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText(QStringLiteral("XTimeStats::createSlotImpl - maximum Slots size_range is:3")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XTimeSlots:3, sorted by NUMBER")));
    EXPECT_TRUE(cap.containsText(QStringLiteral("XTimeStats::setMaxSlots, maxSlots:3")));
    Logger::quit();
}

TEST(TimeSlots, ConcurrentSlotsFromManyThreads) {
    Logger::setThreadIDMain();
    XTimeStats stats(1000);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 100; ++i) {
                XTimeSlot s = stats.startSlot(QStringLiteral("work"));
                s->setType_CALC();
            }  // the handle's end stops the slot
        });
    for (auto& th : threads) th.join();
    const auto all = stats.getSortedSlotsCopy(XTimeStats::SORT::NUMBER, true);
    ASSERT_EQ(all.size(), 400u);
    for (unsigned int i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].index(), i);
        EXPECT_TRUE(all[i].isValid());
        EXPECT_NE(all[i].threadId(), 0u) << "worker threads are not the main thread";
    }
}

TEST(FPS, RateAfterMoreThanASecond) {
    FPS fps;
    std::vector<float> seen;
    fps.listeners().add([&](float r) { seen.push_back(r); });
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 60; ++i) fps.refresh();
    EXPECT_TRUE(seen.empty()) << "within the first second nothing is computed";
    sleepMs(1010);
    fps.refresh();
    // 61 frames over the span the counter saw: more than a second, and no more than measured here
    // (however long a busy machine made the pause), give or take the clock's whole milliseconds.
    const double spanS = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_GE(seen[0], static_cast<float>(61.0 / (spanS + 0.002)));
    EXPECT_LT(seen[0], 61.0f);
    EXPECT_FLOAT_EQ(fps.rate(), seen[0]);
}
