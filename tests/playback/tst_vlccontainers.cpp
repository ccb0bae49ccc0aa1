// A clip in each supported container opens, plays, reports its length and advances.
#include "EngineTestSupport.h"
#include "TestClips.h"
#include "playback/MediaTypes.h"
#include "playback/vlc/VlcEngine.h"

#include <QtTest>

#include <memory>

class TstVlcContainers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void plays_data();
    void plays();

private:
    std::unique_ptr<TestClips> clips_;
};

void TstVlcContainers::initTestCase() {
    QStringList names;
    for (const QString& extension : supportedExtensionList())
        names << QStringLiteral("clip.") + extension;
    QCOMPARE(names.size(), 12);
    clips_ = std::make_unique<TestClips>(names);
    if (!clips_->ffmpegFound())
        QSKIP("ffmpeg is not installed");
    QVERIFY2(clips_->error().isEmpty(), qPrintable(clips_->error()));
}

void TstVlcContainers::plays_data() {
    QTest::addColumn<QString>("extension");
    // What each clip holds: tools/make-test-clips.sh.
    for (const QString& extension : supportedExtensionList())
        QTest::newRow(qPrintable(extension)) << extension;
}

void TstVlcContainers::plays() {
    QFETCH(QString, extension);
    VlcEngine engine(headlessEngineArguments());
    QVERIFY2(engine.isReady(), qPrintable(engine.errorString()));
    engine.addTarget(clips_->path(QStringLiteral("clip.") + extension), {}, kReplaceAndGo, 0);
    QTRY_VERIFY_WITH_TIMEOUT(engine.Playing(), kDeadline);
    // Every clip lasts 4 s.
    QTRY_VERIFY_WITH_TIMEOUT(engine.Length() > 0, kDeadline);
    QVERIFY2(qAbs(engine.Length() - 4) <= 1, qPrintable(QString::number(engine.Length())));
    const float start = engine.Position();
    QVERIFY(start >= 0.0f && start <= 1.0f);
    QTRY_VERIFY_WITH_TIMEOUT(engine.Position() > start + 0.05f, kDeadline);
    // Video arrives as frames of the clip's size.
    QTRY_VERIFY_WITH_TIMEOUT(!engine.currentFrame().isNull(), kDeadline);
    QCOMPARE(engine.currentFrame().size(), QSize(176, 144));
}

QTEST_MAIN(TstVlcContainers)
#include "tst_vlccontainers.moc"
