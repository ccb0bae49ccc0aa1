#include "playback/media/FrameReader.h"
#include "playback/media/SceneDetector.h"
#include "support/EngineTestSupport.h"

#include <QTemporaryDir>
#include <QTest>

// Scenes of a film of twenty shots with known cuts (tools/make-test-clips.sh scenes.mp4):
// found on our own decoded frames, as Export Frames finds them.
class TstScenes : public QObject {
    Q_OBJECT
    QTemporaryDir clips_;

    std::vector<qint64> scenesOf(const QString& clip, int sensitivity) {
        FrameReader reader(clips_.filePath(clip));
        SceneDetector detector(sensitivity, reader.framesPerSecond());
        std::vector<qint64> starts{0};
        while (std::optional<VideoFrame> frame = reader.next())
            if (const std::optional<qint64> start =
                    detector.add(frame->frameNumber, sceneFeaturesOf(*frame)))
                starts.push_back(*start);
        if (const std::optional<qint64> start = detector.finish())
            starts.push_back(*start);
        return starts;
    }

private Q_SLOTS:
    void initTestCase() {
        const QString problem = makeTestClips(clips_.path(), {"scenes.mp4", "counter.mp4"});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // At the default sensitivity: every hard cut within a frame, one scene for the
    // dissolve (where it ends) and one for the fade out and in, none inside the camera pan
    // (430-509) or in a shot that moves. Less sensitive finds some of those scenes and no
    // others; more sensitive finds all of them and perhaps more.
    void knownCuts() {
        const std::vector<qint64> cuts{0,   50,  90,  150, 200, 245, 295, 355, 390, 430,
                                       510, 550, 600, 655, 695, 745, 790, 830, 880, 930};
        // The dissolve and the fade may be settled anywhere within their own frames.
        const auto within = [](qint64 cut) -> std::pair<qint64, qint64> {
            if (cut == 355)
                return {330, 355};
            if (cut == 600)
                return {588, 612};
            return {cut - 1, cut + 1};
        };
        const auto text = [](const std::vector<qint64>& starts) {
            QString seen;
            for (const qint64 start : starts)
                seen += QString::number(start) + ' ';
            return seen;
        };
        const std::vector<qint64> found =
            scenesOf("scenes.mp4", SceneDetector::kDefaultSensitivity);
        QVERIFY2(found.size() == cuts.size(), qPrintable(text(found)));
        for (size_t i = 0; i < cuts.size(); ++i) {
            const auto [from, to] = within(cuts[i]);
            QVERIFY2(found[i] >= from && found[i] <= to, qPrintable(text(found)));
        }
        const auto contains = [](const std::vector<qint64>& all, const std::vector<qint64>& some) {
            return std::includes(all.cbegin(), all.cend(), some.cbegin(), some.cend());
        };
        const std::vector<qint64> fewer = scenesOf("scenes.mp4", 25);
        QVERIFY2(contains(found, fewer) && fewer.size() > cuts.size() / 2, qPrintable(text(fewer)));
        const std::vector<qint64> more = scenesOf("scenes.mp4", 75);
        QVERIFY2(contains(more, found), qPrintable(text(more)));
    }

    // A single shot in which only a counter changes is one scene, however sensitive.
    void oneShot() { QCOMPARE(scenesOf("counter.mp4", 100), std::vector<qint64>{0}); }
};

QTEST_GUILESS_MAIN(TstScenes)
#include "tst_scenes.moc"
