#include "platform/DeferredBrowser.h"
#include "platform/EngineModule.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QByteArray windows1251(const QByteArray&)
{
    return QByteArrayLiteral("windows-1251");
}

QStringList callsOf(const Browser* engine)
{
    return engine ? engine->property("calls").toStringList() : QStringList();
}

QString failureText(const DeferredBrowser& browser)
{
    const auto* label = browser.findChild<QLabel*>();
    return label ? label->text() : QString();
}

} // namespace

TEST(DeferredBrowserTest, LoadsTheEngineAtTheFirstPageAndHandsItWhatCameBefore)
{
    EngineModule module({QStringLiteral("/nonexistent/" PAGEWRIGHT_TEST_ENGINE_MODULE_NAME),
                         QStringLiteral(PAGEWRIGHT_TEST_ENGINE_MODULE)},
                        windows1251);
    DeferredBrowser browser(module);
    browser.setToolTip(QStringLiteral("Просмотр"));
    browser.setDefaultTextEncoding("koi8-r");
    // Before the first page there is no engine, and its commands do nothing.
    browser.refresh();
    browser.goBack();
    browser.goForward();
    EXPECT_EQ(browser.engine(), nullptr);

    QSignalSpy state(&browser, &Browser::commandStateChange);
    QSignalSpy complete(&browser, &Browser::documentComplete);
    // The engine starts once the events already queued (the window's painting) are handled; the
    // last page asked for until then is the one shown.
    browser.navigate(QStringLiteral("/tmp/first.html"));
    browser.navigate(QStringLiteral("/tmp/a.html"));
    EXPECT_EQ(browser.engine(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return browser.engine() != nullptr; }));
    EXPECT_EQ(browser.engine()->parentWidget(), &browser);
    EXPECT_EQ(browser.engine()->toolTip(), QStringLiteral("Просмотр"));
    EXPECT_EQ(callsOf(browser.engine()), QStringList({"charset of <p>: windows-1251",
                                                      "encoding koi8-r", "navigate /tmp/a.html"}));
    // The engine's notifications come out of the deferred browser.
    ASSERT_EQ(state.count(), 1);
    EXPECT_EQ(state.at(0), QVariantList({Browser::BackCommand, true}));
    EXPECT_EQ(complete.count(), 1);

    browser.refresh();
    browser.goBack();
    browser.goForward();
    browser.setDefaultTextEncoding("utf-8");
    EXPECT_EQ(callsOf(browser.engine()).mid(3),
              QStringList({"refresh", "back", "forward", "encoding utf-8"}));

    // A second preview takes its engine from the module already loaded.
    DeferredBrowser second(module);
    second.navigate(QStringLiteral("/tmp/b.html"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.engine() != nullptr; }));
    EXPECT_NE(second.engine(), browser.engine());
    EXPECT_TRUE(failureText(browser).isEmpty());
}

TEST(DeferredBrowserTest, AMissingOrBrokenModuleIsReportedInThePreviewAndNothingElseBreaks)
{
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    const QString missing = directory.filePath(QStringLiteral("pagewright-webengine.so"));
    const QString broken = directory.filePath(QStringLiteral("broken.so"));
    QFile brokenFile(broken);
    ASSERT_TRUE(brokenFile.open(QIODevice::WriteOnly));
    brokenFile.write("not a library");
    brokenFile.close();

    struct Case
    {
        QString candidate;
        QString reasonPart;
    };
    for (const Case& c : {Case{missing, missing}, Case{broken, QStringLiteral("broken.so")}}) {
        EngineModule module({c.candidate}, windows1251);
        DeferredBrowser browser(module);
        browser.navigate(QStringLiteral("/tmp/a.html"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !failureText(browser).isEmpty(); }));
        browser.navigate(QStringLiteral("/tmp/a.html"));
        browser.refresh();
        QCoreApplication::processEvents();
        EXPECT_EQ(browser.engine(), nullptr);
        EXPECT_TRUE(failureText(browser).startsWith(QStringLiteral("Просмотр недоступен: ")))
            << failureText(browser).toStdString();
        EXPECT_TRUE(failureText(browser).contains(c.reasonPart))
            << failureText(browser).toStdString();
        EXPECT_EQ(browser.findChildren<QLabel*>().size(), 1);
    }
}
