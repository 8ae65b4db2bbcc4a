// The recovery journal's format: it replays to the exact text after edits of every kind, and a
// journal cut short or trailed by garbage replays to its last whole record.
#include "document/RecoveryJournal.h"
#include "document/DiskChangeWatch.h"
#include "document/JournalWriter.h"
#include "support/TestFiles.h"
#include "text/TextBuffer.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// A buffer whose every change is recorded as the editor records it.
class RecordedBuffer
{
public:
    explicit RecordedBuffer(const QString& text)
    {
        buffer.setText(text);
        journal = RecoveryJournal::encodeStart({QStringLiteral("/tmp/page.html"), {}, {}});
        journal += RecoveryJournal::encodeText(text);
        QObject::connect(&buffer, &TextBuffer::contentsChange,
                         [this](qsizetype position, qsizetype removed, qsizetype added) {
                             RecoveryJournal::appendEdit(journal, position, removed,
                                                         buffer.mid(position, added));
                         });
    }
    TextBuffer buffer;
    QByteArray journal;
};

// Pieces that edits are made of: line breaks of every form, surrogate pairs, lone halves.
const QStringList Pieces = {
    QStringLiteral("a"),    QStringLiteral("\r\n"), QStringLiteral("\r"),
    QStringLiteral("\n"),   QStringLiteral("ж"),    QString::fromUtf8("\xf0\x9f\x98\x80"),
    QString(QChar(0xd83d)), QString(QChar(0xde00)), QStringLiteral("<p>word</p> "),
    QString(QChar(0))};

QString randomText(QRandomGenerator& random, int pieces)
{
    QString text;
    for (int i = 0; i < pieces; ++i)
        text += Pieces.at(random.bounded(Pieces.size()));
    return text;
}

} // namespace

class JournalReplay : public ::testing::TestWithParam<int>
{};

TEST_P(JournalReplay, RandomEditsReplayToTheExactText)
{
    QRandomGenerator random{quint32(GetParam())};
    RecordedBuffer recorded(randomText(random, 40));
    TextBuffer& buffer = recorded.buffer;
    for (int step = 0; step < 300; ++step) {
        const qsizetype position = random.bounded(int(buffer.length() + 1));
        switch (random.bounded(6)) {
        case 0:
            buffer.insert(position, randomText(random, 1 + random.bounded(3)),
                          TextBuffer::EditKind::Typing);
            break;
        case 1:
            buffer.remove(position, random.bounded(4), TextBuffer::EditKind::Typing);
            break;
        case 2:
            buffer.replace(position, random.bounded(10), randomText(random, 5));
            break;
        case 3:
            buffer.undo();
            break;
        case 4:
            buffer.redo();
            break;
        case 5:
            buffer.replaceAll(Pieces.at(random.bounded(Pieces.size())), randomText(random, 2), 0,
                              buffer.length());
            break;
        }
    }
    const RecoveryJournal::Replay replay = RecoveryJournal::replay(recorded.journal);
    ASSERT_TRUE(replay.hasText);
    EXPECT_EQ(replay.text, buffer.text());
    EXPECT_EQ(replay.validLength, recorded.journal.size());
}

INSTANTIATE_TEST_SUITE_P(Seeds, JournalReplay, ::testing::Range(1, 9));

TEST(RecoveryJournal, TheHeaderComesBackAsWritten)
{
    TextFormat format;
    format.encoding = TextEncoding::Other;
    format.lineEnding = LineEnding::Lf;
    format.declaredCharset = format.otherCharset = QStringLiteral("koi8-r");
    const JournalHeader header{QStringLiteral("/home/я/страница.html"), format, {12, 345, 6789}};
    const RecoveryJournal::Replay replay =
        RecoveryJournal::replay(RecoveryJournal::encodeStart(header), true);
    ASSERT_TRUE(replay.headerRead);
    EXPECT_FALSE(replay.hasText);
    EXPECT_EQ(replay.header.fileName, header.fileName);
    EXPECT_EQ(replay.header.format, format);
    EXPECT_EQ(replay.header.base, header.base);
}

// Every cut inside the last record, and garbage after whole records, leave the text as the
// records before it made it.
TEST(RecoveryJournal, ACutOrGarbledLastRecordIsIgnored)
{
    QByteArray journal = RecoveryJournal::encodeStart({}) + RecoveryJournal::encodeText("abc");
    RecoveryJournal::appendEdit(journal, 1, 1, u"XY");
    const qsizetype wholeLength = journal.size();
    RecoveryJournal::appendEdit(journal, 0, 0, u"lost");
    for (qsizetype cut = wholeLength; cut < journal.size(); ++cut) {
        const RecoveryJournal::Replay replay = RecoveryJournal::replay(journal.left(cut));
        ASSERT_TRUE(replay.hasText) << cut;
        EXPECT_EQ(replay.text, QStringLiteral("aXYc")) << cut;
        EXPECT_EQ(replay.validLength, wholeLength) << cut;
    }
    for (const QByteArray& garbage :
         {QByteArray(4096, '\0'), QByteArray("E\x05\0\0\0hello\0\0", 12)}) {
        const RecoveryJournal::Replay replay =
            RecoveryJournal::replay(journal.left(wholeLength) + garbage);
        EXPECT_EQ(replay.text, QStringLiteral("aXYc"));
        EXPECT_EQ(replay.validLength, wholeLength);
    }
    // A flipped byte inside a record fails its checksum: the journal ends before it.
    QByteArray flipped = journal;
    flipped[wholeLength - 3] = char(flipped[wholeLength - 3] ^ 0x20);
    EXPECT_EQ(RecoveryJournal::replay(flipped).text, QStringLiteral("abc"));
}

// An edit that does not fit the text (a journal written by something else) ends the replay.
TEST(RecoveryJournal, AnEditOutsideTheTextEndsTheReplay)
{
    QByteArray journal = RecoveryJournal::encodeStart({}) + RecoveryJournal::encodeText("abc");
    RecoveryJournal::appendEdit(journal, 2, 5, u"x");
    EXPECT_EQ(RecoveryJournal::replay(journal).text, QStringLiteral("abc"));
    EXPECT_FALSE(RecoveryJournal::replay(QByteArray("not a journal")).headerRead);
    // Records before the header make no journal either.
    EXPECT_FALSE(RecoveryJournal::replay(RecoveryJournal::encodeText("abc")).headerRead);
}

// A later whole text replaces the earlier one; file bytes are decoded as a file is opened.
TEST(RecoveryJournal, TheLastWholeTextCounts)
{
    QByteArray journal = RecoveryJournal::encodeStart({}) + RecoveryJournal::encodeText("old");
    journal += RecoveryJournal::encodeFileBytes("\xef\xbb\xbf<p>\xd0\xaf</p>\n");
    RecoveryJournal::appendEdit(journal, 0, 0, u"!");
    const RecoveryJournal::Replay replay = RecoveryJournal::replay(journal);
    EXPECT_EQ(replay.text, QStringLiteral("!<p>Я</p>\n"));
    EXPECT_EQ(replay.header.format.encoding, TextEncoding::Utf8);
    EXPECT_TRUE(replay.header.format.byteOrderMark);
    EXPECT_EQ(replay.header.format.lineEnding, LineEnding::Lf);
}

// A journal that stands on its file replays from the file only while the file holds the bytes it
// was read from, and only to a text of the recorded length.
struct FileBaseCase
{
    const char* name;
    // What the file holds at the replay; null: the file is gone.
    QByteArray fileNow;
    qsizetype recordedLengthOff;
    bool restores;
};

const QByteArray BaseBytes("<p>\xd0\xaf</p>\r\n<p>two</p>\r\n");

class JournalOnFile : public ::testing::TestWithParam<FileBaseCase>
{};

TEST_P(JournalOnFile, ReplaysFromTheFileOnlyWhileItHoldsWhatWasRead)
{
    const FileBaseCase& c = GetParam();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("page.html"));
    const QString text = decodeDocument(BaseBytes).text;
    QByteArray journal = RecoveryJournal::encodeStart({file, {}, {}});
    journal +=
        RecoveryJournal::encodeFileBase(contentHash(BaseBytes), text.size() + c.recordedLengthOff);
    RecoveryJournal::appendEdit(journal, 3, 1, u"Ж!");
    if (!c.fileNow.isNull()) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(c.fileNow);
    }
    const RecoveryJournal::Replay replay = RecoveryJournal::replay(journal);
    EXPECT_TRUE(replay.headerRead);
    EXPECT_EQ(replay.hasText, c.restores);
    EXPECT_EQ(replay.text, c.restores ? QStringLiteral("<p>Ж!</p>\n<p>two</p>\n") : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Files, JournalOnFile,
    ::testing::Values(FileBaseCase{"Unchanged", BaseBytes, 0, true},
                      FileBaseCase{"ChangedSince", BaseBytes + "<p>3</p>", 0, false},
                      FileBaseCase{"SameLengthOtherBytes",
                                   QByteArray(BaseBytes).replace("two", "TWO"), 0, false},
                      FileBaseCase{"Gone", QByteArray(), 0, false},
                      FileBaseCase{"RecordedLengthOff", BaseBytes, 1, false}),
    [](const auto& c) { return std::string(c.param.name); });

// A journal left by a build that framed its records with a 16-bit checksum still replays.
TEST(RecoveryJournal, AJournalOfTheFirstFormatStillReplays)
{
    QByteArray current = RecoveryJournal::encodeStart({QStringLiteral("/tmp/a.html"), {}, {}}) +
                         RecoveryJournal::encodeText(QStringLiteral("abc"));
    RecoveryJournal::appendEdit(current, 1, 1, u"ЖЖ");
    // The same records framed as the first format frames them.
    QByteArray first("PWJOURNAL1\n");
    for (qsizetype at = first.size(); at < current.size();) {
        quint32 length = 0;
        std::memcpy(&length, current.constData() + at + 1, 4);
        const QByteArray payload = current.mid(at + 5, qsizetype(length));
        const quint16 checksum = qChecksum(payload);
        first +=
            current.mid(at, 5) + payload + QByteArray(reinterpret_cast<const char*>(&checksum), 2);
        at += 9 + qsizetype(length);
    }
    const RecoveryJournal::Replay replay = RecoveryJournal::replay(first);
    EXPECT_EQ(replay.header.fileName, QStringLiteral("/tmp/a.html"));
    EXPECT_EQ(replay.text, QStringLiteral("aЖЖc"));
    EXPECT_EQ(replay.validLength, first.size());
}

// The writer puts a copy of the file in place of the file's name, piece by piece, only while the
// file is as the journal began: same size, modification time and inode.
struct CopyCase
{
    const char* name;
    bool touchedBefore;
    bool copied;
};

class JournalCopy : public ::testing::TestWithParam<CopyCase>
{};

TEST_P(JournalCopy, TheFileIsCopiedOnlyWhileItIsAsTheJournalBegan)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("page.html"));
    const QString journalPath = dir.filePath(QStringLiteral("page.journal"));
    // Over two pieces of the copy, and not a whole number of them.
    QByteArray bytes = BaseBytes;
    while (bytes.size() < 2 * JournalWriter::CopyPiece + 1000)
        bytes += BaseBytes;
    writeFile(file, bytes);
    const JournalHeader header{file, {}, FileSignature::of(file)};
    if (GetParam().touchedBefore) {
        QFile touched(file);
        ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
        ASSERT_TRUE(touched.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                        QFileDevice::FileModificationTime));
    }
    const QString text = decodeDocument(bytes).text;
    QByteArray edit;
    RecoveryJournal::appendEdit(edit, 0, 3, u"<h1>");
    {
        JournalWriter writer;
        writer.startWith(journalPath, header,
                         RecoveryJournal::encodeFileBase(contentHash(bytes), text.size()));
        writer.append(edit);
        writer.waitUntilWritten();
        // Left as by a crash: the lock goes with the writer, the journal stays.
        const QByteArray journal = readFile(journalPath);
        QFile::remove(file);
        const RecoveryJournal::Replay replay = RecoveryJournal::replay(journal);
        EXPECT_EQ(replay.hasText, GetParam().copied);
        EXPECT_EQ(replay.text,
                  GetParam().copied ? QStringLiteral("<h1>") + text.mid(3) : QString());
        writeFile(file, bytes);
        EXPECT_EQ(RecoveryJournal::replay(journal).text, QStringLiteral("<h1>") + text.mid(3));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, JournalCopy,
                         ::testing::Values(CopyCase{"AsRead", false, true},
                                           CopyCase{"TouchedSince", true, false}),
                         [](const auto& c) { return std::string(c.param.name); });
