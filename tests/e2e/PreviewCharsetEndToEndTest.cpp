// The real engine renders pages in the charset the editor reads them in: undeclared, declared
// by any label, or marked.
#include "document/DocumentFormat.h"
#include "document/EncodingLabels.h"
#include "e2e/EndToEndPlatform.h"
#include "editor/MainWindow.h"
#include "platform/WebEngineBrowser.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// The page's text as the engine renders it, once it has loaded.
QString renderedText(WebEngineBrowser* browser)
{
    QString text;
    bool done = false;
    browser->view()->page()->toPlainText([&](const QString& result) {
        text = result;
        done = true;
    });
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < 30000)
        QTest::qWait(50);
    return text;
}

struct PageCase
{
    const char* name;
    QByteArray bytes;
    QString shown;
};

void expectRendered(const PageCase& page)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(page.name);
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(page.bytes);
    }
    EndToEndPlatform platform;
    TForm1 form(platform);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    platform.fakeDialogs.openAnswers.push_back({file, 1});
    form.N3Click();
    auto* browser = form.findChild<WebEngineBrowser*>("WebBrowser1");
    ASSERT_NE(browser, nullptr);
    QSignalSpy loaded(browser, &Browser::documentComplete);
    ASSERT_TRUE(loaded.wait(30000)) << "the page did not load";
    EXPECT_EQ(renderedText(browser).trimmed(), page.shown);
}

TEST(PreviewCharsetEndToEnd, DeclaredAndMarkedPagesRenderRight)
{
    expectRendered({"koi8.html", "<meta charset=koi8-r><p>\xef\xcb</p>", QStringLiteral("Ок")});
    expectRendered(
        {"utf16.html", QByteArray("\xff\xfe<\0p\0>\0\x1e\x04\x3a\x04", 12), QStringLiteral("Ок")});
}

// Two Windows-1251 letters, "Ок", without a declaration: for file: pages Chromium's own charset
// detector took them for CJK ("侮"), whatever the default encoding said.
TEST(PreviewCharsetEndToEnd, UndeclaredWindows1251PageRendersRight)
{
    expectRendered({"cp1251.html", "<p>\xce\xea</p>", QStringLiteral("Ок")});
}

// A preview on its own, on the real engine.
class PreviewPagesEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        browser.resize(400, 300);
        browser.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser));
    }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    }

    // Runs `load`, then waits for the finished document.
    template <typename Load> bool loads(Load load)
    {
        QSignalSpy loaded(&browser, &Browser::documentComplete);
        load();
        return loaded.wait(30000);
    }

    QString evaluate(const QString& script)
    {
        QVariant value;
        bool done = false;
        browser.view()->page()->runJavaScript(script, [&](const QVariant& result) {
            value = result;
            done = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 30000));
        return value.toString();
    }

    QString bodyText() { return evaluate(QStringLiteral("document.body.innerText")).trimmed(); }
    // The text of the element "t" of the page `bytes`, written to `name`, as the engine shows it.
    QString shownText(const QString& name, const QByteArray& bytes);

    QTemporaryDir dir;
    WebEngineBrowser browser;
};

// Relative images and stylesheets come from the files beside the page, and a link to another
// page of the site shows that page in its own charset; back returns to the first page.
TEST_F(PreviewPagesEndToEnd, RelativeFilesAndLinkedPagesLoad)
{
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(QDir(dir.path()).mkdir("pictures"));
    ASSERT_TRUE(picture.save(dir.filePath("pictures/red.png")));
    write("style.css", "p { color: rgb(1, 2, 3) }");
    write("other.html", "<p>\xce\xea</p>"); // undeclared Windows-1251
    const QString page = write("index.html", "<meta charset=koi8-r>"
                                             "<link rel=stylesheet href=style.css>"
                                             "<p>\xf0\xd2\xc9\xd7\xc5\xd4</p>"
                                             "<img id=picture src=pictures/red.png>");
    ASSERT_TRUE(loads([&] { browser.navigate(page); }));
    EXPECT_NE(browser.view()->url().scheme(), QStringLiteral("file"));
    EXPECT_EQ(bodyText(), QStringLiteral("Привет"));
    EXPECT_EQ(evaluate("getComputedStyle(document.querySelector('p')).color"),
              QStringLiteral("rgb(1, 2, 3)"));
    EXPECT_EQ(evaluate("String(document.getElementById('picture').naturalWidth)"),
              QStringLiteral("7"));

    ASSERT_TRUE(loads([&] { evaluate("location.href = 'other.html'; ''"); }));
    EXPECT_TRUE(browser.view()->url().path().endsWith("/other.html"));
    EXPECT_EQ(bodyText(), QStringLiteral("Ок"));

    ASSERT_TRUE(loads([&] { browser.navigate(page); }));
    ASSERT_TRUE(loads([&] { browser.goBack(); }));
    EXPECT_EQ(bodyText(), QStringLiteral("Ок"));
    ASSERT_TRUE(loads([&] { browser.goForward(); }));
    EXPECT_EQ(bodyText(), QStringLiteral("Привет"));
    ASSERT_TRUE(loads([&] { browser.refresh(); }));
    EXPECT_EQ(bodyText(), QStringLiteral("Привет"));
}

// A pipe with no writer would block any reader: as a page or as a page's picture it is refused
// at once, and the load still finishes.
TEST_F(PreviewPagesEndToEnd, PipesAreRefusedWithoutBlocking)
{
    const QString pipe = dir.filePath("pipe.html");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.png")).constData(), 0600), 0);
    const QString page =
        write("page.html", "<p>page</p><img id=picture src=pipe.png onerror=\"this.alt='none'\">");

    ASSERT_TRUE(loads([&] { browser.navigate(page); }));
    EXPECT_EQ(bodyText(), QStringLiteral("page"));
    EXPECT_EQ(evaluate("document.getElementById('picture').alt"), QStringLiteral("none"));

    QSignalSpy finished(browser.view(), &QWebEngineView::loadFinished);
    ASSERT_TRUE(loads([&] { browser.navigate(pipe); }));
    ASSERT_EQ(finished.size(), 1);
    EXPECT_FALSE(finished.at(0).at(0).toBool()) << "the pipe was shown as a page";
}

QString PreviewPagesEndToEnd::shownText(const QString& name, const QByteArray& bytes)
{
    const QString path = write(name, bytes);
    EXPECT_TRUE(loads([&] { browser.navigate(path); })) << "the page did not load";
    return evaluate(QStringLiteral("document.getElementById('t').textContent"));
}

// A page declaring a charset shows the characters the editor reads in it: the preview's
// Content-Type names the charset the editor chose, and the engine's decoder of that charset
// agrees with the editor's, byte for byte.
//
// Every byte from 80 to FF after a declaration of each single-byte charset of the standard's
// table (by a label other than its name where it has one): the editor's text between the tags
// is what the engine shows.
TEST_F(PreviewPagesEndToEnd, SingleBytePagesShowWhatTheEditorReads)
{
    QByteArray high;
    for (int b = 0x80; b <= 0xff; ++b)
        high += char(b);
    int pages = 0;
    for (const EncodingLabels::Encoding& encoding : EncodingLabels::table()) {
        const QStringList labels = QString::fromLatin1(encoding.labels).split(u' ');
        const QString label = labels.first();
        // Whole pages of one charset are worth a look only for the single-byte ones.
        const QString name = QString::fromLatin1(encoding.name);
        if (name.startsWith(u"utf") || name == u"gbk" || name == u"gb18030" || name == u"big5" ||
            name.startsWith(u"euc") || name == u"iso-2022-jp" || name == u"shift_jis" ||
            name == u"replacement" || name == u"x-user-defined")
            continue;
        SCOPED_TRACE(label.toStdString());
        const QByteArray bytes =
            "<meta charset=\"" + label.toLatin1() + "\"><p id=t>" + high + "</p>";
        const DecodedDocument document = decodeDocument(bytes);
        const qsizetype start = document.text.indexOf(u"<p id=t>") + 8;
        const QString read = document.text.mid(start, document.text.size() - start - 4);
        const QString shown = shownText(QStringLiteral("page%1.html").arg(pages++), bytes);
        ASSERT_EQ(read.size(), shown.size()) << qPrintable(shown);
        QStringList differences;
        for (qsizetype i = 0; i < read.size(); ++i)
            if (read[i] != shown[i])
                differences << QStringLiteral("%1: U+%2 in the editor, U+%3 shown")
                                   .arg(0x80 + i, 2, 16)
                                   .arg(read[i].unicode(), 4, 16, QLatin1Char('0'))
                                   .arg(shown[i].unicode(), 4, 16, QLatin1Char('0'));
        EXPECT_TRUE(differences.isEmpty()) << charsetName(document.format).constData() << ": "
                                           << qPrintable(differences.join(QStringLiteral("; ")));
    }
    EXPECT_GT(pages, 25);
}

// Pages in the multi-byte charsets, written by their own converters: what the editor reads is
// shown.
TEST_F(PreviewPagesEndToEnd, MultiBytePagesShowWhatTheEditorReads)
{
    const struct
    {
        const char* label;
        QByteArray bytes;
    } cases[] = {
        {"gb2312", "\xc4\xe3\xba\xc3"},                   // 你好
        {"gb18030", "\xc4\xe3\xba\xc3 \x81\x30\x81\x30"}, // 你好 and a four-byte character
        {"big5", "\xa7\x41\xa6\x6e"},                     // 你好
        {"shift_jis", "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd \x81\x5f"},
        {"euc-jp", "\xa4\xb3\xa4\xf3\xa4\xcb\xa4\xc1\xa4\xcf"},
        {"iso-2022-jp", "\x1b$B$3$s$K$A$O\x1b(B"},
        {"ks_c_5601-1987", "\xbe\xc8\xb3\xe7"}, // 안녕
    };
    int page = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const QByteArray bytes =
            "<meta charset=\"" + QByteArray(c.label) + "\"><p id=t>" + c.bytes + "</p>";
        const DecodedDocument document = decodeDocument(bytes);
        EXPECT_EQ(document.format.encoding, TextEncoding::Other);
        const qsizetype start = document.text.indexOf(u"<p id=t>") + 8;
        const QString read = document.text.mid(start, document.text.size() - start - 4);
        EXPECT_EQ(shownText(QStringLiteral("multi%1.html").arg(page++), bytes), read);
    }
}

} // namespace
